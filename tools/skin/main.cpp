// Draws the default skin: "Tarvik.skn" and its PNG pictures; or, with
// --program-pictures, the pictures the program builds into itself.
//
// Usage: tarvik-skin OUTPUT_FOLDER [--preview FILE.png]
//        tarvik-skin --program-pictures OUTPUT_FOLDER
//   --preview  also writes the whole panel at rest, every control in place,
//              for looking at the skin without the editor.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string_view>

#include "tools/skin/program_pictures.h"
#include "tools/skin/skin_writer.h"

int main(int argc, char** argv) {
    std::filesystem::path folder;
    std::filesystem::path preview;
    bool programPictures = false;
    bool understood = true;
    for (int i = 1; i < argc && understood; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--preview" && i + 1 < argc)
            preview = argv[++i];
        else if (argument == "--program-pictures")
            programPictures = true;
        else if (argument.starts_with("--") || !folder.empty())
            understood = false;
        else
            folder = argument;
    }
    if (!understood || folder.empty() || (programPictures && !preview.empty())) {
        std::fprintf(stderr,
                     "usage: tarvik-skin OUTPUT_FOLDER [--preview FILE.png]\n"
                     "       tarvik-skin --program-pictures OUTPUT_FOLDER\n");
        return 2;
    }
    try {
        if (programPictures) {
            tarvik::skin::writeProgramPictures(folder);
            return 0;
        }
        tarvik::skin::writeSkin(folder);
        if (!preview.empty()) tarvik::skin::writePreview(folder, preview);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarvik-skin: %s\n", error.what());
        return 1;
    }
    return 0;
}
