// Opening and scanning the plug-in's text files (patches, configuration,
// controller maps, tunings) the same way everywhere.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <string>

namespace tarvik {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Binary mode, so that CR LF and LF read the same on every platform and a
// stray Ctrl-Z does not end a file early on Windows; only regular files, so
// that a folder or device named by mistake is refused rather than read as an
// endless or empty file.
inline File openRegularFile(const std::string& path) {
    File file(std::fopen(path.c_str(), "rb"));
    struct stat info {};
    if (!file || fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    return file;
}

// What the C library's scanners treat as blanks and digits, whatever locale
// the host has set.
inline bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
inline bool isDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace tarvik
