// A mip-mapped set of single-cycle tables: each level holds the same wave
// with fewer partials, and levelMap picks the level for a period given in
// host-rate samples, so that no partial of a note crosses the limit its
// oscillator can carry.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvik {

struct Wavetable {
    int tableCount() const { return static_cast<int>(lengths.size()); }
    int levelCount() const { return static_cast<int>(levelMap.size()); }

    std::vector<std::uint8_t> levelMap;  // level for each period in host-rate samples
    std::vector<std::int32_t> lengths;   // samples of each level's cycle
    std::vector<std::int32_t> offsets;   // first sample of each level in samples
    std::vector<float> samples;
};

// The level serving a period; periods beyond the map use its last entry and
// negative ones its first.
inline int wavetableLevel(const Wavetable& table, int period) {
    const int last = table.levelCount() - 1;
    return table.levelMap[static_cast<std::size_t>(period < 0 ? 0 : (period > last ? last : period))];
}

// Reads a level at a phase 0..1 with linear interpolation; the last sample
// interpolates toward the first, so the cycle joins without a step.
inline float wavetableReadLevel(const Wavetable& table, int level, float phase) {
    const auto i = static_cast<std::size_t>(level);
    const std::int32_t length = table.lengths[i];
    const float* cycle = table.samples.data() + table.offsets[i];
    float x = phase * static_cast<float>(length);
    // A phase of exactly 1.0 is the start of the next cycle; anything outside
    // the cycle (only a fault upstream makes one) reads its start too.
    if (!(x >= 0.0f && x < static_cast<float>(length))) x = 0.0f;
    const auto j = static_cast<std::int32_t>(x);
    const float f = x - static_cast<float>(j);
    const std::int32_t next = j + 1 == length ? 0 : j + 1;
    return cycle[j] * (1.0f - f) + f * cycle[next];
}

inline float wavetableRead(const Wavetable& table, int period, float phase) {
    return wavetableReadLevel(table, wavetableLevel(table, period), phase);
}

}  // namespace tarvik
