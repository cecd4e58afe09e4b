// The render loop: loads the plug-in through its entry, plays the time line
// to it block by block as a music host does, and streams what it outputs to
// the WAV file.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "tools/render/options.h"

namespace tarvik::render {

struct RenderSummary {
    std::string output;
    std::int64_t frames = 0;
    int sampleRate = 0;
    int channels = 0;
    float peak = 0.0f;  // largest magnitude of the finite samples
    std::int64_t nonFiniteSamples = 0;
};

// Renders what the options ask for. A progress line goes to `progress` when
// the render is long enough for one to help.
bool render(const RenderOptions& options, std::ostream& progress, RenderSummary& summary, std::string& error);

// One line for the user: what was written, how long, how loud.
std::string describe(const RenderSummary& summary);

}  // namespace tarvik::render
