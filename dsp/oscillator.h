// One of the two voltage-controlled oscillators of a voice. It runs at twice
// the host rate: the render loop hands it 2N samples per block of N frames
// and halves the result again with the decimator.
//
// Two models: the computed one makes saw, square and pulse by differentiating
// a parabola of the phase (the slope of (p − 0.5)² over one step is a ramp
// whose jump is spread over one sample) and reads triangle and sine from the
// wavetables; the wavetable model reads every waveform from the band-limited
// tables and can add a low-passed copy of itself ("boost"). Both play each
// waveform at the same level, so switching models does not jump. In both,
// cycles are alternately 0.15 % shorter and longer, the small instability of
// an analogue oscillator.
//
// Slots:
//   input 0   frequency in Hz, one value per host-rate frame (read at i / 2);
//             unpatched, the last frequency stays in force
//   input 1   sync: a non-zero sample restarts the cycle
//   input 2   pulse width per host-rate frame, 0..1 (waveform 2); values
//             outside, NaN included, play as the nearest edge
//   output 0  audio, 2N samples
//   output 1  sync out: 1 where the phase wrapped, else 0
//   output 2  phase per sample, 0..1 (scratch)
//   output 3  period per sample in host-rate samples, 1 / f (scratch)
// Without output 2 and 3 the oscillator uses scratch of its own.
//
// Frequencies the oscillator cannot play are made safe per frame: NaN, zero
// and negative values hold the phase (the computed saw, square and pulse
// fall silent, the table forms hold their value), and anything above the
// host rate, +inf included, plays at the host rate.
#pragma once

#include <array>
#include <cstdint>

#include "dsp/io_module.h"
#include "dsp/wavetable.h"

namespace tarvik {

class Oscillator : public IOModule {
public:
    static constexpr std::int32_t kSaw = 0;
    static constexpr std::int32_t kSquare = 1;
    static constexpr std::int32_t kPulse = 2;
    static constexpr std::int32_t kTriangle = 3;
    static constexpr std::int32_t kSine = 4;

    static constexpr float kDrift = 1.0015f;

    // Slots, as the comment above describes them.
    static constexpr int kFrequencyInput = 0;
    static constexpr int kSyncInput = 1;
    static constexpr int kPulseWidthInput = 2;
    static constexpr int kAudioOutput = 0;
    static constexpr int kSyncOutput = 1;
    static constexpr int kPhaseScratch = 2;
    static constexpr int kPeriodScratch = 3;

    Oscillator();
    ~Oscillator() override;

    void process(int sampleFrames) override;

    // Sets kPulseWidthInput.
    virtual void setPulseWidthInput(float* buffer);

    // Called whenever waveform changes: the cycle restarts at phase 0 and the
    // computed model fades in from silence, with the differentiator preset so
    // that its first sample is 0.
    void resetWaveform();

    void setSampleRate(double rate);

    bool useWavetables = true;
    std::int32_t waveform = kSaw;  // values outside 0..4 play the nearest waveform
    double phase = 0.0;
    float frequency = 0.0f;  // cycles per host-rate sample, the block's last
    float drift = kDrift;
    float pulseOffset = 0.0f;
    float boost = 0.0f;
    float prevSquare1 = 0.25f;
    float prevSquare2 = 0.0025f;

    // Shared tables the render loop sets; a waveform whose table is missing
    // or empty plays silence.
    const Wavetable* sawTable = nullptr;
    const Wavetable* triangleTable = nullptr;
    const Wavetable* squareTable = nullptr;

private:
    // A one-pole state with the dither that keeps it out of denormals.
    struct Smoother {
        double value = 0.0;
        double dither = kDenormalDither;
    };

    static constexpr int kScratchSize = 256;

    void renderSpan(int begin, int end, float* phases, float* periods, bool plainForms);
    template <bool SyncIn, bool SyncOut>
    void runPhase(int begin, int end, float* phases, float* periods);
    // Returns false when the span did not run the differentiator.
    bool renderComputed(int wave, int begin, int end, const float* phases, const float* periods, bool plainForms);
    void renderWavetable(int wave, int begin, int end, const float* phases, const float* periods);

    void renderDifferentiatedSaw(int begin, int end, const float* phases, const float* periods);
    template <bool FollowInput>
    void renderDifferentiatedPulse(int begin, int end, const float* phases, const float* periods, float width);
    void renderPlainSaw(int begin, int end, const float* phases);
    template <bool FollowInput>
    void renderPlainPulse(int begin, int end, const float* phases, float width);
    void renderTable(const Wavetable* table, int begin, int end, const float* phases, const float* periods);
    void renderSine(int begin, int end, const float* phases);
    void renderTablePulse(int begin, int end, const float* phases, const float* periods);
    void applyBoost(int begin, int end);
    void followPhase(int wave, float lastPhase, int lastFrame);
    bool playsPlainForms(int frame) const;

    float sampleTime_ = 1.0f / 44100.0f;
    // The phase and period of the sample before the current one: the step
    // that led to a phase was taken at the previous sample's frequency.
    float lastPhase_ = 0.0f;
    float lastPeriod_ = 0.0f;
    Smoother fadeGain_;
    Smoother pulseWidth_;
    Smoother boostLowpass_;
    std::array<float, kScratchSize> scratchPhases_{};
    std::array<float, kScratchSize> scratchPeriods_{};
};

}  // namespace tarvik
