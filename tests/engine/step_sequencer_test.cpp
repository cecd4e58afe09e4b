#include "engine/step_sequencer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using namespace step;

constexpr double kRate = 44100.0;
constexpr double kBpm = 120.0;
constexpr double kSixteenth = 5512.5;  // 44100 / (120 / 60 × 4)
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The phase after sample n of a run is (n + 1) × increment, so the note of
// step k (k ≥ 1) starts on the first sample m with m > k × the step length in
// samples: floor(k × length) + 1.
int noteStart(int k, double stepLength) { return k == 0 ? 0 : static_cast<int>(std::floor(k * stepLength)) + 1; }

std::vector<int> noteStarts(int count, double stepLength) {
    std::vector<int> starts;
    for (int k = 0; k < count; ++k) starts.push_back(noteStart(k, stepLength));
    return starts;
}

::testing::AssertionResult holds(const std::vector<float>& signal, int from, int to, float value) {
    for (int i = from; i < to; ++i)
        if (signal[static_cast<std::size_t>(i)] != value)
            return ::testing::AssertionFailure() << "sample " << i << " is " << signal[static_cast<std::size_t>(i)]
                                                 << ", not " << value;
    return ::testing::AssertionSuccess();
}

class StepSequencerTest : public ::testing::Test {
protected:
    static constexpr int kChunk = 997;  // odd, so that segment boundaries fall anywhere in a step

    struct Signals {
        std::vector<float> pitch, gate, trigger, slide, accent, noteCV;
    };

    StepSequencerTest() { patch->setState(state::RunStop, 1); }

    Pattern& pattern(int index = 0) { return patch->patterns[index]; }
    void setStep(int i, int note, std::uint8_t flags, int index = 0) {
        pattern(index).steps[i] = Step{static_cast<std::uint8_t>(note), flags};
    }
    // Every step a gated note of its own number (mod 36).
    void gateAll(int index = 0) {
        for (int i = 0; i < kMaxSteps; ++i) setStep(i, i % 36, kGate, index);
    }

    void render(int frames, double bpm = kBpm, double rate = kRate) {
        renderChunks(frames, bpm, rate, [&](const float* const* b, int n) {
            std::vector<float>* all[] = {&out.pitch, &out.gate, &out.trigger, &out.slide, &out.accent, &out.noteCV};
            for (int s = 0; s < 6; ++s) all[s]->insert(all[s]->end(), b[s], b[s] + n);
        });
    }
    // For long runs: keeps only where notes were triggered.
    std::vector<int> renderTriggers(int frames, double bpm = kBpm, double rate = kRate) {
        std::vector<int> at;
        int done = 0;
        renderChunks(frames, bpm, rate, [&](const float* const* b, int n) {
            for (int i = 0; i < n; ++i)
                if (b[2][i] == 1.0f) at.push_back(done + i);
            done += n;
        });
        return at;
    }
    std::vector<int> triggers(int from = 0) const {
        std::vector<int> at;
        for (int i = from; i < static_cast<int>(out.trigger.size()); ++i)
            if (out.trigger[static_cast<std::size_t>(i)] == 1.0f) at.push_back(i);
        return at;
    }
    int rendered() const { return static_cast<int>(out.gate.size()); }

    float gateTime = 0.5f;
    std::unique_ptr<TarvikPatch> patch = std::make_unique<TarvikPatch>();
    StepSequencer sequencer;
    Signals out;

private:
    void renderChunks(int frames, double bpm, double rate, const std::function<void(const float* const*, int)>& keep) {
        float buffers[6][kChunk];
        const SequencerBuffers b{buffers[0], buffers[1], buffers[2], buffers[3], buffers[4], buffers[5]};
        const float* const view[6] = {buffers[0], buffers[1], buffers[2], buffers[3], buffers[4], buffers[5]};
        while (frames > 0) {
            const int n = std::min(frames, kChunk);
            sequencer.renderSegment(n, *patch, bpm, rate, gateTime, b);
            keep(view, n);
            frames -= n;
        }
    }
};

// --- gate, ties, slides, accents, rests --------------------------------------

