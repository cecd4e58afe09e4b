// The Advanced Random panel on a real plug-in: the settings record it edits,
// Randomize and Reset on the current pattern, and the record outliving the
// panel.
#include "gui/editor/random_handler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "patch/parameters.h"
#include "tests/gui/editor/panel_fixture.h"

namespace tarvik::gui {
namespace {

using R = RandomHandler;
using test::rowName;

bool samePattern(const Pattern& a, const Pattern& b) {
    return a.flags == b.flags && a.length == b.length && std::memcmp(a.steps, b.steps, sizeof a.steps) == 0;
}

class RandomTest : public test::DialogPanelFixture {
public:
    RandomTest() {
        seedPatternRandom(4711);
        setState(state::CurrentPattern, kPattern);
        Pattern p = pattern();
        p.flags = 0x80;
        p.length = 16;
        for (int i = 0; i < kMaxSteps; ++i)
            p.steps[i] = Step{static_cast<std::uint8_t>(i % 13), static_cast<std::uint8_t>(i % 3 == 0 ? step::kGate : 0)};
        setPattern(p);
    }

    static constexpr int kPattern = 5;

    void setState(int index, int value) { control().setState(index, value); }
    Pattern pattern(int index = kPattern) { return control().patterns().pattern(index); }
    void setPattern(const Pattern& p) { control().patterns().replace(kPattern, p); }
    const DialogPanel& panel() const { return handler->panel(); }
    std::unique_ptr<RandomHandler> makeHandler() {
        return std::make_unique<RandomHandler>(frame, pictures, control().patterns(), settings,
                                               [this] { ++patternChanges; });
    }

