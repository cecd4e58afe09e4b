// Turns four stepwise knob values into smooth per-sample control signals, so
// that a knob turned during a note does not click or zipper.
#pragma once

#include <array>

#include "dsp/io_module.h"

namespace tarvik {

class ParameterSmoother : public IOModule {
public:
    static constexpr int kChannels = 4;

    struct Channel {
        float* output = nullptr;     // set by the render loop; a channel without one is skipped
        float target = 0.0f;
        float coefficient = 1.0f;    // one-pole coefficient per sample; 1 jumps to the target
        float value = 0.0f;
        float dither = static_cast<float>(kDenormalDither);
    };

    void process(int sampleFrames) override;

    std::array<Channel, kChannels> channels{};
};

}  // namespace tarvik
