#include "dsp/parameter_smoother.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace tarvik {
namespace {

// Each channel covers 1 - (1 - c)^n of its distance after n samples, with its
// own target and coefficient, whatever the others do.
TEST(ParameterSmoother, EachChannelFollowsItsOwnTargetAtItsOwnRate) {
    constexpr int kFrames = 400;
    const std::array<float, 4> targets{1.0f, -0.5f, 0.25f, 2.0f};
    const std::array<float, 4> coefficients{0.0007f, 0.005f, 1.0f, 0.05f};
    ParameterSmoother smoother;
    std::array<std::vector<float>, 4> out;
    for (std::size_t k = 0; k < 4; ++k) {
        out[k].assign(kFrames, -99.0f);
        smoother.channels[k].output = out[k].data();
        smoother.channels[k].target = targets[k];
        smoother.channels[k].coefficient = coefficients[k];
    }
    smoother.process(kFrames);
    for (std::size_t k = 0; k < 4; ++k) {
        for (int n : {1, 100, kFrames}) {
            const double covered = 1.0 - std::pow(1.0 - coefficients[k], n);
            EXPECT_NEAR(out[k][static_cast<std::size_t>(n - 1)], targets[k] * covered, 2e-5) << k << " " << n;
        }
    }
}

// The render loop leaves a channel it does not need without a buffer.
TEST(ParameterSmoother, ChannelWithoutBufferIsSkipped) {
    ParameterSmoother smoother;
    std::vector<float> out(16, -99.0f);
    smoother.channels[1].output = out.data();
    smoother.channels[1].target = 0.5f;
    smoother.process(16);
    for (float v : out) EXPECT_NEAR(v, 0.5f, 1.5e-5f);
    EXPECT_EQ(smoother.channels[0].value, 0.0f);
}

// Once a channel has reached its knob it holds the value exactly; a new
// knob value glides from there.
TEST(ParameterSmoother, AnArrivedChannelHoldsItsTargetAndGlidesOnChange) {
    ParameterSmoother smoother;
    std::vector<float> out(512);
    ParameterSmoother::Channel& channel = smoother.channels[0];
    channel.output = out.data();
    channel.target = 0.4f;
    channel.coefficient = 0.05f;
    for (int block = 0; block < 8; ++block) smoother.process(512);
    for (float v : out) EXPECT_EQ(v, 0.4f);

    channel.target = 0.6f;
    smoother.process(512);
    EXPECT_NEAR(out[0], 0.4f + 0.2f * 0.05f, 1e-4f);
    EXPECT_GT(out[511], 0.59f);
    EXPECT_LT(out[100], 0.6f);
}

// Where a channel arrives and snaps must not depend on how the samples are
// cut into blocks: one long block and odd pieces of it give the same signal.
TEST(ParameterSmoother, BlockSplitsDoNotMoveTheArrival) {
    constexpr int kFrames = 6000;
    auto render = [](std::initializer_list<int> pieces) {
        ParameterSmoother smoother;
        ParameterSmoother::Channel& channel = smoother.channels[0];
        channel.target = 0.8f;
        channel.coefficient = 0.002f;
        std::vector<float> out(kFrames);
        int done = 0;
        for (int n : pieces) {
            channel.output = out.data() + done;
            smoother.process(n);
            done += n;
        }
        return out;
    };
    const std::vector<float> whole = render({kFrames});
    EXPECT_EQ(whole.back(), 0.8f) << "the test must cover the arrival";
    EXPECT_EQ(render({1, 4095, 7, 1897}), whole);
    EXPECT_EQ(render({3000, 3000}), whole);
}

}  // namespace
}  // namespace tarvik
