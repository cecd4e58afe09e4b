// Writes the default skin: "Tarvik.skn" and its pictures, the panel's own
// under "Tarvik Skin/", the four the editor loads by name at the top.
#pragma once

#include <filesystem>
#include <string>

#include "tools/skin/layout.h"

namespace tarvik::skin {

// Pictures the editor loads by name rather than through skin elements.
inline constexpr const char* kScrollArrowFile = "upscroll.png";
inline constexpr const char* kMascotFile = "bunnybug.png";
inline constexpr int kScrollArrowSize = 16;
inline constexpr int kMascotSize = 32;

struct FrameSize {
    int width = 0;
    int height = 0;
};

// One frame of a picture: the size of the elements that use it (a digit for
// digit displays). Throws std::logic_error when its elements disagree.
FrameSize frameSize(Picture picture);

// The skin definition file's text.
std::string skinDefinition();

// Throws std::runtime_error when a font or a file fails.
void writeSkin(const std::filesystem::path& folder);

// The panel at rest, composed from the pictures a written skin holds: each
// control at its place showing a typical value.
void writePreview(const std::filesystem::path& skinFolder, const std::filesystem::path& file);

}  // namespace tarvik::skin
