#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gui/toolkit/controls/buttons.h"
#include "gui/toolkit/controls/digit_display.h"
#include "gui/toolkit/controls/knob.h"
#include "gui/toolkit/controls/movie_bitmap.h"
#include "gui/toolkit/controls/switches.h"
#include "gui/toolkit/frame.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::imageColour;
using test::mouseAt;
using test::Report;
using Kinds = std::vector<Report::Kind>;

constexpr int kTag = 7;

// A frame with controls on a grey background, driven like a window would
// drive it, painted into a picture.
class ControlTest : public ::testing::Test {
protected:
    ControlTest() { frame.setBackgroundColor(test::colorOf(test::kGrey)); }

    template <typename T, typename... Args>
    T& add(const Rect& r, Args&&... args) {
        return frame.add(std::make_unique<T>(r, &listener, kTag, std::forward<Args>(args)...));
    }

    void press(Point p, int modifiers = 0) { frame.mouseDown(mouseAt(p, modifiers)); }
    void drag(Point p, int modifiers = 0) { frame.mouseMoved(mouseAt(p, modifiers)); }
    void release(Point p, int modifiers = 0) { frame.mouseUp(mouseAt(p, modifiers)); }
    void click(Point p, int modifiers = 0) {
        press(p, modifiers);
        release(p, modifiers);
    }

    // The colour the control's area shows at p after a full repaint.
    std::uint32_t shown(Point p) {
        test::paintAll(frame, canvas);
        return canvas.pixel(p.x, p.y);
    }

    Frame frame{Rect::sized(0, 0, 200, 200)};
    test::RecordingListener listener;
    test::Canvas canvas{200, 200};
};

// --- Knob.

class KnobTest : public ControlTest {
protected:
    static constexpr Rect kRect = {50, 50, 90, 90};  // 40 x 40, centre (70, 70)

    Bitmap strip = test::stackedImages(40, 40, 5);
    Knob& knob = add<Knob>(kRect, &strip);
};

TEST_F(KnobTest, CtrlClickSetsTheDefaultAsOneEdit) {
    knob.setValue(0.2f);
    knob.setDefaultValue(0.7f);
    click({60, 60}, modifier::kControl);
    EXPECT_FLOAT_EQ(knob.value(), 0.7f);
    EXPECT_EQ(
        listener.reports,
        (std::vector<Report>{{Report::Begin, kTag, 0.2f}, {Report::Changed, kTag, 0.7f}, {Report::End, kTag, 0.7f}}));
}

TEST_F(KnobTest, DragIsBracketedByBeginAndEnd) {
    knob.setMode(KnobMode::Linear);
    knob.setValue(0.0f);
    press({70, 70});
    EXPECT_EQ(frame.capturedView(), &knob);
    for (int y = 60; y >= 20; y -= 10) drag({70, y});
    drag({70, 200});  // the release spot, outside the knob
    drag({70, 20});
    release({70, 20});

    EXPECT_FLOAT_EQ(knob.value(), 0.25f) << "50 pixels up";
    ASSERT_GE(listener.reports.size(), 3u);
    EXPECT_EQ(listener.reports.front().kind, Report::Begin);
    EXPECT_EQ(listener.reports.back().kind, Report::End);
    EXPECT_FLOAT_EQ(listener.reports.back().value, 0.25f);
    for (std::size_t i = 1; i + 1 < listener.reports.size(); ++i) {
        EXPECT_EQ(listener.reports[i].kind, Report::Changed) << "report " << i;
        EXPECT_EQ(listener.reports[i].tag, kTag);
    }
    EXPECT_EQ(frame.capturedView(), nullptr);
}

// The knob finds its centre on the screen from the event, wherever the
// window sits: a press straight above the centre is the middle of the range.
struct KnobPressCase {
    const char* name;
    friend void PrintTo(const KnobPressCase& c, std::ostream* out) { *out << c.name; }
    Point where;
    float value;
};

class CircularKnobPress : public KnobTest, public ::testing::WithParamInterface<KnobPressCase> {};

