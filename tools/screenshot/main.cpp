// tarvik-screenshot: opens the plug-in's editor under the X server of
// $DISPLAY, the way a Linux host does, and writes the window's picture.
// Clicks and keys, in the order given, show a menu or a panel first; audio
// rendered as a host would (--render SECONDS) lets a started sequencer run.
//
//   tarvik-screenshot [--plugin Tarvik.so] [--patch FILE.tvkp] [--click X,Y] [--key KEYSYM]
//                     [--render SECONDS] OUT.png
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
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
    std::fprintf(stderr,
                 "usage: tarvik-screenshot [--plugin Tarvik.so] [--patch FILE.tvkp] [--click X,Y] [--key KEYSYM] "
                 "[--render SECONDS] OUT.png\n");
    return 2;
}

// A click at window pixels, a key by its X name ("Down", "Return"), or
// seconds of audio.
struct Action {
    int x = -1;
    int y = -1;
    KeySym key = NoSymbol;
    double seconds = 0.0;
};

bool parseClick(const std::string& text, Action& action) {
    char tail = 0;
    return std::sscanf(text.c_str(), "%d,%d%c", &action.x, &action.y, &tail) == 2 && action.x >= 0 && action.y >= 0;
}

bool parseSeconds(const std::string& text, Action& action) {
    char tail = 0;
    return std::sscanf(text.c_str(), "%lf%c", &action.seconds, &tail) == 1 && action.seconds > 0.0 &&
           action.seconds <= 600.0;
}

void render(tarvik::host::HostedPlugin& host, double seconds) {
    constexpr int kBlock = 512;
    std::vector<float> left(kBlock), right(kBlock);
    float* out[2] = {left.data(), right.data()};
    for (long frames = std::lround(seconds * host.settings().sampleRate); frames > 0; frames -= kBlock)
        host.process(nullptr, out, static_cast<int>(std::min<long>(kBlock, frames)));
}

}  // namespace

int main(int argc, char** argv) {
    std::string plugin = TARVIK_DEFAULT_PLUGIN;
    std::string patchPath;
    std::string out;
    std::vector<Action> actions;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        Action action;
        if (arg == "--plugin" && i + 1 < argc)
            plugin = argv[++i];
        else if (arg == "--patch" && i + 1 < argc)
            patchPath = argv[++i];
        else if (arg == "--click" && i + 1 < argc && parseClick(argv[++i], action))
            actions.push_back(action);
        else if (arg == "--key" && i + 1 < argc && (action.key = XStringToKeysym(argv[++i])) != NoSymbol)
            actions.push_back(action);
        else if (arg == "--render" && i + 1 < argc && parseSeconds(argv[++i], action))
            actions.push_back(action);
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
    // A first-run splash screen fades, cables fall into place, panels fade in:
    // the picture is taken once the editor has come to rest. After audio
    // only once it has caught up: the lights that follow the sound stay as
    // the sound left them.
    bool rested = window.settle();
    for (const Action& action : actions) {
        if (action.seconds > 0.0) {
            render(host, action.seconds);
            rested = rested && window.catchUp();
            continue;
        }
        if (action.key != NoSymbol)
            window.tapKey(action.key);
        else
            window.click(action.x, action.y);
        rested = rested && window.settle();
    }
    if (!rested) {
        std::fprintf(stderr, "tarvik-screenshot: the editor never came to rest\n");
        return 1;
    }
    if (!window.writePng(out)) {
        std::fprintf(stderr, "tarvik-screenshot: cannot write %s\n", out.c_str());
        return 1;
    }
    window.close();
    std::printf("Wrote %s (%d x %d)\n", out.c_str(), window.width(), window.height());
    return 0;
}
