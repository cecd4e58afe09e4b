#include "dsp/mod_gen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

namespace tarvik {
namespace {

// The smoother's alternating offset, plus float rounding.
constexpr double kDither = 1.5e-5;

// At 1024 Hz a frequency of 3 Hz steps the phase by exactly 3/1024, so the
// phase at sample i is the fraction of 3i/1024 with no rounding at all.
constexpr double kExactRate = 1024.0;
constexpr double kExactHz = 3.0;
constexpr int kExactFrames = 1000;  // fewer than 1024, so the phase never lands on exactly 1

double exactPhase(int i) { return std::fmod(3.0 * i, 1024.0) / 1024.0; }

// Four samples 0, 1, 0, -1: read with linear interpolation, a triangle.
double triangle(double phase) {
    const double x = phase * 4.0;
    return x < 1.0 ? x : (x < 3.0 ? 2.0 - x : x - 4.0);
}

Wavetable triangleTable() {
    Wavetable t;
    t.levelMap = {0};
    t.lengths = {4};
    t.offsets = {0};
    t.samples = {0.0f, 1.0f, 0.0f, -1.0f};
    return t;
}

// Level 1 (a constant -0.5) serves periods below 50 samples, level 0 (+0.5)
// the longer ones.
Wavetable twoLevelTable() {
    Wavetable t;
    t.levelMap.assign(64, 0);
    std::fill(t.levelMap.begin(), t.levelMap.begin() + 50, std::uint8_t{1});
    t.lengths = {2, 2};
    t.offsets = {0, 2};
    t.samples = {0.5f, 0.5f, -0.5f, -0.5f};
    return t;
}

struct ModGenRig {
    ModGen mg;
    std::vector<float> frequency, amount, reset;  // empty: unpatched
    std::vector<float> control, audio;

    explicit ModGenRig(double rate = kExactRate) {
        mg.setSampleRate(rate);
        mg.setSmoothing(1.0f);
    }

