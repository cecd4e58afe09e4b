#include "dsp/filter.h"

#include <algorithm>
#include <cmath>

#include "dsp/ladder_taps.h"

namespace tarvik {
namespace {

// Output level when the resonance is off, in the modes whose level follows
// the resonance knob (0, 1 and 5), and in the others.
constexpr float kDampedBaseLevel = 0.8f;
constexpr float kBaseLevel = 1.2f;

// Out-of-range or NaN controls must not index outside the cutoff table.
inline float cutoffControl(float c) {
    return c > 0.0f ? std::min(c, static_cast<float>(CutoffTable::kMaxControl)) : 0.0f;
}

// Resonance beyond 1 would push the linear-feedback modes into runaway
// growth; NaN reads as none.
inline float unitRange(float r) { return r > 0.0f ? std::min(r, 1.0f) : 0.0f; }

// One fourth-order Runge-Kutta step of dy/dt = g (v - y) for one stage. The
// input is held over the step, so the four slope evaluations collapse into
// one coefficient c (see CutoffLaw::stageCoefficient), computed once per
// sample for all four stages. The alternating offset on the stage's input
// keeps its state off denormal numbers. Written as y (1 - c) + (in + dither) c,
// everything but in * c is known before the previous stage has answered, so
// the four stages chain through one multiply-add each.
inline float advanceStage(float& y, float& dither, float in, float c, float keep) {
    const float known = y * keep + dither * c;
    dither = -dither;
    y = in * c + known;
    return y;
}

// Feedback of the oversampled mode. Its high-cutoff share g * y4 also goes
// through the clipper: left linear, its loop gain passes 1 near the top of
// the cutoff range at high resonance and the ladder grows without bound.
// For small signals this is the same feedback as with that share unclipped.
inline float oversampledFeedback(float y4, float g) { return softClip((2.0f - g) * y4 * (1.0f - g) + g * y4); }

}  // namespace

Filter::Filter()
    : law_(&referenceCutoffLaw()),
      resonanceTable_(ResonanceTable::instance()),
      levelTable_(LevelTable::instance()) {}

Filter::~Filter() = default;

void Filter::stepLadder(Stages& stages, double u, double g) {
    const auto c = static_cast<float>(CutoffLaw::stageCoefficient(g));
    const float keep = 1.0f - c;
    auto in = static_cast<float>(u);
    for (Stage& stage : stages) in = advanceStage(stage.y, stage.dither, in, c, keep);
}

void Filter::process(int sampleFrames) {
    if (prepare(sampleFrames)) renderPrepared(sampleFrames);
}

bool Filter::prepare(int sampleFrames) {
    float* out = outputs[kAudioOut];
    if (out == nullptr || sampleFrames <= 0) return false;
    for (int slot = kAudioIn; slot <= kResonanceIn; ++slot) {
        if (inputs[static_cast<std::size_t>(slot)] == nullptr) {
            std::fill(out, out + sampleFrames, 0.0f);
            return false;
        }
    }
    firstPass(sampleFrames);
    return true;
}

void Filter::renderPrepared(int sampleFrames) {
    switch (mode) {
        case kTb303LowPass24: processSlewDamped<kTb303LowPass24>(sampleFrames); break;
        case kTb303LowPass18: processSlewDamped<kTb303LowPass18>(sampleFrames); break;
        case kLowPass18: processLinear18(sampleFrames); break;
        case kBandPassEuler: processSaturated<kBandPassEuler>(sampleFrames); break;
        case kLowPass24Oversampled: processOversampled(sampleFrames); break;
        case kHighPass: processSaturated<kHighPass>(sampleFrames); break;
        case kBandStop: processSaturated<kBandStop>(sampleFrames); break;
        case kHighToLowMorph: processSaturated<kHighToLowMorph>(sampleFrames); break;
        case kBandToLowMorph: processSaturated<kBandToLowMorph>(sampleFrames); break;
        case kLowPass4Pole: processSaturated<kLowPass4Pole>(sampleFrames); break;
        case kBandPass4Pole: processSaturated<kBandPass4Pole>(sampleFrames); break;
        case kHighPass4Pole: processSaturated<kHighPass4Pole>(sampleFrames); break;
        case kHighToLowMorph4Pole: processSaturated<kHighToLowMorph4Pole>(sampleFrames); break;
        case kLowToHighMorph4Pole: processSaturated<kLowToHighMorph4Pole>(sampleFrames); break;
        // Mode 3 and any value a patch should never hold: a stale output
        // buffer would replay old audio, so the default filter runs instead.
        default: processSaturated<kLowPass24Saturated>(sampleFrames); break;
    }
}

void Filter::firstPass(int frames) {
    const float* cutoff = inputs[kCutoffIn];
    const float* resonanceIn = inputs[kResonanceIn];
    float* gOut = inputs[kGScratch];
    float* kOut = inputs[kKScratch];
    float* levelOut = inputs[kLevelScratch];
    float* resonanceOut = inputs[kResonanceScratch];
    const CutoffLaw& law = *law_;
    const ResonanceTable& resonanceTable = resonanceTable_;
    const LevelTable& levelTable = levelTable_;

    // Two passes: each sample's lookups depend one on the next, and shorter
    // chains let the processor work on more samples at once.
    for (int i = 0; i < frames; ++i) gOut[i] = law.g(cutoffControl(cutoff[i]));
    float r = activeResonance_;
    for (int i = 0; i < frames; ++i) {
        const float g = gOut[i];
        r = unitRange(resonanceIn[i]);
        kOut[i] = 4.0f * resonanceTable.lookup(g) * r + (1.0f - r);
        levelOut[i] = levelTable.lookup(g) * r + kBaseLevel * (1.0f - r);
        resonanceOut[i] = r;
    }
    activeResonance_ = r;
}

template <int M>
void Filter::processSlewDamped(int frames) {
    static_assert(M == kTb303LowPass24 || M == kTb303LowPass18);
    const float* x = inputs[kAudioIn];
    const float* cutoff = inputs[kCutoffIn];
    const float* gIn = inputs[kGScratch];
    float* out = outputs[kAudioOut];
    const ResonanceTable& resonanceTable = resonanceTable_;
    const LevelTable& levelTable = levelTable_;
    const float inputGain = drive;
    const float setResonance = unitRange(resonance);

    Stages stages = stages_;
    CutoffSmoother smoother = smoother_;
    float fb = feedback_;
    for (int i = 0; i < frames; ++i) {
        const float rho = smoother.dampedResonance(cutoffControl(cutoff[i]), setResonance);
        const float g = gIn[i];
        const float u0 = inputGain * x[i] - rho * fb * 4.0f * resonanceTable.lookup(g);
        stepLadder(stages, u0, g);
        const float y4 = stages[3].y;
        fb = y4;
        const float level = levelTable.lookup(g) * rho + kDampedBaseLevel * (1.0f - rho);
        if constexpr (M == kTb303LowPass24) {
            out[i] = (1.0f + 0.52f * g) * level * y4;
        } else {
            out[i] = ((1.0f - g) * y4 + g * stages[2].y) * level;
        }
    }
    stages_ = stages;
    smoother_ = smoother;
    feedback_ = fb;
}

void Filter::processLinear18(int frames) {
    const float* x = inputs[kAudioIn];
    const float* gIn = inputs[kGScratch];
    const float* kIn = inputs[kKScratch];
    const float* levelIn = inputs[kLevelScratch];
    float* out = outputs[kAudioOut];
    const float inputGain = drive;
    // This model holds one resonance per block: the block's last value.
    const float blockResonance = activeResonance_;

    Stages stages = stages_;
    float fb = feedback_;
    for (int i = 0; i < frames; ++i) {
        const float g = gIn[i];
        const float u0 = inputGain * x[i] - blockResonance * fb * kIn[i];
        stepLadder(stages, u0, g);
        fb = stages[3].y;
        out[i] = (1.0f + 0.52f * g) * levelIn[i] * stages[2].y;
    }
    stages_ = stages;
    feedback_ = fb;
}

// The saturating modes: the feedback goes through the soft clipper.
template <int M>
void Filter::processSaturated(int frames) {
    const float* x = inputs[kAudioIn];
    const float* gIn = inputs[kGScratch];
    const float* kIn = inputs[kKScratch];
    const float* levelIn = inputs[kLevelScratch];
    const float* rIn = inputs[kResonanceScratch];
    float* out = outputs[kAudioOut];
    const float inputGain = drive;

    Stages stages = stages_;
    float fb = feedback_;
    for (int i = 0; i < frames; ++i) {
        const float g = gIn[i];
        const float loopGain = rIn[i] * kIn[i];
        const float feedbackGain = ladder::saturatedFeedbackGain(g);
        const float u0 = inputGain * x[i] - loopGain * fb;
        stepLadder(stages, u0, g);
        const float y1 = stages[0].y;
        const float y2 = stages[1].y;
        const float y3 = stages[2].y;
        const float y4 = stages[3].y;
        fb = softClip(feedbackGain * y4);

        const float tap = ladder::saturatedTap<M>(u0, y1, y2, y3, y4, g);
        out[i] = tap * levelIn[i];
    }
    stages_ = stages;
    feedback_ = fb;
}

// The ladder runs twice per host sample between a half-band up-sampler
// (zero-stuffing, gain 2) and a half-band down-sampler. The coefficient g is
// the host-rate one, so the ladder's own cutoff sits an octave higher than
// in mode 3.
void Filter::processOversampled(int frames) {
    const float* x = inputs[kAudioIn];
    const float* cutoff = inputs[kCutoffIn];
    const float* gIn = inputs[kGScratch];
    float* out = outputs[kAudioOut];
    const ResonanceTable& resonanceTable = resonanceTable_;
    const LevelTable& levelTable = levelTable_;
    const float inputGain = drive;
    const float setResonance = unitRange(resonance);

    Stages stages = stages_;
    CutoffSmoother smoother = smoother_;
    float fb = feedback_;
    HalfbandFir up = up_;
    HalfbandFir down = down_;
    for (int i = 0; i < frames; ++i) {
        const float rho = smoother.dampedResonance(cutoffControl(cutoff[i]), setResonance);
        const float g = gIn[i];
        const float loop = rho * 4.0f * resonanceTable.lookup(g);

        stepLadder(stages, 2.0 * up.process(inputGain * x[i]) - loop * fb, g);
        fb = oversampledFeedback(stages[3].y, g);
        down.push(ladder::blendedLowPass(stages[2].y, stages[3].y, g));

        stepLadder(stages, 2.0 * up.process(0.0) - loop * fb, g);
        fb = oversampledFeedback(stages[3].y, g);
        const double z = down.process(ladder::blendedLowPass(stages[2].y, stages[3].y, g));

        const float level = levelTable.lookup(g) * rho + kDampedBaseLevel * (1.0f - rho);
        out[i] = static_cast<float>(z * level);
    }
    stages_ = stages;
    smoother_ = smoother;
    feedback_ = fb;
    up_ = up;
    down_ = down;
}

}  // namespace tarvik