TEST_P(CircularKnobPress, JumpsAfterBeginning) {
    knob.setRange(-10.0f, 10.0f);
    knob.setValue(-10.0f);
    press(GetParam().where);
    EXPECT_NEAR(knob.value(), GetParam().value, 0.1f);
    ASSERT_EQ(listener.kinds(), (Kinds{Report::Begin, Report::Changed}));
    EXPECT_FLOAT_EQ(listener.reports[0].value, -10.0f) << "begin comes before the jump";
    release(GetParam().where);
    EXPECT_EQ(listener.reports.back().kind, Report::End);
}

INSTANTIATE_TEST_SUITE_P(Knob, CircularKnobPress,
                         ::testing::Values(KnobPressCase{"AboveTheCentre", {70, 52}, 0.0f},
                                           KnobPressCase{"RightOfTheCentre", {88, 70}, 6.0f},
                                           KnobPressCase{"LeftOfTheCentre", {52, 70}, -6.0f}),
                         test::rowName<KnobPressCase>);

struct KnobWheelCase {
    const char* name;
    friend void PrintTo(const KnobWheelCase& c, std::ostream* out) { *out << c.name; }
    float start;
    double notches;
    int modifiers;
    float end;
};

class KnobWheel : public KnobTest, public ::testing::WithParamInterface<KnobWheelCase> {};

// A notch is a hundredth of the range, a thousandth with Shift.
TEST_P(KnobWheel, StepsByTheNotch) {
    const KnobWheelCase& c = GetParam();
    knob.setRange(0.0f, 200.0f);
    knob.setValue(c.start);
    frame.wheel(mouseAt({70, 70}, c.modifiers), c.notches);
    EXPECT_NEAR(knob.value(), c.end, 1e-4f);
    const Kinds expected =
        c.end != c.start ? Kinds{Report::Begin, Report::Changed, Report::End} : Kinds{Report::Begin, Report::End};
    EXPECT_EQ(listener.kinds(), expected);
}

INSTANTIATE_TEST_SUITE_P(Knob, KnobWheel,
                         ::testing::Values(KnobWheelCase{"NotchAway", 100.0f, 1.0, 0, 102.0f},
                                           KnobWheelCase{"NotchTowards", 100.0f, -1.0, 0, 98.0f},
                                           KnobWheelCase{"ThreeNotches", 100.0f, 3.0, 0, 106.0f},
                                           KnobWheelCase{"ShiftNotch", 100.0f, 1.0, modifier::kShift, 100.2f},
                                           KnobWheelCase{"StopsAtTheMaximum", 199.0f, 1.0, 0, 200.0f},
                                           KnobWheelCase{"AtTheMinimumAlready", 0.0f, -1.0, 0, 0.0f}),
                         test::rowName<KnobWheelCase>);

struct FilmstripCase {
    const char* name;
    friend void PrintTo(const FilmstripCase& c, std::ostream* out) { *out << c.name; }
    float value;
    int image;
};

class KnobFilmstrip : public KnobTest, public ::testing::WithParamInterface<FilmstripCase> {};

// Five images over -50..50: image i shows i quarters of the range.
TEST_P(KnobFilmstrip, ShowsTheImageOfTheValue) {
    knob.setRange(-50.0f, 50.0f);
    knob.setValue(GetParam().value);
    EXPECT_EQ(shown({70, 70}), imageColour(GetParam().image));
    EXPECT_EQ(canvas.pixel(51, 51), imageColour(GetParam().image)) << "the image fills the knob";
    EXPECT_EQ(canvas.pixel(49, 49), test::kGrey) << "nothing drawn outside the knob";
}

INSTANTIATE_TEST_SUITE_P(Knob, KnobFilmstrip,
                         ::testing::Values(FilmstripCase{"Minimum", -50.0f, 0}, FilmstripCase{"Maximum", 50.0f, 4},
                                           FilmstripCase{"Middle", 0.0f, 2},
                                           FilmstripCase{"NearerTheSecond", -20.0f, 1},
                                           FilmstripCase{"NearerTheLast", 40.0f, 4}),
                         test::rowName<FilmstripCase>);

// --- Buttons.