TEST_F(StepSequencerTest, GateClosesOnTheFirstSampleWhosePhaseExceedsTheGateLength) {
    setStep(0, 0, kGate);
    setStep(1, 0, kGate);
    render(6000);
    // 0.5 × 0.999 × 5512.5 = 2753.49: first exceeded by the phase 2754 of sample 2753.
    EXPECT_TRUE(holds(out.gate, 0, 2753, 1.0f));
    EXPECT_TRUE(holds(out.gate, 2753, 5513, 0.0f));
    EXPECT_TRUE(holds(out.gate, 5513, 6000, 1.0f));
    EXPECT_EQ(triggers(), noteStarts(2, kSixteenth));
}

TEST_F(StepSequencerTest, TiedStepsMakeOneNoteWhoseGateClosesInItsLastStep) {
    setStep(0, 4, kGate);
    setStep(1, 9, kTie);
    setStep(2, 9, kTie);
    setStep(3, 2, kGate);
    render(17000);
    EXPECT_EQ(triggers(), (std::vector<int>{0, noteStart(3, kSixteenth)}));
    // (2 + 0.4995) × 5512.5 = 13778.49
    EXPECT_TRUE(holds(out.gate, 0, 13778, 1.0f));
    EXPECT_TRUE(holds(out.gate, 13778, noteStart(3, kSixteenth), 0.0f));
    EXPECT_TRUE(holds(out.noteCV, 0, noteStart(3, kSixteenth), 4.0f / 12.0f));
}

TEST_F(StepSequencerTest, ASlideCarriesGateAndAccentIntoTheNextStepWithoutATrigger) {
    setStep(0, 0, kGate | kSlide | kAccent);
    setStep(1, 7, kGate);
    setStep(2, 2, kGate);
    render(12000);
    const int second = noteStart(1, kSixteenth);
    const int third = noteStart(2, kSixteenth);
    EXPECT_EQ(triggers(), (std::vector<int>{0, third}));
    // Step 1 starts with a phase remainder of 0.5, so its phase at sample
    // second + k is k + 1.5 and first exceeds 2753.49 at k = 2752.
    EXPECT_TRUE(holds(out.gate, 0, second + 2752, 1.0f));
    EXPECT_TRUE(holds(out.gate, second + 2752, third, 0.0f));
    EXPECT_TRUE(holds(out.slide, 0, second, 0.0f));
    EXPECT_TRUE(holds(out.slide, second, third, 1.0f));
    EXPECT_TRUE(holds(out.slide, third, 12000, 0.0f));
    EXPECT_TRUE(holds(out.accent, 0, third, 1.0f));
    EXPECT_TRUE(holds(out.accent, third, 12000, 0.0f));
    EXPECT_TRUE(holds(out.noteCV, second, third, 7.0f / 12.0f));
}

TEST_F(StepSequencerTest, ASlideIntoARestHoldsTheGateUntilTheRestsGateTime) {
    setStep(0, 0, kGate | kSlide);
    setStep(1, 7, 0);
    render(12000);
    const int rest = noteStart(1, kSixteenth);
    EXPECT_TRUE(holds(out.gate, 0, rest + 2752, 1.0f));
    EXPECT_TRUE(holds(out.gate, rest + 2752, noteStart(2, kSixteenth), 0.0f));
    EXPECT_TRUE(holds(out.noteCV, rest, noteStart(2, kSixteenth), 0.0f));
    EXPECT_EQ(triggers(), (std::vector<int>{0}));
}

TEST_F(StepSequencerTest, AnAccentOnARestIsNotPlayed) {
    setStep(0, 0, kAccent);
    setStep(1, 0, kAccent | kGate);
    render(7000);
    EXPECT_TRUE(holds(out.accent, 0, noteStart(1, kSixteenth), 0.0f));
    EXPECT_TRUE(holds(out.accent, noteStart(1, kSixteenth), 7000, 1.0f));
}

