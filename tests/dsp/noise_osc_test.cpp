#include "dsp/noise_osc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <vector>

namespace tarvik {
namespace {

constexpr int kSegment = 64;
constexpr int kSegments = 2048;

std::vector<float> noise(NoiseOsc& osc, int frames, float* cv = nullptr) {
    std::vector<float> out(static_cast<std::size_t>(frames), -99.0f);
    osc.inputs[NoiseOsc::kColorInput] = cv;
    osc.outputs[NoiseOsc::kOutput] = out.data();
    osc.process(frames);
    return out;
}

// Mean power per frequency bin 0..kSegment/2, averaged over segments.
std::vector<double> powerSpectrum(const std::vector<float>& x) {
    std::vector<double> cosine(kSegment), sine(kSegment);
    for (std::size_t n = 0; n < kSegment; ++n) {
        cosine[n] = std::cos(2.0 * std::numbers::pi * static_cast<double>(n) / kSegment);
        sine[n] = std::sin(2.0 * std::numbers::pi * static_cast<double>(n) / kSegment);
    }
    std::vector<double> power(kSegment / 2 + 1, 0.0);
    const std::size_t segments = x.size() / kSegment;
    for (std::size_t s = 0; s < segments; ++s) {
        for (std::size_t k = 0; k < power.size(); ++k) {
            double re = 0.0, im = 0.0;
            for (std::size_t n = 0; n < kSegment; ++n) {
                re += x[s * kSegment + n] * cosine[k * n % kSegment];
                im -= x[s * kSegment + n] * sine[k * n % kSegment];
            }
            power[k] += (re * re + im * im) / static_cast<double>(segments);
        }
    }
    return power;
}

TEST(NoiseOsc, FullColourIsWhiteAroundZeroWithinAboutOne) {
    NoiseOsc osc;
    osc.setColor(1.0f);
    const std::vector<float> out = noise(osc, kSegment * kSegments);
    const auto [low, high] = std::minmax_element(out.begin(), out.end());
    EXPECT_GE(*low, -1.0001f);
    EXPECT_LE(*high, 1.0003f);
    EXPECT_LT(*low, -0.99f);
    EXPECT_GT(*high, 0.99f);
    EXPECT_NEAR(std::accumulate(out.begin(), out.end(), 0.0) / static_cast<double>(out.size()), 0.0, 0.01);

    // Uniform noise on -1..1 has a power of 1/3 per sample, spread evenly
    // over the bins: each bin is within 15 % of 64 / 3 (its estimate spreads
    // by about 2 %).
    const std::vector<double> power = powerSpectrum(out);
    for (std::size_t k = 0; k < power.size(); ++k) EXPECT_NEAR(power[k], kSegment / 3.0, kSegment / 3.0 * 0.15) << k;
}

TEST(NoiseOsc, LowColourDarkensAndZeroColourHoldsItsState) {
    NoiseOsc osc;
    osc.setColor(0.0f);
    for (float v : noise(osc, 256)) EXPECT_EQ(v, 0.0f);

    // Two one-poles at 0.1 pass 1 at DC and (0.1 / 1.9)^4 = 8e-6 of the
    // power at Nyquist.
    osc.setColor(0.1f);
    const std::vector<double> power = powerSpectrum(noise(osc, kSegment * kSegments));
    EXPECT_LT(power.back(), power[1] * 1e-3);

    osc.setColor(0.0f);
    const std::vector<float> held = noise(osc, 256);
    for (float v : held) EXPECT_EQ(v, held.front());
}

// The CV adds half its value to the colour, limited to 0..1.
TEST(NoiseOsc, ColourCvOpensAndClosesTheFilter) {
    NoiseOsc osc;
    osc.setColor(0.0f);
    std::vector<float> open(256, 2.0f);
    const std::vector<float> white = noise(osc, 256, open.data());
    EXPECT_GT(*std::max_element(white.begin(), white.end()) - *std::min_element(white.begin(), white.end()), 1.0f);

    osc.setColor(1.0f);
    std::vector<float> shut(256, -2.0f);
    const std::vector<float> held = noise(osc, 256, shut.data());
    for (float v : held) EXPECT_EQ(v, held.front());
}

TEST(NoiseOsc, TwoInstancesPlayDifferentNoise) {
    NoiseOsc a, b;
    EXPECT_NE(noise(a, 64), noise(b, 64));
}

}  // namespace
}  // namespace tarvik
