// The filter's control laws as lookup tables, so that no per-sample code
// calls exp or pow: the exponential cutoff law, and the resonance and level
// compensation against the ladder coefficient g. Each table exists once per
// process and is shared by every filter; the first filter to be constructed
// builds them, on the thread that constructs it, before any audio runs.
#pragma once

#include <array>

#include "dsp/table_lookup.h"

namespace tarvik {

// A table read with linear interpolation at index x * kScale.
template <int Size, int Scale>
class FilterLawTable {
public:
    static constexpr int kSize = Size;
    static constexpr double kScale = Scale;

    float lookup(float x) const { return tableLookup(values_.data(), x, static_cast<float>(kScale)); }
    const float* data() const { return values_.data(); }

protected:
    std::array<float, Size> values_{};
};

// Cutoff control (0 = lowest, 1 = highest) to the normalised frequency of
// one ladder stage, exponential in the control, reaching 1 just above 1.0.
class CutoffTable : public FilterLawTable<2048, 1024> {
public:
    // The highest control whose lookup still has a right-hand neighbour.
    static constexpr double kMaxControl = 2046.0 / kScale;

    static const CutoffTable& instance();

private:
    CutoffTable();
};

// Loop gain (before the factor 4) that brings the ladder to the edge of
// self-oscillation at full resonance, against g.
class ResonanceTable : public FilterLawTable<512, 256> {
public:
    static const ResonanceTable& instance();

private:
    ResonanceTable();
};

// Output gain at full resonance against g, which makes up for the passband
// loss that the feedback causes.
class LevelTable : public FilterLawTable<512, 256> {
public:
    static const LevelTable& instance();

private:
    LevelTable();
};

// An odd, smooth saturator: unity slope at 0, reaching +-1 with zero slope
// at +-3 and flat beyond.
inline float softClip(float x) {
    if (x < -3.0f) return -1.0f;
    if (x > 3.0f) return 1.0f;
    const float x2 = x * x;
    return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

}  // namespace tarvik
