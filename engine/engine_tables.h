// Process-wide lookup tables of the voice path, built once and then only
// read, so every instance and thread can share them.
#pragma once

namespace tarvik {

// 2^x for x in octaves, from a table of 1024 steps per octave read with
// linear interpolation; x is held within the table's +-8 octaves. Inline,
// with the table fetched once before the loop: the pitch path calls it per
// sample.
inline constexpr int kExp2StepsPerOctave = 1024;
inline constexpr int kExp2Octaves = 8;
const float* exp2Table();  // 2^((i - 8192) / 1024) for i = 0 .. 16384

inline float exp2Octaves(float x, const float* table) {
    constexpr float kLowest = -static_cast<float>(kExp2Octaves);
    constexpr float kHighest = static_cast<float>(kExp2Octaves) - 1.0f / kExp2StepsPerOctave;
    if (!(x > kLowest)) x = kLowest;  // NaN reads the lowest entry
    if (x > kHighest) x = kHighest;
    const float p = (x - kLowest) * kExp2StepsPerOctave;
    const auto i = static_cast<int>(p);
    const float f = p - static_cast<float>(i);
    return table[i] + (table[i + 1] - table[i]) * f;
}

// ln(i) / ln(22050) for i = 0 .. 22049 (entry 0 is 0): the cutoff tracking law.
const float* trackingLogTable();
constexpr int kTrackingLogSize = 22050;

// sin(x) for any finite x, from a 4096-step table with linear interpolation
// (error below 3e-7); the shaper runs it twice per sample and oscillator.
float tableSine(float x);

}  // namespace tarvik
