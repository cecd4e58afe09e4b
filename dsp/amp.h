// A voltage-controlled amplifier in its plainest form: the product of two
// signals, sample by sample.
#pragma once

#include "dsp/io_module.h"

namespace tarvik {

class Amp : public IOModule {
public:
    static constexpr int kSignalInput = 0;
    static constexpr int kGainInput = 1;
    static constexpr int kOutput = 0;

    // An unpatched input carries no signal, so the output is silent.
    void process(int sampleFrames) override;
};

}  // namespace tarvik
