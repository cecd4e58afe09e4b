#include "engine/voice_stages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

#include "engine/render_segment.h"

namespace tarvik {
namespace {

// Which oscillators the voice runs: an oscillator that is neither heard nor
// modulating anything costs nothing, and one that is must never be skipped.
struct PlanCase {
    const char* name;
    float level1, level2, filterMod1, freqMod2, ring, sync;
    bool vco1Runs, vco2Runs;
    friend void PrintTo(const PlanCase& row, std::ostream* out) { *out << row.name; }
};

class OscillatorPlanRuns : public ::testing::TestWithParam<PlanCase> {};

TEST_P(OscillatorPlanRuns, OnlyTheOscillatorsThatAreHeardOrModulate) {
    const PlanCase& c = GetParam();
    Segment s;
    s.parameters[param::Vco1Level] = c.level1;
    s.parameters[param::Vco2Level] = c.level2;
    s.parameters[param::Vco1FilterMod] = c.filterMod1;
    s.parameters[param::Vco2FreqMod] = c.freqMod2;
    s.parameters[param::Ring1x2] = c.ring;
    s.parameters[param::Sync2To1] = c.sync;
    const OscillatorPlan plan(s);
    EXPECT_EQ(plan.vco1Runs, c.vco1Runs);
    EXPECT_EQ(plan.vco2Runs, c.vco2Runs);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OscillatorPlanRuns,
    ::testing::Values(PlanCase{"BothSilent", 0, 0, 0, 0, 0, 0, false, false},
                      PlanCase{"Vco1Heard", 0.5f, 0, 0, 0, 0, 0, true, false},
                      PlanCase{"Vco2Heard", 0, 0.5f, 0, 0, 0, 0, false, true},
                      PlanCase{"Vco1OnlyModulatesTheFilter", 0, 0, 0.3f, 0, 0, 0, true, false},
                      PlanCase{"FrequencyModulationNeedsBoth", 0, 0, 0, 0.3f, 0, 0, true, true},
                      PlanCase{"Vco1OnlySyncsVco2", 0, 0.5f, 0, 0, 0, 1, true, true},
                      PlanCase{"RingNeedsVco2", 0.5f, 0, 0, 0, 1, 0, true, true}),
    [](const auto& row) { return std::string(row.param.name); });

// A lag voiced at 44.1 kHz keeps its corner at any rate: two steps at
// 88.2 kHz leave what one step leaves at 44.1 kHz.
TEST(VoiceCoefficients, KeepTheirCornersInHertzAtEveryRate) {
    const VoiceCoefficients reference(44100.0);
    EXPECT_EQ(reference.dcBlocker, 0.01);
    EXPECT_EQ(reference.modulationLag, 0.15);
    EXPECT_EQ(reference.amplifierLag, 0.08);
    const VoiceCoefficients doubled(88200.0);
    EXPECT_DOUBLE_EQ(doubled.scale, 0.5);
    for (const auto& [at44k, at88k] : {std::pair{reference.dcBlocker, doubled.dcBlocker},
                                       std::pair{reference.modulationLag, doubled.modulationLag},
                                       std::pair{reference.amplifierLag, doubled.amplifierLag}})
        EXPECT_NEAR((1.0 - at88k) * (1.0 - at88k), 1.0 - at44k, 1e-12);
}

// Unpatched, the LFO moves the amplifier by its depth; a VCA CV cable
// replaces it and counts in full. The accent adds its volume on top.
TEST(AmplifierTarget, TheLfoCountsByItsDepthAndACableInFull) {
    Segment s;
    s.parameters[param::MgVcaDest] = 0.25f;
    s.parameters[param::AccentVolume] = 0.5f;
    s.parameters[param::AccentAmount] = 1.0f;
    const std::vector<float> lfo{1.0f, -1.0f};
    const std::vector<float> cv{0.5f, 0.5f};
    const std::vector<float> accent{0.0f, 1.0f};
    const std::vector<float> envelope{1.0f, 0.5f};
    std::vector<float> target(2);
    computeAmplifierTarget(s, {nullptr, lfo.data(), accent.data(), envelope.data(), target.data()}, 2);
    EXPECT_FLOAT_EQ(target[0], (0.25f * 1.0f + 1.0f) * 1.0f * 0.5f);
    EXPECT_FLOAT_EQ(target[1], (0.25f * -1.0f + 1.0f + 0.5f) * 0.5f * 0.5f);
    computeAmplifierTarget(s, {cv.data(), lfo.data(), accent.data(), envelope.data(), target.data()}, 2);
    EXPECT_FLOAT_EQ(target[0], (0.5f + 1.0f) * 1.0f * 0.5f);
    EXPECT_FLOAT_EQ(target[1], (0.5f + 1.0f + 0.5f) * 0.5f * 0.5f);
}

}  // namespace
}  // namespace tarvik
