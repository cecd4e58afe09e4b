// Turns a control signal upside down: mode 0 negates it (for bipolar
// modulation), mode 1 takes its complement 1 - x within 0..1 (for unipolar
// signals such as envelopes).
#pragma once

#include <cstdint>

#include "dsp/io_module.h"

namespace tarvik {

class Inverter : public IOModule {
public:
    static constexpr int kInput = 0;
    static constexpr int kOutput = 0;

    // An unpatched input clears the output.
    void process(int sampleFrames) override;

    std::int32_t mode = 0;
};

}  // namespace tarvik
