#include "dsp/mod_gen.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tarvik {

namespace {

// The held random values: 0..randomRange scaled to about -1..+1 (three
// times a third of the 15-bit range, so the values match those of the noise
// generator).
constexpr float kRandomRange = 10923.0f;
constexpr float kRandomScale = 1.0f / 32767.0f;
constexpr std::uint32_t kRandomMultiplier = 196314165u;
constexpr std::uint32_t kRandomIncrement = 907633515u;
constexpr double kTwoToMinus32 = 0x1p-32;

// A step of half a cycle per sample is the Nyquist frequency: beyond it the
// phase would outrun its single wrap per sample.
constexpr double kMaxStep = 0.5;
constexpr double kMaxPeriod = static_cast<double>(std::numeric_limits<int>::max());

double saneFrequency(double hz) { return hz > 0.0 && !std::isinf(hz) ? hz : 0.0; }

// The period in host-rate samples picks the table level. At 0 Hz it is
// endless: the phase is frozen, so any level gives the same constant, and the
// longest-period entry of the map serves.
int periodOf(double step) {
    const double period = 1.0 / step;
    return period < kMaxPeriod ? static_cast<int>(period) : std::numeric_limits<int>::max();
}

// The decay falls to a tenth per period 1/step; held at 1 so that the
// highest frequencies do not make it overshoot and ring.
double decayCoefficient(double step) { return std::min(std::numbers::ln10 * step, 1.0); }

const Wavetable* readable(const Wavetable* table) {
    return table != nullptr && table->levelCount() > 0 && table->tableCount() > 0 ? table : nullptr;
}

double nextHeldValue(std::uint32_t& seed) {
    seed = seed * kRandomMultiplier + kRandomIncrement;
    const double u = seed * kTwoToMinus32 * kRandomRange;
    return ((u + u + u) * 2.0 - (kRandomRange - 1.0) * 3.0) * kRandomScale;
}

}  // namespace

void ModGen::setAmount(float amount) { amount_ = amount; }

void ModGen::setWave(int wave) { wave_ = std::clamp(wave, kSaw, kDecay); }

float ModGen::getAudioValue() { return static_cast<float>(audioValue_); }

void ModGen::resetPhase() { phase_ = 0.0; }


void ModGen::setFrequencyInput(float* buffer) { inputs[kFrequencyInput] = buffer; }

void ModGen::setAudioOutput(bool on) { audioOutputOn_ = on; }

void ModGen::setRetrigger(bool on) { retriggerOn_ = on; }

void ModGen::retrigger() {
    if (retriggerOn_) phase_ = 0.0;
}

void ModGen::setSmoothing(float coefficient) {
    smoothing_ = std::fmin(std::fmax(static_cast<double>(coefficient), 0.0), 1.0);
}

void ModGen::setSampleRate(double rate) {
    if (!(rate > 0.0) || std::isinf(rate)) return;
    inverseRate_ = 1.0 / rate;
    step_ = std::min(frequencyHz_ * inverseRate_, kMaxStep);
}

void ModGen::setFrequency(double hz) {
    frequencyHz_ = saneFrequency(hz);
    step_ = std::min(frequencyHz_ * inverseRate_, kMaxStep);
}

void ModGen::process(int sampleFrames) {
    if (outputs[kControlOutput] == nullptr && outputs[kAudioOutput] == nullptr) return;
    switch (wave_) {
        case kSaw: render<kSaw>(sampleFrames); break;
        case kSquare: render<kSquare>(sampleFrames); break;
        case kTriangle: render<kTriangle>(sampleFrames); break;
        case kSampleHold: render<kSampleHold>(sampleFrames); break;
        case kDecay: render<kDecay>(sampleFrames); break;
    }
}

template <int kWave>
void ModGen::render(int sampleFrames) {
    const float* frequencyIn = inputs[kFrequencyInput];
    const float* amountIn = inputs[kAmountInput];
    const float* resetIn = inputs[kResetInput];
    float* out = outputs[kControlOutput];
    float* audioOut = outputs[kAudioOutput];

    // Saw and square read their tables only for the audio output; the
    // triangle is read from its table in any case.
    const Wavetable* table = nullptr;
    if constexpr (kWave == kSaw) table = audioOutputOn_ ? readable(sawTable) : nullptr;
    if constexpr (kWave == kSquare) table = audioOutputOn_ ? readable(squareTable) : nullptr;
    if constexpr (kWave == kTriangle) table = readable(triangleTable);

    const double inverseRate = inverseRate_;
    const double smoothing = smoothing_;
    double slew = settle_ ? 1.0 : smoothing;
    settle_ = false;
    double hz = frequencyHz_;
    double step = step_;
    int period = table != nullptr ? periodOf(step) : 0;
    double decay = decayCoefficient(step);
    double phase = phase_;
    double amount = amount_;
    double value = value_;
    double d = dither_;
    double target = target_;
    double held = heldValue_;
    double audio = 0.0;
    std::uint32_t seed = seed_;

    for (int i = 0; i < sampleFrames; ++i) {
        if (amountIn != nullptr) amount = amountIn[i];
        if (frequencyIn != nullptr) {
            hz = saneFrequency(frequencyIn[i]);
            step = std::min(hz * inverseRate, kMaxStep);
            if constexpr (kWave == kDecay) decay = decayCoefficient(step);
            if (table != nullptr) period = periodOf(step);
        }
        const bool reset = resetIn != nullptr && resetIn[i] != 0.0f;

        if constexpr (kWave == kDecay) {
            // A fresh phase of 0 (construction, resetPhase, retrigger) starts
            // the decay as a reset does; the phase then rests at 1.
            if (reset || phase == 0.0) {
                value = 1.0;
                phase = 1.0;
            }
            value += (d - value) * decay;
            d = -d;
            target = value * amount * 2.0 - 1.0;
            if (out != nullptr) out[i] = static_cast<float>(target);
            if (audioOut != nullptr) audioOut[i] = 0.0f;
        } else {
            if (reset) phase = 0.0;
            if constexpr (kWave == kSaw) {
                target = (phase - 0.5) * -2.0;
                if (table != nullptr) audio = wavetableRead(*table, period, static_cast<float>(phase));
            } else if constexpr (kWave == kSquare) {
                target = phase > 0.5 ? 1.0 : -1.0;
                if (table != nullptr) audio = wavetableRead(*table, period, static_cast<float>(phase));
            } else if constexpr (kWave == kTriangle) {
                audio = table != nullptr ? wavetableRead(*table, period, static_cast<float>(phase)) : 0.0;
                target = audio;
            } else {
                audio = held;
                target = held;
            }
            phase += step;
            if (phase > 1.0) {
                phase -= 1.0;
                // The new value sounds from the next sample on.
                if constexpr (kWave == kSampleHold) held = nextHeldValue(seed);
            }
            value += ((d + target) - value) * slew;
            slew = smoothing;
            d = -d;
            target = value;
            if (out != nullptr) out[i] = static_cast<float>(value * amount);
            if (audioOut != nullptr) audioOut[i] = static_cast<float>(audio * amount);
        }
    }

    frequencyHz_ = hz;
    step_ = step;
    phase_ = phase;
    amount_ = amount;
    value_ = value;
    dither_ = d;
    target_ = target;
    heldValue_ = held;
    audioValue_ = audio;
    seed_ = seed;
}

}  // namespace tarvik
