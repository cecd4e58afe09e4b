#include "dsp/envelope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

// The alternating offset that keeps the states clear of denormals, plus rounding.
constexpr float kDither = 1.5e-5f;

// An envelope with its four optional inputs; an empty input vector leaves
// the slot unpatched.
struct EnvelopeRig {
    Envelope env;
    std::vector<float> gate, trigger, amount, accent;

    std::vector<float> run(int frames) {
        std::vector<float> out(static_cast<std::size_t>(frames), -99.0f);
        auto slot = [frames](std::vector<float>& v) {
            if (v.empty()) return static_cast<float*>(nullptr);
            v.resize(static_cast<std::size_t>(frames), v.back());
            return v.data();
        };
        env.inputs[Envelope::kGateInput] = slot(gate);
        env.inputs[Envelope::kTriggerInput] = slot(trigger);
        env.inputs[Envelope::kAmountInput] = slot(amount);
        env.inputs[Envelope::kAccentInput] = slot(accent);
        env.outputs[Envelope::kOutput] = out.data();
        env.process(frames);
        return out;
    }
};

// Samples until the output first comes within `fraction` of the distance
// from `from` to `to`.
int samplesToReach(const std::vector<float>& out, double from, double to, double fraction) {
    for (std::size_t i = 0; i < out.size(); ++i)
        if (std::fabs(out[i] - to) < fraction * std::fabs(from - to)) return static_cast<int>(i) + 1;
    return -1;
}

struct AttackCase {
    const char* name;
    float attackStep;
    std::vector<float> outputs;
    std::vector<int> stages;  // after each sample
    friend void PrintTo(const AttackCase& row, std::ostream* out) { *out << row.name; }
};

class EnvelopeAttack : public ::testing::TestWithParam<AttackCase> {};