class ButtonTest : public ControlTest {
protected:
    static constexpr Rect kRect = {20, 20, 50, 40};  // 30 x 20
    static constexpr Point kInside = {30, 30};
    static constexpr Point kOutside = {100, 100};

    Bitmap images = test::stackedImages(30, 20, 2);
};

TEST_F(ButtonTest, KickButtonHoldsTheMaximumWhilePressed) {
    auto& button = add<KickButton>(kRect, &images);
    button.setRange(0.0f, 5.0f);
    press(kInside);
    EXPECT_FLOAT_EQ(button.value(), 5.0f);
    EXPECT_EQ(shown(kInside), imageColour(1));
    release(kInside);
    EXPECT_FLOAT_EQ(button.value(), 0.0f);
    EXPECT_EQ(shown(kInside), imageColour(0));
    EXPECT_EQ(listener.reports, (std::vector<Report>{{Report::Begin, kTag, 0.0f},
                                                     {Report::Changed, kTag, 5.0f},
                                                     {Report::Changed, kTag, 0.0f},
                                                     {Report::End, kTag, 0.0f}}));
}

TEST_F(ButtonTest, KickButtonLetsGoWhenDraggedOff) {
    auto& button = add<KickButton>(kRect, &images);
    press(kInside);
    drag(kOutside);
    EXPECT_FLOAT_EQ(button.value(), 0.0f);
    EXPECT_EQ(shown(kInside), imageColour(0));
    drag(kInside);
    EXPECT_FLOAT_EQ(button.value(), 1.0f) << "back over the button";
    drag(kOutside);
    release(kOutside);
    EXPECT_FLOAT_EQ(button.value(), 0.0f);
    EXPECT_EQ(listener.kinds(),
              (Kinds{Report::Begin, Report::Changed, Report::Changed, Report::Changed, Report::Changed, Report::End}));
}

TEST_F(ButtonTest, OnOffButtonTogglesOnEachPress) {
    auto& button = add<OnOffButton>(kRect, &images);
    click(kInside);
    EXPECT_FLOAT_EQ(button.value(), 1.0f);
    EXPECT_EQ(shown(kInside), imageColour(1));
    EXPECT_EQ(frame.capturedView(), nullptr);
    click(kInside);
    EXPECT_FLOAT_EQ(button.value(), 0.0f);
    EXPECT_EQ(shown(kInside), imageColour(0));
    EXPECT_EQ(listener.reports, (std::vector<Report>{{Report::Begin, kTag, 0.0f},
                                                     {Report::Changed, kTag, 1.0f},
                                                     {Report::End, kTag, 1.0f},
                                                     {Report::Begin, kTag, 1.0f},
                                                     {Report::Changed, kTag, 0.0f},
                                                     {Report::End, kTag, 0.0f}}));
}

// --- Switches.

struct RockerCase {
    const char* name;
    friend void PrintTo(const RockerCase& c, std::ostream* out) { *out << c.name; }
    Point where;
    float pressedValue;
    int pressedImage;
};

class RockerSwitchTest : public ControlTest, public ::testing::WithParamInterface<RockerCase> {
protected:
    Bitmap images = test::stackedImages(20, 40, 3);
    RockerSwitch& rocker = add<RockerSwitch>(Rect::sized(100, 20, 20, 40), &images);
};

TEST_P(RockerSwitchTest, PressedHalfSetsTheValueUntilRelease) {
    const RockerCase& c = GetParam();
    EXPECT_EQ(shown({110, 40}), imageColour(1)) << "at rest";
    press(c.where);
    EXPECT_FLOAT_EQ(rocker.value(), c.pressedValue);
    EXPECT_EQ(shown({110, 40}), imageColour(c.pressedImage));
    release(c.where);
    EXPECT_FLOAT_EQ(rocker.value(), 0.0f);
    EXPECT_EQ(shown({110, 40}), imageColour(1));
    EXPECT_EQ(listener.reports, (std::vector<Report>{{Report::Begin, kTag, 0.0f},
                                                     {Report::Changed, kTag, c.pressedValue},
                                                     {Report::Changed, kTag, 0.0f},
                                                     {Report::End, kTag, 0.0f}}));
}

