// Draws the default skin: "Tarvik.skn" and its PNG pictures.
//
// Usage: tarvik-skin OUTPUT_FOLDER [--preview FILE.png]
//   --preview  also writes the whole panel at rest, every control in place,
//              for looking at the skin without the editor.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string_view>

#include "tools/skin/skin_writer.h"

int main(int argc, char** argv) {
    std::filesystem::path folder;
    std::filesystem::path preview;
    bool understood = true;
    for (int i = 1; i < argc && understood; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--preview" && i + 1 < argc)
            preview = argv[++i];
        else if (argument.starts_with("--") || !folder.empty())
            understood = false;
        else
            folder = argument;
    }
    if (!understood || folder.empty()) {
        std::fprintf(stderr, "usage: tarvik-skin OUTPUT_FOLDER [--preview FILE.png]\n");
        return 2;
    }
    try {
        tarvik::skin::writeSkin(folder);
        if (!preview.empty()) tarvik::skin::writePreview(folder, preview);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarvik-skin: %s\n", error.what());
        return 1;
    }
    return 0;
}
