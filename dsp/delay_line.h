// One channel of the stereo delay: a ring of 65536 samples read at a
// fractional offset ahead of the write point. The offset glides toward its
// target, so a change of delay time bends the pitch of the echoes instead of
// clicking. The render loop drives it one sample at a time through tick().
#pragma once

#include <cstdint>
#include <vector>

#include "dsp/io_module.h"

namespace tarvik {

class DelayLine : public IOModule {
public:
    static constexpr std::int32_t kLength = 65536;  // a power of two: wrapping is a mask
    static constexpr std::int32_t kMask = kLength - 1;

    DelayLine();

    // Silences the ring (engine reset, patch load).
    void clear();

    // Returns the sample written (1 - position) * kLength samples ago and
    // writes x plus the fed-back echo.
    float tick(float x) {
        double p = position * kLength;
        // Only a position outside 0..1 (a fault upstream) gets here; it reads
        // the longest delay rather than an undefined index.
        if (!(p >= 0.0 && p < kLength)) p = 0.0;
        const auto j = static_cast<std::int32_t>(p);
        const double f = p - j;
        const std::int32_t r = (j + writeIndex_) & kMask;
        float* ring = buffer_.data();
        const auto y = static_cast<float>(ring[r] * (1.0 - f) + f * ring[(r + 1) & kMask]);
        ring[writeIndex_] = y * feedback + x;
        writeIndex_ = (writeIndex_ + 1) & kMask;
        position += (targetPosition - position) * kGlide;
        return y;
    }

    float feedback = 0.0f;
    double position = 0.01;        // read offset as a fraction of the ring
    double targetPosition = 0.01;  // the offset position glides to

private:
    // A time constant of 2000 samples (the float 0.0005, widened).
    static constexpr double kGlide = static_cast<double>(0.0005f);

    std::vector<float> buffer_;
    std::int32_t writeIndex_ = 0;
};

}  // namespace tarvik
