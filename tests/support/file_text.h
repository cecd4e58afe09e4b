// Whole files as text, for tests that write an input or check an output.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tarvik::test {

// Byte for byte: line ends stay as they are.
inline std::string readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeWholeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace tarvik::test
