#include "dsp/envelope_follower.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tarvik {
namespace {

// The follower's own offset is 1e-6; float rounding near 1.0 adds 6e-8.
constexpr float kCeiling = 1.0f + 1.1e-6f;

std::vector<float> follow(EnvelopeFollower& follower, std::vector<float> x) {
    std::vector<float> out(x.size(), -99.0f);
    follower.inputs[EnvelopeFollower::kInput] = x.data();
    follower.outputs[EnvelopeFollower::kOutput] = out.data();
    follower.process(static_cast<int>(x.size()));
    return out;
}

int samplesUntil(const std::vector<float>& out, bool (*reached)(float)) {
    for (std::size_t i = 0; i < out.size(); ++i)
        if (reached(out[i])) return static_cast<int>(i) + 1;
    return -1;
}

class FollowerAtRate : public ::testing::TestWithParam<double> {};

// The default rates rise 90 % in 10 ms and fall 90 % in 20 ms at any rate.
TEST_P(FollowerAtRate, RisesFasterThanItFallsAndNeverOvershoots) {
    const double rate = GetParam();
    EnvelopeFollower follower;
    follower.setSampleRate(rate);
    const auto n = static_cast<std::size_t>(rate * 0.1);

    const std::vector<float> rise = follow(follower, std::vector<float>(n, 1.0f));
    for (float v : rise) ASSERT_LE(v, kCeiling);
    // A float level stops creeping once a step falls below its resolution.
    EXPECT_NEAR(rise.back(), 1.0f, 5e-5f);
    EXPECT_NEAR(samplesUntil(rise, [](float v) { return v > 0.9f; }), 0.01 * rate, 0.01 * rate * 0.01 + 2);

    // A negative half wave counts as much as a positive one.
    const std::vector<float> fall = follow(follower, std::vector<float>(n, 0.0f));
    EXPECT_NEAR(samplesUntil(fall, [](float v) { return v < 0.1f; }), 0.02 * rate, 0.02 * rate * 0.01 + 2);
    EXPECT_NEAR(follow(follower, std::vector<float>(n, -0.5f)).back(), 0.5f, 5e-5f);
}

INSTANTIATE_TEST_SUITE_P(Rates, FollowerAtRate, ::testing::Values(44100.0, 48000.0, 96000.0),
                         [](const auto& row) { return std::to_string(static_cast<int>(row.param)) + "Hz"; });

TEST(EnvelopeFollower, UnpatchedInputIsSilenceAndTheLevelFalls) {
    EnvelopeFollower follower;
    follow(follower, std::vector<float>(4410, 1.0f));
    std::vector<float> out(882, -99.0f);
    follower.inputs[EnvelopeFollower::kInput] = nullptr;
    follower.outputs[EnvelopeFollower::kOutput] = out.data();
    follower.process(static_cast<int>(out.size()));
    EXPECT_NEAR(out.back(), 0.1f, 0.005f);  // 20 ms at 44100 Hz
}

// A coefficient above 1 (the shortest knob time at a low sample rate) would
// overshoot the input and ring; it acts as 1.
TEST(EnvelopeFollower, RatesAboveOneNeverOvershoot) {
    EnvelopeFollower follower;
    follower.attackRate = 2.3f;
    follower.releaseRate = 1.9f;
    for (float v : follow(follower, std::vector<float>(64, 1.0f))) EXPECT_LE(v, kCeiling);
    for (float v : follow(follower, std::vector<float>(64, 0.0f))) EXPECT_GE(v, -1.1e-6f);
}

}  // namespace
}  // namespace tarvik
