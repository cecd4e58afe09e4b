// The controls the editor's dialog panels are made of: check box, text and
// picture buttons, spin box, rule and multi-line text.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/toolkit/controls/check_box.h"
#include "gui/toolkit/controls/click_button.h"
#include "gui/toolkit/controls/multi_line_text.h"
#include "gui/toolkit/controls/rule.h"
#include "gui/toolkit/controls/spin_box.h"
#include "gui/toolkit/frame.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::imageColour;
using test::mouseAt;
using test::Report;

constexpr int kTag = 9;

class PanelControlTest : public ::testing::Test {
protected:
    PanelControlTest() { frame.setBackgroundColor(test::colorOf(test::kGrey)); }

    void press(Point p) { frame.mouseDown(mouseAt(p)); }
    void drag(Point p) { frame.mouseMoved(mouseAt(p)); }
    void release(Point p) { frame.mouseUp(mouseAt(p)); }
    void click(Point p) {
        press(p);
        release(p);
    }
    std::uint32_t shown(Point p) {
        test::paintAll(frame, canvas);
        return canvas.pixel(p.x, p.y);
    }
    // Whether anything but the background shows in r.
    bool inkIn(const Rect& r) {
        test::paintAll(frame, canvas);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (canvas.pixel(x, y) != test::kGrey) return true;
        return false;
    }

    Frame frame{Rect::sized(0, 0, 240, 160)};
    test::RecordingListener listener;
    test::Canvas canvas{240, 160};
};

// --- CheckBox: a 16 x 16 box of two images (red empty, green ticked).

class CheckBoxTest : public PanelControlTest {
protected:
    static constexpr Rect kRect = {20, 20, 220, 36};
    Bitmap box = test::stackedImages(12, 12, 2);
    CheckBox& check = frame.add(std::make_unique<CheckBox>(kRect, &listener, kTag, &box, "Sync to Host"));
};

TEST_F(CheckBoxTest, APressOnItsTextTicksItAndTellsTheListener) {
    click({150, 28});
    EXPECT_TRUE(check.checked());
    EXPECT_EQ(listener.reports, (std::vector<Report>{{Report::Begin, kTag, 0.0f},
                                                     {Report::Changed, kTag, 1.0f},
                                                     {Report::End, kTag, 1.0f}}));
}

TEST_F(CheckBoxTest, ASecondPressClearsIt) {
    click({25, 28});
    click({25, 28});
    EXPECT_FALSE(check.checked());
}

TEST_F(CheckBoxTest, OnlyTheLeftButtonToggles) {
    frame.mouseDown(mouseAt({25, 28}, 0, button::kRight));
    EXPECT_FALSE(check.checked());
}

TEST_F(CheckBoxTest, TheBoxShowsItsStateCentredAtTheLeft) {
    // The 12-pixel box lies 2 pixels down in the 16-pixel row.
    EXPECT_EQ(check.boxRect(), Rect::sized(20, 22, 12, 12));
    EXPECT_EQ(shown({26, 28}), imageColour(0));
    check.setChecked(true);
    EXPECT_EQ(shown({26, 28}), imageColour(1));
}

TEST_F(CheckBoxTest, ItsTextIsPrintedRightOfTheBox) {
    EXPECT_TRUE(inkIn({20 + 12 + CheckBox::kTextGap, 20, 120, 36}));
}

// --- TextButton and ImageButton: they act on a release over themselves.

class TextButtonTest : public PanelControlTest {
protected:
    static constexpr Rect kRect = {40, 40, 200, 60};
    TextButton& button = frame.add(std::make_unique<TextButton>(kRect, &listener, kTag, "Save Defaults"));
};

TEST_F(TextButtonTest, AClickTellsTheListenerOnceWithItsMaximum) {
    click({100, 50});
    EXPECT_EQ(listener.reports, (std::vector<Report>{{Report::Begin, kTag, 0.0f},
                                                     {Report::Changed, kTag, 1.0f},
                                                     {Report::End, kTag, 0.0f}}));
    EXPECT_FLOAT_EQ(button.value(), 0.0f);
}

TEST_F(TextButtonTest, APressReleasedElsewhereDoesNothing) {
    press({100, 50});
    drag({100, 100});
    release({100, 100});
    EXPECT_TRUE(listener.reports.empty());
}