    void run(int frames) {
        auto slot = [frames](std::vector<float>& v) {
            if (v.empty()) return static_cast<float*>(nullptr);
            v.resize(static_cast<std::size_t>(frames), v.back());
            return v.data();
        };
        control.assign(static_cast<std::size_t>(frames), -99.0f);
        audio.assign(static_cast<std::size_t>(frames), -99.0f);
        mg.inputs[ModGen::kAmountInput] = slot(amount);
        mg.inputs[ModGen::kResetInput] = slot(reset);
        mg.setFrequencyInput(slot(frequency));
        mg.outputs[ModGen::kControlOutput] = control.data();
        mg.outputs[ModGen::kAudioOutput] = audio.data();
        mg.process(frames);
    }
};

struct DriveCase {
    const char* name;
    bool frequencyInput;  // else setFrequency
    bool amountInput;     // else setAmount
    friend void PrintTo(const DriveCase& row, std::ostream* out) { *out << row.name; }
};

class ModGenDrive : public ::testing::TestWithParam<DriveCase> {
protected:
    void drive(ModGenRig& rig, int wave) {
        const DriveCase& c = GetParam();
        rig.mg.setWave(wave);
        if (c.frequencyInput)
            rig.frequency = {static_cast<float>(kExactHz)};
        else
            rig.mg.setFrequency(kExactHz);
        if (c.amountInput)
            rig.amount = {kAmount};
        else
            rig.mg.setAmount(kAmount);
        rig.run(kExactFrames);
    }
    static constexpr float kAmount = 0.5f;
};

TEST_P(ModGenDrive, UnsmoothedSawFallsFromPlusToMinusAmountEachCycle) {
    ModGenRig rig;
    drive(rig, ModGen::kSaw);
    for (int i = 0; i < kExactFrames; ++i)
        ASSERT_NEAR(rig.control[i], (1.0 - 2.0 * exactPhase(i)) * kAmount, kDither) << i;
}

TEST_P(ModGenDrive, UnsmoothedSquareIsLowInTheFirstHalfAndHighInTheSecond) {
    ModGenRig rig;
    drive(rig, ModGen::kSquare);
    for (int i = 0; i < kExactFrames; ++i)
        ASSERT_NEAR(rig.control[i], (exactPhase(i) > 0.5 ? 1.0 : -1.0) * kAmount, kDither) << i;
}

TEST_P(ModGenDrive, TriangleIsReadFromItsTableOnBothOutputs) {
    const Wavetable table = triangleTable();
    ModGenRig rig;
    rig.mg.triangleTable = &table;
    drive(rig, ModGen::kTriangle);
    for (int i = 0; i < kExactFrames; ++i) {
        ASSERT_NEAR(rig.control[i], triangle(exactPhase(i)) * kAmount, kDither) << i;
        ASSERT_NEAR(rig.audio[i], triangle(exactPhase(i)) * kAmount, 1e-6) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, ModGenDrive,
                         ::testing::Values(DriveCase{"Setters", false, false}, DriveCase{"PatchedInputs", true, true}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ModGen, DefaultSlewTakesTensOfSamplesOverTheSawJump) {
    ModGenRig rig(kExactRate);
    rig.mg.setSmoothing(0.07f);
    rig.mg.setFrequency(0.1);  // a ramp slow enough to leave the jump alone
    rig.run(10240 + 200);
    const auto start = std::min_element(rig.control.begin(), rig.control.end()) - rig.control.begin();
    ASSERT_LT(rig.control[static_cast<std::size_t>(start)], -0.99f);
    const auto top = std::find_if(rig.control.begin() + start, rig.control.end(), [](float v) { return v > 0.9f; });
    // Closing 95 % of a jump of 2 at 0.07 per sample: ln 0.05 / ln 0.93 = 41.3 samples.
    const auto samples = top - rig.control.begin() - start;
    EXPECT_GE(samples, 37);
    EXPECT_LE(samples, 46);
}

TEST(ModGen, SampleAndHoldStartsAtZeroAndChangesOnlyAtPhaseWraps) {
    ModGenRig rig;
    rig.mg.setWave(ModGen::kSampleHold);
    rig.mg.setFrequency(kExactHz);
    rig.run(kExactFrames);
    // The phase passes 1 during samples 341 and 682; each new value sounds
    // from the sample after.
    for (int i = 1; i < kExactFrames; ++i) {
        const bool changes = std::fabs(rig.control[i] - rig.control[i - 1]) > 1e-4;
        EXPECT_EQ(changes, i == 342 || i == 683) << i;
    }
    EXPECT_NEAR(rig.control[0], 0.0, kDither);
    EXPECT_NEAR(rig.control[341], 0.0, kDither);

    // Many draws stay within about +-1 and spread over the whole range.
    rig.mg.setFrequency(500.0);
    rig.run(20000);
    const auto [low, high] = std::minmax_element(rig.control.begin(), rig.control.end());
    EXPECT_GE(*low, -1.0002f);
    EXPECT_LE(*high, 1.0002f);
    EXPECT_LT(*low, -0.99f);
    EXPECT_GT(*high, 0.99f);
    EXPECT_NEAR(std::accumulate(rig.control.begin(), rig.control.end(), 0.0) / 20000.0, 0.0, 0.03);
}

class ModGenDecay : public ::testing::TestWithParam<float> {};

// The decay falls to a tenth of its height in one period of the frequency,
// from 2 * amount - 1 toward -1.
TEST_P(ModGenDecay, FallsToATenthPerPeriodFromTwiceTheAmountMinusOne) {
    const float amount = GetParam();
    ModGenRig rig(44100.0);
    rig.mg.setWave(ModGen::kDecay);
    rig.mg.setAmount(amount);
    rig.mg.setFrequency(100.0);  // a period of 441 samples
    rig.run(4410);
    auto height = [&](std::size_t i) { return (rig.control[i] + 1.0) / (2.0 * amount); };
    EXPECT_NEAR(rig.control[0], 2.0 * amount - 1.0, 0.02 * amount);
    EXPECT_NEAR(height(440), 0.1, 0.002);
    EXPECT_NEAR(height(881), 0.01, 0.0005);
    EXPECT_NEAR(rig.control.back(), -1.0f, 1e-4f);
    // Falling all the way (beyond three periods the offsets of 1e-5 take over).
    EXPECT_TRUE(std::is_sorted(rig.control.rend() - 1323, rig.control.rend()));
    for (float v : rig.audio) EXPECT_EQ(v, 0.0f);

    // A reset sample starts it again from the top.
    rig.reset = std::vector<float>(16, 0.0f);
    rig.reset[5] = 1.0f;
    rig.run(16);
    EXPECT_NEAR(rig.control[5], 2.0 * amount - 1.0, 0.02 * amount);
}

INSTANTIATE_TEST_SUITE_P(Amounts, ModGenDecay, ::testing::Values(1.0f, 0.5f), [](const auto& row) {
    return std::to_string(static_cast<int>(row.param * 100.0f)) + "Percent";
});

TEST(ModGen, ResetInputAndRetriggerRestartTheCycle) {
    ModGenRig rig;
    rig.mg.setFrequency(kExactHz);
    rig.reset = std::vector<float>(400, 0.0f);
    rig.reset[300] = 1.0f;
    rig.run(400);
    ASSERT_LT(rig.control[299], -0.5f);
    EXPECT_NEAR(rig.control[300], 1.0, kDither);
    EXPECT_NEAR(rig.control[301], 1.0 - 2.0 * exactPhase(1), kDither);
    rig.reset.clear();

    rig.mg.retrigger();  // retrigger is off: the ramp runs on
    rig.run(1);
    EXPECT_NEAR(rig.control[0], 1.0 - 2.0 * exactPhase(100), kDither);

    rig.mg.setRetrigger(true);
    rig.mg.retrigger();
    rig.run(1);
    EXPECT_NEAR(rig.control[0], 1.0, kDither);

    rig.run(100);
    rig.mg.resetPhase();
    rig.run(1);
    EXPECT_NEAR(rig.control[0], 1.0, kDither);
}

struct AudioCase {
    const char* name;
    int wave;
    const Wavetable* ModGen::*table;
    friend void PrintTo(const AudioCase& row, std::ostream* out) { *out << row.name; }
};

class ModGenAudio : public ::testing::TestWithParam<AudioCase> {};

TEST_P(ModGenAudio, ReadsItsTableOnlyWhileTheAudioOutputIsOn) {
    const AudioCase& c = GetParam();
    const Wavetable table = triangleTable();
    ModGenRig rig;
    rig.mg.*c.table = &table;
    rig.mg.setWave(c.wave);
    rig.mg.setFrequency(kExactHz);
    rig.mg.setAmount(0.5f);
    rig.run(64);
    for (float v : rig.audio) EXPECT_EQ(v, 0.0f);

    rig.mg.setAudioOutput(true);
    rig.run(kExactFrames - 64);
    for (int i = 0; i < kExactFrames - 64; ++i)
        ASSERT_NEAR(rig.audio[i], 0.5 * triangle(exactPhase(i + 64)), 1e-6) << i;
    EXPECT_NEAR(rig.mg.getAudioValue(), triangle(exactPhase(kExactFrames - 1)), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Waves, ModGenAudio,
                         ::testing::Values(AudioCase{"Saw", ModGen::kSaw, &ModGen::sawTable},
                                           AudioCase{"Square", ModGen::kSquare, &ModGen::squareTable}),
                         [](const auto& row) { return std::string(row.param.name); });

struct LevelCase {
    const char* name;
    double hz;
    float expected;
    friend void PrintTo(const LevelCase& row, std::ostream* out) { *out << row.name; }
};

class ModGenLevel : public ::testing::TestWithParam<LevelCase> {};

// The period in samples (1 / step) picks the table level; 0 Hz has an
// endless period, which the last entry of the map serves.
TEST_P(ModGenLevel, PeriodSelectsTheTableLevel) {
    const LevelCase& c = GetParam();
    const Wavetable table = twoLevelTable();
    ModGenRig rig;
    rig.mg.triangleTable = &table;
    rig.mg.setWave(ModGen::kTriangle);
    rig.mg.setFrequency(c.hz);
    rig.run(8);
    for (float v : rig.audio) EXPECT_EQ(v, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Periods, ModGenLevel,
                         ::testing::Values(LevelCase{"BeyondTheMap", 10.0, 0.5f}, LevelCase{"InsideTheMap", 32.0, -0.5f},
                                           LevelCase{"Shortest", 512.0, -0.5f}, LevelCase{"ZeroHz", 0.0, 0.5f}),
                         [](const auto& row) { return std::string(row.param.name); });

// Broken frequencies stop the generator (0 Hz) instead of running its phase
// away or reading outside a table; frequencies beyond Nyquist are held there.
TEST(ModGen, BrokenFrequenciesStopItAndValidOnesResumeIt) {
    const Wavetable table = triangleTable();
    ModGenRig rig;
    rig.mg.triangleTable = &table;
    rig.mg.setWave(ModGen::kTriangle);
    rig.mg.setSampleRate(0.0);  // ignored: the rate stays 1024 Hz
    rig.mg.setFrequency(kExactHz);
    rig.run(100);
    const float kBroken[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(), -5.0f};
    float frozen = 0.0f;
    for (float hz : kBroken) {
        rig.frequency = {hz};
        rig.run(50);
        if (std::isnan(hz)) frozen = rig.control[0];
        for (float v : rig.control) ASSERT_NEAR(v, frozen, 2 * kDither) << hz;
    }
    rig.frequency = {static_cast<float>(kExactHz)};
    rig.run(10);
    EXPECT_GT(std::fabs(rig.control.back() - frozen), 0.05f);

    rig.frequency = {1e30f};
    rig.run(1000);
    for (float v : rig.control) ASSERT_LE(std::fabs(v), 1.0f + 1e-4f);
    rig.mg.setWave(ModGen::kDecay);
    rig.mg.resetPhase();
    rig.run(1000);
    for (float v : rig.control) ASSERT_GE(v, -1.0f - 1e-4f);
}

TEST(ModGen, MissingTablesReadAsSilence) {
    const Wavetable unloaded;
    ModGenRig rig;
    rig.mg.triangleTable = &unloaded;
    rig.mg.setAudioOutput(true);
    rig.mg.setFrequency(kExactHz);
    for (int wave : {ModGen::kSaw, ModGen::kSquare, ModGen::kTriangle}) {
        rig.mg.setWave(wave);
        rig.run(32);
        for (float v : rig.audio) EXPECT_EQ(v, 0.0f) << wave;
    }
}

}  // namespace
}  // namespace tarvik
