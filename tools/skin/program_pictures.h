// The pictures that belong to the program rather than to the skin (the
// editor's dialog panels draw them). The build writes them into a folder of
// their own and compiles them into the plug-in, so a skin can never lose
// them.
#pragma once

#include <array>
#include <filesystem>

namespace tarvik::skin {

struct ProgramPicture {
    const char* file;
    int frameWidth;
    int frameHeight;
    int frames;  // stacked top to bottom
};

// The sizes are those the panels place them at; a rule repeats its picture
// along its length.
inline constexpr std::array kProgramPictures = {
    ProgramPicture{"CheckBox.png", 16, 16, 2},        // empty, ticked
    ProgramPicture{"closebutton.png", 20, 20, 2},     // at rest, pressed
    ProgramPicture{"spinbox.png", 67, 18, 1},
    ProgramPicture{"horizontalline.png", 602, 2, 1},
};

// The right-hand strip of the number field that holds its arrows; the
// editor's spin box centres its text beside it.
inline constexpr int kSpinBoxArrowWidth = 12;

// Throws std::runtime_error when a file cannot be written.
void writeProgramPictures(const std::filesystem::path& folder);

}  // namespace tarvik::skin
