// Letter case as skin and preference files use it: only the 26 ASCII letters
// have a case, so a name compares the same whatever locale the host has set
// and whatever bytes beyond ASCII a file holds.
#pragma once

#include <string_view>

namespace tarvik::gui {

constexpr char toUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (toUpperAscii(a[i]) != toUpperAscii(b[i])) return false;
    return true;
}

}  // namespace tarvik::gui
