#include "dsp/oscillator.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace tarvik {

namespace {

constexpr double kFadeRate = 0.005;  // of the remaining distance per sample
constexpr double kPulseWidthRate = 0.007;
constexpr double kBoostRate = 0.2;  // the boost low-pass, about 2.8 kHz at 88.2 kHz
constexpr float kSawScale = 1.3f;
constexpr float kSquareWidth = 0.45f;    // the square is a pulse of this phase offset
constexpr float kPlainFormLimit = 0.1f;  // below it a synced oscillator plays the plain forms
// The table pulse is the difference of two table saws, which are 1.3 times
// the plain ramp so as to match the computed saw; this brings the pulse back
// to the computed pulse's level.
constexpr float kPulseFromSaws = 1.0f / kSawScale;

constexpr float kMaxStep = 1.0f;      // cycles per host-rate sample: the host rate itself
constexpr float kMaxPeriod = 1.0e7f;  // what a held phase reports as its period

// Frequencies the phase cannot follow: NaN, zero and negative hold it,
// anything above the host rate (+inf too) plays at the host rate, which
// keeps one step below one cycle.
float safeStep(float step) {
    if (!(step > 0.0f)) return 0.0f;
    return step < kMaxStep ? step : kMaxStep;
}

float periodOf(float step) { return step > 1.0f / kMaxPeriod ? 1.0f / step : kMaxPeriod; }

// Pulse widths outside 0..1 (NaN included) would carry the second phase out
// of the cycle; they play as the nearest edge. Within 0..1 the second phase
// p + w needs at most one wrap, downward.
float safeWidth(float width) {
    if (!(width >= 0.0f)) return 0.0f;
    return width <= 1.0f ? width : 1.0f;
}

bool isPlayable(const Wavetable* table) {
    return table != nullptr && !table->levelMap.empty() && !table->lengths.empty();
}

}  // namespace

Oscillator::Oscillator() { resetWaveform(); }

Oscillator::~Oscillator() = default;

void Oscillator::setPulseWidthInput(float* buffer) { inputs[kPulseWidthInput] = buffer; }

void Oscillator::setSampleRate(double rate) {
    if (rate > 0.0 && std::isfinite(rate)) sampleTime_ = static_cast<float>(1.0 / rate);
}

void Oscillator::resetWaveform() {
    phase = 0.0;
    lastPhase_ = 0.0f;
    fadeGain_.value = 0.0;
    // The differentiator's memory as if the cycle had already been at phase
    // 0, so that the first sample is 0 and not a jump.
    const std::int32_t wave = std::clamp(waveform, kSaw, kSine);
    if (wave == kSaw || wave == kSquare) {
        prevSquare1 = 0.25f;
        prevSquare2 = (kSquareWidth - 0.5f) * (kSquareWidth - 0.5f);
    } else if (wave == kPulse) {
        prevSquare1 = 0.25f;
        float second = pulseOffset;
        if (second > 1.0f) second -= 1.0f;
        prevSquare2 = (second - 0.5f) * (second - 0.5f);
    }
}

bool Oscillator::playsPlainForms(int frame) const {
    if (inputs[kSyncInput] == nullptr) return false;
    return safeStep(inputs[kFrequencyInput] != nullptr ? inputs[kFrequencyInput][frame] * sampleTime_ : frequency) < kPlainFormLimit;
}

void Oscillator::process(int sampleFrames) {
    if (outputs[kAudioOutput] == nullptr || sampleFrames <= 0) return;
    if (outputs[kSyncOutput] != nullptr) std::fill_n(outputs[kSyncOutput], sampleFrames, 0.0f);
    const bool ownScratch = outputs[kPhaseScratch] == nullptr || outputs[kPeriodScratch] == nullptr;
    const int longestSpan = ownScratch ? kScratchSize : sampleFrames;
    for (int begin = 0; begin < sampleFrames;) {
        // The differentiator would turn each sync restart into a spike of
        // the size of the period; slow synced oscillators play the plain
        // forms. The choice is made frame by frame, so that where the host's
        // blocks end never moves the switch.
        const bool plainForms = playsPlainForms(begin >> 1);
        int end = std::min(sampleFrames, begin + longestSpan);
        if (inputs[kSyncInput] != nullptr) {
            for (int frame = (begin >> 1) + 1; 2 * frame < end; ++frame) {
                if (playsPlainForms(frame) != plainForms) {
                    end = 2 * frame;
                    break;
                }
            }
        }
        if (ownScratch)
            renderSpan(begin, end, scratchPhases_.data(), scratchPeriods_.data(), plainForms);
        else
            renderSpan(begin, end, outputs[kPhaseScratch] + begin, outputs[kPeriodScratch] + begin, plainForms);
        begin = end;
    }
}

