// Measurements taken from rendered audio, from the outside.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace tarvik::test {

// Mean frequency from the upward zero crossings (interpolated between
// samples) of x[from..], or 0 with fewer than two crossings.
inline double zeroCrossingFrequency(const std::vector<float>& x, double sampleRate, std::size_t from = 0) {
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (std::size_t i = std::max<std::size_t>(from, 1); i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double t = static_cast<double>(i - 1) + x[i - 1] / static_cast<double>(x[i - 1] - x[i]);
            if (first < 0.0) first = t;
            last = t;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * sampleRate / (last - first);
}

inline double rms(const std::vector<float>& x, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(x[i]) * x[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

inline float peak(const std::vector<float>& x, std::size_t from = 0) {
    float p = 0.0f;
    for (std::size_t i = from; i < x.size(); ++i) p = std::max(p, std::fabs(x[i]));
    return p;
}

}  // namespace tarvik::test
