#include "dsp/envelope.h"

#include <cmath>

namespace tarvik {

namespace {

constexpr double kDampRate = 0.01;
constexpr double kDampEnd = 0.01;  // damp hands over to the attack below this level
constexpr double kFastReleaseRate = 0.008;

// A one-pole coefficient above 1 overshoots its target and rings (above 2 it
// diverges): a release would swing below zero and invert the voice. Times so
// short that the rate exceeds 1 are one sample long anyway, so 1 is exact
// enough. NaN (from a broken time) freezes the stage rather than poisoning it.
double unitRate(float rate) {
    return std::fmin(std::fmax(static_cast<double>(rate), 0.0), 1.0);
}

}  // namespace

void Envelope::process(int sampleFrames) { run<false>(sampleFrames, 0.0); }

int Envelope::processUntilSilent(int sampleFrames, double silence) { return run<true>(sampleFrames, silence); }

template <bool StopWhenSilent>
int Envelope::run(int sampleFrames, double silence) {
    float* out = outputs[kOutput];
    if (out == nullptr) return 0;
    const float* gate = inputs[kGateInput];
    const float* trigger = inputs[kTriggerInput];
    const float* amountIn = inputs[kAmountInput];
    const float* accent = inputs[kAccentInput];

    const double attack = attackStep;
    const double decay = unitRate(decayRate);
    const double accentDecay = unitRate(accentDecayRate);
    const double release = unitRate(releaseRate);
    const double target = sustain;

    std::int32_t s = stage;
    double y = level;
    double d = dither_;
    std::int32_t flag = s == kAttack ? 1 : 0;

    // Each exponential stage is written y = y (1 - rate) + (goal + d) rate:
    // the same step as y += (goal + d - y) rate, but the level's own chain
    // from one sample to the next is a single multiply-add.
    const double decayKeep = 1.0 - decay;
    const double accentDecayKeep = 1.0 - accentDecay;
    const double releaseKeep = 1.0 - release;
    int i = 0;
    for (; i < sampleFrames; ++i) {
        if constexpr (StopWhenSilent) {
            if (std::fabs(y) < silence) break;
        }
        const bool accented = accent != nullptr && accent[i] != 0.0f;
        const double rate = accented ? accentDecay : decay;
        const double keep = accented ? accentDecayKeep : decayKeep;
        const double amount = amountIn != nullptr ? amountIn[i] : 1.0;
        if (trigger != nullptr && trigger[i] != 0.0f) {
            y = 0.0;
            s = kAttack;
            flag = 1;
        }
        // After the trigger, so that a trigger on a closed gate ends in release.
        if (gate != nullptr && gate[i] == 0.0f) s = kRelease;

        switch (s) {
            case kDamp:
                y = y * (1.0 - kDampRate) + d * kDampRate;
                if (y < kDampEnd) s = kAttack;
                break;
            case kAttack:
                y += attack;
                if (y > 1.0) {
                    y = 1.0;
                    s = kDecay;
                }
                break;
            case kDecay:
                y = y * keep + (target + d) * rate;
                break;
            case kRelease:
                y = y * releaseKeep + d * release;
                break;
            case kFastRelease:
                y = y * (1.0 - kFastReleaseRate) + d * kFastReleaseRate;
                break;
        }
        d = -d;
        out[i] = static_cast<float>(amount * y);
    }

    stage = s;
    level = y;
    dither_ = d;
    attackFlag = flag;
    return i;
}

}  // namespace tarvik
