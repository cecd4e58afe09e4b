// Writes a file the user depends on (patches, configuration, controller map)
// so that a crash, a full disk or a failed write never destroys the previous
// copy: everything goes to a temporary file beside it, which replaces the
// old file in one step only when it was written completely.
#pragma once

#include <cstdio>
#include <string>

namespace tarvik {

class SafeFileWriter {
public:
    // Text files take the system's line ends; bytes go to the disk as they are.
    enum class Content { Text, Bytes };

    // Opens the temporary file; file() is null when that fails.
    explicit SafeFileWriter(std::string path, Content content = Content::Text);
    // Without a successful commit the temporary file is removed and the old
    // file stays as it was.
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    std::FILE* file() const { return file_; }
    // Finishes the file and puts it in place of the old one; false when any
    // write failed or the replacement could not be made.
    bool commit();
    // As commit(), but the file is put in place only where none exists: a
    // file that is there, or that appeared meanwhile, is kept, and false is
    // answered.
    bool commitAsNew();

private:
    // Closes the temporary file; false when any write failed.
    bool finish();

    std::string path_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
};

}  // namespace tarvik