void Oscillator::renderSpan(int begin, int end, float* phases, float* periods, bool plainForms) {
    if (inputs[kSyncInput] != nullptr) {
        if (outputs[kSyncOutput] != nullptr)
            runPhase<true, true>(begin, end, phases, periods);
        else
            runPhase<true, false>(begin, end, phases, periods);
    } else {
        if (outputs[kSyncOutput] != nullptr)
            runPhase<false, true>(begin, end, phases, periods);
        else
            runPhase<false, false>(begin, end, phases, periods);
    }
    const std::int32_t wave = std::clamp(waveform, kSaw, kSine);
    const int last = end - begin - 1;
    bool differentiated = false;
    if (useWavetables)
        renderWavetable(wave, begin, end, phases, periods);
    else
        differentiated = renderComputed(wave, begin, end, phases, periods, plainForms);
    if (!differentiated) followPhase(wave, phases[last], (end - 1) >> 1);
    lastPhase_ = phases[last];
    lastPeriod_ = periods[last];
}

template <bool SyncIn, bool SyncOut>
void Oscillator::runPhase(int begin, int end, float* phases, float* periods) {
    const float* frequencyIn = inputs[kFrequencyInput];
    const float* syncIn = inputs[kSyncInput];
    float* syncOut = outputs[kSyncOutput];
    double p = phase;
    float d = drift;
    float step = safeStep(frequency);
    float period = periodOf(step);
    // Frame by frame: the frequency is one value per host-rate frame.
    for (int i = begin; i < end;) {
        const int frame = i >> 1;
        if (frequencyIn != nullptr) {
            step = safeStep(frequencyIn[frame] * sampleTime_);
            period = periodOf(step);
        }
        // The increment changes only with the frequency and at a wrap.
        auto increment = static_cast<double>(step * 0.5f * d);
        for (const int frameEnd = std::min(end, 2 * frame + 2); i < frameEnd; ++i) {
            if constexpr (SyncIn) {
                if (syncIn[i] != 0.0f) p = 0.0;
            }
            phases[i - begin] = static_cast<float>(p);
            periods[i - begin] = period;
            p += increment;
            if (p > 1.0) {
                p -= 1.0;
                d = 1.0f / d;
                increment = static_cast<double>(step * 0.5f * d);
                if constexpr (SyncOut) {
                    syncOut[i] = 1.0f;
                    p = 0.0;
                }
            }
        }
    }
    phase = p;
    drift = d;
    frequency = step;
}

bool Oscillator::renderComputed(int wave, int begin, int end, const float* phases, const float* periods,
                                bool plainForms) {
    const bool followWidth = inputs[kPulseWidthInput] != nullptr;
    switch (wave) {
        case kSaw:
            if (plainForms) {
                renderPlainSaw(begin, end, phases);
                return false;
            }
            renderDifferentiatedSaw(begin, end, phases, periods);
            return true;
        case kSquare:
            if (plainForms) {
                renderPlainPulse<false>(begin, end, phases, kSquareWidth);
                return false;
            }
            renderDifferentiatedPulse<false>(begin, end, phases, periods, kSquareWidth);
            return true;
        case kPulse:
            if (plainForms) {
                if (followWidth)
                    renderPlainPulse<true>(begin, end, phases, 0.0f);
                else
                    renderPlainPulse<false>(begin, end, phases, safeWidth(pulseOffset));
                return false;
            }
            if (followWidth)
                renderDifferentiatedPulse<true>(begin, end, phases, periods, 0.0f);
            else
                renderDifferentiatedPulse<false>(begin, end, phases, periods, safeWidth(pulseOffset));
            return true;
        case kTriangle:
            renderTable(triangleTable, begin, end, phases, periods);
            return false;
        default:
            renderSine(begin, end, phases);
            return false;
    }
}

