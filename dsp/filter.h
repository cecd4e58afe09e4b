// The voltage-controlled filter: four one-pole low-pass stages in a ladder
// with global feedback, each integrated per sample with a fourth-order
// Runge-Kutta step. Different output taps and feedback shapes give the
// low-pass, band-pass, high-pass, band-stop and morphing responses of the
// filter menu. Cutoff and resonance are per-sample controls, so envelopes
// and patch cables can sweep them at audio rate.
//
// The filter knows nothing of the host's sample rate: a cutoff control gives
// a frequency proportional to the rate, and the render loop scales the
// control to suit.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "dsp/cutoff_law.h"
#include "dsp/filter_tables.h"
#include "dsp/halfband_fir.h"
#include "dsp/io_module.h"

namespace tarvik {

class Filter : public IOModule {
public:
    // FilterMode values, in the order of the editor's filter menu. Any other
    // value runs as kLowPass24Saturated.
    enum Mode : std::int32_t {
        kTb303LowPass24 = 0,         // 4th stage, resonance damped by fast cutoff moves
        kTb303LowPass18 = 1,         // as 0, output faded from the 4th to the 3rd stage with cutoff
        kLowPass18 = 2,              // 3rd stage, linear feedback
        kLowPass24Saturated = 3,     // 3rd/4th stage blend, saturating feedback
        kBandPassEuler = 4,          // 3rd minus 4th stage
        kLowPass24Oversampled = 5,   // mode 3's taps at twice the rate, damped like 0
        kHighPass = 6,               // input minus 4th stage
        kBandStop = 7,               // input minus mode 4's band-pass
        kHighToLowMorph = 8,         // mode 6 fading into mode 3 as the cutoff rises
        kBandToLowMorph = 9,         // mode 4 fading into mode 3 as the cutoff rises
        kLowPass4Pole = 10,          // pure 4th stage, 24 dB/octave
        kBandPass4Pole = 11,         // 12 dB/octave on both sides
        kHighPass4Pole = 12,         // 24 dB/octave high-pass
        kHighToLowMorph4Pole = 13,   // 12 fading into 10 as the cutoff rises
        kLowToHighMorph4Pole = 14,   // 10 fading into 12 as the cutoff rises
    };

    // Slots. The render loop supplies the four scratch buffers (through
    // setCoefficientBuffers); the filter fills them with its per-sample
    // coefficients before it integrates.
    static constexpr int kAudioIn = 0;
    static constexpr int kCutoffIn = 1;     // 0 = lowest, 1 = highest
    static constexpr int kGScratch = 2;     // ladder coefficient g
    static constexpr int kKScratch = 3;     // feedback gain k
    static constexpr int kLevelScratch = 4; // output level G
    static constexpr int kResonanceScratch = 5;
    static constexpr int kResonanceIn = 6;  // 0 to 1
    static constexpr int kAudioOut = 0;

    Filter();
    ~Filter() override;

    // The buffers the first pass fills, one value per sample: the ladder
    // coefficient g, the feedback gain k, the output level G and the
    // resonance in use. They sit in input slots because FilterLanes reads
    // them there once the filter is prepared.
    void setCoefficientBuffers(float* g, float* k, float* level, float* resonanceInUse) {
        inputs[kGScratch] = g;
        inputs[kKScratch] = k;
        inputs[kLevelScratch] = level;
        inputs[kResonanceScratch] = resonanceInUse;
    }

    // The cutoff law of the host's sample rate (the 44.1 kHz law until set);
    // the law must outlive the filter's use of it.
    void setCutoffLaw(const CutoffLaw& law) { law_ = &law; }

    // Renders sampleFrames samples into output slot 0. With any of the seven
    // inputs missing the output is silence; with no output, nothing happens.
    void process(int sampleFrames) override;

    // process() in two steps, so that FilterLanes can step the ladders of
    // several filters side by side: prepare() fills the scratch inputs with
    // the per-sample coefficients and answers whether there is anything to
    // render (false: the output, if any, is already silence);
    // renderPrepared() runs the ladder of the filter's mode.
    bool prepare(int sampleFrames);
    void renderPrepared(int sampleFrames);

    std::int32_t mode = kTb303LowPass24;
    float resonance = 0.0f;  // for the whole block, modes 0, 1 and 5
    float drive = 2.0f;

private:
    friend class FilterLanes;

    struct Stage {
        float y = 0.0f;
        float dither = static_cast<float>(kDenormalDither);
    };
    using Stages = std::array<Stage, 4>;

    // Follows the cutoff control slowly. A fast cutoff move opens a gap to
    // the smoothed value, and the resonance in use backs off by that gap
    // until the smoother catches up.
    struct CutoffSmoother {
        float value = 0.0f;
        float dither = static_cast<float>(kDenormalDither);

        float dampedResonance(float control, float setResonance) {
            value += ((control + dither) - value) * 0.1f;
            dither = -dither;
            return (1.0f - std::fabs(control - value)) * setResonance;
        }
    };

    static void stepLadder(Stages& stages, double u, double g);

    void firstPass(int frames);
    template <int M>
    void processSlewDamped(int frames);
    void processLinear18(int frames);
    template <int M>
    void processSaturated(int frames);
    void processOversampled(int frames);

    const CutoffLaw* law_;
    const ResonanceTable& resonanceTable_;
    const LevelTable& levelTable_;

    Stages stages_{};
    CutoffSmoother smoother_{};
    float feedback_ = 0.0f;
    float activeResonance_ = 0.0f;
    HalfbandFir up_;
    HalfbandFir down_;
};

}  // namespace tarvik