INSTANTIATE_TEST_SUITE_P(RockerSwitch, RockerSwitchTest,
                         ::testing::Values(RockerCase{"UpperHalf", {110, 22}, -1.0f, 0},
                                           RockerCase{"JustAboveTheMiddle", {110, 39}, -1.0f, 0},
                                           RockerCase{"LowerHalf", {110, 58}, 1.0f, 2}),
                         test::rowName<RockerCase>);

struct PositionCase {
    const char* name;
    friend void PrintTo(const PositionCase& c, std::ostream* out) { *out << c.name; }
    PositionSwitch::Direction direction;
    Point offset;  // from the switch's top-left corner
    int position;
};

// Four positions, each a quarter of the switch's length.
class PositionSwitchFixture : public ControlTest {
protected:
    static constexpr Point kCorner = {20, 20};

    PositionSwitch& make(PositionSwitch::Direction direction) {
        const bool vertical = direction == PositionSwitch::Direction::Vertical;
        const Rect r = Rect::sized(kCorner.x, kCorner.y, vertical ? 20 : 80, vertical ? 80 : 20);
        images = test::stackedImages(r.width(), r.height(), 4);
        auto& s = add<PositionSwitch>(r, &images, direction);
        s.setRange(0.0f, 30.0f);
        return s;
    }
    static Point at(Point offset) { return {kCorner.x + offset.x, kCorner.y + offset.y}; }

    Bitmap images;
};

class PositionSwitchPick : public PositionSwitchFixture, public ::testing::WithParamInterface<PositionCase> {};

TEST_P(PositionSwitchPick, PicksThePositionUnderThePointer) {
    const PositionCase& c = GetParam();
    PositionSwitch& s = make(c.direction);
    click(at(c.offset));
    EXPECT_EQ(s.position(), c.position);
    EXPECT_FLOAT_EQ(s.value(), 10.0f * static_cast<float>(c.position)) << "even steps over 0..30";
    EXPECT_EQ(shown(at({2, 2})), imageColour(c.position));
}

INSTANTIATE_TEST_SUITE_P(
    PositionSwitch, PositionSwitchPick,
    ::testing::Values(PositionCase{"VerticalTop", PositionSwitch::Direction::Vertical, {10, 2}, 0},
                      PositionCase{"VerticalSecond", PositionSwitch::Direction::Vertical, {10, 25}, 1},
                      PositionCase{"VerticalThirdFirstPixel", PositionSwitch::Direction::Vertical, {10, 40}, 2},
                      PositionCase{"VerticalBottomPixel", PositionSwitch::Direction::Vertical, {10, 79}, 3},
                      PositionCase{"HorizontalLeft", PositionSwitch::Direction::Horizontal, {3, 10}, 0},
                      PositionCase{"HorizontalSecond", PositionSwitch::Direction::Horizontal, {30, 10}, 1},
                      PositionCase{"HorizontalRightmost", PositionSwitch::Direction::Horizontal, {79, 10}, 3}),
    test::rowName<PositionCase>);

TEST_F(PositionSwitchFixture, DragFollowsThePointerAndStopsAtTheEnds) {
    PositionSwitch& s = make(PositionSwitch::Direction::Vertical);
    press(at({10, 5}));
    drag(at({10, 45}));
    EXPECT_EQ(s.position(), 2);
    drag(at({10, 500}));
    EXPECT_EQ(s.position(), 3);
    drag(at({10, -500}));
    EXPECT_EQ(s.position(), 0);
    release(at({10, -500}));
    EXPECT_EQ(listener.reports, (std::vector<Report>{{Report::Begin, kTag, 0.0f},
                                                     {Report::Changed, kTag, 20.0f},
                                                     {Report::Changed, kTag, 30.0f},
                                                     {Report::Changed, kTag, 0.0f},
                                                     {Report::End, kTag, 0.0f}}));
}

// --- Digit display: ten digit images 8 pixels wide and 12 high.

class DigitDisplayTest : public ControlTest {
protected:
    static constexpr int kDigitWidth = 8;

