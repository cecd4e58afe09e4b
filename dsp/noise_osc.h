// The noise generator: white noise through two cascaded one-pole low-passes
// that share one coefficient, the colour. At colour 1 the noise is white;
// lower colours darken it, and at 0 it stops.
#pragma once

#include <cstdint>

#include "dsp/io_module.h"

namespace tarvik {

class NoiseOsc : public IOModule {
public:
    static constexpr int kColorInput = 0;  // "Noise CV", optional: adds half its value to the colour
    static constexpr int kOutput = 0;

    // Each instance gets its own random sequence, so that voices do not play
    // identical noise.
    NoiseOsc();

    // 0..1; values outside are held at the nearest end.
    void setColor(float color);

    void process(int sampleFrames) override;

private:
    template <bool kModulated>
    void render(const float* colorIn, float* out, int sampleFrames);

    // The audio thread must not take the C library's generator: it is shared
    // by the whole process and locks in glibc. A 32-bit linear congruential
    // generator per instance gives the same 15-bit values.
    std::uint32_t random_ = 0;
    float color_ = 1.0f;
    double low_ = 0.0;
    double lowDither_ = kDenormalDither;
    double lower_ = 0.0;
    double lowerDither_ = kDenormalDither;
};

}  // namespace tarvik
