#include "dsp/delay_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace tarvik {
namespace {

// Indexes of the non-zero outputs after a unit impulse, with their values.
struct Echo {
    long at;
    float value;
};

std::vector<Echo> impulseResponse(DelayLine& line, long samples) {
    std::vector<Echo> echoes;
    for (long i = 0; i < samples; ++i) {
        const float y = line.tick(i == 0 ? 1.0f : 0.0f);
        if (y != 0.0f) echoes.push_back({i, y});
    }
    return echoes;
}

TEST(DelayLine, HalfwayOffsetReturnsAnImpulseExactly32768SamplesLater) {
    auto line = std::make_unique<DelayLine>();
    line->position = line->targetPosition = 0.5;
    const std::vector<Echo> echoes = impulseResponse(*line, 3 * 32768);
    ASSERT_EQ(echoes.size(), 1u);
    EXPECT_EQ(echoes[0].at, 32768);
    EXPECT_EQ(echoes[0].value, 1.0f);
}

class DelayFeedback : public ::testing::TestWithParam<float> {};

TEST_P(DelayFeedback, EachRepeatIsTheLastTimesTheFeedback) {
    const float feedback = GetParam();
    auto line = std::make_unique<DelayLine>();
    line->position = line->targetPosition = 0.75;  // 16384 samples
    line->feedback = feedback;
    const std::vector<Echo> echoes = impulseResponse(*line, 4 * 16384 + 1);
    ASSERT_EQ(echoes.size(), 4u);
    float expected = 1.0f;
    for (std::size_t k = 0; k < echoes.size(); ++k) {
        EXPECT_EQ(echoes[k].at, static_cast<long>(k + 1) * 16384);
        EXPECT_FLOAT_EQ(echoes[k].value, expected);
        expected *= feedback;
    }
}

INSTANTIATE_TEST_SUITE_P(Amounts, DelayFeedback, ::testing::Values(0.25f, 0.5f, 0.9f), [](const auto& row) {
    return std::to_string(static_cast<int>(row.param * 100.0f)) + "Percent";
});

// With a rising ramp as input, input minus output is the delay in samples.
TEST(DelayLine, TargetStepGlidesWithA2000SampleTimeConstant) {
    auto line = std::make_unique<DelayLine>();
    line->position = line->targetPosition = 0.5;
    long n = 0;
    for (; n < DelayLine::kLength; ++n) line->tick(static_cast<float>(n));
    ASSERT_EQ(static_cast<float>(n) - line->tick(static_cast<float>(n)), 32768.0f);
    ++n;

    line->targetPosition = 0.75;
    std::vector<double> delay;
    for (int i = 0; i < 12000; ++i, ++n) delay.push_back(static_cast<double>(n) - line->tick(static_cast<float>(n)));
    // From 32768 toward 16384: the remaining distance shrinks by e per 2000 samples.
    for (int t : {0, 2000, 4000, 8000})
        EXPECT_NEAR(delay[static_cast<std::size_t>(t)], 16384.0 + 16384.0 * std::exp(-t / 2000.0), 3.0) << t;
    EXPECT_NEAR(delay.back(), 16384.0 + 16384.0 * std::exp(-6.0), 3.0);
}

TEST(DelayLine, ClearSilencesTheRing) {
    auto line = std::make_unique<DelayLine>();
    line->position = line->targetPosition = 0.5;
    line->feedback = 0.9f;
    for (int i = 0; i < 1000; ++i) line->tick(1.0f);
    line->clear();
    for (int i = 0; i < DelayLine::kLength; ++i) ASSERT_EQ(line->tick(0.0f), 0.0f) << i;
}

// Offsets outside 0..1 come only from a fault upstream; they read the
// longest delay instead of an undefined index, as the end of the range does.
TEST(DelayLine, OffsetsOutsideTheRingReadTheLongestDelay) {
    for (double position : {-3.0, 7.5, std::numeric_limits<double>::quiet_NaN(), 1.0}) {
        auto line = std::make_unique<DelayLine>();
        line->position = line->targetPosition = position;
        const std::vector<Echo> echoes = impulseResponse(*line, DelayLine::kLength + 1);
        ASSERT_EQ(echoes.size(), 1u) << position;
        EXPECT_EQ(echoes[0].at, DelayLine::kLength) << position;
    }
}

}  // namespace
}  // namespace tarvik
