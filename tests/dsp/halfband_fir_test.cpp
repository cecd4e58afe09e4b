#include "dsp/halfband_fir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tarvik {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Gain in dB of a steady sine at f cycles per sample (of the filter's own
// rate). Frequencies are multiples of 1/400 and the window holds 40000
// samples, so both RMS values cover whole periods.
double gainDb(double f) {
    constexpr int kSettle = 64;
    constexpr int kWindow = 40000;
    HalfbandFir fir;
    double in = 0.0, out = 0.0;
    for (int n = 0; n < kSettle + kWindow; ++n) {
        const double x = std::sin(2.0 * kPi * f * n + 0.3);
        const double y = fir.process(x);
        // After the settling samples the history holds nothing but the sine.
        if (n >= kSettle) {
            in += x * x;
            out += y * y;
        }
    }
    return 10.0 * std::log10(out / in);
}

std::vector<double> impulseResponse(int length) {
    HalfbandFir fir;
    std::vector<double> h(static_cast<std::size_t>(length));
    for (int n = 0; n < length; ++n) h[static_cast<std::size_t>(n)] = fir.process(n == 0 ? 1.0 : 0.0);
    return h;
}

TEST(HalfbandFir, PassesDcWithUnityGain) {
    HalfbandFir fir;
    double y = 0.0;
    for (int n = 0; n < 40; ++n) y = fir.process(1.0);
    EXPECT_NEAR(y, 1.0, 1e-12);  // the coefficients sum to 1
}

// Limits measured on these 33 taps and given a margin: the filter is flat
// within +-0.03 dB up to 0.2 of its rate, -6.01 dB at a quarter (the centre
// tap alone, 0.5007, as in every half-band filter) and at least 47 dB down
// from 0.3 of its rate to its Nyquist frequency.
TEST(HalfbandFir, IsFlatBelowAFifthOfItsRateAndStopsAboveThreeTenths) {
    for (int j = 1; j <= 80; ++j) {  // 0.0025 .. 0.2
        const double f = j / 400.0;
        const double gain = gainDb(f);
        EXPECT_LT(std::fabs(gain), 0.05) << f;
    }
    EXPECT_NEAR(gainDb(0.25), 20.0 * std::log10(0.500705786852609), 0.01);
    for (int j = 120; j <= 199; ++j) {  // 0.3 .. 0.4975
        const double f = j / 400.0;
        EXPECT_LT(gainDb(f), -45.0) << f;
    }
}

// process() answers from the inputs before the one it is given: an impulse
// comes out around sample 17 (the centre tap, 16, plus that one-sample lag),
// symmetric about it, and push() is the same step without an answer.
TEST(HalfbandFir, ProcessLagsItsInputByOneSampleAndPushOnlyStores) {
    const std::vector<double> h = impulseResponse(40);
    EXPECT_EQ(h[0], 0.0);
    EXPECT_NEAR(h[17], 0.500705786852609, 1e-15);
    for (std::size_t d = 1; d <= 17; ++d) EXPECT_EQ(h[17 - d], h[17 + d]) << d;
    for (std::size_t n = 35; n < h.size(); ++n) EXPECT_EQ(h[n], 0.0) << n;

    HalfbandFir a, b;
    for (int n = 0; n < 50; ++n) {
        const double x = std::sin(0.37 * n);
        if (n % 2 == 0) {
            b.push(x);
            a.process(x);
        } else {
            EXPECT_EQ(a.process(x), b.process(x)) << n;
        }
    }
    // The value given to process() does not reach its own answer.
    HalfbandFir c = a;
    EXPECT_EQ(a.process(1.0), c.process(-1000.0));
}

TEST(HalfbandFir, ResetForgetsTheHistory) {
    HalfbandFir fir;
    for (int n = 0; n < 20; ++n) fir.process(1.0);
    fir.reset();
    EXPECT_EQ(fir.process(0.0), 0.0);
    const std::vector<double> fresh = impulseResponse(40);
    fir.reset();
    for (std::size_t n = 0; n < fresh.size(); ++n) EXPECT_EQ(fir.process(n == 0 ? 1.0 : 0.0), fresh[n]) << n;
}

}  // namespace
}  // namespace tarvik