TEST_F(TextButtonTest, APressThatLeavesAndComesBackStillCounts) {
    press({100, 50});
    drag({10, 10});
    EXPECT_FALSE(button.isDown());
    drag({120, 55});
    EXPECT_TRUE(button.isDown());
    release({120, 55});
    EXPECT_EQ(listener.kinds(), (std::vector<Report::Kind>{Report::Begin, Report::Changed, Report::End}));
}

TEST_F(TextButtonTest, ItLooksDifferentWhileHeldDown) {
    const std::uint32_t rest = shown({45, 55});
    press({100, 50});
    EXPECT_NE(shown({45, 55}), rest);
    release({100, 50});
    EXPECT_EQ(shown({45, 55}), rest);
}

TEST_F(TextButtonTest, ItPrintsItsText) { EXPECT_TRUE(inkIn({80, 44, 160, 56})); }

class ImageButtonTest : public PanelControlTest {
protected:
    static constexpr Rect kRect = {100, 20, 120, 40};
    Bitmap picture = test::stackedImages(20, 20, 2);
    ImageButton& button = frame.add(std::make_unique<ImageButton>(kRect, &listener, kTag, &picture));
};

TEST_F(ImageButtonTest, ShowsItsSecondImageOnlyWhileHeld) {
    EXPECT_EQ(shown({110, 30}), imageColour(0));
    press({110, 30});
    EXPECT_EQ(shown({110, 30}), imageColour(1));
    release({110, 30});
    EXPECT_EQ(shown({110, 30}), imageColour(0));
    EXPECT_EQ(listener.kinds(), (std::vector<Report::Kind>{Report::Begin, Report::Changed, Report::End}));
}

// --- SpinBox.

struct FormatCase {
    std::string name;
    std::string format;
    int number;
    std::string expected;
    friend void PrintTo(const FormatCase& row, std::ostream* out) { *out << row.name; }
};

class SpinBoxFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(SpinBoxFormat, FillsInTheNumber) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(SpinBox::formatted(c.format, c.number), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, SpinBoxFormat,
                         ::testing::Values(FormatCase{"Percent", "%d %%", 50, "50 %"},
                                           FormatCase{"Semitones", "+/- %d st", 48, "+/- 48 st"},
                                           FormatCase{"Voices", "%d", 32, "32"},
                                           FormatCase{"Negative", "%d", -3, "-3"},
                                           FormatCase{"NoNumber", "off", 7, "off"},
                                           FormatCase{"OnlyTheFirstNumber", "%d-%d", 4, "4-%d"},
                                           FormatCase{"TrailingPercent", "%d%", 5, "5%"}),
                         test::rowName<FormatCase>);

struct PercentCase {
    std::string name;
    float value;
    std::string expected;
    friend void PrintTo(const PercentCase& row, std::ostream* out) { *out << row.name; }
};

class SpinBoxPercent : public ::testing::TestWithParam<PercentCase> {};