TEST_F(StepSequencerTest, ARestKeepsThePitchOfTheNoteBefore) {
    setStep(0, 5, kGate);
    setStep(1, 9, 0);
    render(12000);
    const int rest = noteStart(1, kSixteenth);
    EXPECT_TRUE(holds(out.pitch, rest, noteStart(2, kSixteenth), std::pow(2.0f, 5.0f / 12.0f)));
    EXPECT_TRUE(holds(out.noteCV, rest, noteStart(2, kSixteenth), 5.0f / 12.0f));
    EXPECT_TRUE(holds(out.gate, rest, noteStart(2, kSixteenth), 0.0f));
    EXPECT_EQ(triggers(), (std::vector<int>{0}));
}

TEST_F(StepSequencerTest, ARestBeforeTwoTiedStepsShortensThePassByTwoSteps) {
    pattern().length = 4;
    setStep(0, 0, 0);
    setStep(1, 0, kTie);
    setStep(2, 0, kTie);
    setStep(3, 3, kGate);
    render(28000);
    const std::vector<int> passOfTwoSteps{noteStart(1, kSixteenth), noteStart(3, kSixteenth), noteStart(5, kSixteenth)};
    EXPECT_EQ(triggers(), passOfTwoSteps);
}

// The step sounding halfway through each step's time, as the editor shows
// it: a tied note goes through its steps, a rest skips the steps tied to it.
struct PlayingCase {
    const char* name;
    std::vector<std::uint8_t> flags;  // the pattern's steps; its length
    std::vector<int> playing;         // step by step of time
    friend void PrintTo(const PlayingCase& row, std::ostream* out) { *out << row.name; }
};

class SequencerPlayingStep : public StepSequencerTest, public ::testing::WithParamInterface<PlayingCase> {};

TEST_P(SequencerPlayingStep, FollowsTheNotesAndTheirTies) {
    const std::vector<std::uint8_t>& flags = GetParam().flags;
    pattern().length = static_cast<std::uint8_t>(flags.size());
    for (std::size_t i = 0; i < flags.size(); ++i) setStep(static_cast<int>(i), 0, flags[i]);
    std::vector<int> seen;
    for (std::size_t k = 0; k < GetParam().playing.size(); ++k) {
        render(static_cast<int>((static_cast<double>(k) + 0.5) * kSixteenth) - rendered());
        seen.push_back(sequencer.playingStep());
    }
    EXPECT_EQ(seen, GetParam().playing);
}

INSTANTIATE_TEST_SUITE_P(Cases, SequencerPlayingStep,
                         ::testing::Values(PlayingCase{"GatedSteps", {kGate, kGate, kGate}, {0, 1, 2, 0, 1}},
                                           PlayingCase{"ATiedNote", {kGate, kTie, kTie, kGate}, {0, 1, 2, 3, 0}},
                                           PlayingCase{"ARestBeforeTiedSteps", {0, kTie, kTie, kGate}, {0, 3, 0, 3}}),
                         [](const auto& row) { return std::string(row.param.name); });

// --- step rate -----------------------------------------------------------------

struct RateCase {
    const char* name;
    int timeMode;
    bool triplet;
    double stepLength;  // samples at 120 BPM and 44100 Hz
    friend void PrintTo(const RateCase& row, std::ostream* out) { *out << row.name; }
};

class SequencerStepRate : public StepSequencerTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(SequencerStepRate, FollowsTheTimeModeAndTheTripletFlag) {
    gateAll();
    pattern().timeMode = static_cast<std::uint8_t>(GetParam().timeMode);
    pattern().flags = GetParam().triplet ? kTripletFlag : 0;
    render(noteStart(4, GetParam().stepLength) + 1);
    EXPECT_EQ(triggers(), noteStarts(5, GetParam().stepLength));
}

