// Brings the oscillators' twice-rate mix back to the host rate: the
// half-band low-pass removes everything above the host's Nyquist frequency,
// then every second sample is kept. The output gain of 2 restores the level
// the mixer halved.
//
// Only the outputs that are kept are computed, a block at a time: every side
// tap of the half-band filter falls on an odd input sample and the centre on
// an even one, so the even and odd samples are split into two streams and
// each output sums the same products, in the same order, as HalfbandFir
// would (the same result to the bit), in a loop over the outputs that the
// compiler vectorises.
#pragma once

#include <array>

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
    static constexpr int kEvenHistory = 8;   // the centre tap reaches 8 pairs back
    static constexpr int kOddHistory = 16;   // the oldest side tap 16
    static constexpr int kChunk = 64;        // pairs per pass

    // The last inputs of the stream, oldest first.
    std::array<double, kEvenHistory> even_{};
    std::array<double, kOddHistory> odd_{};
};

}  // namespace tarvik
