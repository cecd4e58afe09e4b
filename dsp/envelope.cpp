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

// One envelope's walk through a run of samples: its settings and inputs
// read once, its state in registers. Two walks in one loop (processPair)
// are two independent chains that the processor overlaps.
class Envelope::Walk {
public:
    explicit Walk(Envelope& e)
        : envelope_(e),
          out_(e.outputs[kOutput]),
          gate_(e.inputs[kGateInput]),
          trigger_(e.inputs[kTriggerInput]),
          amountIn_(e.inputs[kAmountInput]),
          accent_(e.inputs[kAccentInput]),
          attack_(e.attackStep),
          decay_(unitRate(e.decayRate)),
          accentDecay_(unitRate(e.accentDecayRate)),
          release_(unitRate(e.releaseRate)),
          target_(e.sustain),
          decayKeep_(1.0 - decay_),
          accentDecayKeep_(1.0 - accentDecay_),
          releaseKeep_(1.0 - release_),
          stage_(e.stage),
          y_(e.level),
          d_(e.dither_),
          flag_(e.stage == kAttack ? 1 : 0) {}

    bool writes() const { return out_ != nullptr; }
    double level() const { return y_; }

    // Decay or release with nothing to end it within the run: no gate, no
    // trigger, and for the decay no accent. Then every sample is the same
    // one-pole step, without the stage machine's branches.
    bool steady() const {
        if (gate_ != nullptr || trigger_ != nullptr) return false;
        return (stage_ == kDecay && accent_ == nullptr) || stage_ == kRelease;
    }

    // step(i) for a steady walk: (0 + d) rate is d rate exactly, so the
    // release is the decay's step toward 0.
    void steadyStep(int i) {
        const bool decaying = stage_ == kDecay;
        const double keep = decaying ? decayKeep_ : releaseKeep_;
        const double rate = decaying ? decay_ : release_;
        const double goal = decaying ? target_ : 0.0;
        const double amount = amountIn_ != nullptr ? amountIn_[i] : 1.0;
        y_ = y_ * keep + (goal + d_) * rate;
        d_ = -d_;
        out_[i] = static_cast<float>(amount * y_);
    }

    // Each exponential stage is written y = y (1 - rate) + (goal + d) rate:
    // the same step as y += (goal + d - y) rate, but the level's own chain
    // from one sample to the next is a single multiply-add.
    void step(int i) {
        const bool accented = accent_ != nullptr && accent_[i] != 0.0f;
        const double rate = accented ? accentDecay_ : decay_;
        const double keep = accented ? accentDecayKeep_ : decayKeep_;
        const double amount = amountIn_ != nullptr ? amountIn_[i] : 1.0;
        if (trigger_ != nullptr && trigger_[i] != 0.0f) {
            y_ = 0.0;
            stage_ = kAttack;
            flag_ = 1;
        }
        // After the trigger, so that a trigger on a closed gate ends in release.
        if (gate_ != nullptr && gate_[i] == 0.0f) stage_ = kRelease;

        switch (stage_) {
            case kDamp:
                y_ = y_ * (1.0 - kDampRate) + d_ * kDampRate;
                if (y_ < kDampEnd) stage_ = kAttack;
                break;
            case kAttack:
                y_ += attack_;
                if (y_ > 1.0) {
                    y_ = 1.0;
                    stage_ = kDecay;
                }
                break;
            case kDecay:
                y_ = y_ * keep + (target_ + d_) * rate;
                break;
            case kRelease:
                y_ = y_ * releaseKeep_ + d_ * release_;
                break;
            case kFastRelease:
                y_ = y_ * (1.0 - kFastReleaseRate) + d_ * kFastReleaseRate;
                break;
        }
        d_ = -d_;
        out_[i] = static_cast<float>(amount * y_);
    }

    void finish() {
        envelope_.stage = stage_;
        envelope_.level = y_;
        envelope_.dither_ = d_;
        envelope_.attackFlag = flag_;
    }

private:
    Envelope& envelope_;
    float* out_;
    const float* gate_;
    const float* trigger_;
    const float* amountIn_;
    const float* accent_;
    double attack_;
    double decay_;
    double accentDecay_;
    double release_;
    double target_;
    double decayKeep_;
    double accentDecayKeep_;
    double releaseKeep_;
    std::int32_t stage_;
    double y_;
    double d_;
    std::int32_t flag_;
};

void Envelope::process(int sampleFrames) {
    Walk walk(*this);
    if (!walk.writes()) return;
    for (int i = 0; i < sampleFrames; ++i) walk.step(i);
    walk.finish();
}

int Envelope::processUntilSilent(int sampleFrames, double silence) {
    Walk walk(*this);
    if (!walk.writes()) return 0;
    int i = 0;
    for (; i < sampleFrames && !(std::fabs(walk.level()) < silence); ++i) walk.step(i);
    walk.finish();
    return i;
}

int Envelope::processPair(Envelope& leader, Envelope& follower, int sampleFrames, double silence) {
    Walk lead(leader);
    Walk follow(follower);
    if (!lead.writes() || !follow.writes()) {
        const int frames = leader.processUntilSilent(sampleFrames, silence);
        follower.process(frames);
        return frames;
    }
    int i = 0;
    if (lead.steady() && follow.steady()) {
        for (; i < sampleFrames && !(std::fabs(lead.level()) < silence); ++i) {
            lead.steadyStep(i);
            follow.steadyStep(i);
        }
    } else {
        for (; i < sampleFrames && !(std::fabs(lead.level()) < silence); ++i) {
            lead.step(i);
            follow.step(i);
        }
    }
    lead.finish();
    follow.finish();
    return i;
}

}  // namespace tarvik
