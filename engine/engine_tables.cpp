#include "engine/engine_tables.h"

#include <array>
#include <cmath>
#include <numbers>

namespace tarvik {

namespace {

constexpr int kStepsPerOctave = kExp2StepsPerOctave;
constexpr int kOctaves = kExp2Octaves;
constexpr int kExp2Size = 2 * kOctaves * kStepsPerOctave + 1;  // -8 .. +8 octaves inclusive

struct Exp2Table {
    Exp2Table() {
        for (int i = 0; i < kExp2Size; ++i)
            values[static_cast<std::size_t>(i)] =
                static_cast<float>(std::exp2(static_cast<double>(i - kOctaves * kStepsPerOctave) / kStepsPerOctave));
    }
    std::array<float, kExp2Size> values{};
};

struct LogTable {
    LogTable() {
        values[0] = 0.0f;
        for (int i = 1; i <= kTrackingLogSize; ++i)
            values[static_cast<std::size_t>(i)] = static_cast<float>(std::log(static_cast<double>(i)) / std::log(22050.0));
    }
    std::array<float, kTrackingLogSize + 1> values{};  // one entry past the end for interpolation
};

constexpr int kSineSize = 4096;

struct SineTable {
    SineTable() {
        for (int i = 0; i <= kSineSize; ++i)
            values[static_cast<std::size_t>(i)] =
                static_cast<float>(std::sin(2.0 * std::numbers::pi * static_cast<double>(i) / kSineSize));
    }
    std::array<float, kSineSize + 1> values{};
};

const Exp2Table& exp2Values() {
    static const Exp2Table table;
    return table;
}

const SineTable& sineTable() {
    static const SineTable table;
    return table;
}

// Built when the library loads, so no audio thread ever waits for them.
[[maybe_unused]] const bool kTablesBuilt = (exp2Values(), sineTable(), trackingLogTable(), true);

}  // namespace

const float* exp2Table() { return exp2Values().values.data(); }

const float* trackingLogTable() {
    static const LogTable table;
    return table.values.data();
}

float tableSine(float x) {
    constexpr float kScale = kSineSize / (2.0f * std::numbers::pi_v<float>);
    float p = x * kScale;
    p -= static_cast<float>(kSineSize) * std::floor(p / kSineSize);
    // Rounding can leave p on the full cycle; NaN or a huge x lands outside too.
    if (!(p >= 0.0f && p < static_cast<float>(kSineSize))) p = 0.0f;
    const auto i = static_cast<int>(p);
    const float f = p - static_cast<float>(i);
    const float* v = sineTable().values.data();
    return v[i] + (v[i + 1] - v[i]) * f;
}

}  // namespace tarvik
