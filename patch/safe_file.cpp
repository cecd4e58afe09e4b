#include "patch/safe_file.h"

#include "platform/file_replace.h"

namespace tarvik {

SafeFileWriter::SafeFileWriter(std::string path, Content content)
    : path_(std::move(path)), temporary_(path_ + ".tmp") {
    file_ = std::fopen(temporary_.c_str(), content == Content::Text ? "w" : "wb");
}

SafeFileWriter::~SafeFileWriter() {
    if (file_) std::fclose(file_);
    if (!temporary_.empty()) std::remove(temporary_.c_str());
}

bool SafeFileWriter::finish() {
    if (!file_) return false;
    const bool written = !std::ferror(file_) && platform::flushToDisk(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return written && closed;
}

bool SafeFileWriter::commit() {
    if (!finish() || !platform::replaceFile(temporary_, path_)) return false;
    temporary_.clear();  // it is the file now
    return true;
}

bool SafeFileWriter::commitAsNew() {
    if (!finish() || !platform::placeNewFile(temporary_, path_)) return false;
    temporary_.clear();
    return true;
}

}  // namespace tarvik
