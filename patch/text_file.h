// Opening and scanning the plug-in's text files (patches, configuration,
// controller maps, tunings) the same way everywhere.
#pragma once

#include <sys/stat.h>

#include <climits>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

struct ScannedInteger {
    int value;
    std::size_t length;  // the characters it took
    bool beyondInt;      // the text's number lies outside the int range
};

// The one reading of an integer in every text file: an optional sign, then
// the digits of the base up to the first character that is not one; base 0
// reads as C's "%i" does (hexadecimal after "0x", octal after a leading 0,
// else decimal). nullopt when no digit comes. A number beyond the int range
// reads as the nearest int, never as a wrapped value, and says so: a
// hand-edited huge setting still means "as large as possible" on every
// platform (each reader limits the value to its own range), while a reader
// that needs the exact number (a section's count, a scale's ratio) refuses
// it.
inline std::optional<ScannedInteger> scanInteger(std::string_view text, int base = 10) {
    auto digitValue = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'z') return c - 'a' + 10;
        if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
        return 99;  // a digit of no base
    };
    std::size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) pos = 1;
    if (base == 0) {
        base = 10;
        if (pos < text.size() && text[pos] == '0') {
            base = 8;
            const bool hexPrefix = pos + 2 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X');
            if (hexPrefix && digitValue(text[pos + 2]) < 16) {
                base = 16;
                pos += 2;
            }
        }
    }
    const std::size_t firstDigit = pos;
    // Held just past INT_MIN's magnitude: far enough to tell a number beyond
    // the range from its edge, never far enough to overflow.
    constexpr long long kLargestMagnitude = static_cast<long long>(INT_MAX) + 2;
    long long magnitude = 0;
    for (; pos < text.size() && digitValue(text[pos]) < base; ++pos) {
        magnitude = magnitude * base + digitValue(text[pos]);
        if (magnitude > kLargestMagnitude) magnitude = kLargestMagnitude;
    }
    if (pos == firstDigit) return std::nullopt;
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) return ScannedInteger{INT_MAX, pos, true};
    if (value < INT_MIN) return ScannedInteger{INT_MIN, pos, true};
    return ScannedInteger{static_cast<int>(value), pos, false};
}

}  // namespace tarvik
