// Tracks the level of an audio signal (the AUX input) so that it can steer
// other modules: a one-pole on the rectified signal that rises with
// attackRate and falls with releaseRate.
#pragma once

#include "dsp/io_module.h"

namespace tarvik {

class EnvelopeFollower : public IOModule {
public:
    static constexpr int kInput = 0;
    static constexpr int kOutput = 0;

    EnvelopeFollower();

    // Sets the rates to their 10 ms rise and 20 ms fall at this rate; the
    // render loop sets its own rates from the knobs afterwards.
    void setSampleRate(double rate);

    // An unpatched input is silence: the level falls at releaseRate.
    void process(int sampleFrames) override;

    float level = 0.0f;
    float attackRate = 0.0f;   // one-pole coefficients per sample
    float releaseRate = 0.0f;

private:
    template <bool kSilent>
    void follow(const float* x, float* out, int sampleFrames);

    float dither_ = 1e-6f;
};

}  // namespace tarvik