    DigitDisplay& make(int width, float maximum = 999.0f) {
        auto& d = add<DigitDisplay>(Rect::sized(40, 100, width, 12), &digits);
        d.setRange(0.0f, maximum);
        return d;
    }

    Bitmap digits = test::stackedImages(kDigitWidth, 12, DigitDisplay::kDigitImages);
};

struct DigitsCase {
    const char* name;
    friend void PrintTo(const DigitsCase& c, std::ostream* out) { *out << c.name; }
    int width;
    float value;
    std::vector<int> shown;  // left to right
};

class DigitDrawing : public DigitDisplayTest, public ::testing::WithParamInterface<DigitsCase> {};

// Digits sit against the right edge, one image each, with leading zeros.
TEST_P(DigitDrawing, ShowsTheNumberRightAligned) {
    const DigitsCase& c = GetParam();
    DigitDisplay& d = make(c.width, 9999.0f);
    d.setValue(c.value);
    test::paintAll(frame, canvas);
    const int count = static_cast<int>(c.shown.size());
    for (int i = 0; i < count; ++i) {
        const int left = d.rect().right - (count - i) * kDigitWidth;
        for (int x : {left, left + kDigitWidth - 1})
            EXPECT_EQ(canvas.pixel(x, 106), imageColour(c.shown[i])) << "digit " << i << " at x " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(DigitDisplay, DigitDrawing,
                         ::testing::Values(DigitsCase{"OneTwoSeven", 24, 127.0f, {1, 2, 7}},
                                           DigitsCase{"LeadingZeros", 24, 7.0f, {0, 0, 7}},
                                           DigitsCase{"Zero", 24, 0.0f, {0, 0, 0}},
                                           DigitsCase{"ZeroInside", 24, 40.0f, {0, 4, 0}},
                                           DigitsCase{"RoundsToTheNearest", 24, 126.6f, {1, 2, 7}},
                                           DigitsCase{"FourDigits", 32, 5031.0f, {5, 0, 3, 1}},
                                           DigitsCase{"WiderThanItsDigits", 28, 127.0f, {1, 2, 7}}),
                         test::rowName<DigitsCase>);

struct DigitDragCase {
    const char* name;
    friend void PrintTo(const DigitDragCase& c, std::ostream* out) { *out << c.name; }
    float start;
    int rise;  // pixels up
    int modifiers;
    float end;
};

class DigitDrag : public DigitDisplayTest, public ::testing::WithParamInterface<DigitDragCase> {};

// Half a step per pixel, a tenth with Shift.
TEST_P(DigitDrag, MovesByThePixel) {
    const DigitDragCase& c = GetParam();
    DigitDisplay& d = make(24);
    d.setValue(c.start);
    press({50, 105}, c.modifiers);
    drag({50, 105 - c.rise}, c.modifiers);
    release({50, 105 - c.rise}, c.modifiers);
    EXPECT_FLOAT_EQ(d.value(), c.end);
    EXPECT_EQ(listener.kinds(), (Kinds{Report::Begin, Report::Changed, Report::End}));
}

INSTANTIATE_TEST_SUITE_P(DigitDisplay, DigitDrag,
                         ::testing::Values(DigitDragCase{"UpTen", 100.0f, 10, 0, 105.0f},
                                           DigitDragCase{"UpTwenty", 100.0f, 20, 0, 110.0f},
                                           DigitDragCase{"DownTen", 100.0f, -10, 0, 95.0f},
                                           DigitDragCase{"ShiftUpTen", 100.0f, 10, modifier::kShift, 101.0f},
                                           DigitDragCase{"ShiftDownTen", 100.0f, -10, modifier::kShift, 99.0f},
                                           DigitDragCase{"StopsAtTheMaximum", 998.0f, 10, 0, 999.0f},
                                           DigitDragCase{"StopsAtZero", 2.0f, -40, 0, 0.0f}),
                         test::rowName<DigitDragCase>);

struct DigitWheelCase {
    const char* name;
    friend void PrintTo(const DigitWheelCase& c, std::ostream* out) { *out << c.name; }
    float start;
    double notches;
    int modifiers;
    float end;
};

class DigitWheel : public DigitDisplayTest, public ::testing::WithParamInterface<DigitWheelCase> {};

TEST_P(DigitWheel, TenPerNotchOneWithShift) {
    const DigitWheelCase& c = GetParam();
    DigitDisplay& d = make(24);
    d.setValue(c.start);
    frame.wheel(mouseAt({50, 105}, c.modifiers), c.notches);
    EXPECT_FLOAT_EQ(d.value(), c.end);
    EXPECT_EQ(listener.kinds(), (Kinds{Report::Begin, Report::Changed, Report::End}));
}

INSTANTIATE_TEST_SUITE_P(DigitDisplay, DigitWheel,
                         ::testing::Values(DigitWheelCase{"NotchAway", 100.0f, 1.0, 0, 110.0f},
                                           DigitWheelCase{"NotchTowards", 100.0f, -1.0, 0, 90.0f},
                                           DigitWheelCase{"ShiftNotchAway", 100.0f, 1.0, modifier::kShift, 101.0f},
                                           DigitWheelCase{"ShiftNotchTowards", 100.0f, -1.0, modifier::kShift, 99.0f},
                                           DigitWheelCase{"StopsAtZero", 5.0f, -1.0, 0, 0.0f}),
                         test::rowName<DigitWheelCase>);

// --- Movie bitmap.

struct MovieCase {
    const char* name;
    friend void PrintTo(const MovieCase& c, std::ostream* out) { *out << c.name; }
    float value;
    int image;
};

class MovieBitmapTest : public ControlTest, public ::testing::WithParamInterface<MovieCase> {
protected:
    Bitmap images = test::stackedImages(10, 10, 3);
};

TEST_P(MovieBitmapTest, ShowsTheImageOfTheValue) {
    auto& movie = add<MovieBitmap>(Rect::sized(150, 150, 10, 10), &images);
    movie.setRange(10.0f, 20.0f);
    movie.setValue(GetParam().value);
    EXPECT_EQ(shown({155, 155}), imageColour(GetParam().image));
}

INSTANTIATE_TEST_SUITE_P(MovieBitmap, MovieBitmapTest,
                         ::testing::Values(MovieCase{"Minimum", 10.0f, 0}, MovieCase{"Middle", 15.0f, 1},
                                           MovieCase{"Maximum", 20.0f, 2}, MovieCase{"NearerTheFirst", 12.0f, 0},
                                           MovieCase{"NearerTheLast", 18.0f, 2}),
                         test::rowName<MovieCase>);

// --- Control values.

struct SetValueCase {
    const char* name;
    friend void PrintTo(const SetValueCase& c, std::ostream* out) { *out << c.name; }
    float minimum;
    float maximum;
    float set;
    float shown;
};

class ControlSetValue : public ControlTest, public ::testing::WithParamInterface<SetValueCase> {};

TEST_P(ControlSetValue, LimitsToTheRangeWithoutTellingTheListener) {
    const SetValueCase& c = GetParam();
    auto& control = add<Control>(Rect::sized(10, 10, 20, 20));
    control.setRange(c.minimum, c.maximum);
    control.setValue((c.minimum + c.maximum) / 2.0f);
    frame.paintDirty(canvas.context());
    control.setValue(c.set);
    EXPECT_FLOAT_EQ(control.value(), c.shown);
    EXPECT_TRUE(listener.reports.empty());
    EXPECT_EQ(frame.paintDirty(canvas.context()), std::vector<Rect>{control.rect()}) << "the change is repainted";
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(Control, ControlSetValue,
                         ::testing::Values(SetValueCase{"InRange", 2.0f, 10.0f, 4.0f, 4.0f},
                                           SetValueCase{"AboveIsTheMaximum", 2.0f, 10.0f, 12.0f, 10.0f},
                                           SetValueCase{"BelowIsTheMinimum", 2.0f, 10.0f, -3.0f, 2.0f},
                                           SetValueCase{"NaNIsTheMinimum", 2.0f, 10.0f, kNaN, 2.0f},
                                           SetValueCase{"NaNInANegativeRange", -10.0f, -2.0f, kNaN, -10.0f},
                                           SetValueCase{"InfinityIsTheMaximum", 2.0f, 10.0f, kInfinity, 10.0f},
                                           SetValueCase{"MinusInfinityIsTheMinimum", 2.0f, 10.0f, -kInfinity, 2.0f},
                                           SetValueCase{"ReversedRange", 10.0f, 2.0f, 12.0f, 10.0f}),
                         test::rowName<SetValueCase>);

TEST_F(ControlTest, SameValueRepaintsNothing) {
    auto& control = add<Control>(Rect::sized(10, 10, 20, 20));
    control.setValue(0.25f);
    frame.paintDirty(canvas.context());
    control.setValue(0.25f);
    EXPECT_FALSE(frame.hasDirty());
    control.setValue(7.0f);  // above the range: the maximum
    EXPECT_TRUE(frame.hasDirty());
    frame.paintDirty(canvas.context());
    control.setValue(1.0f);
    EXPECT_FALSE(frame.hasDirty()) << "the maximum again";
}

TEST_F(ControlTest, NarrowingTheRangeLimitsTheValue) {
    auto& control = add<Control>(Rect::sized(10, 10, 20, 20));
    control.setRange(0.0f, 100.0f);
    control.setValue(80.0f);
    control.setRange(0.0f, 50.0f);
    EXPECT_FLOAT_EQ(control.value(), 50.0f);
    EXPECT_FLOAT_EQ(control.normalized(), 1.0f);
    EXPECT_TRUE(listener.reports.empty());
}

// --- Only the left button works a control.

struct RightButtonCase {
    const char* name;
    friend void PrintTo(const RightButtonCase& c, std::ostream* out) { *out << c.name; }
    std::function<Control&(ControlTest&, const Bitmap*)> make;
};

class RightButton : public ControlTest, public ::testing::WithParamInterface<RightButtonCase> {
public:
    using ControlTest::add;

protected:
    Bitmap images = test::stackedImages(40, 40, 3);
};

TEST_P(RightButton, IsIgnored) {
    Control& control = GetParam().make(*this, &images);
    const float before = control.value();
    frame.mouseDown(mouseAt({60, 60}, 0, button::kRight));
    frame.mouseUp(mouseAt({60, 60}, 0, button::kRight));
    EXPECT_TRUE(listener.reports.empty());
    EXPECT_EQ(frame.capturedView(), nullptr);
    EXPECT_EQ(control.value(), before);
}

constexpr Rect kControlRect = {40, 40, 80, 80};

INSTANTIATE_TEST_SUITE_P(
    Control, RightButton,
    ::testing::Values(RightButtonCase{"Knob",
                                      [](ControlTest& fixture, const Bitmap* b) -> Control& {
                                          return static_cast<RightButton&>(fixture).add<Knob>(kControlRect, b);
                                      }},
                      RightButtonCase{"KickButton",
                                      [](ControlTest& fixture, const Bitmap* b) -> Control& {
                                          return static_cast<RightButton&>(fixture).add<KickButton>(kControlRect, b);
                                      }},
                      RightButtonCase{"OnOffButton",
                                      [](ControlTest& fixture, const Bitmap* b) -> Control& {
                                          return static_cast<RightButton&>(fixture).add<OnOffButton>(kControlRect, b);
                                      }},
                      RightButtonCase{"RockerSwitch",
                                      [](ControlTest& fixture, const Bitmap* b) -> Control& {
                                          return static_cast<RightButton&>(fixture).add<RockerSwitch>(kControlRect, b);
                                      }},
                      RightButtonCase{"PositionSwitch",
                                      [](ControlTest& fixture, const Bitmap* b) -> Control& {
                                          return static_cast<RightButton&>(fixture).add<PositionSwitch>(
                                              kControlRect, b, PositionSwitch::Direction::Vertical);
                                      }},
                      RightButtonCase{"DigitDisplay",
                                      [](ControlTest& fixture, const Bitmap* b) -> Control& {
                                          return static_cast<RightButton&>(fixture).add<DigitDisplay>(kControlRect, b);
                                      }}),
    test::rowName<RightButtonCase>);

}  // namespace
}  // namespace tarvik::gui
