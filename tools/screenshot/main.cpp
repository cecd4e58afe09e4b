// tarvik-screenshot: opens the plug-in's editor under the X server of
// $DISPLAY, the way a Linux host does, and writes the window's picture.
//
//   tarvik-screenshot [--plugin Tarvik.so] [--patch FILE.tvkp] OUT.png
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "patch/patch_chunk.h"
#include "patch/patch_file.h"
#include "tools/host/editor_window_host.h"
#include "tools/host/hosted_plugin.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: tarvik-screenshot [--plugin Tarvik.so] [--patch FILE.tvkp] OUT.png\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string plugin = TARVIK_DEFAULT_PLUGIN;
    std::string patchPath;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--plugin" && i + 1 < argc)
            plugin = argv[++i];
        else if (arg == "--patch" && i + 1 < argc)
            patchPath = argv[++i];
        else if (!arg.empty() && arg[0] != '-' && out.empty())
            out = arg;
        else
            return usage();
    }
    if (out.empty()) return usage();

    tarvik::host::HostedPlugin host;
    std::string error;
    if (!host.load(plugin, error)) {
        std::fprintf(stderr, "tarvik-screenshot: %s\n", error.c_str());
        return 1;
    }
    host.start();
    if (!patchPath.empty()) {
        tarvik::TarvikPatch patch;
        if (!tarvik::readPatchFile(patch, patchPath)) {
            std::fprintf(stderr, "tarvik-screenshot: cannot read the patch %s\n", patchPath.c_str());
            return 1;
        }
        std::vector<unsigned char> chunk(tarvik::kChunkSize);
        tarvik::encodeChunk(patch, chunk.data());
        host.dispatch(vst::effSetChunk, 0, static_cast<vst::VstIntPtr>(chunk.size()), chunk.data());
    }
    tarvik::host::EditorWindowHost window(host);
    if (!window.ready()) {
        std::fprintf(stderr, "tarvik-screenshot: no X display (is DISPLAY set?)\n");
        return 1;
    }
    if (!window.open(error)) {
        std::fprintf(stderr, "tarvik-screenshot: %s\n", error.c_str());
        return 1;
    }
    // Long enough for a first-run splash screen to have faded.
    window.idleFor(std::chrono::milliseconds(2500));
    if (!window.writePng(out)) {
        std::fprintf(stderr, "tarvik-screenshot: cannot write %s\n", out.c_str());
        return 1;
    }
    window.close();
    std::printf("Wrote %s (%d x %d)\n", out.c_str(), window.width(), window.height());
    return 0;
}
