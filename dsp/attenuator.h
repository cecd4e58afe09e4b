// Scales a patched control signal to fixed (1/8, 1/2) and variable fractions
// and adds a fourth output that is either the signal moved into 0..1 by the
// bias (unipolar mode) or the signal through an adjustable lag.
#pragma once

#include <cstdint>

#include "dsp/io_module.h"

namespace tarvik {

class Attenuator : public IOModule {
public:
    static constexpr int kInput = 0;
    static constexpr int kEighthOutput = 0;
    static constexpr int kHalfOutput = 1;
    static constexpr int kVariableOutput = 2;
    static constexpr int kFourthOutput = 3;  // unipolar (lagMode 0) or lag output

    void setSampleRate(double rate);

    // An unpatched input clears every output. Outputs left unset are skipped.
    void process(int sampleFrames) override;

    float variable = 0.75f;
    float bias = 0.5f;
    float lagTime = 0.0f;        // 0..1: about 0.34 ms to 55 s
    std::int32_t lagMode = 0;    // 0: unipolar fourth output, else lag

private:
    void writeLag(const float* x, float* out, int sampleFrames);

    double sampleRate_ = 44100.0;
    float lagValue_ = 0.0f;
    float lagDither_ = static_cast<float>(kDenormalDither);
};

}  // namespace tarvik
