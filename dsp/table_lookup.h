// Linear interpolation in a lookup table, the way every table of the signal
// modules is read: index = x * scale; a negative index (or NaN) reads the
// first entry. The caller keeps the index below the table's last entry.
#pragma once

namespace tarvik {

inline float tableLookup(const float* table, double x, double scale) {
    const double p = x * scale;
    if (!(p > 0.0)) return table[0];
    const int i = static_cast<int>(p);
    const double f = p - i;
    return static_cast<float>(table[i] * (1.0 - f) + table[i + 1] * f);
}

}  // namespace tarvik
