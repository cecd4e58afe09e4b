#include "dsp/cutoff_law.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvik {

namespace {

constexpr double kCutoffGain = 0.7 * 2.0;
// The stage coefficient grows with g up to about 1.596, where its slope
// reaches 0; beyond that a larger g would lower the cutoff again.
constexpr double kLargestG = 1.59;

// -3 dB frequency (radians per sample) of one stage: |H|^2 = 1/2 for
// H(z) = c z^-1 / (1 - (1 - c) z^-1) gives cos w = 1 - c^2 / (2 (1 - c)).
double stageCutoff(double g) {
    const double c = CutoffLaw::stageCoefficient(g);
    const double cosine = 1.0 - c * c / (2.0 * (1.0 - c));
    return std::acos(std::clamp(cosine, -1.0, 1.0));
}

// The g whose stage cutoff is w, by bisection on the monotonic range.
double gForStageCutoff(double w) {
    if (w >= stageCutoff(kLargestG)) return kLargestG;
    double low = 0.0;
    double high = kLargestG;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (low + high);
        (stageCutoff(mid) < w ? low : high) = mid;
    }
    return 0.5 * (low + high);
}

}  // namespace

CutoffLaw::CutoffLaw(double sampleRate) : sampleRate_(sampleRate) {
    const float* reference = CutoffTable::instance().data();
    const double rateRatio = kReferenceRate / sampleRate;
    for (int i = 0; i < CutoffTable::kSize; ++i) {
        const double g = kCutoffGain * reference[i];
        values_[static_cast<std::size_t>(i)] =
            static_cast<float>(sampleRate == kReferenceRate ? g : gForStageCutoff(stageCutoff(g) * rateRatio));
    }
}

const CutoffLaw& referenceCutoffLaw() {
    static const CutoffLaw law;
    return law;
}

}  // namespace tarvik