void Oscillator::renderWavetable(int wave, int begin, int end, const float* phases, const float* periods) {
    switch (wave) {
        case kSaw:
            renderTable(sawTable, begin, end, phases, periods);
            break;
        case kSquare:
            renderTable(squareTable, begin, end, phases, periods);
            break;
        case kPulse:
            renderTablePulse(begin, end, phases, periods);
            break;
        case kTriangle:
            renderTable(triangleTable, begin, end, phases, periods);
            break;
        default:
            renderSine(begin, end, phases);
            break;
    }
    if (boost > 0.0f && std::isfinite(boost)) applyBoost(begin, end);
}

// s − s_prev is the parabola's slope 2 (p − 0.5) times the step f/2 that led
// to this sample; times that step's period 1/f it is the ramp p − 0.5, whose
// jump at the wrap is spread over one sample. The period is the previous
// sample's, the one that step was taken at, so that a jump in frequency (a
// new note, an FM edge) does not scale an old step into a spike.
void Oscillator::renderDifferentiatedSaw(int begin, int end, const float* phases, const float* periods) {
    float* out = outputs[kAudioOutput];
    double gain = fadeGain_.value;
    double gainDither = fadeGain_.dither;
    float previous = prevSquare1;
    float period = lastPeriod_;
    for (int i = begin; i < end; ++i) {
        gain += ((1.0 + gainDither) - gain) * kFadeRate;
        gainDither = -gainDither;
        const float centred = phases[i - begin] - 0.5f;
        const float square = centred * centred;
        out[i] = (square - previous) * kSawScale * period * static_cast<float>(gain);
        previous = square;
        period = periods[i - begin];
    }
    fadeGain_ = {gain, gainDither};
    prevSquare1 = previous;
}

// Two ramps, the second a width ahead, subtracted: a pulse whose high part
// lasts the width. While the width moves, the second parabola's previous
// value is taken again at the new width, so that only the phase step is
// differentiated: the width's own motion times the period would otherwise
// thump, as loud as the period is long.
template <bool FollowInput>
void Oscillator::renderDifferentiatedPulse(int begin, int end, const float* phases, const float* periods, float width) {
    float* out = outputs[kAudioOutput];
    const float* widthIn = inputs[kPulseWidthInput];
    double gain = fadeGain_.value;
    double gainDither = fadeGain_.dither;
    double w = FollowInput ? pulseWidth_.value : static_cast<double>(width);
    double widthDither = pulseWidth_.dither;
    float previous1 = prevSquare1;
    float previous2 = prevSquare2;
    float previousPhase = lastPhase_;
    float period = lastPeriod_;
    for (int i = begin; i < end; ++i) {
        if constexpr (FollowInput) {
            w += ((safeWidth(widthIn[i >> 1]) + widthDither) - w) * kPulseWidthRate;
            widthDither = -widthDither;
            float q = previousPhase + static_cast<float>(w);
            if (q > 1.0f) q -= 1.0f;
            previous2 = (q - 0.5f) * (q - 0.5f);
        }
        gain += ((1.0 + gainDither) - gain) * kFadeRate;
        gainDither = -gainDither;
        const float p = phases[i - begin];
        float q = p + static_cast<float>(w);
        if (q > 1.0f) q -= 1.0f;
        const float s = (p - 0.5f) * (p - 0.5f);
        const float t = (q - 0.5f) * (q - 0.5f);
        out[i] = ((s - previous1) - (t - previous2)) * period * static_cast<float>(gain);
        previous1 = s;
        previous2 = t;
        previousPhase = p;
        period = periods[i - begin];
    }
    fadeGain_ = {gain, gainDither};
    prevSquare1 = previous1;
    prevSquare2 = previous2;
    if constexpr (FollowInput) {
        pulseWidth_ = {w, widthDither};
        pulseOffset = static_cast<float>(w);
    }
}

void Oscillator::renderPlainSaw(int begin, int end, const float* phases) {
    float* out = outputs[kAudioOutput];
    for (int i = begin; i < end; ++i) out[i] = phases[i - begin] - 0.5f;
}

