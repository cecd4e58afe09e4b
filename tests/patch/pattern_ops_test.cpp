#include "patch/pattern_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tarvik {

// Internal linkage, still found by argument-dependent lookup from gtest and std.
static void PrintTo(const Step& s, std::ostream* os) {
    *os << "{note " << int{s.note} << ", flags 0x" << std::hex << int{s.flags} << std::dec << "}";
}

namespace {

using namespace step;

// The generator written out from its formula, to predict every draw.
struct ReferenceRandom {
    std::uint32_t state;
    int operator()() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

// Every step different, so that any misplaced step shows.
Pattern numberedPattern(int length) {
    Pattern p{};
    p.flags = 0x05;
    p.timeMode = 2;
    p.reserved = 0x77;
    p.length = static_cast<std::uint8_t>(length);
    for (int i = 0; i < kMaxSteps; ++i)
        p.steps[i] = Step{static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(i)};
    return p;
}

bool samePattern(const Pattern& a, const Pattern& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::vector<Step> stepsOf(const Pattern& p, int from, int to) { return {p.steps + from, p.steps + to}; }

// --- the generator -----------------------------------------------------------

TEST(PatternRandom, SeedOneGivesTheClassicCLibrarySequence) {
    seedPatternRandom(1);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464})
        EXPECT_EQ(patternRandom(), expected);
}

TEST(PatternRandom, FollowsTheFormulaFromAnySeed) {
    for (std::uint32_t seed : {0u, 0xDEADBEEFu, 0xFFFFFFFFu}) {
        seedPatternRandom(seed);
        ReferenceRandom reference{seed};
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(patternRandom(), reference()) << "seed " << seed << " draw " << i;
    }
}

// --- clipboard ---------------------------------------------------------------

TEST(PatternClipboard, PasteGivesFlagsLengthAndAllStepsButKeepsTheTimeMode) {
    Pattern source = numberedPattern(24);
    source.flags = kTripletFlag | 0x03;
    copyPattern(source);
    const Pattern copied = source;
    source = Pattern{};  // the clipboard holds its own copy

    Pattern target{};
    target.timeMode = 3;
    target.reserved = 9;
    ASSERT_TRUE(patternCopied());
    ASSERT_TRUE(pastePattern(target));
    EXPECT_EQ(target.flags, copied.flags);
    EXPECT_EQ(target.length, 24);
    EXPECT_EQ(target.timeMode, 3);
    EXPECT_EQ(target.reserved, 9);
    EXPECT_EQ(stepsOf(target, 0, kMaxSteps), stepsOf(copied, 0, kMaxSteps));
}

// The clipboard lives for the whole process, so "before any copy" can only be
// seen in a fresh one: the threadsafe style re-runs this test on its own.
TEST(PatternClipboardDeathTest, PasteBeforeAnyCopyLeavesThePatternAsItWas) {
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const Pattern before = numberedPattern(16);
            Pattern p = before;
            const bool pasted = pastePattern(p);
            std::exit(!patternCopied() && !pasted && p == before ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    GTEST_FLAG_SET(death_test_style, style);
}

// --- transpose ---------------------------------------------------------------

struct TransposeCase {
    const char* name;
    std::uint8_t note, flags;
    int semitones;
    std::uint8_t expectedNote, expectedFlags;
    friend void PrintTo(const TransposeCase& row, std::ostream* out) { *out << row.name; }
};

class PatternTranspose : public ::testing::TestWithParam<TransposeCase> {};

TEST_P(PatternTranspose, RenormalisesTheOctaveFlagsAndKeepsTheOthers) {
    const TransposeCase c = GetParam();
    Pattern p = numberedPattern(4);
    p.steps[2] = Step{c.note, c.flags};
    const Pattern before = p;
    transposePattern(p, c.semitones);
    EXPECT_EQ(p.steps[2].note, c.expectedNote);
    EXPECT_EQ(p.steps[2].flags, c.expectedFlags);
    EXPECT_EQ(stepsOf(p, 4, kMaxSteps), stepsOf(before, 4, kMaxSteps));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternTranspose,
    ::testing::Values(TransposeCase{"OverTheTopC", 12, 0, +1, 1, kUp},                 // goes up an octave
                      TransposeCase{"UnderTheBaseC", 0, 0, -1, 11, kDown},             // goes down
                      TransposeCase{"BelowTheLowestOctave", 0, kDown, -12, 0, kDown},  // −24 folds to 0
                      TransposeCase{"OntoTheUpperC", 11, kUp, +1, 12, kUp},            // 24 stays one octave up
                      TransposeCase{"TopCWithoutAFlag", 12, 0, 0, 12, 0},              // the top C needs no flag
                      TransposeCase{"BothOctaveFlags", 7, kUp | kDown, +12, 7, kUp},   // both flags cancel
                      TransposeCase{"KeepsGateAndAccent", 5, kUp | kGate | kAccent, -12, 5, kGate | kAccent},
                      TransposeCase{"KeepsSlideTieAndUnknownBits", 3, kSlide | kTie | 0xC0, +2, 5,
                                    kSlide | kTie | 0xC0},
                      TransposeCase{"ARest", 4, 0, +12, 4, kUp},  // rests move too
                      TransposeCase{"AboveTheHighestOctave", 12, kUp, +12, 24, kUp}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PatternTransposeEmpty, AnEmptyPatternTransposesTheStepItPlays) {
    Pattern p = numberedPattern(0);
    p.steps[0] = Step{2, kGate};
    transposePattern(p, +1);
    EXPECT_EQ(p.steps[0], (Step{3, kGate}));
    EXPECT_EQ(p.steps[1].note, 2);
}

// --- expand, shrink, duplicate -----------------------------------------------

struct LengthCase {
    int length;
    int expectedLength;
    friend void PrintTo(const LengthCase& row, std::ostream* out) { *out << row.length << " steps"; }
};

std::string lengthName(const ::testing::TestParamInfo<LengthCase>& row) {
    return "From" + std::to_string(row.param.length) + "Steps";
}

class PatternExpand : public ::testing::TestWithParam<LengthCase> {};

TEST_P(PatternExpand, SpreadsTheFirst32StepsOverTheEvenStepsWithRestsBetween) {
    Pattern p = numberedPattern(GetParam().length);
    const Pattern before = p;
    expandPattern(p);
    EXPECT_EQ(p.length, GetParam().expectedLength);
    for (int i = 0; i < kMaxSteps / 2; ++i) {
        EXPECT_EQ(p.steps[2 * i], before.steps[i]) << i;
        EXPECT_EQ(p.steps[2 * i + 1], Step{}) << i;
    }
    EXPECT_EQ(p.flags, before.flags);
    EXPECT_EQ(p.timeMode, before.timeMode);
}

// 40 steps: old steps 32..39 have no place left and are lost.
INSTANTIATE_TEST_SUITE_P(Cases, PatternExpand,
                         ::testing::Values(LengthCase{16, 32}, LengthCase{40, 64}, LengthCase{64, 64}, LengthCase{1, 2},
                                           LengthCase{0, 1}, LengthCase{200, 64}),
                         lengthName);

class PatternShrink : public ::testing::TestWithParam<LengthCase> {};

TEST_P(PatternShrink, KeepsTheEvenStepsAndZeroesTheRest) {
    Pattern p = numberedPattern(GetParam().length);
    const Pattern before = p;
    shrinkPattern(p);
    const int length = GetParam().expectedLength;
    EXPECT_EQ(p.length, length);
    for (int i = 0; i < length; ++i) EXPECT_EQ(p.steps[i], before.steps[2 * i]) << i;
    for (int i = length; i < kMaxSteps; ++i) EXPECT_EQ(p.steps[i], Step{}) << i;
}

INSTANTIATE_TEST_SUITE_P(Cases, PatternShrink,
                         ::testing::Values(LengthCase{16, 8}, LengthCase{64, 32}, LengthCase{5, 2}, LengthCase{1, 1},
                                           LengthCase{0, 1}, LengthCase{200, 32}),
                         lengthName);

struct DuplicateCase {
    int length;
    int period;  // the steps that repeat: what the sequencer plays
    friend void PrintTo(const DuplicateCase& row, std::ostream* out) { *out << row.length << " steps"; }
};

class PatternDuplicate : public ::testing::TestWithParam<DuplicateCase> {};

TEST_P(PatternDuplicate, RepeatsThePlayedStepsOverAll64Slots) {
    Pattern p = numberedPattern(GetParam().length);
    const Pattern before = p;
    duplicateSteps(p);
    EXPECT_EQ(p.length, GetParam().length);
    for (int i = 0; i < kMaxSteps; ++i) EXPECT_EQ(p.steps[i], before.steps[i % GetParam().period]) << i;
}

INSTANTIATE_TEST_SUITE_P(Cases, PatternDuplicate,
                         ::testing::Values(DuplicateCase{5, 5}, DuplicateCase{16, 16}, DuplicateCase{64, 64},
                                           DuplicateCase{0, 1}, DuplicateCase{200, 64}),
                         [](const auto& row) { return "Of" + std::to_string(row.param.length) + "Steps"; });

// --- shift -------------------------------------------------------------------

struct ShiftCase {
    const char* name;
    int distance;
    const char* expected;
    friend void PrintTo(const ShiftCase& row, std::ostream* out) { *out << row.name; }
};

class PatternShift : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(PatternShift, RotatesThePlayedStepsOnly) {
    Pattern p{};
    p.length = 4;
    const char* letters = "ABCDE";
    for (int i = 0; i < 5; ++i) p.steps[i] = Step{static_cast<std::uint8_t>(letters[i]), kGate};
    shiftPattern(p, GetParam().distance);
    std::string result;
    for (int i = 0; i < 5; ++i) result += static_cast<char>(p.steps[i].note);
    EXPECT_EQ(result, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PatternShift,
                         ::testing::Values(ShiftCase{"OneLater", +1, "DABCE"}, ShiftCase{"OneEarlier", -1, "BCDAE"},
                                           ShiftCase{"MoreThanTheLength", +5, "DABCE"},
                                           ShiftCase{"FurtherBackThanTheLength", -6, "CDABE"},
                                           ShiftCase{"NotAtAll", 0, "ABCDE"},
                                           ShiftCase{"SmallestInt", INT_MIN, "ABCDE"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PatternShiftGuards, EmptyAndOverlongPatternsStayInsideTheirSteps) {
    Pattern empty = numberedPattern(0);
    const Pattern emptyBefore = empty;
    shiftPattern(empty, 1);
    EXPECT_TRUE(samePattern(empty, emptyBefore));

    Pattern damaged = numberedPattern(200);
    const Pattern damagedBefore = damaged;
    shiftPattern(damaged, 1);
    EXPECT_EQ(damaged.steps[0], damagedBefore.steps[63]);
    EXPECT_EQ(damaged.steps[63], damagedBefore.steps[62]);
}

// --- clears ------------------------------------------------------------------

struct ClearCase {
    const char* name;
    std::function<void(Pattern&)> clear;
    std::uint8_t cleared;
    friend void PrintTo(const ClearCase& row, std::ostream* out) { *out << row.name; }
};

class PatternClearFlags : public ::testing::TestWithParam<ClearCase> {};

TEST_P(PatternClearFlags, ClearsOnlyItsBitsOnThePlayedSteps) {
    Pattern p = numberedPattern(10);
    for (Step& s : p.steps) s.flags = 0xFF;
    GetParam().clear(p);
    for (int i = 0; i < kMaxSteps; ++i) {
        const std::uint8_t expected = i < 10 ? static_cast<std::uint8_t>(0xFF & ~GetParam().cleared) : 0xFF;
        EXPECT_EQ(p.steps[i].flags, expected) << i;
        EXPECT_EQ(p.steps[i].note, i + 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PatternClearFlags,
                         ::testing::Values(ClearCase{"Notes", allNotesOff, kGate | kTie},
                                           ClearCase{"Accents", allAccentsOff, kAccent},
                                           ClearCase{"Slides", allSlidesOff, kSlide}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PatternBankClear, ClearsTripletAndThePlayedStepsOfEveryPatternInTheBank) {
    for (bool clearNotes : {true, false}) {
        auto patch = std::make_unique<TarvikPatch>();
        for (Pattern& p : patch->patterns) p = numberedPattern(12);
        patch->patterns[5].flags = kTripletFlag | 0x21;
        patch->patterns[9].length = 0;
        clearPatternBank(*patch, clearNotes);

        const Step cleared{0, clearNotes ? kGate : std::uint8_t{0}};
        EXPECT_EQ(patch->patterns[5].flags, 0x21);
        EXPECT_EQ(patch->patterns[9].steps[0], cleared);
        EXPECT_EQ(patch->patterns[9].steps[1], numberedPattern(0).steps[1]);
        for (const Pattern& p : patch->patterns) {
            EXPECT_EQ(stepsOf(p, 0, p.length), std::vector<Step>(p.length, cleared));
            EXPECT_EQ(p.steps[12], numberedPattern(12).steps[12]);
        }
        EXPECT_EQ(patch->patterns[0].length, 12);
    }
}

// --- randomisers -------------------------------------------------------------

constexpr std::uint32_t kSeed = 0x1234567u;

class PatternRandomizer : public ::testing::Test {
protected:
    void SetUp() override { seedPatternRandom(kSeed); }
    // The operation drew exactly as many numbers as the model.
    void expectSameDrawCount() { EXPECT_EQ(patternRandom(), model()); }

    ReferenceRandom model{kSeed};
};

TEST_F(PatternRandomizer, PitchesTakeTheThirdOfThreeDrawsMod29) {
    Pattern p = numberedPattern(5);
    const Pattern before = p;
    randomizePitches(p);
    for (int i = 0; i < 5; ++i) {
        model();
        model();
        EXPECT_EQ(p.steps[i], (Step{static_cast<std::uint8_t>(model() % 29), before.steps[i].flags})) << i;
    }
    expectSameDrawCount();
    EXPECT_EQ(stepsOf(p, 5, kMaxSteps), stepsOf(before, 5, kMaxSteps));
}

TEST_F(PatternRandomizer, AllDrawsSixNumbersPerStepForFlagsAndNote) {
    Pattern p = numberedPattern(7);
    const Pattern before = p;
    randomizePattern(p);
    for (int i = 0; i < 7; ++i) {
        const int r1 = model(), r2 = model(), r3 = model(), r4 = model(), r5 = model(), r6 = model();
        const int flags = (r1 & 1) << 4 | (r3 % 3 == 0) << 3 | (r5 & 1) << 2 | (r4 & 1) << 1 | (r2 % 4 != 0);
        EXPECT_EQ(p.steps[i], (Step{static_cast<std::uint8_t>(r6 % 14), static_cast<std::uint8_t>(flags)})) << i;
    }
    expectSameDrawCount();
    EXPECT_EQ(stepsOf(p, 7, kMaxSteps), stepsOf(before, 7, kMaxSteps));
    EXPECT_EQ(p.length, 7);
}

TEST_F(PatternRandomizer, AlterPermutesThePlayedStepsInDrawOrder) {
    Pattern p = numberedPattern(9);
    const Pattern before = p;
    alterPattern(p);
    bool used[9] = {};
    for (int i = 0; i < 9; ++i) {
        int j = model() % 9;
        while (used[j]) j = model() % 9;
        used[j] = true;
        EXPECT_EQ(p.steps[i], before.steps[j]) << i;
    }
    expectSameDrawCount();
    EXPECT_EQ(stepsOf(p, 9, kMaxSteps), stepsOf(before, 9, kMaxSteps));
    EXPECT_EQ(p.flags, before.flags);
    EXPECT_EQ(p.timeMode, before.timeMode);
}

TEST_F(PatternRandomizer, AlterOnLengthsOutsideTheRangeStaysInsideTheSteps) {
    Pattern empty = numberedPattern(0);
    const Pattern emptyBefore = empty;
    alterPattern(empty);
    EXPECT_TRUE(samePattern(empty, emptyBefore));

    Pattern damaged = numberedPattern(255);
    const Pattern damagedBefore = damaged;
    alterPattern(damaged);
    auto notes = [](const Pattern& p) {
        std::vector<int> n;
        for (const Step& s : p.steps) n.push_back(s.note);
        std::sort(n.begin(), n.end());
        return n;
    };
    EXPECT_EQ(notes(damaged), notes(damagedBefore));
    EXPECT_FALSE(samePattern(damaged, damagedBefore));
}

// The advanced randomiser written out independently, drawing from the
// model generator in the same order; counts the pitch-class searches whose
// only hit came on the sixteenth draw.
Pattern modelAdvanced(Pattern p, const AdvancedRandomSettings& s, ReferenceRandom& random, int* lateHits = nullptr) {
    const int length = std::clamp(s.stepCount, 1, 64);
    p.length = static_cast<std::uint8_t>(length);
    auto pickUnused = [&](bool* used) {
        int i = random() % length;
        while (used[i]) i = random() % length;
        used[i] = true;
        return i;
    };
    if (s.randomizePitches) {
        for (int i = 0; i < length; ++i) {
            int v = 12 * (random() % (s.octaveHigh - s.octaveLow + 1) + s.octaveLow - 2);
            int up = 0, down = 0;
            if (v > 12) {
                v -= 12;
                up = 1;
            } else if (v < 0) {
                down = 1;
                v = std::max(v + 12, 0);
            }
            p.steps[i].note = static_cast<std::uint8_t>(v);
            p.steps[i].flags = static_cast<std::uint8_t>((p.steps[i].flags & ~(kUp | kDown)) | up << 1 | down << 2);
        }
        bool used[64] = {};
        for (int n = s.pitchPercent * length / 100; n > 0; --n) {
            Step& st = p.steps[pickUnused(used)];
            for (int draw = 0; draw < 16; ++draw) {
                const int pc = random() % 12;
                if (!s.pitchClassEnabled[pc]) continue;
                if (draw < 15)
                    st.note = static_cast<std::uint8_t>(st.note + pc);
                else if (lateHits)
                    ++*lateHits;
                break;
            }
        }
    }
    auto scatter = [&](int enabled, std::uint8_t flag, int percent) {
        if (!enabled) return;
        for (int i = 0; i < length; ++i) p.steps[i].flags = static_cast<std::uint8_t>(p.steps[i].flags & ~flag);
        bool used[64] = {};
        for (int n = percent * length / 100; n > 0; --n) p.steps[pickUnused(used)].flags |= flag;
    };
    scatter(s.randomizeGates, kGate, s.gatePercent);
    scatter(s.randomizeSlides, kSlide, s.slidePercent);
    scatter(s.randomizeAccents, kAccent, s.accentPercent);
    return p;
}

int countFlag(const Pattern& p, std::uint8_t flag) {
    return static_cast<int>(std::count_if(p.steps, p.steps + p.length, [&](const Step& s) { return s.flags & flag; }));
}

TEST_F(PatternRandomizer, AdvancedDrawsInItsFixedOrder) {
    AdvancedRandomSettings settings;
    settings.stepCount = 20;
    settings.octaveHigh = 4;
    settings.octaveLow = 1;
    settings.pitchPercent = 75;
    settings.gatePercent = 60;
    settings.slidePercent = 25;
    settings.accentPercent = 45;
    std::fill(std::begin(settings.pitchClassEnabled), std::end(settings.pitchClassEnabled), 0);
    settings.pitchClassEnabled[3] = settings.pitchClassEnabled[10] = 1;  // few enabled: some searches fail

    Pattern p = numberedPattern(16);
    const Pattern expected = modelAdvanced(p, settings, model);
    advancedRandomize(p, settings);
    EXPECT_TRUE(samePattern(p, expected));
    expectSameDrawCount();
    EXPECT_EQ(countFlag(p, kGate), 12);
    EXPECT_EQ(countFlag(p, kSlide), 5);
    EXPECT_EQ(countFlag(p, kAccent), 9);
}

TEST_F(PatternRandomizer, AdvancedIgnoresAPitchClassFoundOnlyOnTheSixteenthDraw) {
    AdvancedRandomSettings settings;
    settings.stepCount = 64;
    settings.pitchPercent = 100;
    std::fill(std::begin(settings.pitchClassEnabled), std::end(settings.pitchClassEnabled), 0);
    settings.pitchClassEnabled[5] = 1;
    settings.randomizeGates = settings.randomizeSlides = settings.randomizeAccents = 0;

    Pattern p = numberedPattern(16);
    int lateHits = 0;
    const Pattern expected = modelAdvanced(p, settings, model, &lateHits);
    ASSERT_GT(lateHits, 0) << "the seed no longer reaches the case";
    advancedRandomize(p, settings);
    EXPECT_TRUE(samePattern(p, expected));
    expectSameDrawCount();
}

TEST_F(PatternRandomizer, AdvancedTouchesOnlyWhatIsSwitchedOn) {
    AdvancedRandomSettings settings;
    settings.randomizePitches = 0;
    settings.randomizeSlides = 0;
    Pattern p = numberedPattern(16);
    const Pattern expected = modelAdvanced(p, settings, model);
    advancedRandomize(p, settings);
    EXPECT_TRUE(samePattern(p, expected));
    expectSameDrawCount();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(p.steps[i].note, i + 1);
        EXPECT_EQ(p.steps[i].flags & (kSlide | kUp | kDown | kTie), i & (kSlide | kUp | kDown | kTie));
    }
}

// A single-octave range without pitch classes shows where each octave lands.
struct OctaveCase {
    const char* name;
    int octave;
    std::uint8_t note, octaveFlags;
    friend void PrintTo(const OctaveCase& row, std::ostream* out) { *out << row.name; }
};

class AdvancedRandomOctave : public ::testing::TestWithParam<OctaveCase> {};

TEST_P(AdvancedRandomOctave, PlacesEachStepOnItsOctaveRoot) {
    AdvancedRandomSettings settings;
    settings.stepCount = 8;
    settings.octaveHigh = settings.octaveLow = GetParam().octave;
    settings.pitchPercent = 0;
    settings.randomizeGates = settings.randomizeSlides = settings.randomizeAccents = 0;
    Pattern p = numberedPattern(16);
    advancedRandomize(p, settings);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(p.steps[i].note, GetParam().note) << i;
        EXPECT_EQ(p.steps[i].flags & (kUp | kDown), GetParam().octaveFlags) << i;
    }
}

// Octave 2 is the base; the range is limited to 0..5, the octaves whose
// notes the step editor can show.
INSTANTIATE_TEST_SUITE_P(Cases, AdvancedRandomOctave,
                         ::testing::Values(OctaveCase{"Octave0", 0, 0, kDown}, OctaveCase{"Octave1", 1, 0, kDown},
                                           OctaveCase{"Octave2", 2, 0, 0}, OctaveCase{"Octave3", 3, 12, 0},
                                           OctaveCase{"Octave4", 4, 12, kUp}, OctaveCase{"Octave5", 5, 24, kUp},
                                           OctaveCase{"Octave9", 9, 24, kUp},
                                           OctaveCase{"SmallestInt", INT_MIN, 0, kDown},
                                           OctaveCase{"LargestInt", INT_MAX, 24, kUp}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PatternRandomizer, AdvancedTakesAReversedOctaveRangeTheOtherWayRound) {
    AdvancedRandomSettings reversed;
    reversed.octaveHigh = 1;
    reversed.octaveLow = 4;
    AdvancedRandomSettings ordered = reversed;
    std::swap(ordered.octaveHigh, ordered.octaveLow);

    Pattern p = numberedPattern(16);
    Pattern q = p;
    advancedRandomize(p, reversed);
    seedPatternRandom(kSeed);
    advancedRandomize(q, ordered);
    EXPECT_TRUE(samePattern(p, q));
}

struct AdvancedGuardCase {
    const char* name;
    int stepCount;
    int percent;
    int expectedLength;
    int expectedGates;
    friend void PrintTo(const AdvancedGuardCase& row, std::ostream* out) { *out << row.name; }
};

class AdvancedRandomGuards : public ::testing::TestWithParam<AdvancedGuardCase> {};

TEST_P(AdvancedRandomGuards, LimitsLengthAndPercentagesSoEverySearchEnds) {
    const AdvancedGuardCase c = GetParam();
    AdvancedRandomSettings settings;
    settings.stepCount = c.stepCount;
    settings.pitchPercent = settings.gatePercent = settings.slidePercent = settings.accentPercent = c.percent;
    Pattern p = numberedPattern(16);
    seedPatternRandom(kSeed);
    advancedRandomize(p, settings);
    EXPECT_EQ(p.length, c.expectedLength);
    EXPECT_EQ(countFlag(p, kGate), c.expectedGates);
}

INSTANTIATE_TEST_SUITE_P(Cases, AdvancedRandomGuards,
                         ::testing::Values(AdvancedGuardCase{"NoSteps", 0, 50, 1, 0},
                                           AdvancedGuardCase{"NegativeSteps", -5, 100, 1, 1},
                                           AdvancedGuardCase{"TooManySteps", 500, 100, 64, 64},
                                           AdvancedGuardCase{"AllSteps", 64, 100, 64, 64},
                                           AdvancedGuardCase{"PercentAboveAHundred", 16, 250, 16, 16},
                                           AdvancedGuardCase{"NegativePercent", 16, -20, 16, 0},
                                           AdvancedGuardCase{"HalfOfSevenSteps", 7, 50, 7, 3}),
                         [](const auto& row) { return std::string(row.param.name); });

// --- the sequencer panel's commands ------------------------------------------

class SequencerCommands : public ::testing::Test {
protected:
    static constexpr int kCurrent = 3;

    SequencerCommands() {
        patch->setState(state::CurrentPattern, kCurrent);
        pattern() = numberedPattern(16);
    }
    Pattern& pattern() { return patch->patterns[kCurrent]; }
    RunStopRequest send(int code, bool clearNotes = true) {
        const StepProgramming context{patch->state(state::PatternWriteProtect) != 0, patch->state(state::RunStop) != 0,
                                      clearNotes};
        return editor.sequencerCommand(patch->patterns[currentPatternIndex(*patch)], code, context);
    }
    void moveTo(int position) { editor.setEditPosition(pattern(), position); }
    int position() const { return editor.editPosition(patch->patterns[kCurrent]); }

    std::unique_ptr<TarvikPatch> patch = std::make_unique<TarvikPatch>();
    PatternEditor editor;
};

TEST_F(SequencerCommands, NoteEntrySetsTheNoteAndKeepsTheFlags) {
    for (int code : {command::kFirstNote, 570, command::kLastNote}) {
        moveTo(6);
        send(code);
        EXPECT_EQ(pattern().steps[6], (Step{static_cast<std::uint8_t>(code - 555), 6})) << code;
        EXPECT_EQ(position(), 6);
    }
}

TEST_F(SequencerCommands, AutoAdvanceMovesOnAfterEachNoteAndWrapsAtTheLength) {
    send(command::kAutoAdvance);
    ASSERT_TRUE(editor.autoAdvance());
    for (int i = 0; i < 17; ++i) send(command::kFirstNote + i);
    EXPECT_EQ(pattern().steps[0].note, 16);  // written twice, the last write wins
    EXPECT_EQ(pattern().steps[15].note, 15);
    EXPECT_EQ(position(), 1);

    send(command::kAutoAdvance);
    EXPECT_FALSE(editor.autoAdvance());
    EXPECT_EQ(position(), 0);
}

struct MoveCase {
    const char* name;
    int code;
    int length;
    int from;
    int expected;
    friend void PrintTo(const MoveCase& row, std::ostream* out) { *out << row.name; }
};

class SequencerCommandMoves : public SequencerCommands, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(SequencerCommandMoves, WrapWithinThePlayedSteps) {
    const MoveCase c = GetParam();
    pattern().length = static_cast<std::uint8_t>(c.length);
    moveTo(c.from);
    send(c.code);
    EXPECT_EQ(position(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SequencerCommandMoves,
                         ::testing::Values(MoveCase{"BackFromTheFirstStep", command::kBack, 12, 0, 11},
                                           MoveCase{"Back", command::kBack, 12, 5, 4},
                                           MoveCase{"NextFromTheLastStep", command::kNext, 12, 11, 0},
                                           MoveCase{"Next", command::kNext, 12, 4, 5},
                                           MoveCase{"FirstStep", command::kFirstStep, 12, 7, 0},
                                           MoveCase{"BackInAnEmptyPattern", command::kBack, 0, 0, 0},
                                           MoveCase{"NextInAnEmptyPattern", command::kNext, 0, 0, 0},
                                           MoveCase{"BackInAnOverlongPattern", command::kBack, 200, 0, 63}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(SequencerCommands, AShortenedPatternPutsTheEditPositionOnItsLastStep) {
    moveTo(15);
    send(command::kShorter);
    EXPECT_EQ(pattern().length, 15);
    EXPECT_EQ(position(), 14);
    send(command::kToggleAccent);
    EXPECT_EQ(pattern().steps[14].flags, 14 ^ kAccent);
    EXPECT_EQ(pattern().steps[15].flags, 15);
    send(command::kNext);
    EXPECT_EQ(position(), 0);
}

struct LengthCommandCase {
    const char* name;
    int code;
    int from;
    int expected;
    friend void PrintTo(const LengthCommandCase& row, std::ostream* out) { *out << row.name; }
};

class SequencerCommandLength : public SequencerCommands, public ::testing::WithParamInterface<LengthCommandCase> {};

TEST_P(SequencerCommandLength, StayWithin1To64AndIgnoreWriteProtection) {
    patch->setState(state::PatternWriteProtect, 1);
    pattern().length = static_cast<std::uint8_t>(GetParam().from);
    send(GetParam().code);
    EXPECT_EQ(pattern().length, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SequencerCommandLength,
                         ::testing::Values(LengthCommandCase{"Longer", command::kLonger, 16, 17},
                                           LengthCommandCase{"LongerAtTheLongest", command::kLonger, 64, 64},
                                           LengthCommandCase{"LongerFromEmpty", command::kLonger, 0, 1},
                                           LengthCommandCase{"LongerFromOverlong", command::kLonger, 200, 64},
                                           LengthCommandCase{"Shorter", command::kShorter, 16, 15},
                                           LengthCommandCase{"ShorterAtTheShortest", command::kShorter, 1, 1},
                                           LengthCommandCase{"ShorterFromEmpty", command::kShorter, 0, 1},
                                           LengthCommandCase{"ShorterFromOverlong", command::kShorter, 200, 64}),
                         [](const auto& row) { return std::string(row.param.name); });

struct ToggleCase {
    const char* name;
    int code;
    std::uint8_t flag;
    friend void PrintTo(const ToggleCase& row, std::ostream* out) { *out << row.name; }
};

class SequencerCommandToggles : public SequencerCommands, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(SequencerCommandToggles, FlipOneBitOfTheStepAtTheEditPosition) {
    moveTo(9);
    const Pattern before = pattern();
    send(GetParam().code);
    Pattern expected = before;
    expected.steps[9].flags ^= GetParam().flag;
    EXPECT_TRUE(samePattern(pattern(), expected));
    send(GetParam().code);
    EXPECT_TRUE(samePattern(pattern(), before));
}

TEST_P(SequencerCommandToggles, ChangeNothingWhileWriteProtected) {
    patch->setState(state::PatternWriteProtect, 1);
    moveTo(9);
    const Pattern before = pattern();
    send(GetParam().code);
    EXPECT_TRUE(samePattern(pattern(), before));
}

INSTANTIATE_TEST_SUITE_P(Cases, SequencerCommandToggles,
                         ::testing::Values(ToggleCase{"Gate", command::kToggleGate, kGate},
                                           ToggleCase{"Down", command::kToggleDown, kDown},
                                           ToggleCase{"Up", command::kToggleUp, kUp},
                                           ToggleCase{"Accent", command::kToggleAccent, kAccent},
                                           ToggleCase{"Slide", command::kToggleSlide, kSlide}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(SequencerCommands, ClearPatternClearsThePlayedStepsAndGoesToTheFirstStep) {
    for (bool clearNotes : {true, false}) {
        pattern() = numberedPattern(10);
        pattern().flags = kTripletFlag | 0x05;
        moveTo(7);
        send(command::kClearPattern, clearNotes);
        const Step cleared{0, clearNotes ? kGate : std::uint8_t{0}};
        EXPECT_EQ(pattern().flags, 0x05);
        EXPECT_EQ(stepsOf(pattern(), 0, 10), std::vector<Step>(10, cleared));
        EXPECT_EQ(stepsOf(pattern(), 10, kMaxSteps), stepsOf(numberedPattern(10), 10, kMaxSteps));
        EXPECT_EQ(pattern().length, 10);
        EXPECT_EQ(position(), 0);
    }
}

TEST_F(SequencerCommands, WriteProtectionKeepsThePatternButStillMovesTheEditPosition) {
    patch->setState(state::PatternWriteProtect, 1);
    pattern().flags = kTripletFlag;
    const Pattern before = pattern();
    moveTo(7);
    send(command::kClearPattern);
    EXPECT_EQ(position(), 0);

    send(command::kAutoAdvance);
    send(command::kLastNote);
    send(command::kFirstNote);
    EXPECT_EQ(position(), 2);
    EXPECT_TRUE(samePattern(pattern(), before));
}

TEST_F(SequencerCommands, RunStopAsksTheEngineToStartOrStop) {
    const Pattern before = pattern();
    moveTo(4);
    EXPECT_EQ(send(command::kRunStop), RunStopRequest::Start);
    patch->setState(state::RunStop, 1);
    EXPECT_EQ(send(command::kRunStop), RunStopRequest::Stop);
    EXPECT_EQ(patch->state(state::RunStop), 1);  // the engine switches it, in order with the voices
    EXPECT_TRUE(samePattern(pattern(), before));
    EXPECT_EQ(position(), 4);
}

TEST_F(SequencerCommands, OtherCodesDoNothing) {
    moveTo(4);
    const Pattern before = pattern();
    for (int code : {-1, 0, 12, 26, 27, 28, 554, 591, 1000}) {
        EXPECT_EQ(send(code), RunStopRequest::None) << code;
        EXPECT_TRUE(samePattern(pattern(), before)) << code;
        EXPECT_EQ(position(), 4) << code;
        EXPECT_FALSE(editor.autoAdvance()) << code;
    }
}

TEST_F(SequencerCommands, ACurrentPatternOutsideTheBankEditsTheNearestPattern) {
    patch->patterns[127] = numberedPattern(16);
    patch->setState(state::CurrentPattern, 300);
    send(command::kLastNote);
    EXPECT_EQ(patch->patterns[127].steps[0].note, 35);
    patch->setState(state::CurrentPattern, -4);
    send(command::kLastNote);
    EXPECT_EQ(patch->patterns[0].steps[0].note, 35);
}

}  // namespace
}  // namespace tarvik
