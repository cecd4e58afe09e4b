#include "patch/safe_file.h"

#include "platform/file_replace.h"

namespace tarvik {

SafeFileWriter::SafeFileWriter(std::string path) : path_(std::move(path)), temporary_(path_ + ".tmp") {
    file_ = std::fopen(temporary_.c_str(), "w");
}

SafeFileWriter::~SafeFileWriter() {
    if (file_) std::fclose(file_);
    if (!temporary_.empty()) std::remove(temporary_.c_str());
}

bool SafeFileWriter::commit() {
    if (!file_) return false;
    const bool written = !std::ferror(file_) && platform::flushToDisk(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!written || !closed || !platform::replaceFile(temporary_, path_)) return false;
    temporary_.clear();  // it is the file now
    return true;
}

}  // namespace tarvik