    AdvancedRandomSettings settings;
    int patternChanges = 0;
    std::unique_ptr<RandomHandler> handler = makeHandler();
};

using test::PlaceCase;

class RandomPlaces : public RandomTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(RandomPlaces, PutsEachControlInItsPlace) {
    expectPlaced(panel(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Controls, RandomPlaces,
    ::testing::Values(PlaceCase{"Pitch", 1, "Pitch", Rect::sized(50, 64, 200, 16)},
                      PlaceCase{"Gate", 2, "Gate", Rect::sized(50, 96, 200, 16)},
                      PlaceCase{"Slide", 3, "Slide", Rect::sized(50, 128, 200, 16)},
                      PlaceCase{"Accent", 4, "Accent", Rect::sized(50, 160, 200, 16)},
                      PlaceCase{"PitchDensity", 5, "", Rect::sized(300, 64, 67, 18)},
                      PlaceCase{"GateDensity", 6, "", Rect::sized(300, 96, 67, 18)},
                      PlaceCase{"SlideDensity", 7, "", Rect::sized(300, 128, 67, 18)},
                      PlaceCase{"AccentDensity", 8, "", Rect::sized(300, 160, 67, 18)},
                      PlaceCase{"C", 9, "C", Rect::sized(54, 244, 40, 16)},
                      PlaceCase{"CSharp", 10, "C#", Rect::sized(76, 224, 40, 16)},
                      PlaceCase{"D", 11, "D", Rect::sized(99, 244, 40, 16)},
                      PlaceCase{"DSharp", 12, "D#", Rect::sized(121, 224, 40, 16)},
                      PlaceCase{"E", 13, "E", Rect::sized(144, 244, 40, 16)},
                      PlaceCase{"F", 14, "F", Rect::sized(189, 244, 40, 16)},
                      PlaceCase{"FSharp", 15, "F#", Rect::sized(211, 224, 40, 16)},
                      PlaceCase{"G", 16, "G", Rect::sized(234, 244, 40, 16)},
                      PlaceCase{"GSharp", 17, "G#", Rect::sized(256, 224, 40, 16)},
                      PlaceCase{"A", 18, "A", Rect::sized(279, 244, 40, 16)},
                      PlaceCase{"ASharp", 19, "A#", Rect::sized(301, 224, 40, 16)},
                      PlaceCase{"B", 20, "B", Rect::sized(324, 244, 40, 16)},
                      PlaceCase{"Reset", 21, "Reset", Rect::sized(35, 295, 100, 20)},
                      PlaceCase{"CloseButton", 22, "", Rect::sized(500, 0, 20, 20)},
                      PlaceCase{"Randomize", 23, "Randomize", Rect::sized(280, 295, 100, 20)},
                      PlaceCase{"Done", 24, "Done", Rect::sized(394, 295, 100, 20)}),
    rowName<PlaceCase>);

TEST_F(RandomTest, ResetAfterTwoRandomizeRunsRestoresThePatternFromBeforeTheFirst) {
    const Pattern before = pattern();
    handler->show();
    clickControl(panel(), R::kRandomize);
    const Pattern first = pattern();
    EXPECT_FALSE(samePattern(first, before));
    clickControl(panel(), R::kRandomize);
    EXPECT_FALSE(samePattern(pattern(), first));
    Pattern changed = pattern();
    changed.length = 7;  // lengths are restored too
    changed.flags = 0;
    setPattern(changed);

    clickControl(panel(), R::kReset);
    EXPECT_TRUE(samePattern(pattern(), before));
}

TEST_F(RandomTest, ResetRestoresThePatternOfTheLastShowing) {
    handler->show();
    clickControl(panel(), R::kRandomize);
    clickControl(panel(), R::kDone);
    const Pattern randomized = pattern();
    handler->show();
    clickControl(panel(), R::kRandomize);
    clickControl(panel(), R::kReset);
    EXPECT_TRUE(samePattern(pattern(), randomized));
}

TEST_F(RandomTest, ResetLeavesAPatternChosenSinceAlone) {
    handler->show();
    const Pattern before = pattern();
    clickControl(panel(), R::kRandomize);
    setState(state::CurrentPattern, kPattern + 1);
    const Pattern other = pattern(kPattern + 1);
    clickControl(panel(), R::kReset);
    EXPECT_TRUE(samePattern(pattern(), before));
    EXPECT_TRUE(samePattern(pattern(kPattern + 1), other));
}

TEST_F(RandomTest, RandomizeTakesTheLengthOfTheCurrentPattern) {
    Pattern shorter = pattern();
    shorter.length = 12;
    setPattern(shorter);
    handler->show();
    clickControl(panel(), R::kRandomize);
    EXPECT_EQ(settings.stepCount, 12);
    EXPECT_EQ(pattern().length, 12);
}

TEST_F(RandomTest, RandomizeUsesTheRecord) {
    settings.randomizePitches = 0;
    settings.randomizeSlides = 0;
    settings.randomizeAccents = 0;
    settings.gatePercent = 100;
    handler->show();
    clickControl(panel(), R::kRandomize);
    // Every played step sounds; the notes were left alone.
    for (int i = 0; i < 16; ++i) {
        EXPECT_NE(pattern().steps[i].flags & step::kGate, 0) << "step " << i;
        EXPECT_EQ(pattern().steps[i].note, i % 13) << "step " << i;
    }
}

TEST_F(RandomTest, TheEditorHearsOfEveryPatternChange) {
    handler->show();
    clickControl(panel(), R::kRandomize);
    EXPECT_EQ(patternChanges, 1);
    clickControl(panel(), R::kReset);
    EXPECT_EQ(patternChanges, 2);
}

// --- The controls and the record's fields.

struct FieldCase {
    std::string name;
    int id;
    std::int32_t AdvancedRandomSettings::*field;  // null for the scale notes
    int note;
    friend void PrintTo(const FieldCase& row, std::ostream* out) { *out << row.name; }
};

class RandomCheckBox : public RandomTest, public ::testing::WithParamInterface<FieldCase> {
public:
    std::int32_t read(const FieldCase& c) const {
        return c.field ? settings.*c.field : settings.pitchClassEnabled[c.note];
    }
};

TEST_P(RandomCheckBox, ClearsAndSetsItsFlag) {
    const FieldCase& c = GetParam();
    handler->show();
    ASSERT_TRUE(panel().checkBox(c.id)->checked());
    clickControl(panel(), c.id);
    EXPECT_EQ(read(c), 0);
    clickControl(panel(), c.id);
    EXPECT_EQ(read(c), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, RandomCheckBox,
    ::testing::Values(FieldCase{"Pitch", R::kPitch, &AdvancedRandomSettings::randomizePitches, 0},
                      FieldCase{"Gate", R::kGate, &AdvancedRandomSettings::randomizeGates, 0},
                      FieldCase{"Slide", R::kSlide, &AdvancedRandomSettings::randomizeSlides, 0},
                      FieldCase{"Accent", R::kAccent, &AdvancedRandomSettings::randomizeAccents, 0},
                      FieldCase{"NoteC", 9, nullptr, 0}, FieldCase{"NoteCSharp", 10, nullptr, 1},
                      FieldCase{"NoteD", 11, nullptr, 2}, FieldCase{"NoteDSharp", 12, nullptr, 3},
                      FieldCase{"NoteE", 13, nullptr, 4}, FieldCase{"NoteF", 14, nullptr, 5},
                      FieldCase{"NoteFSharp", 15, nullptr, 6}, FieldCase{"NoteG", 16, nullptr, 7},
                      FieldCase{"NoteGSharp", 17, nullptr, 8}, FieldCase{"NoteA", 18, nullptr, 9},
                      FieldCase{"NoteASharp", 19, nullptr, 10}, FieldCase{"NoteB", 20, nullptr, 11}),
    rowName<FieldCase>);

struct DensityCase {
    std::string name;
    int id;
    std::int32_t AdvancedRandomSettings::*field;
    int rise;
    int expected;
    std::string text;
    friend void PrintTo(const DensityCase& row, std::ostream* out) { *out << row.name; }
};

class RandomDensity : public RandomTest, public ::testing::WithParamInterface<DensityCase> {};

TEST_P(RandomDensity, IsTheSpinValueInPercent) {
    const DensityCase& c = GetParam();
    handler->show();
    dragSpin(panel(), c.id, c.rise);
    EXPECT_EQ(settings.*c.field, c.expected);
    EXPECT_EQ(panel().spinBox(c.id)->text(), c.text);
}

// From 50 %, each pixel is half a percent.
INSTANTIATE_TEST_SUITE_P(
    Spins, RandomDensity,
    ::testing::Values(DensityCase{"PitchTop", 5, &AdvancedRandomSettings::pitchPercent, 400, 100, "100 %"},
                      DensityCase{"GateBottom", 6, &AdvancedRandomSettings::gatePercent, -400, 0, "0 %"},
                      DensityCase{"SlideFortyPixelsUp", 7, &AdvancedRandomSettings::slidePercent, 40, 70, "70 %"},
                      DensityCase{"AccentTwentyPixelsDown", 8, &AdvancedRandomSettings::accentPercent, -20, 40, "40 %"}),
    rowName<DensityCase>);

// --- The record outlives the panel.

TEST_F(RandomTest, TheRecordIsShownAgainEachTimeThePanelIsShown) {
    handler->show();
    clickControl(panel(), R::kGate);
    clickControl(panel(), 13);  // E
    dragSpin(panel(), 8, -20);
    clickControl(panel(), R::kDone);
    EXPECT_FALSE(handler->isShown());
    settings.pitchPercent = 30;  // changed while the panel is away

    handler->show();
    EXPECT_FALSE(panel().checkBox(R::kGate)->checked());
    EXPECT_TRUE(panel().checkBox(R::kPitch)->checked());
    EXPECT_FALSE(panel().checkBox(13)->checked());
    EXPECT_TRUE(panel().checkBox(14)->checked());
    EXPECT_EQ(panel().spinBox(8)->text(), "40 %");
    EXPECT_EQ(panel().spinBox(5)->text(), "30 %");
    EXPECT_FLOAT_EQ(panel().spinBox(5)->value(), 0.3f);
}

TEST_F(RandomTest, TheRecordSurvivesTheEditorClosingAndOpening) {
    handler->show();
    clickControl(panel(), R::kSlide);
    dragSpin(panel(), 6, 40);
    clickControl(panel(), R::kClose);

    // The editor closes (its handler goes) and opens again with a new one.
    handler.reset();
    handler = makeHandler();
    handler->show();
    EXPECT_FALSE(panel().checkBox(R::kSlide)->checked());
    EXPECT_EQ(panel().spinBox(6)->text(), "70 %");
    EXPECT_EQ(settings.gatePercent, 70);
}

struct CloseCase {
    std::string name;
    int id;
    friend void PrintTo(const CloseCase& row, std::ostream* out) { *out << row.name; }
};

class RandomClose : public RandomTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(RandomClose, TakesThePanelAway) {
    handler->show();
    DialogPanel& shownPanel = handler->panel();
    clickControl(panel(), GetParam().id);
    EXPECT_FALSE(handler->isShown());
    EXPECT_FALSE(inFrame(shownPanel));
}

INSTANTIATE_TEST_SUITE_P(Buttons, RandomClose,
                         ::testing::Values(CloseCase{"Done", R::kDone}, CloseCase{"CloseButton", R::kClose}),
                         rowName<CloseCase>);

}  // namespace
}  // namespace tarvik::gui
