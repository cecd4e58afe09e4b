// Opening and scanning the plug-in's text files (patches, configuration,
// controller maps, tunings) the same way everywhere.
#pragma once

#include <sys/stat.h>

#include <charconv>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

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

struct ScannedDecimal {
    double value;
    std::size_t length;  // the characters it took
    bool beyondRange;    // the text's number lies beyond the double range
};

// Whether a number std::from_chars found out of the double range is too
// large rather than too close to zero, which it reports alike: the power of
// ten of the number's first significant digit is far above zero for the one
// and far below for the other. The text is what from_chars matched: digits
// with an optional point, then an optional exponent.
inline bool overflowsDouble(std::string_view number) {
    long long power = 0;
    bool significant = false;
    bool pastPoint = false;
    std::size_t pos = 0;
    for (; pos < number.size() && (isDigit(number[pos]) || number[pos] == '.'); ++pos) {
        if (number[pos] == '.') {
            pastPoint = true;
            continue;
        }
        significant = significant || number[pos] != '0';
        if (significant && !pastPoint) ++power;
        if (!significant && pastPoint) --power;
    }
    const std::optional<ScannedInteger> exponent =
        pos < number.size() ? scanInteger(number.substr(pos + 1)) : std::nullopt;
    return power + (exponent ? exponent->value : 0) > 0;
}

// The one reading of a decimal number in every text file, the same whatever
// locale the host has set: an optional sign, then what std::from_chars
// reads (digits with an optional point and exponent, or "inf", "infinity"
// or "nan" in any letter case, which read as their values for each reader
// to limit or refuse like any other number). nullopt when no number comes.
// As for integers, a number beyond the double range reads as the largest
// double of its sign and says so: a setting takes it as "as large as
// possible", a reader that needs the exact number refuses it. A number too
// close to zero for a double reads as zero of its sign, unmarked: that is
// its nearest double.
inline std::optional<ScannedDecimal> scanDecimal(std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t start = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    // from_chars takes a minus sign of its own, which would make "+-1" or
    // "--1" a number.
    if (start == text.size() || text[start] == '-') return std::nullopt;
    const char* const first = text.data() + start;
    double magnitude = 0.0;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), magnitude);
    const auto length = static_cast<std::size_t>(end - text.data());
    bool beyond = false;
    if (error == std::errc::result_out_of_range) {
        beyond = overflowsDouble(text.substr(start, length - start));
        magnitude = beyond ? std::numeric_limits<double>::max() : 0.0;
    } else if (error != std::errc{}) {
        return std::nullopt;
    }
    return ScannedDecimal{negative ? -magnitude : magnitude, length, beyond};
}

}  // namespace tarvik
