#include "gui/format_scanner.h"

#include <cfloat>

#include "patch/text_file.h"

namespace tarvik::gui {

namespace {

// More digits than any float or int needs; longer runs are read through and
// make no number.
constexpr std::size_t kNumberRoom = 400;

}  // namespace

int FormatScanner::get() {
    if (pendingCount_ > 0) return pending_[--pendingCount_];
    return std::getc(file_);
}

void FormatScanner::unget(int c) {
    if (pendingCount_ < pending_.size()) pending_[pendingCount_++] = c;
}

int FormatScanner::peek() {
    const int c = get();
    unget(c);
    return c;
}

void FormatScanner::skipSpace() {
    int c = get();
    while (isSpace(c)) c = get();
    unget(c);
}

void FormatScanner::skipLine() {
    int c = get();
    while (c != EOF && c != '\n') c = get();
}

std::string FormatScanner::word(std::size_t room) {
    skipSpace();
    std::string text;
    int c = get();
    for (; c != EOF && !isSpace(c); c = get())
        if (text.size() < room) text.push_back(static_cast<char>(c));
    unget(c);
    return text;
}

bool FormatScanner::literal(char c) {
    const int next = get();
    if (next == static_cast<unsigned char>(c)) return true;
    unget(next);
    return false;
}

bool FormatScanner::quoted(std::string& text, std::size_t room) {
    text.clear();
    bool fits = true;
    for (int c = get(); c != EOF && c != '"'; c = get()) {
        if (text.size() < room)
            text.push_back(static_cast<char>(c));
        else
            fits = false;
    }
    return fits;
}

std::size_t FormatScanner::digits(std::string& text, std::size_t room) {
    std::size_t count = 0;
    int c = get();
    for (; isDigit(c); c = get(), ++count)
        if (text.size() < room) text.push_back(static_cast<char>(c));
    unget(c);
    return count;
}

std::optional<int> FormatScanner::integer() {
    skipSpace();
    const int sign = get();
    const bool negative = sign == '-';
    if (sign != '-' && sign != '+') unget(sign);
    if (!isDigit(peek())) {
        if (sign == '-' || sign == '+') unget(sign);
        return std::nullopt;
    }
    // Leading zeros say nothing, and more digits than the room hold are
    // beyond the int range anyway.
    while (peek() == '0') get();
    std::string text = negative ? "-0" : "0";
    digits(text, kNumberRoom);
    return scanInteger(text)->value;
}

std::optional<float> FormatScanner::real() {
    skipSpace();
    std::string text;
    const int sign = get();
    if (sign == '-' || sign == '+') {
        if (sign == '-') text.push_back('-');
    } else {
        unget(sign);
    }
    std::size_t count = digits(text, kNumberRoom);
    const int point = get();
    if (point == '.') {
        text.push_back('.');
        count += digits(text, kNumberRoom);
    } else {
        unget(point);
    }
    if (count == 0) {
        // Nothing but a sign or a point: put it back as it was found.
        if (point == '.') unget('.');
        if (sign == '-' || sign == '+') unget(sign);
        return std::nullopt;
    }
    const int e = get();
    if (e == 'e' || e == 'E') {
        const int exponentSign = get();
        const bool hasExponentSign = exponentSign == '-' || exponentSign == '+';
        if (!hasExponentSign) unget(exponentSign);
        if (isDigit(peek())) {
            text.push_back('e');
            if (hasExponentSign) text.push_back(static_cast<char>(exponentSign));
            digits(text, kNumberRoom);
        } else {
            if (hasExponentSign) unget(exponentSign);
            unget(e);
        }
    } else {
        unget(e);
    }
    if (text.size() >= kNumberRoom) return std::nullopt;
    // The text holds nothing but the number, which the scanner reads whole.
    const double value = scanDecimal(text)->value;
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

}  // namespace tarvik::gui
