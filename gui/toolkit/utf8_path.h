// Paths are UTF-8 text everywhere in the editor. std::filesystem reads
// narrow text in the system's code page on Windows; going through char8_t
// keeps it UTF-8 everywhere, and the file system's own encoding (UTF-16 on
// Windows) stays the path type's business.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik::gui {

inline std::filesystem::path utf8Path(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

}  // namespace tarvik::gui