TEST_P(SpinBoxPercent, RoundsToTheNearestPercent) {
    const PercentCase& c = GetParam();
    EXPECT_EQ(SpinBox::percentText(c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, SpinBoxPercent,
                         ::testing::Values(PercentCase{"Bottom", 0.0f, "0 %"}, PercentCase{"Top", 1.0f, "100 %"},
                                           PercentCase{"JustBelowAThird", 0.334f, "33 %"},
                                           PercentCase{"FloatJustUnder", 0.29f, "29 %"},
                                           PercentCase{"HalfUp", 0.675f, "68 %"}),
                         test::rowName<PercentCase>);

class SpinBoxTest : public PanelControlTest {
protected:
    static constexpr Rect kRect = {100, 60, 167, 78};
    Bitmap picture = test::stackedImages(67, 18, 1);
    SpinBox& spin = frame.add(std::make_unique<SpinBox>(kRect, &listener, kTag, &picture));
};

TEST_F(SpinBoxTest, StartsInTheMiddleShowingFiftyPercent) {
    EXPECT_FLOAT_EQ(spin.value(), 0.5f);
    EXPECT_EQ(spin.text(), "50 %");
}

TEST_F(SpinBoxTest, DraggingUpTwoHundredPixelsReachesTheTop) {
    press({120, 70});
    drag({120, -130});
    release({120, -130});
    EXPECT_FLOAT_EQ(spin.value(), 1.0f);
    EXPECT_EQ(spin.text(), "100 %");
}

TEST_F(SpinBoxTest, DraggingDownLowersIt) {
    press({120, 70});
    drag({120, 120});
    release({120, 120});
    EXPECT_FLOAT_EQ(spin.value(), 0.25f);
    EXPECT_EQ(spin.text(), "25 %");
}

TEST_F(SpinBoxTest, AWheelNotchMovesAHundredth) {
    frame.wheel(mouseAt({120, 70}), 3.0);
    EXPECT_NEAR(spin.value(), 0.53f, 1e-6f);
    EXPECT_EQ(spin.text(), "53 %");
}

// The arrow strip is the right-hand 12 pixels: its upper half counts up.
struct ArrowCase {
    std::string name;
    float start;
    Point where;
    float expected;
    friend void PrintTo(const ArrowCase& row, std::ostream* out) { *out << row.name; }
};

class SpinBoxArrows : public SpinBoxTest, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(SpinBoxArrows, StepOnePercentAsOneGesture) {
    const ArrowCase& c = GetParam();
    spin.setValue(c.start);
    click(c.where);
    EXPECT_NEAR(spin.value(), c.expected, 1e-6f);
    const bool moved = c.expected != c.start;
    EXPECT_EQ(listener.kinds(), moved ? (std::vector<Report::Kind>{Report::Begin, Report::Changed, Report::End})
                                      : std::vector<Report::Kind>{});
}

INSTANTIATE_TEST_SUITE_P(Clicks, SpinBoxArrows,
                         ::testing::Values(ArrowCase{"Up", 0.5f, {162, 62}, 0.51f},
                                           ArrowCase{"Down", 0.5f, {162, 76}, 0.49f},
                                           ArrowCase{"UpFromBetweenUnitsLandsOnAUnit", 0.504f, {162, 62}, 0.51f},
                                           ArrowCase{"DownAtTheBottomStays", 0.0f, {162, 76}, 0.0f}),
                         test::rowName<ArrowCase>);

TEST_F(SpinBoxTest, WheelNotchesTooSmallForAUnitAddUp) {
    spin.setUnits(31);
    spin.setValue(0.0f);
    frame.wheel(mouseAt({120, 70}), 0.5);
    EXPECT_FLOAT_EQ(spin.value(), 0.0f);
    frame.wheel(mouseAt({120, 70}), 0.5);
    EXPECT_FLOAT_EQ(spin.value(), 1.0f / 31.0f);
}

TEST_F(SpinBoxTest, AnOwnersTextStaysUntilPercentagesAreAskedForAgain) {
    spin.setText("+/- 12 st");
    spin.setValue(0.9f);
    EXPECT_EQ(spin.text(), "+/- 12 st");
    spin.showPercentage();
    EXPECT_EQ(spin.text(), "90 %");
}

TEST_F(SpinBoxTest, DrawsItsPictureUnderItsText) {
    // A corner is picture only; the middle of the text area carries ink.
    EXPECT_EQ(shown({101, 61}), imageColour(0));
    test::paintAll(frame, canvas);
    bool text = false;
    for (int x = 110; x < 167 - SpinBox::kArrowWidth && !text; ++x)
        for (int y = 62; y < 76 && !text; ++y) text = canvas.pixel(x, y) != imageColour(0);
    EXPECT_TRUE(text);
}

// --- Rule.

TEST_F(PanelControlTest, ARuleRepeatsItsPictureAlongItsLength) {
    Bitmap line = test::stackedImages(20, 2, 1);
    frame.add(std::make_unique<Rule>(Rect{10, 100, 65, 102}, &line));
    EXPECT_EQ(shown({12, 100}), imageColour(0));
    EXPECT_EQ(shown({63, 101}), imageColour(0));
    EXPECT_EQ(shown({66, 101}), test::kGrey);
    EXPECT_EQ(shown({30, 102}), test::kGrey);
}

// --- MultiLineText.

class MultiLineTextTest : public PanelControlTest {
protected:
    static constexpr Rect kRect = {40, 30, 160, 90};
    MultiLineText& text = frame.add(std::make_unique<MultiLineText>(kRect));

    // The rows of kRect that carry ink.
    std::vector<int> inkedRows() {
        test::paintAll(frame, canvas);
        std::vector<int> rows;
        for (int y = kRect.top; y < kRect.bottom; ++y)
            for (int x = kRect.left; x < kRect.right; ++x)
                if (canvas.pixel(x, y) != test::kGrey) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    }
};

TEST_F(MultiLineTextTest, LongTextWrapsOntoSeveralLinesInsideItsRectangle) {
    text.setText("A bass line with a long description that cannot possibly fit on one line of this narrow box.");
    const std::vector<int> rows = inkedRows();
    ASSERT_FALSE(rows.empty());
    // Ink in the first line and in the third, which only wrapping reaches.
    EXPECT_LT(rows.front(), kRect.top + text.lineHeight());
    EXPECT_GE(rows.back(), kRect.top + 2 * text.lineHeight());
}

TEST_F(MultiLineTextTest, NoInkFallsOutsideItsRectangle) {
    text.setText(std::string(400, 'W') + " and many more words of text to run on past the bottom of the box " +
                 std::string(300, 'M'));
    test::paintAll(frame, canvas);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            if (kRect.contains(Point{x, y})) continue;
            ASSERT_EQ(canvas.pixel(x, y), test::kGrey) << "ink at " << x << ", " << y;
        }
}

// Words enough for about a dozen lines of the box.
std::string manyWords() {
    std::string words;
    for (int i = 0; i < 60; ++i) words += "word" + std::to_string(i) + " ";
    return words;
}

TEST_F(MultiLineTextTest, AShortTextLeavesTheWheelToWhatLiesBeneath) {
    text.setText("Two words");
    test::paintAll(frame, canvas);
    EXPECT_FALSE(text.overflows());
    EXPECT_FALSE(text.onWheel(mouseAt(kRect.centre()), -1.0));
    EXPECT_EQ(text.firstLine(), 0);
}

TEST_F(MultiLineTextTest, ALongTextScrollsToItsLastLineAndBackAndNoFurther) {
    text.setText(manyWords());
    test::paintAll(frame, canvas);
    ASSERT_TRUE(text.overflows());
    const int last = text.lineCount() - text.visibleLines();
    for (int notch = 0; notch < 20; ++notch) frame.wheel(mouseAt(kRect.centre()), -1.0);
    test::paintAll(frame, canvas);
    EXPECT_EQ(text.firstLine(), last) << "the last line is in view, and nothing beyond it";
    frame.wheel(mouseAt(kRect.centre()), 1.0);
    EXPECT_EQ(text.firstLine(), last - MultiLineText::kLinesPerNotch);
    for (int notch = 0; notch < 20; ++notch) frame.wheel(mouseAt(kRect.centre()), 1.0);
    EXPECT_EQ(text.firstLine(), 0);
}

TEST_F(MultiLineTextTest, TheScrollBarShowsOnlyWhenTheTextOverflows) {
    const Rect bar{kRect.right - MultiLineText::kPadding - MultiLineText::kScrollBarWidth, kRect.top, kRect.right,
                   kRect.bottom};
    text.setText("Two words");
    EXPECT_FALSE(inkIn(bar));
    text.setText(manyWords());
    EXPECT_TRUE(inkIn(bar));
}

TEST_F(MultiLineTextTest, ANewTextStartsAtItsFirstLine) {
    text.setText(manyWords());
    test::paintAll(frame, canvas);
    frame.wheel(mouseAt(kRect.centre()), -2.0);
    ASSERT_GT(text.firstLine(), 0);
    text.setText(manyWords() + "more");
    EXPECT_EQ(text.firstLine(), 0);
}

struct LengthCase {
    std::string name;
    std::string input;
    std::size_t kept;
    friend void PrintTo(const LengthCase& row, std::ostream* out) { *out << row.name; }
};

class MultiLineTextLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(MultiLineTextLength, KeepsAtMostItsLimitInWholeCharacters) {
    const LengthCase& c = GetParam();
    MultiLineText text(Rect{0, 0, 10, 10}, c.input);
    EXPECT_EQ(text.text(), c.input.substr(0, c.kept));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MultiLineTextLength,
    ::testing::Values(LengthCase{"Short", "Acid line", 9}, LengthCase{"AtTheLimit", std::string(1023, 'a'), 1023},
                      LengthCase{"OverTheLimit", std::string(1100, 'a'), 1023},
                      // "é" is two bytes; the 1023rd byte would split the last one.
                      LengthCase{"NeverSplitsACharacter", std::string(1021, 'a') + "\xC3\xA9\xC3\xA9", 1021 + 2}),
    test::rowName<LengthCase>);

}  // namespace
}  // namespace tarvik::gui