template <bool FollowInput>
void Oscillator::renderPlainPulse(int begin, int end, const float* phases, float width) {
    float* out = outputs[kAudioOutput];
    const float* widthIn = inputs[kPulseWidthInput];
    for (int i = begin; i < end; ++i) {
        const float threshold = FollowInput ? safeWidth(widthIn[i >> 1]) : width;
        out[i] = phases[i - begin] <= threshold ? -0.5f : 0.5f;
    }
}

void Oscillator::renderTable(const Wavetable* table, int begin, int end, const float* phases, const float* periods) {
    float* out = outputs[kAudioOutput];
    if (!isPlayable(table)) {
        std::fill(out + begin, out + end, 0.0f);
        return;
    }
    const Wavetable& t = *table;
    // The period changes at most once per frame and its level far less
    // often: each run of one period reads from one cycle.
    for (int i = begin; i < end;) {
        const auto period = static_cast<int>(periods[i - begin]);
        int runEnd = i + 1;
        while (runEnd < end && static_cast<int>(periods[runEnd - begin]) == period) ++runEnd;
        const WavetableCycle cycle(t, wavetableLevel(t, period));
        for (; i < runEnd; ++i) out[i] = cycle.read(phases[i - begin]);
    }
}

// The triangle set's most band-limited level is a pure sine.
void Oscillator::renderSine(int begin, int end, const float* phases) {
    float* out = outputs[kAudioOutput];
    if (!isPlayable(triangleTable)) {
        std::fill(out + begin, out + end, 0.0f);
        return;
    }
    const WavetableCycle cycle(*triangleTable, triangleTable->levelMap[0]);
    for (int i = begin; i < end; ++i) out[i] = cycle.read(phases[i - begin]);
}

void Oscillator::renderTablePulse(int begin, int end, const float* phases, const float* periods) {
    float* out = outputs[kAudioOutput];
    if (!isPlayable(sawTable)) {
        std::fill(out + begin, out + end, 0.0f);
        return;
    }
    const Wavetable& t = *sawTable;
    const float* widthIn = inputs[kPulseWidthInput];
    const float fixedWidth = safeWidth(pulseOffset);
    auto render = [&](auto follow) {
        for (int i = begin; i < end; ++i) {
            const float p = phases[i - begin];
            const auto period = static_cast<int>(periods[i - begin]);
            float q = p + (follow ? safeWidth(widthIn[i >> 1]) : fixedWidth);
            if (q > 1.0f) q -= 1.0f;
            out[i] = (wavetableRead(t, period, p) - wavetableRead(t, period, q)) * kPulseFromSaws;
        }
    };
    if (widthIn != nullptr)
        render(std::true_type{});
    else
        render(std::false_type{});
}

// Adds a low-passed copy: the fundamental and low partials of a bass note
// gain up to 1 + boost, the top of the spectrum far less.
void Oscillator::applyBoost(int begin, int end) {
    float* out = outputs[kAudioOutput];
    const double amount = boost;
    double z = boostLowpass_.value;
    double dither = boostLowpass_.dither;
    for (int i = begin; i < end; ++i) {
        const double x = out[i];
        // z + ((x + d) − z) k, arranged so that the state passes through
        // one multiply and one add per sample rather than three operations.
        z = z * (1.0 - kBoostRate) + (x + dither) * kBoostRate;
        dither = -dither;
        out[i] = static_cast<float>(x + amount * z);
    }
    boostLowpass_ = {z, dither};
}

// When the differentiator has not run (wavetable model, plain forms,
// triangle, sine), its memory follows the phase anyway, so that a change of
// model or of sync mid-note resumes the computed forms where the cycle is,
// without a spike the size of the period.
void Oscillator::followPhase(int wave, float lastPhase, int lastFrame) {
    prevSquare1 = (lastPhase - 0.5f) * (lastPhase - 0.5f);
    float width = kSquareWidth;
    if (wave == kPulse) {
        if (inputs[kPulseWidthInput] != nullptr) {
            pulseOffset = safeWidth(inputs[kPulseWidthInput][lastFrame]);
            pulseWidth_.value = pulseOffset;
        }
        width = safeWidth(pulseOffset);
    }
    float q = lastPhase + width;
    if (q > 1.0f) q -= 1.0f;
    prevSquare2 = (q - 0.5f) * (q - 0.5f);
}

}  // namespace tarvik
