// The modulation generator ("MG"): a low-frequency oscillator with saw,
// square, triangle, sample-and-hold and decay waves. Its control output runs
// through a slew smoother that rounds the saw's and the square's edges; its
// optional audio output reads band-limited wavetables, so the generator can
// also run at audio rate without aliasing.
#pragma once

#include <cstdint>

#include "dsp/io_module.h"
#include "dsp/wavetable.h"

namespace tarvik {

class ModGen : public IOModule {
public:
    static constexpr int kSaw = 0;
    static constexpr int kSquare = 1;
    static constexpr int kTriangle = 2;
    static constexpr int kSampleHold = 3;
    static constexpr int kDecay = 4;

    // Slots.
    static constexpr int kFrequencyInput = 0;  // optional, Hz per sample; else the last frequency holds
    static constexpr int kAmountInput = 1;     // optional, overrides the amount per sample
    static constexpr int kResetInput = 2;      // optional, non-zero restarts the cycle
    static constexpr int kControlOutput = 0;
    static constexpr int kAudioOutput = 1;

    virtual void setAmount(float amount);
    // Waves outside 0..4 select the nearest one.
    virtual void setWave(int wave);
    virtual float getAudioValue();
    virtual void resetPhase();
    virtual void setFrequencyInput(float* buffer);
    virtual void setAudioOutput(bool on);
    virtual void setRetrigger(bool on);
    // Restarts the cycle when retrigger is on; the voice calls it at note-on.
    virtual void retrigger();
    // The slew coefficient per sample, 0..1.
    virtual void setSmoothing(float coefficient);
    // The next sample's slewed output jumps to the wave instead of gliding
    // there (after a patch load).
    void settle() { settle_ = true; }

    void setSampleRate(double rate);
    // The frequency used while no frequency input is patched. A negative or
    // non-finite frequency stops the generator (0 Hz); anything above the
    // Nyquist frequency is held there.
    void setFrequency(double hz);

    void process(int sampleFrames) override;

    // Shared tables, set by the render loop; a missing or unloaded table
    // reads as silence.
    const Wavetable* sawTable = nullptr;
    const Wavetable* squareTable = nullptr;
    const Wavetable* triangleTable = nullptr;

private:
    template <int kWave>
    void render(int sampleFrames);

    int wave_ = kSaw;
    double phase_ = 0.0;
    double frequencyHz_ = 0.0;
    double step_ = 0.0;  // cycles per sample
    double inverseRate_ = 1.0 / 44100.0;
    double amount_ = 1.0;
    double smoothing_ = 0.07;
    double value_ = 0.0;
    double dither_ = kDenormalDither;
    double target_ = 0.0;
    double heldValue_ = 0.0;
    double audioValue_ = 0.0;
    std::uint32_t seed_ = 22222;
    bool audioOutputOn_ = false;
    bool retriggerOn_ = false;
    bool settle_ = false;
};

}  // namespace tarvik
