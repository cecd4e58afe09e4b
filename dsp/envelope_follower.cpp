#include "dsp/envelope_follower.h"

#include <cmath>
#include <numbers>

namespace tarvik {

namespace {

constexpr double kDefaultSampleRate = 44100.0;
constexpr double kDefaultAttackSeconds = 0.01;
constexpr double kDefaultReleaseSeconds = 0.02;

// Above 1 the level would overshoot the rectified input and ring; at very low
// sample rates the shortest attack knob time asks for that.
float unitRate(float rate) { return std::fmin(std::fmax(rate, 0.0f), 1.0f); }

}  // namespace

EnvelopeFollower::EnvelopeFollower() { setSampleRate(kDefaultSampleRate); }

void EnvelopeFollower::setSampleRate(double rate) {
    if (!(rate > 0.0) || std::isinf(rate)) return;
    attackRate = static_cast<float>(std::numbers::ln10 / (kDefaultAttackSeconds * rate));
    releaseRate = static_cast<float>(std::numbers::ln10 / (kDefaultReleaseSeconds * rate));
}

void EnvelopeFollower::process(int sampleFrames) {
    float* out = outputs[kOutput];
    if (out == nullptr) return;
    const float* x = inputs[kInput];
    if (x == nullptr)
        follow<true>(x, out, sampleFrames);
    else
        follow<false>(x, out, sampleFrames);
}

template <bool kSilent>
void EnvelopeFollower::follow(const float* x, float* out, int sampleFrames) {
    const float attack = unitRate(attackRate);
    const float release = unitRate(releaseRate);
    float y = level;
    float d = dither_;
    for (int i = 0; i < sampleFrames; ++i) {
        float v = d;
        if constexpr (!kSilent) v += std::fabs(x[i]);
        d = -d;
        y += (v - y) * (v > y ? attack : release);
        out[i] = y;
    }
    level = y;
    dither_ = d;
}

}  // namespace tarvik
