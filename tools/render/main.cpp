// tarvik-render: plays a MIDI file or notes through the plug-in binary and
// writes a WAV file, for listening to the instrument without a music host.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/render/options.h"
#include "tools/render/render.h"

namespace {
constexpr int kFailureExit = 1;
constexpr int kUsageExit = 2;
}  // namespace

int main(int argc, char** argv) {
    using namespace tarvik::render;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    RenderOptions options;
    std::string error;
    if (!parseOptions(args, TARVIK_DEFAULT_PLUGIN, options, error)) {
        std::cerr << "tarvik-render: " << error << " (see --help)\n";
        return kUsageExit;
    }
    if (options.help) {
        std::cout << usageText(TARVIK_DEFAULT_PLUGIN);
        return 0;
    }
    RenderSummary summary;
    if (!render(options, std::cerr, summary, error)) {
        std::cerr << "tarvik-render: " << error << "\n";
        return kFailureExit;
    }
    std::cout << describe(summary) << "\n";
    return 0;
}
