// Linear interpolation in a lookup table, the way every table of the signal
// modules is read: index = x * scale; a negative index (or NaN) reads the
// first entry. The caller keeps the index below the table's last entry.
// Single precision: the tables hold floats, and the filter reads three of
// them for every sample.
#pragma once

namespace tarvik {

inline float tableLookup(const float* table, float x, float scale) {
    const float p = x * scale;
    if (!(p > 0.0f)) return table[0];
    const int i = static_cast<int>(p);
    const float f = p - static_cast<float>(i);
    return table[i] + (table[i + 1] - table[i]) * f;
}

}  // namespace tarvik
