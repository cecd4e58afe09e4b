#include "gui/ascii_case.h"

namespace tarvik::gui {

namespace {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The run of digits starting at `at`, without its leading zeros.
std::string_view numberAt(std::string_view s, std::size_t& at) {
    while (at < s.size() && s[at] == '0' && at + 1 < s.size() && isDigit(s[at + 1])) ++at;
    const std::size_t start = at;
    while (at < s.size() && isDigit(s[at])) ++at;
    return s.substr(start, at - start);
}

}  // namespace

bool naturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::string_view x = numberAt(a, i);
            const std::string_view y = numberAt(b, j);
            if (x.size() != y.size()) return x.size() < y.size();
            if (x != y) return x < y;
            continue;
        }
        const char x = toUpperAscii(a[i++]);
        const char y = toUpperAscii(b[j++]);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
    return a < b;
}

}  // namespace tarvik::gui
