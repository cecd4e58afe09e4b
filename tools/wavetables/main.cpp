// Writes the five wavetable data files that the plug-in reads from its
// "Tarvik Data" folder, with the same generator the plug-in falls back on.
//
// Usage: tarvik-wavetables OUTPUT_FOLDER
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "dsp/wavetable_file.h"
#include "dsp/wavetable_generator.h"
#include "dsp/wavetable_set.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvik-wavetables OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "tarvik-wavetables: cannot create %s: %s\n", folder.string().c_str(),
                     error.message().c_str());
        return 1;
    }
    for (int i = 0; i < tarvik::kWavetableKindCount; ++i) {
        const auto kind = static_cast<tarvik::WavetableKind>(i);
        const std::filesystem::path path = folder / tarvik::wavetableFileName(kind);
        if (!tarvik::writeWavetableFile(path.string(), tarvik::generateWavetable(kind))) {
            std::fprintf(stderr, "tarvik-wavetables: cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
