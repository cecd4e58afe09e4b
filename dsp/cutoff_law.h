// The ladder coefficient g for each cutoff control at one sample rate.
//
// The panel's cutoff law was voiced at 44.1 kHz: g = 1.4 x CutoffTable. A
// ladder stage with coefficient g has a cutoff in Hz proportional to the
// sample rate, so the same law at 48 kHz would sound about 9 % higher and at
// 96 kHz more than an octave higher. At any other rate this law gives each
// control the g whose stage has the same -3 dB frequency in Hz as at
// 44.1 kHz, from the stage's exact response, so a patch sounds the same at
// every host rate. Controls whose cutoff the rate cannot reach (above its
// Nyquist frequency) take the highest usable g.
#pragma once

#include <array>

#include "dsp/filter_tables.h"
#include "dsp/lanes.h"

namespace tarvik {

class CutoffLaw {
public:
    static constexpr double kReferenceRate = 44100.0;

    explicit CutoffLaw(double sampleRate = kReferenceRate);

    // control 0..kMaxControl (the filter clamps it); linear interpolation
    float g(float control) const { return tableLookup(values_.data(), control, static_cast<float>(CutoffTable::kScale)); }
    double sampleRate() const { return sampleRate_; }

    // The per-sample factor one Runge-Kutta step of a stage applies to the
    // distance between its input and its state: y += (v - y) * c. The same
    // operations for a single ladder and for ladders side by side.
    static double stageCoefficient(double g) { return coefficientOf(g); }
    static lanes::Doubles stageCoefficient(lanes::Doubles g) { return coefficientOf(g); }

private:
    template <typename T>
    static T coefficientOf(T g) {
        return g * (1.0 - g * (0.5 - g * (1.0 / 6.0 - g / 24.0)));
    }

    double sampleRate_;
    std::array<float, CutoffTable::kSize> values_{};
};

// The 44.1 kHz law, shared by every filter until its engine sets a rate.
const CutoffLaw& referenceCutoffLaw();

}  // namespace tarvik
