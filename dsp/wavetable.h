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

// One level's cycle, read at phases 0..1 with linear interpolation; the
// last sample interpolates toward the first, so the cycle joins without a
// step.
struct WavetableCycle {
    WavetableCycle(const Wavetable& table, int level)
        : samples(table.samples.data() + table.offsets[static_cast<std::size_t>(level)]),
          length(table.lengths[static_cast<std::size_t>(level)]) {}

    float read(float phase) const {
        float x = phase * static_cast<float>(length);
        // A phase of exactly 1.0 is the start of the next cycle; anything
        // outside the cycle (only a fault upstream makes one) reads its
        // start too.
        if (!(x >= 0.0f && x < static_cast<float>(length))) x = 0.0f;
        const auto j = static_cast<std::int32_t>(x);
        const float f = x - static_cast<float>(j);
        const std::int32_t next = j + 1 == length ? 0 : j + 1;
        return samples[j] * (1.0f - f) + f * samples[next];
    }

    const float* samples;
    std::int32_t length;
};

inline float wavetableReadLevel(const Wavetable& table, int level, float phase) {
    return WavetableCycle(table, level).read(phase);
}

inline float wavetableRead(const Wavetable& table, int period, float phase) {
    return wavetableReadLevel(table, wavetableLevel(table, period), phase);
}

}  // namespace tarvik
