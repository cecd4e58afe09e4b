// Letter case as skin and preference files use it: only the 26 ASCII letters
// have a case, so a name compares the same whatever locale the host has set
// and whatever bytes beyond ASCII a file holds. Names listed for the user
// (patches, folders, files) come in natural order.
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

// The order a musician expects of a list of names: letter case aside, and
// numbers by their value, so "Patch 2" comes before "Patch 10". Names that
// differ only in case or in leading zeros still get one fixed order.
bool naturalLess(std::string_view a, std::string_view b);

}  // namespace tarvik::gui