TEST_P(EnvelopeAttack, RisesLinearlyAndEndsExactlyAtFullLevel) {
    const AttackCase& c = GetParam();
    EnvelopeRig rig;
    rig.env.attackStep = c.attackStep;
    rig.env.sustain = 0.5f;
    rig.env.decayRate = 0.1f;
    rig.env.stage = Envelope::kAttack;
    for (std::size_t i = 0; i < c.outputs.size(); ++i) {
        EXPECT_FLOAT_EQ(rig.run(1)[0], c.outputs[i]) << "sample " << i;
        EXPECT_EQ(rig.env.stage, c.stages[i]) << "sample " << i;
    }
    // The decay acts from the next sample: 1 + (0.5 - 1) * 0.1.
    EXPECT_NEAR(rig.run(1)[0], 0.95, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Steps, EnvelopeAttack,
                         ::testing::Values(AttackCase{"StepOvershootsOne", 0.4f, {0.4f, 0.8f, 1.0f}, {0, 0, 1}},
                                           AttackCase{"StepLandsOnOne", 0.5f, {0.5f, 1.0f, 1.0f}, {0, 0, 1}}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(Envelope, TriggerRestartsTheAttackFromZeroOnItsOwnSample) {
    EnvelopeRig rig;
    rig.env.attackStep = 0.25f;
    rig.env.sustain = 0.6f;
    rig.env.decayRate = 0.05f;
    rig.env.stage = Envelope::kAttack;
    rig.trigger = std::vector<float>(64, 0.0f);
    rig.trigger[40] = 1.0f;
    const std::vector<float> out = rig.run(64);
    ASSERT_GT(out[39], 0.6f);  // well into the decay
    EXPECT_FLOAT_EQ(out[40], 0.25f);
    EXPECT_FLOAT_EQ(out[41], 0.5f);
    EXPECT_EQ(rig.env.attackFlag, 1);
}

TEST(Envelope, ClosedGateWinsOverATriggerOnTheSameSample) {
    EnvelopeRig rig;
    rig.env.attackStep = 0.1f;
    rig.env.releaseRate = 0.5f;
    rig.env.stage = Envelope::kDecay;
    rig.env.level = 0.8;
    rig.gate = std::vector<float>(32, 1.0f);
    rig.gate[10] = 0.0f;
    rig.trigger = std::vector<float>(32, 0.0f);
    rig.trigger[10] = 1.0f;
    std::vector<float> out = rig.run(11);
    EXPECT_LE(std::fabs(out[10]), kDither);  // the level fell to 0 and stays released
    EXPECT_EQ(rig.env.stage, Envelope::kRelease);

    // A gate closed on every sample holds the release through any triggers.
    rig.gate.assign(48, 0.0f);
    rig.trigger.assign(48, 0.0f);
    for (std::size_t i = 0; i < rig.trigger.size(); i += 4) rig.trigger[i] = 1.0f;
    out = rig.run(48);
    for (float v : out) EXPECT_LE(std::fabs(v), kDither);
    EXPECT_EQ(rig.env.stage, Envelope::kRelease);
}

TEST(Envelope, AccentSelectsItsDecayRateOnlyWhileNonZero) {
    EnvelopeRig rig;
    rig.env.sustain = 0.0f;
    rig.env.decayRate = 0.001f;
    rig.env.accentDecayRate = 0.01f;
    rig.env.stage = Envelope::kDecay;
    rig.env.level = 1.0;
    rig.accent = std::vector<float>(400, 0.0f);
    std::fill(rig.accent.begin(), rig.accent.begin() + 200, 1.0f);
    const std::vector<float> out = rig.run(400);

    auto perSampleFactor = [&](int a, int b) { return std::exp(std::log(out[b] / out[a]) / (b - a)); };
    EXPECT_NEAR(perSampleFactor(100, 199), 1.0 - 0.01, 1e-5);
    EXPECT_NEAR(perSampleFactor(199, 200), 1.0 - 0.001, 1e-5);  // continues from the level reached
    EXPECT_NEAR(perSampleFactor(200, 399), 1.0 - 0.001, 1e-5);
}

struct TimeCase {
    const char* name;
    std::int32_t stage;
    double seconds;
    double sampleRate;
    friend void PrintTo(const TimeCase& row, std::ostream* out) { *out << row.name; }
};

class EnvelopeTime : public ::testing::TestWithParam<TimeCase> {};

// A rate of ln 10 / (T * sr) covers 90 % of the distance in T seconds.
TEST_P(EnvelopeTime, CoversNinetyPercentOfItsDistanceInTheGivenTime) {
    const TimeCase& c = GetParam();
    EnvelopeRig rig;
    const auto rate = static_cast<float>(std::numbers::ln10 / (c.seconds * c.sampleRate));
    rig.env.decayRate = rate;
    rig.env.releaseRate = rate;
    rig.env.sustain = 0.2f;
    rig.env.stage = c.stage;
    rig.env.level = 1.0;
    const double expected = c.seconds * c.sampleRate;
    const std::vector<float> out = rig.run(static_cast<int>(expected * 2));
    const double end = c.stage == Envelope::kDecay ? 0.2 : 0.0;
    EXPECT_NEAR(samplesToReach(out, 1.0, end, 0.1), expected, expected * 0.01 + 2);
}

INSTANTIATE_TEST_SUITE_P(Stages, EnvelopeTime,
                         ::testing::Values(TimeCase{"Decay100msAt44k", Envelope::kDecay, 0.1, 44100},
                                           TimeCase{"Decay20msAt96k", Envelope::kDecay, 0.02, 96000},
                                           TimeCase{"Release500msAt48k", Envelope::kRelease, 0.5, 48000},
                                           TimeCase{"Release5msAt44k", Envelope::kRelease, 0.005, 44100}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(Envelope, FastReleaseAndDampRunAtTheirFixedRates) {
    EnvelopeRig rig;
    rig.env.stage = Envelope::kFastRelease;
    rig.env.level = 1.0;
    // 0.992 per sample reaches a tenth after ln 0.1 / ln 0.992 samples.
    EXPECT_NEAR(samplesToReach(rig.run(1000), 1.0, 0.0, 0.1), std::log(0.1) / std::log(0.992), 2);

    // Damp falls by 0.99 per sample below 0.01, then attacks from there.
    rig.env.stage = Envelope::kDamp;
    rig.env.level = 0.8;
    rig.env.attackStep = 0.001f;
    const std::vector<float> out = rig.run(600);
    const auto lowest = std::min_element(out.begin(), out.end()) - out.begin();
    EXPECT_NEAR(static_cast<double>(lowest + 1), std::log(0.01 / 0.8) / std::log(0.99), 2);
    EXPECT_LT(out[static_cast<std::size_t>(lowest)], 0.01f);
    EXPECT_NEAR(out[static_cast<std::size_t>(lowest) + 1] - out[static_cast<std::size_t>(lowest)], 0.001, 1e-6);
    EXPECT_EQ(rig.env.stage, Envelope::kAttack);
}

TEST(Envelope, AttackFlagMarksBlocksThatStartOrRestartAnAttack) {
    EnvelopeRig rig;
    rig.env.attackStep = 0.5f;
    rig.env.stage = Envelope::kAttack;
    rig.run(8);  // the attack ends inside this block
    EXPECT_EQ(rig.env.attackFlag, 1);
    rig.run(8);
    EXPECT_EQ(rig.env.attackFlag, 0);
    rig.trigger = std::vector<float>(8, 0.0f);
    rig.trigger[5] = 1.0f;
    rig.run(8);
    EXPECT_EQ(rig.env.attackFlag, 1);
}

TEST(Envelope, AmountInputScalesTheOutputPerSample) {
    EnvelopeRig rig;
    rig.env.attackStep = 0.25f;
    rig.env.stage = Envelope::kAttack;
    rig.amount = {2.0f, -1.0f, 0.5f, 0.0f};
    const std::vector<float> out = rig.run(4);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FLOAT_EQ(out[1], -0.5f);
    EXPECT_FLOAT_EQ(out[2], 0.375f);
    EXPECT_FLOAT_EQ(out[3], 0.0f);
}

// Rates above 1 would overshoot the target and ring (a release swinging
// below zero inverts the voice); they act as 1.
TEST(Envelope, RatesAboveOneNeverOvershoot) {
    EnvelopeRig rig;
    rig.env.sustain = 0.5f;
    rig.env.decayRate = 1.7f;
    rig.env.releaseRate = 3.0f;
    rig.env.stage = Envelope::kDecay;
    rig.env.level = 1.0;
    for (float v : rig.run(16)) EXPECT_NEAR(v, 0.5f, kDither);
    rig.gate = {0.0f};
    for (float v : rig.run(16)) EXPECT_NEAR(v, 0.0f, kDither);
}

// A released envelope stops before the first sample that starts below the
// silence level, however its samples are cut into blocks.
TEST(Envelope, ProcessUntilSilentStopsAtTheSameSampleWhateverTheBlocks) {
    constexpr double kSilence = 0.001;
    auto run = [&](std::initializer_list<int> blocks) {
        Envelope env;
        env.stage = Envelope::kRelease;
        env.level = 0.8;
        env.releaseRate = 0.01f;
        std::vector<float> out(4000, -99.0f);
        int done = 0;
        for (int n : blocks) {
            env.outputs[Envelope::kOutput] = out.data() + done;
            const int processed = env.processUntilSilent(n, kSilence);
            done += processed;
            if (processed < n) break;
        }
        return std::make_pair(done, env.level);
    };
    const auto [stop, level] = run({4000});
    // 0.8 (0.99)^n falls below 0.001 after n = 666 samples.
    EXPECT_NEAR(stop, 666, 2);
    EXPECT_LT(std::fabs(level), kSilence);
    for (auto blocks : {std::initializer_list<int>{100, 566, 9, 3325}, std::initializer_list<int>{1, 1, 3998}}) {
        const auto [splitStop, splitLevel] = run(blocks);
        EXPECT_EQ(splitStop, stop);
        EXPECT_EQ(splitLevel, level);
    }
}

TEST(Envelope, WithoutOutputNothingRuns) {
    Envelope env;
    env.attackStep = 0.5f;
    env.stage = Envelope::kAttack;
    env.process(16);
    EXPECT_EQ(env.level, 0.0);
    EXPECT_EQ(env.stage, Envelope::kAttack);
}

// A voice's two envelopes walk through a block in one loop; the leader ends
// the run where it falls silent. The pair must give exactly what the two
// calls give one after the other, in the steady stages' own loop as in the
// full stage machine.
struct PairCase {
    std::string name;
    std::function<void(EnvelopeRig&)> leader;
    std::function<void(EnvelopeRig&)> follower;
    double silence;
    friend void PrintTo(const PairCase& row, std::ostream* out) { *out << row.name; }
};

class EnvelopePair : public ::testing::TestWithParam<PairCase> {};

TEST_P(EnvelopePair, RendersWhatTheTwoCallsRender) {
    constexpr int kFrames = 700;
    EnvelopeRig leader, follower, leaderAlone, followerAlone;
    GetParam().leader(leader);
    GetParam().leader(leaderAlone);
    GetParam().follower(follower);
    GetParam().follower(followerAlone);

    auto connect = [](EnvelopeRig& rig, std::vector<float>& out) {
        auto slot = [](std::vector<float>& v) {
            if (v.empty()) return static_cast<float*>(nullptr);
            v.resize(kFrames, v.back());
            return v.data();
        };
        rig.env.inputs[Envelope::kGateInput] = slot(rig.gate);
        rig.env.inputs[Envelope::kTriggerInput] = slot(rig.trigger);
        rig.env.inputs[Envelope::kAmountInput] = slot(rig.amount);
        rig.env.inputs[Envelope::kAccentInput] = slot(rig.accent);
        out.assign(kFrames, -99.0f);
        rig.env.outputs[Envelope::kOutput] = out.data();
    };
    std::vector<float> lead, follow, leadAlone, followAlone;
    connect(leader, lead);
    connect(follower, follow);
    connect(leaderAlone, leadAlone);
    connect(followerAlone, followAlone);

    const int frames = Envelope::processPair(leader.env, follower.env, kFrames, GetParam().silence);
    const int framesAlone = leaderAlone.env.processUntilSilent(kFrames, GetParam().silence);
    followerAlone.env.process(framesAlone);

    EXPECT_EQ(frames, framesAlone);
    EXPECT_EQ(lead, leadAlone);
    EXPECT_EQ(follow, followAlone);
    for (auto [pair, alone] : {std::pair{&leader.env, &leaderAlone.env}, std::pair{&follower.env, &followerAlone.env}}) {
        EXPECT_EQ(pair->stage, alone->stage);
        EXPECT_EQ(pair->level, alone->level);
        EXPECT_EQ(pair->attackFlag, alone->attackFlag);
    }
}

void decaying(EnvelopeRig& rig) {
    rig.env.stage = Envelope::kDecay;
    rig.env.level = 1.0;
    rig.env.decayRate = 0.004f;
    rig.env.sustain = 0.3f;
}

void releasing(EnvelopeRig& rig) {
    rig.env.stage = Envelope::kRelease;
    rig.env.level = 0.5;
    rig.env.releaseRate = 0.01f;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, EnvelopePair,
    ::testing::Values(PairCase{"SteadyDecayAndRelease", releasing, decaying, 0.0},
                      PairCase{"LeaderFallsSilentMidRun", releasing, decaying, 0.001},
                      PairCase{"LeaderSilentAlready", [](EnvelopeRig& r) { r.env.stage = Envelope::kRelease; },
                               decaying, 0.001},
                      PairCase{"AmountInputs",
                               [](EnvelopeRig& r) {
                                   releasing(r);
                                   r.amount = {0.5f, -1.0f, 2.0f};
                               },
                               [](EnvelopeRig& r) {
                                   decaying(r);
                                   r.amount = {0.25f};
                               },
                               0.0},
                      PairCase{"AttackIntoDecay",
                               [](EnvelopeRig& r) {
                                   decaying(r);
                                   r.env.stage = Envelope::kAttack;
                                   r.env.level = 0.0;
                                   r.env.attackStep = 0.01f;
                               },
                               decaying, 0.0},
                      PairCase{"GateClosesAndTriggerRestarts",
                               [](EnvelopeRig& r) {
                                   decaying(r);
                                   r.gate = std::vector<float>(300, 1.0f);
                                   r.gate.push_back(0.0f);
                               },
                               [](EnvelopeRig& r) {
                                   releasing(r);
                                   r.trigger = std::vector<float>(200, 0.0f);
                                   r.trigger.push_back(1.0f);
                                   r.trigger.push_back(0.0f);
                                   r.env.attackStep = 0.02f;
                               },
                               0.001},
                      PairCase{"AccentedDecay", decaying,
                               [](EnvelopeRig& r) {
                                   decaying(r);
                                   r.accent = {0.0f, 0.0f, 1.0f};
                                   r.env.accentDecayRate = 0.05f;
                               },
                               0.0}),
    [](const ::testing::TestParamInfo<PairCase>& row) { return row.param.name; });

}  // namespace
}  // namespace tarvik