INSTANTIATE_TEST_SUITE_P(Cases, SequencerStepRate,
                         ::testing::Values(RateCase{"NormalSpeed", 0, false, kSixteenth},
                                           RateCase{"DoubleSpeed", 1, false, kSixteenth / 2},
                                           RateCase{"ThreeQuarterSpeed", 2, false, kSixteenth / 0.75},
                                           RateCase{"OneAndAHalfSpeed", 3, false, kSixteenth / 1.5},
                                           RateCase{"NormalSpeedTriplets", 0, true, kSixteenth * 4 / 3},
                                           RateCase{"DoubleSpeedTriplets", 1, true, kSixteenth / 1.5},
                                           RateCase{"OneAndAHalfSpeedTriplets", 3, true, kSixteenth / 1.125}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(StepSequencerTest, AnUnknownTimeModeKeepsTheSpeedOfTheNoteBefore) {
    gateAll();
    pattern().timeMode = 1;
    render(noteStart(1, kSixteenth / 2));
    pattern().timeMode = 7;
    render(noteStart(4, kSixteenth / 2) + 1 - rendered());
    EXPECT_EQ(triggers(), noteStarts(5, kSixteenth / 2));
}

// --- patterns ------------------------------------------------------------------

TEST_F(StepSequencerTest, APatternChangeReadsTheReachedStepOnceThenWraps) {
    gateAll(0);
    pattern(1).length = 8;
    setStep(12, 20, kGate, 1);
    setStep(0, 30, kGate, 1);
    setStep(1, 31, kGate, 1);
    setStep(13, 0, kTie, 1);  // beyond the length: not tied to step 12
    render(noteStart(12, kSixteenth));
    ASSERT_EQ(sequencer.stepIndex, 12);
    patch->setState(state::CurrentPattern, 1);
    render(noteStart(15, kSixteenth) - rendered());
    EXPECT_EQ(out.noteCV[static_cast<std::size_t>(noteStart(12, kSixteenth))], 20.0f / 12.0f);
    EXPECT_EQ(out.noteCV[static_cast<std::size_t>(noteStart(13, kSixteenth))], 30.0f / 12.0f);
    EXPECT_EQ(out.noteCV[static_cast<std::size_t>(noteStart(14, kSixteenth))], 31.0f / 12.0f);
}

TEST_F(StepSequencerTest, AnEmptyPatternPlaysStepZeroOverAndOver) {
    gateAll();
    pattern().length = 0;
    setStep(0, 3, kGate);
    render(noteStart(4, kSixteenth) + 1);
    EXPECT_EQ(triggers(), noteStarts(5, kSixteenth));
    EXPECT_TRUE(holds(out.noteCV, 0, rendered(), 3.0f / 12.0f));
}

TEST_F(StepSequencerTest, ADamagedLengthPlaysThe64StepsThereAre) {
    gateAll();
    pattern().length = 200;
    render(noteStart(64, kSixteenth) + 1);
    EXPECT_EQ(out.noteCV[static_cast<std::size_t>(noteStart(63, kSixteenth))], 27.0f / 12.0f);  // step 63
    EXPECT_EQ(out.noteCV[static_cast<std::size_t>(noteStart(64, kSixteenth))], 0.0f);            // step 0
}

TEST_F(StepSequencerTest, ACurrentPatternOutsideTheBankPlaysTheNearestPattern) {
    setStep(0, 11, kGate, 127);
    setStep(0, 4, kGate, 0);
    struct Case {
        int current, note;
    };
    for (const Case c : {Case{300, 11}, Case{-5, 4}, Case{128, 11}}) {
        patch->setState(state::CurrentPattern, c.current);
        sequencer.resetPosition();
        render(1);
        EXPECT_EQ(out.noteCV.back(), static_cast<float>(c.note) / 12.0f) << c.current;
    }
}

TEST_F(StepSequencerTest, AStepIndexOutsideTheStepsStartsAgainAtStepZero) {
    setStep(0, 6, kGate);
    sequencer.stepIndex = 70;
    render(1);
    EXPECT_EQ(out.noteCV.back(), 6.0f / 12.0f);
    EXPECT_EQ(sequencer.stepIndex, 1);
}

// --- pitch ---------------------------------------------------------------------

TEST_F(StepSequencerTest, PitchRatioIsTheSinglePrecisionPowerOfTheSignedNote) {
    struct Octave {
        int flags, shift;
    };
    pattern().length = 1;
    for (int note = 0; note < 256; ++note) {
        for (const Octave o : {Octave{kGate, 0}, Octave{kGate | kUp, 12}, Octave{kGate | kDown, -12}}) {
            setStep(0, note, static_cast<std::uint8_t>(o.flags));
            sequencer.resetPosition();
            render(1);
            const int semitones = (note < 128 ? note : note - 256) + o.shift;
            ASSERT_EQ(out.pitch.back(), std::pow(2.0f, static_cast<float>(semitones) / 12.0f)) << semitones;
            ASSERT_EQ(out.noteCV.back(), static_cast<float>(semitones) / 12.0f) << semitones;
        }
    }
}

TEST_F(StepSequencerTest, PitchRatioIsExactOnWholeOctaves) {
    struct Case {
        int note, flags;
        float ratio;
    };
    for (const Case c : {Case{0, kGate, 1.0f}, Case{12, kGate, 2.0f}, Case{0, kGate | kDown, 0.5f},
                         Case{12, kGate | kUp, 4.0f}, Case{24, kGate | kUp, 8.0f}}) {
        setStep(0, c.note, static_cast<std::uint8_t>(c.flags));
        sequencer.resetPosition();
        render(1);
        EXPECT_EQ(out.pitch.back(), c.ratio) << c.note;
    }
}

// --- run, stop, reset ------------------------------------------------------------

TEST_F(StepSequencerTest, StoppedItOutputsRestSignalsAndKeepsItsPlace) {
    setStep(0, 7, kGate | kAccent | kSlide);
    setStep(1, 2, kGate);
    render(1000);
    const int stepIndex = sequencer.stepIndex;
    const double phase = sequencer.phase;

    patch->setState(state::RunStop, 0);
    render(500);
    EXPECT_TRUE(holds(out.pitch, 1000, 1500, 1.0f));
    for (const auto* signal : {&out.gate, &out.trigger, &out.slide, &out.accent, &out.noteCV})
        EXPECT_TRUE(holds(*signal, 1000, 1500, 0.0f));
    EXPECT_EQ(sequencer.running, 0);
    EXPECT_EQ(sequencer.stepIndex, stepIndex);
    EXPECT_EQ(sequencer.phase, phase);

    patch->setState(state::RunStop, 1);
    render(6000);
    EXPECT_EQ(triggers(1000), std::vector<int>{});  // step 0 goes on, step 1 is slid into
    EXPECT_TRUE(holds(out.noteCV, 1500, 500 + noteStart(1, kSixteenth), 7.0f / 12.0f));
    EXPECT_TRUE(holds(out.noteCV, 500 + noteStart(1, kSixteenth), rendered(), 2.0f / 12.0f));
}

TEST_F(StepSequencerTest, APositionResetRestartsAtStepZeroAndKeepsTheLastPitch) {
    sequencer.phase = 100.0;
    sequencer.gate = sequencer.accentOut = sequencer.slide = sequencer.inStep = 1;
    sequencer.stepIndex = 5;
    sequencer.slidePrev = 1;
    sequencer.pitchRatio = 3.0;
    sequencer.noteCV = 0.25f;
    sequencer.resetPosition();
    EXPECT_EQ(sequencer.phase, 0.0);
    EXPECT_EQ(sequencer.gate, 0);
    EXPECT_EQ(sequencer.accentOut, 0);
    EXPECT_EQ(sequencer.slide, 0);
    EXPECT_EQ(sequencer.inStep, 0);
    EXPECT_EQ(sequencer.stepIndex, 0);
    EXPECT_EQ(sequencer.slidePrev, 1);
    EXPECT_EQ(sequencer.pitchRatio, 3.0);
    EXPECT_EQ(sequencer.noteCV, 0.25f);
}

TEST_F(StepSequencerTest, ARequestedResetActsAtTheNextSegment) {
    gateAll();
    render(noteStart(3, kSixteenth) + 1);  // one sample into step 3
    sequencer.requestPositionReset();
    const int restart = rendered();
    render(10);
    EXPECT_EQ(triggers(restart), std::vector<int>{restart});
    EXPECT_EQ(out.noteCV[static_cast<std::size_t>(restart)], 0.0f);
}

TEST_F(StepSequencerTest, ARequestedResetActsEvenWhileStopped) {
    gateAll();
    render(noteStart(3, kSixteenth) + 1);
    patch->setState(state::RunStop, 0);
    sequencer.requestPositionReset();
    ASSERT_EQ(sequencer.stepIndex, 4);
    render(10);
    EXPECT_EQ(sequencer.stepIndex, 0);
    EXPECT_EQ(sequencer.inStep, 0);
}

// --- timing over long runs and odd tempos ------------------------------------------

struct DriftCase {
    const char* name;
    double bpm, rate;
    int steps;
    int tolerance;  // 0 where the step length and every phase are exact in binary
    friend void PrintTo(const DriftCase& row, std::ostream* out) { *out << row.name; }
};

class SequencerTiming : public StepSequencerTest, public ::testing::WithParamInterface<DriftCase> {};

TEST_P(SequencerTiming, StepBoundariesDoNotDriftOverLongRuns) {
    const DriftCase c = GetParam();
    const double stepLength = c.rate / (c.bpm / 60.0 * 4.0);
    gateAll();
    const std::vector<int> at = renderTriggers(noteStart(c.steps, stepLength), c.bpm, c.rate);
    ASSERT_EQ(static_cast<int>(at.size()), c.steps);
    for (int k = 0; k < c.steps; ++k)
        ASSERT_LE(std::abs(at[static_cast<std::size_t>(k)] - noteStart(k, stepLength)), c.tolerance) << "step " << k;
}

INSTANTIATE_TEST_SUITE_P(Cases, SequencerTiming,
                         ::testing::Values(DriftCase{"ExactStepsAt120Bpm", 120.0, 44100.0, 1000, 0},
                                           DriftCase{"InexactStepsAt133Bpm", 133.0, 48000.0, 500, 1}),
                         [](const auto& row) { return std::string(row.param.name); });

struct BadClockCase {
    const char* name;
    double bpm, rate;
    friend void PrintTo(const BadClockCase& row, std::ostream* out) { *out << row.name; }
};

class SequencerUnusableClock : public StepSequencerTest, public ::testing::WithParamInterface<BadClockCase> {};

TEST_P(SequencerUnusableClock, KeepsTheLastGoodStepLength) {
    gateAll();
    render(noteStart(2, kSixteenth));
    render(noteStart(5, kSixteenth) - rendered(), GetParam().bpm, GetParam().rate);
    EXPECT_EQ(triggers(), noteStarts(5, kSixteenth));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SequencerUnusableClock,
    ::testing::Values(BadClockCase{"RateNotANumber", kBpm, kNaN}, BadClockCase{"ZeroRate", kBpm, 0.0},
                      BadClockCase{"NegativeRate", kBpm, -kRate}, BadClockCase{"InfiniteRate", kBpm, kInfinity},
                      BadClockCase{"ZeroTempo", 0.0, kRate}, BadClockCase{"TempoNotANumber", kNaN, kRate}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(StepSequencerTest, TinyStepsNeverStartANoteOnConsecutiveSamplesAndTimingRecovers) {
    gateAll();
    const std::vector<int> fast = renderTriggers(2000, 500.0, 1.0);
    ASSERT_GT(fast.size(), 1u);
    for (std::size_t i = 1; i < fast.size(); ++i) ASSERT_GE(fast[i] - fast[i - 1], 2) << i;

    const std::vector<int> normal = renderTriggers(4 * 5513);
    ASSERT_GE(normal.size(), 3u);
    EXPECT_LE(normal[0], 5513);
    for (std::size_t i = 1; i < normal.size(); ++i) {
        EXPECT_GE(normal[i] - normal[i - 1], 5512) << i;
        EXPECT_LE(normal[i] - normal[i - 1], 5513) << i;
    }
}

TEST_F(StepSequencerTest, ATempoJumpMidNoteEndsItWithoutABurstOfShortNotes) {
    gateAll();
    render(20000, 30.0);  // three quarters into a step of 22050 samples
    render(10000, 300.0);  // steps of 2205 samples
    const std::vector<int> after = triggers(20000);
    ASSERT_GE(after.size(), 3u);
    EXPECT_EQ(after[0], 20001);
    for (std::size_t i = 1; i < after.size(); ++i) EXPECT_GE(after[i] - after[i - 1], 2204) << i;
}

}  // namespace
}  // namespace tarvik
