#include "dsp/attenuator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tarvik {
namespace {

struct AttenuatorRig {
    Attenuator att;
    std::array<std::vector<float>, 4> out;

    void run(std::vector<float>* in, int frames) {
        att.inputs[Attenuator::kInput] = in != nullptr ? in->data() : nullptr;
        for (std::size_t k = 0; k < out.size(); ++k) {
            out[k].assign(static_cast<std::size_t>(frames), -99.0f);
            att.outputs[k] = out[k].data();
        }
        att.process(frames);
    }
};

TEST(Attenuator, FixedAndVariableFractions) {
    AttenuatorRig rig;
    rig.att.variable = 0.3f;
    std::vector<float> x{-1.0f, 0.5f, 2.0f};
    rig.run(&x, 3);
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_FLOAT_EQ(rig.out[Attenuator::kEighthOutput][i], x[i] / 8.0f);
        EXPECT_FLOAT_EQ(rig.out[Attenuator::kHalfOutput][i], x[i] / 2.0f);
        EXPECT_FLOAT_EQ(rig.out[Attenuator::kVariableOutput][i], x[i] * 0.3f);
    }
}

struct BiasCase {
    const char* name;
    float bias;
    float x;
    float expected;
    friend void PrintTo(const BiasCase& row, std::ostream* out) { *out << row.name; }
};

class AttenuatorBias : public ::testing::TestWithParam<BiasCase> {};

// From the bias up the signal swings half as wide above the bias; below
// 0.5 it is doubled and pushed down so that x = 0.5 - bias lands on 0.
TEST_P(AttenuatorBias, UnipolarOutputMovesTheSignalByTheBias) {
    const BiasCase& c = GetParam();
    AttenuatorRig rig;
    rig.att.bias = c.bias;
    std::vector<float> x{c.x};
    rig.run(&x, 1);
    EXPECT_FLOAT_EQ(rig.out[Attenuator::kFourthOutput][0], c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, AttenuatorBias,
                         ::testing::Values(BiasCase{"HalfBiasFromBelow", 0.5f, -1.0f, 0.0f},
                                           BiasCase{"HalfBiasAtZero", 0.5f, 0.0f, 0.5f},
                                           BiasCase{"HalfBiasFromAbove", 0.5f, 1.0f, 1.0f},
                                           BiasCase{"HighBiasFromBelow", 0.75f, -1.0f, 0.25f},
                                           BiasCase{"LowBiasLandsOnZero", 0.25f, 0.25f, 0.0f},
                                           BiasCase{"LowBiasReachesOne", 0.25f, 0.75f, 1.0f},
                                           BiasCase{"NoBiasLandsOnZero", 0.0f, 0.5f, 0.0f}),
                         [](const auto& row) { return std::string(row.param.name); });

struct LagCase {
    const char* name;
    float lagTime;
    double sampleRate;
    friend void PrintTo(const LagCase& row, std::ostream* out) { *out << row.name; }
};

class AttenuatorLag : public ::testing::TestWithParam<LagCase> {};

// The lag time runs from e^-8 s at 0 to e^4 s at 1; a step covers 90 % of
// its distance in that time.
TEST_P(AttenuatorLag, StepReachesNinetyPercentInTheLagTime) {
    const LagCase& c = GetParam();
    AttenuatorRig rig;
    rig.att.setSampleRate(c.sampleRate);
    rig.att.lagMode = 1;
    rig.att.lagTime = c.lagTime;
    const double expected = std::exp(4.0 * c.lagTime - 8.0 * (1.0 - c.lagTime)) * c.sampleRate;
    std::vector<float> x(static_cast<std::size_t>(expected * 2), 1.0f);
    rig.run(&x, static_cast<int>(x.size()));
    const std::vector<float>& lag = rig.out[Attenuator::kFourthOutput];
    const auto reached = std::find_if(lag.begin(), lag.end(), [](float v) { return v > 0.9f; }) - lag.begin() + 1;
    EXPECT_NEAR(static_cast<double>(reached), expected, expected * 0.01 + 2);
    EXPECT_LE(*std::max_element(lag.begin(), lag.end()), 1.0f + 1.5e-5f);
}

INSTANTIATE_TEST_SUITE_P(Times, AttenuatorLag,
                         ::testing::Values(LagCase{"ShortAt44k", 0.3f, 44100.0}, LagCase{"MiddleAt44k", 0.5f, 44100.0},
                                           LagCase{"LongerAt48k", 0.6f, 48000.0},
                                           LagCase{"ShortestAt96k", 0.0f, 96000.0}),
                         [](const auto& row) { return std::string(row.param.name); });

// At a very low rate the shortest lag asks for more than one sample's
// distance; it follows the input without ringing.
TEST(Attenuator, ShortestLagAtALowRateDoesNotRing) {
    AttenuatorRig rig;
    rig.att.setSampleRate(1000.0);
    rig.att.lagMode = 1;
    std::vector<float> x{1.0f, 1.0f, -1.0f, -1.0f, 0.5f};
    rig.run(&x, 5);
    for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(rig.out[Attenuator::kFourthOutput][i], x[i], 1.5e-5f);
}

TEST(Attenuator, UnpatchedInputClearsEveryOutput) {
    AttenuatorRig rig;
    rig.att.lagMode = 1;
    rig.run(nullptr, 16);
    for (const std::vector<float>& o : rig.out) EXPECT_EQ(o, std::vector<float>(16, 0.0f));
}

}  // namespace
}  // namespace tarvik
