// Knob positions (0..1) for the values a sound designer thinks in: wave
// names, footages, seconds, milliseconds, semitones and tempo ratios. Each
// is the inverse of the mapping the plug-in shows as the knob's value text.
#pragma once

#include <algorithm>
#include <cmath>

namespace tarvik::factory {

// A selector takes (int)(value × 4); these sit on their step.
namespace wave {
constexpr float kSaw = 0.0f;
constexpr float kSquare = 0.25f;
constexpr float kPulse = 0.5f;
constexpr float kTriangle = 0.75f;
constexpr float kSine = 1.0f;
}  // namespace wave

namespace mg_wave {
constexpr float kSaw = 0.0f;
constexpr float kTriangle = 0.5f;
constexpr float kSampleHold = 0.75f;
}  // namespace mg_wave

// A fresh patch plays 16'; one step up sounds an octave higher.
namespace range {
constexpr float k8Feet = 0.5f;
}  // namespace range

constexpr float kOn = 1.0f;

namespace detail {
// Envelope times run exp(4x − k(1 − x)) seconds over the knob's travel.
inline float timeKnob(double seconds, double k) {
    return static_cast<float>(std::clamp((std::log(seconds) + k) / (4.0 + k), 0.0, 1.0));
}
}  // namespace detail

inline float attackSeconds(double seconds) { return detail::timeKnob(seconds, 9.0); }
inline float decaySeconds(double seconds) { return detail::timeKnob(seconds, 8.0); }  // also Accent Decay
inline float releaseSeconds(double seconds) { return detail::timeKnob(seconds, 7.0); }

// Glide time shows 1000 / (100 − 99 v) ms: 10 ms to 1 s.
constexpr float glideMs(double ms) { return static_cast<float>((100.0 - 1000.0 / ms) / 99.0); }

// The free-running modulation generator spans 0.1 × 2^(14 v) Hz.
inline float mgFrequencyHz(double hz) { return static_cast<float>(std::clamp(std::log2(hz / 0.1) / 14.0, 0.0, 1.0)); }

// Fine tune spans ±48 semitones around the middle.
constexpr float fineTuneSemitones(double semitones) { return static_cast<float>(0.5 + semitones / 96.0); }

// The tempo-sync selectors take (int)(value × 14) into the ratios 1/8, 1/7,
// ... 1/2, 1, 2, ... 8: sixteenth notes for the delay, cycles per beat for
// the modulation generator. These are the whole ratios; any other does not
// compile.
consteval float syncRatio(int ratio) {
    constexpr int kEntryOfOne = 7;
    constexpr int kLastEntry = 14;
    if (ratio < 1 || ratio > 8) throw "not a whole ratio of the sync table";
    const int entry = kEntryOfOne + ratio - 1;
    return entry == kLastEntry ? 1.0f : (static_cast<float>(entry) + 0.5f) / static_cast<float>(kLastEntry);
}

}  // namespace tarvik::factory
