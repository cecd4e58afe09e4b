// The arithmetic of the saturating ladder modes, written once for a single
// filter (float) and for filters side by side (lanes::Floats), so that both
// paths compute each voice's samples with the same operations in the same
// order.
#pragma once

#include <algorithm>

#include "dsp/filter.h"
#include "dsp/lanes.h"

namespace tarvik::ladder {

inline float minimum(float a, float b) { return std::min(a, b); }
using lanes::minimum;

// Feedback gain: the 4th stage, its high-cutoff share a little boosted. It
// depends on g alone, so it is formed apart from the feedback loop's own
// chain of operations.
template <typename T>
T saturatedFeedbackGain(T g) {
    return (2.0f - g) * (1.0f - g) + 1.032f * g;
}

// The low-pass of modes 3, 5, 8 and 9: the 3rd stage's 18 dB slope takes over
// from the 4th as the cutoff rises, which keeps high cutoffs bright.
template <typename T>
T blendedLowPass(T y3, T y4, T g) {
    return g * y3 + (1.0f - g) * y4;
}

// Taps of the saturating modes. For the 4-pole family the stage outputs are
// mixed as in the classic multimode ladder, each stage being H = 1 / (1 + s)
// at resonance 0:
//   low-pass   y4                               H^4
//   band-pass  4 (y2 - 2 y3 + y4)                4 H^2 (1 - H)^2 = 4 s^2 / (1 + s)^4
//   high-pass  u - 4 y1 + 6 y2 - 4 y3 + y4      (1 - H)^4 = s^4 / (1 + s)^4
// The band-pass is two poles of high-pass and two of low-pass (12 dB/octave
// each side, 0 dB peak at the cutoff); the high-pass falls 24 dB/octave
// below the cutoff. The morphs fade between the 4-pole low- and high-pass
// with the same cutoff-driven weight as mode 8, held within 0..1 so that the
// top of the range never mixes in an inverted high-pass.
template <int M, typename T>
T saturatedTap(T u0, T y1, T y2, T y3, T y4, T g) {
    if constexpr (M == Filter::kLowPass24Saturated) {
        return blendedLowPass(y3, y4, g);
    } else if constexpr (M == Filter::kBandPassEuler) {
        return 3.0f * (y3 - y4);
    } else if constexpr (M == Filter::kHighPass) {
        return u0 - y4;
    } else if constexpr (M == Filter::kBandStop) {
        return u0 - 3.0f * (y3 - y4);
    } else if constexpr (M == Filter::kHighToLowMorph) {
        return g * blendedLowPass(y3, y4, g) + (1.0f - g) * (u0 - y4);
    } else if constexpr (M == Filter::kBandToLowMorph) {
        return g * blendedLowPass(y3, y4, g) + (1.0f - g) * 3.0f * (y3 - y4);
    } else if constexpr (M == Filter::kLowPass4Pole) {
        return y4;
    } else if constexpr (M == Filter::kBandPass4Pole) {
        return 4.0f * (y2 - 2.0f * y3 + y4);
    } else {
        static_assert(M == Filter::kHighPass4Pole || M == Filter::kHighToLowMorph4Pole ||
                      M == Filter::kLowToHighMorph4Pole);
        const T highPass = u0 - 4.0f * y1 + 6.0f * y2 - 4.0f * y3 + y4;
        const T w = minimum(g, T{} + 1.0f);
        if constexpr (M == Filter::kHighPass4Pole) {
            return highPass;
        } else if constexpr (M == Filter::kHighToLowMorph4Pole) {
            return w * y4 + (1.0f - w) * highPass;
        } else {
            return w * highPass + (1.0f - w) * y4;
        }
    }
}

}  // namespace tarvik::ladder
