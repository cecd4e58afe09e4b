// Brings the oscillators' twice-rate mix back to the host rate: the
// half-band low-pass removes everything above the host's Nyquist frequency,
// then every second sample is kept. The output gain of 2 restores the level
// the mixer halved.
#pragma once

#include "dsp/halfband_fir.h"
#include "dsp/io_module.h"

namespace tarvik {

class Decimate : public IOModule {
public:
    static constexpr int kInput = 0;   // sampleFrames samples at twice the host rate
    static constexpr int kOutput = 0;  // sampleFrames / 2 samples

    // Only whole pairs are used: with an odd count the last input sample is
    // ignored. An unpatched input gives silence.
    void process(int sampleFrames) override;

private:
    HalfbandFir fir_;
};

}  // namespace tarvik
