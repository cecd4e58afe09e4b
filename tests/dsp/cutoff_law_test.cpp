#include "dsp/cutoff_law.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/filter.h"

namespace tarvik {
namespace {

// Steady-state gain of the 4-pole low-pass (no resonance) for a sine of hz
// at rate, relative to its gain for a constant input.
class LadderProbe {
public:
    LadderProbe(double rate, float control) : rate_(rate), law_(rate), control_(control) {}

    double gainDb(double hz) {
        Filter filter;
        filter.setCutoffLaw(law_);
        filter.mode = Filter::kLowPass4Pole;
        const int settle = static_cast<int>(rate_ * 0.25);
        const int measure = static_cast<int>(rate_ * 0.25);
        std::vector<float> x(static_cast<std::size_t>(settle + measure)), y(x.size());
        for (std::size_t i = 0; i < x.size(); ++i)
            x[i] = hz > 0.0 ? static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate_))
                            : 0.5f;
        run(filter, x, y);
        double sum = 0.0;
        for (std::size_t i = static_cast<std::size_t>(settle); i < y.size(); ++i) sum += static_cast<double>(y[i]) * y[i];
        const double level = std::sqrt(sum / measure);
        // A sine's RMS is 1/sqrt(2) of its peak; the constant is 0.5.
        return 20.0 * std::log10(hz > 0.0 ? level * std::numbers::sqrt2 : level / 0.5);
    }

    // The frequency at which the four stages together are 12 dB down, that
    // is each stage 3 dB down: the stage cutoff.
    double cutoffHz() {
        const double dc = gainDb(0.0);
        double low = 5.0;
        double high = rate_ * 0.45;
        for (int i = 0; i < 24; ++i) {
            const double mid = std::sqrt(low * high);
            (gainDb(mid) > dc - 12.0 ? low : high) = mid;
        }
        return std::sqrt(low * high);
    }

private:
    void run(Filter& filter, const std::vector<float>& x, std::vector<float>& y) {
        const std::size_t n = x.size();
        std::vector<float> cutoff(n, control_), resonance(n, 0.0f), s0(n), s1(n), s2(n), s3(n);
        filter.inputs[Filter::kAudioIn] = const_cast<float*>(x.data());
        filter.inputs[Filter::kCutoffIn] = cutoff.data();
        filter.setCoefficientBuffers(s0.data(), s1.data(), s2.data(), s3.data());
        filter.inputs[Filter::kResonanceIn] = resonance.data();
        filter.outputs[Filter::kAudioOut] = y.data();
        filter.process(static_cast<int>(n));
    }

    double rate_;
    CutoffLaw law_;
    float control_;
};

TEST(CutoffLaw, AtTheReferenceRateItIsThePanelLaw) {
    const CutoffLaw law;
    const CutoffTable& table = CutoffTable::instance();
    for (float c : {0.0f, 0.1f, 0.5f, 0.77f, 1.0f})
        EXPECT_NEAR(law.g(c), 1.4 * table.lookup(c), 1e-6) << c;
}

TEST(CutoffLaw, StageCoefficientIsTheRungeKuttaPolynomial) {
    for (double g : {0.01, 0.3, 1.0, 1.4}) {
        // Four slope evaluations of dy/dt = g (1 - y) from y = 0 over one step.
        const double k1 = g;
        const double k2 = g * (1.0 - k1 / 2);
        const double k3 = g * (1.0 - k2 / 2);
        const double k4 = g * (1.0 - k3);
        EXPECT_NEAR(CutoffLaw::stageCoefficient(g), (k1 + 2 * k2 + 2 * k3 + k4) / 6.0, 1e-12) << g;
    }
}

// The same knob position must sound the same at every host rate.
TEST(CutoffLaw, CutoffInHzIsTheSameAtEveryCommonRate) {
    for (float control : {0.05f, 0.3f, 0.55f, 0.75f}) {
        const double reference = LadderProbe(44100.0, control).cutoffHz();
        ASSERT_LT(reference, 8500.0) << "the probe covers the musical range only";
        for (double rate : {48000.0, 88200.0, 96000.0}) {
            const double hz = LadderProbe(rate, control).cutoffHz();
            EXPECT_NEAR(hz, reference, reference * 0.03) << "control " << control << " at " << rate << " Hz";
        }
    }
}

}  // namespace
}  // namespace tarvik
