#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "engine/voice.h"

namespace tarvik {
namespace {

// The DC blocker steps two samples at a time with the second state formed
// from the pair's starting state. It must stay within float rounding of two
// serial follow() steps, whatever the signal, for as long as a note lasts.
struct BlockCase {
    std::string name;
    double coefficient;
    std::function<float(int)> signal;
    friend void PrintTo(const BlockCase& row, std::ostream* out) { *out << row.name; }
};

class DcBlockerPair : public ::testing::TestWithParam<BlockCase> {};

TEST_P(DcBlockerPair, StaysWithinFloatRoundingOfTwoSerialSteps) {
    constexpr int kSamples = 200000;  // about two seconds at the oscillators' rate
    const double c = GetParam().coefficient;
    OnePole serial, paired;
    double peak = 0.0;
    for (int i = 0; i < kSamples; i += 2) {
        float x[2] = {GetParam().signal(i), GetParam().signal(i + 1)};
        float expected[2];
        for (int k = 0; k < 2; ++k) {
            expected[k] = x[k] - static_cast<float>(serial.follow(x[k], c));
            peak = std::max(peak, static_cast<double>(std::fabs(x[k])));
        }
        paired.blockPair(x, c);
        for (int k = 0; k < 2; ++k)
            ASSERT_LE(std::fabs(x[k] - expected[k]), 2.5e-7 * (std::fabs(expected[k]) + std::fabs(serial.value)) + 1e-30)
                << "sample " << i + k;
        ASSERT_NEAR(paired.value, serial.value, 1e-12 * std::max(peak, 1e-5)) << "sample " << i + 1;
        ASSERT_EQ(paired.dither, serial.dither);
    }
}

constexpr double kAt44k = 0.01;
const double kAt192k = 1.0 - std::pow(1.0 - 0.01, 44100.0 / 192000.0);

INSTANTIATE_TEST_SUITE_P(
    Signals, DcBlockerPair,
    ::testing::Values(BlockCase{"OffsetSaw", kAt44k, [](int i) { return 0.3f + static_cast<float>(i % 101) / 101.0f; }},
                      BlockCase{"FullScaleSquare", kAt44k, [](int i) { return (i / 37) % 2 ? 1.0f : -1.0f; }},
                      BlockCase{"QuietSine", kAt44k, [](int i) { return 1e-6f * static_cast<float>(std::sin(i * 0.01)); }},
                      BlockCase{"Silence", kAt44k, [](int) { return 0.0f; }},
                      BlockCase{"SineAt192k", kAt192k,
                                [](int i) { return 0.8f * static_cast<float>(std::sin(i * 0.003)) + 0.1f; }}),
    [](const ::testing::TestParamInfo<BlockCase>& row) { return row.param.name; });

}  // namespace
}  // namespace tarvik
