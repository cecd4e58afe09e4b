#include "gui/toolkit/controls/knob_drag.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

#include "gui/toolkit/events.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

// A range that starts below zero, so that a drag computed as a fraction
// and never offset by the minimum shows.
constexpr float kMin = -24.0f;
constexpr float kMax = 36.0f;
constexpr float kRange = kMax - kMin;
// The knob's centre on the screen.
constexpr Point kCentre{500, 400};

constexpr int kNone = 0;
constexpr int kShift = modifier::kShift;
constexpr int kAlt = modifier::kAlt;

constexpr KnobMode kCircular = KnobMode::Circular;
constexpr KnobMode kLinear = KnobMode::Linear;

float at(double fraction) { return static_cast<float>(kMin + fraction * kRange); }

Point offset(Point p, int dx, int dy) { return {p.x + dx, p.y + dy}; }

// A point `radius` pixels from the centre, `degrees` clockwise from straight up.
Point onCircle(double degrees, double radius = 80.0) {
    const double r = degrees * std::numbers::pi / 180.0;
    return {kCentre.x + static_cast<int>(std::lround(radius * std::sin(r))),
            kCentre.y - static_cast<int>(std::lround(radius * std::cos(r)))};
}

// --- Linear drags: 200 pixels cover the range; Shift divides by the zoom.

struct LinearCase {
    const char* name;
    friend void PrintTo(const LinearCase& c, std::ostream* out) { *out << c.name; }
    KnobMode mode;
    int modifiers;
    double zoom;
    double startFraction;
    int dx;
    int dy;
    double endFraction;
};

class LinearDrag : public ::testing::TestWithParam<LinearCase> {};

TEST_P(LinearDrag, MovesByTheDistanceDragged) {
    const LinearCase& c = GetParam();
    KnobDrag drag;
    const Point press = offset(kCentre, 30, -50);
    // A linear press never moves the knob, whatever the pointer's angle.
    EXPECT_FLOAT_EQ(drag.begin(press, kCentre, at(c.startFraction), kMin, kMax, c.mode, c.modifiers, c.zoom),
                    at(c.startFraction));
    EXPECT_NEAR(drag.move(offset(press, c.dx, c.dy), c.modifiers), at(c.endFraction), 1e-4 * kRange);
}

INSTANTIATE_TEST_SUITE_P(
    KnobDrag, LinearDrag,
    ::testing::Values(
        LinearCase{"UpTwoHundredIsTheWholeRange", KnobMode::Linear, kNone, KnobDrag::kDefaultZoom, 0.0, 0, -200, 1.0},
        LinearCase{"RightTwoHundredIsTheWholeRange", KnobMode::Linear, kNone, KnobDrag::kDefaultZoom, 0.0, 200, 0, 1.0},
        LinearCase{"UpHundredIsHalf", KnobMode::Linear, kNone, KnobDrag::kDefaultZoom, 0.0, 0, -100, 0.5},
        LinearCase{"DownTwoHundredGoesBack", KnobMode::Linear, kNone, KnobDrag::kDefaultZoom, 1.0, 0, 200, 0.0},
        LinearCase{"LeftTwoHundredGoesBack", KnobMode::Linear, kNone, KnobDrag::kDefaultZoom, 1.0, -200, 0, 0.0},
        LinearCase{"DownFiftyFromMiddle", KnobMode::Linear, kNone, KnobDrag::kDefaultZoom, 0.5, 0, 50, 0.25},
        LinearCase{"ShiftTwoThousandIsTheWholeRange", KnobMode::Linear, kShift, KnobDrag::kDefaultZoom, 0.0, 0, -2000,
                   1.0},
        LinearCase{"ShiftTwoHundredIsATenth", KnobMode::Linear, kShift, KnobDrag::kDefaultZoom, 0.0, 0, -200, 0.1},
        LinearCase{"ShiftWithZoomFourTakesEightHundred", KnobMode::Linear, kShift, 4.0, 0.0, 0, -800, 1.0},
        LinearCase{"ShiftWithZoomFourRightTwoHundred", KnobMode::Linear, kShift, 4.0, 0.0, 200, 0, 0.25},
        LinearCase{"ZoomAloneLeavesTheSpeed", KnobMode::Linear, kNone, 4.0, 0.0, 0, -200, 1.0},
        LinearCase{"AltMakesCircularLinear", KnobMode::Circular, kAlt, KnobDrag::kDefaultZoom, 0.2, 0, -100, 0.7},
        LinearCase{"AltMakesRelativeCircularLinear", KnobMode::RelativeCircular, kAlt, KnobDrag::kDefaultZoom, 1.0,
                   -200, 0, 0.0},
        LinearCase{"FarAboveStopsAtTheMaximum", KnobMode::Linear, kNone, KnobDrag::kDefaultZoom, 0.5, 0, -5000, 1.0},
        LinearCase{"FarBelowStopsAtTheMinimum", KnobMode::Linear, kNone, KnobDrag::kDefaultZoom, 0.5, 0, 5000, 0.0}),
    test::rowName<LinearCase>);

// --- Alt swaps linear and the circular modes.

struct ModeCase {
    const char* name;
    friend void PrintTo(const ModeCase& c, std::ostream* out) { *out << c.name; }
    KnobMode mode;
    int modifiers;
    bool linear;
};

class DragMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(DragMode, AltSwapsLinearAndCircular) {
    const ModeCase& c = GetParam();
    KnobDrag drag;
    drag.begin(onCircle(-90.0), kCentre, at(0.5), kMin, kMax, c.mode, c.modifiers);
    EXPECT_EQ(drag.linear(), c.linear);
}

INSTANTIATE_TEST_SUITE_P(KnobDrag, DragMode,
                         ::testing::Values(ModeCase{"Linear", KnobMode::Linear, kNone, true},
                                           ModeCase{"LinearWithAlt", KnobMode::Linear, kAlt, false},
                                           ModeCase{"Circular", KnobMode::Circular, kNone, false},
                                           ModeCase{"CircularWithAlt", KnobMode::Circular, kAlt, true},
                                           ModeCase{"RelativeCircular", KnobMode::RelativeCircular, kNone, false},
                                           ModeCase{"RelativeCircularWithAlt", KnobMode::RelativeCircular, kAlt, true},
                                           ModeCase{"ShiftKeepsTheMode", KnobMode::Circular, kShift, false}),
                         test::rowName<ModeCase>);

// --- Circular by angle (the circular mode, and Alt in the linear mode):
// the press jumps to the pointer's angle over a 300 degree sweep with the
// gap at the bottom. The relative circular mode never jumps.

struct AngleCase {
    const char* name;
    friend void PrintTo(const AngleCase& c, std::ostream* out) { *out << c.name; }
    KnobMode mode;
    int modifiers;
    int dx;
    int dy;
    double fraction;
};

class CircularPress : public ::testing::TestWithParam<AngleCase> {};

TEST_P(CircularPress, JumpsToThePointersAngle) {
    const AngleCase& c = GetParam();
    KnobDrag drag;
    const float pressed = drag.begin(offset(kCentre, c.dx, c.dy), kCentre, at(0.3), kMin, kMax, c.mode, c.modifiers);
    EXPECT_NEAR(pressed, at(c.fraction), 0.003 * kRange);
}

INSTANTIATE_TEST_SUITE_P(
    KnobDrag, CircularPress,
    ::testing::Values(AngleCase{"TopIsTheMiddle", kCircular, kNone, 0, -80, 0.5},
                      AngleCase{"RightIsFourFifths", kCircular, kNone, 80, 0, 0.8},
                      AngleCase{"LeftIsOneFifth", kCircular, kNone, -80, 0, 0.2},
                      AngleCase{"UpperRightDiagonal", kCircular, kNone, 57, -57, 0.65},
                      AngleCase{"LowerLeftEndIsTheMinimum", kCircular, kNone, -40, 69, 0.0},
                      AngleCase{"LowerRightEndIsTheMaximum", kCircular, kNone, 40, 69, 1.0},
                      AngleCase{"GapLeftOfBottomIsTheMinimum", kCircular, kNone, -10, 80, 0.0},
                      AngleCase{"GapRightOfBottomIsTheMaximum", kCircular, kNone, 10, 80, 1.0},
                      AngleCase{"CloseToTheCentre", kCircular, kNone, 0, -3, 0.5},
                      AngleCase{"ShiftStillFollowsTheAngle", kCircular, kShift, 80, 0, 0.8},
                      AngleCase{"LinearModeWithAltRightIsFourFifths", kLinear, kAlt, 80, 0, 0.8},
                      AngleCase{"LinearModeWithAltLeftIsOneFifth", kLinear, kAlt, -80, 0, 0.2},
                      AngleCase{"LinearModeWithAltInTheGapIsTheMaximum", kLinear, kAlt, 10, 80, 1.0},
                      AngleCase{"RelativeCircularStaysPut", KnobMode::RelativeCircular, kNone, 80, 0, 0.3}),
    test::rowName<AngleCase>);

TEST(KnobDrag, CircularFollowsThePointerAroundTheKnob) {
    KnobDrag drag;
    drag.begin(onCircle(-90.0), kCentre, at(0.9), kMin, kMax, KnobMode::Circular, kNone);
    for (double degrees = -90.0; degrees <= 120.0; degrees += 15.0) {
        SCOPED_TRACE(degrees);
        EXPECT_NEAR(drag.move(onCircle(degrees), kNone), at((degrees + 150.0) / 300.0), 0.005 * kRange);
    }
}

// --- The gap: a pointer crossing the bottom never flips the knob to the
// other end of its range.

struct GapCase {
    const char* name;
    friend void PrintTo(const GapCase& c, std::ostream* out) { *out << c.name; }
    KnobMode mode;
    int modifiers;
    double startFraction;
    std::vector<double> pathDegrees;  // the first is the press
    bool nearMaximum;
};

class GapCrossing : public ::testing::TestWithParam<GapCase> {};

TEST_P(GapCrossing, StaysAtTheEndItCameFrom) {
    const GapCase& c = GetParam();
    KnobDrag drag;
    float value =
        drag.begin(onCircle(c.pathDegrees.front()), kCentre, at(c.startFraction), kMin, kMax, c.mode, c.modifiers);
    for (double degrees : c.pathDegrees) {
        value = drag.move(onCircle(degrees), c.modifiers);
        SCOPED_TRACE(degrees);
        if (c.nearMaximum) {
            EXPECT_GE(value, at(0.9));
        } else {
            EXPECT_LE(value, at(0.1));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    KnobDrag, GapCrossing,
    ::testing::Values(
        GapCase{"CircularFromTheMaximumSide", kCircular, kNone, 0.5, {140, 160, 175, 185, 200, 210, 220}, true},
        GapCase{"CircularFromTheMinimumSide", kCircular, kNone, 0.5, {-140, -160, -175, -185, -200, -210, -220}, false},
        GapCase{"LinearModeWithAltFromTheMaximumSide", kLinear, kAlt, 0.5, {140, 160, 175, 185, 200, 210, 220}, true},
        GapCase{"RelativeFromTheMaximumSide",
                KnobMode::RelativeCircular,
                kNone,
                0.97,
                {140, 160, 175, 185, 200, 210, 220},
                true},
        GapCase{"RelativeFromTheMinimumSide",
                KnobMode::RelativeCircular,
                kNone,
                0.03,
                {-140, -160, -175, -185, -200, -210, -220},
                false}),
    test::rowName<GapCase>);

TEST(KnobDrag, CircularCrossingTheGapRestsAtTheEnd) {
    KnobDrag drag;
    drag.begin(onCircle(140.0), kCentre, at(0.5), kMin, kMax, KnobMode::Circular, kNone);
    for (double degrees : {170.0, 190.0, 215.0}) drag.move(onCircle(degrees), kNone);
    EXPECT_FLOAT_EQ(drag.move(onCircle(220.0), kNone), kMax);
}

// --- Relative circular: the change of angle moves the value.

struct RelativeCase {
    const char* name;
    friend void PrintTo(const RelativeCase& c, std::ostream* out) { *out << c.name; }
    double startFraction;
    double fromDegrees;
    double toDegrees;
    int modifiers;
    double endFraction;
};

class RelativeCircularDrag : public ::testing::TestWithParam<RelativeCase> {};

TEST_P(RelativeCircularDrag, MovesByTheTurn) {
    const RelativeCase& c = GetParam();
    KnobDrag drag;
    EXPECT_FLOAT_EQ(drag.begin(onCircle(c.fromDegrees), kCentre, at(c.startFraction), kMin, kMax,
                               KnobMode::RelativeCircular, c.modifiers),
                    at(c.startFraction))
        << "the press moved the knob";
    // In small steps, as a real pointer moves.
    const double step = c.toDegrees > c.fromDegrees ? 5.0 : -5.0;
    float value = 0.0f;
    for (double d = c.fromDegrees + step; step > 0 ? d <= c.toDegrees : d >= c.toDegrees; d += step)
        value = drag.move(onCircle(d), c.modifiers);
    EXPECT_NEAR(value, at(c.endFraction), 0.005 * kRange);
}

INSTANTIATE_TEST_SUITE_P(KnobDrag, RelativeCircularDrag,
                         ::testing::Values(RelativeCase{"QuarterTurnClockwise", 0.4, -90, 0, kNone, 0.7},
                                           RelativeCase{"QuarterTurnAnticlockwise", 0.4, 0, -90, kNone, 0.1},
                                           RelativeCase{"ShiftIsTenTimesFiner", 0.4, -90, 0, kShift, 0.43},
                                           RelativeCase{"StopsAtTheMaximum", 0.9, -90, 90, kNone, 1.0},
                                           RelativeCase{"StopsAtTheMinimum", 0.1, 90, -90, kNone, 0.0}),
                         test::rowName<RelativeCase>);

// --- Every mode keeps the value in range, wherever the pointer goes.

struct AnyModeCase {
    const char* name;
    friend void PrintTo(const AnyModeCase& c, std::ostream* out) { *out << c.name; }
    KnobMode mode;
    int modifiers;
};

const auto kEveryMode = ::testing::Values(
    AnyModeCase{"Linear", KnobMode::Linear, kNone}, AnyModeCase{"LinearShift", KnobMode::Linear, kShift},
    AnyModeCase{"LinearAlt", KnobMode::Linear, kAlt}, AnyModeCase{"Circular", KnobMode::Circular, kNone},
    AnyModeCase{"CircularShift", KnobMode::Circular, kShift}, AnyModeCase{"CircularAlt", KnobMode::Circular, kAlt},
    AnyModeCase{"RelativeCircular", KnobMode::RelativeCircular, kNone},
    AnyModeCase{"RelativeCircularShift", KnobMode::RelativeCircular, kShift},
    AnyModeCase{"RelativeCircularAlt", KnobMode::RelativeCircular, kAlt});

class EveryMode : public ::testing::TestWithParam<AnyModeCase> {};

TEST_P(EveryMode, ValuesStayInRange) {
    const AnyModeCase& c = GetParam();
    KnobDrag drag;
    const float pressed = drag.begin(onCircle(-30.0), kCentre, at(0.5), kMin, kMax, c.mode, c.modifiers);
    EXPECT_GE(pressed, kMin);
    EXPECT_LE(pressed, kMax);
    const Point wild[] = {{kCentre.x + 9000, kCentre.y - 9000},
                          {kCentre.x - 9000, kCentre.y + 9000},
                          kCentre,
                          onCircle(-100.0),
                          onCircle(100.0),
                          {kCentre.x + 9000, kCentre.y - 9000},
                          onCircle(179.0),
                          onCircle(-179.0),
                          {kCentre.x - 9000, kCentre.y + 9000}};
    for (const Point& p : wild) {
        const float value = drag.move(p, c.modifiers);
        EXPECT_GE(value, kMin) << "at " << p.x << "," << p.y;
        EXPECT_LE(value, kMax) << "at " << p.x << "," << p.y;
    }
}

// After the press, a one-pixel move moves the knob a little: at most a
// fiftieth of the range at 60 pixels from the centre (a linear pixel is a
// two-hundredth, a degree of a circular sweep a three-hundredth).
TEST_P(EveryMode, OnePixelNeverJumps) {
    const AnyModeCase& c = GetParam();
    KnobDrag drag;
    // The pointer's angle (about 0.44 of the sweep) is far from the value.
    Point p = offset(kCentre, -20, -60);
    float previous = drag.begin(p, kCentre, at(0.15), kMin, kMax, c.mode, c.modifiers);
    for (int i = 0; i < 40; ++i) {
        p = offset(p, 1, 0);
        const float value = drag.move(p, c.modifiers);
        EXPECT_LE(std::fabs(value - previous), 0.02f * kRange) << "step " << i << " to x " << p.x;
        previous = value;
    }
}

INSTANTIATE_TEST_SUITE_P(KnobDrag, EveryMode, kEveryMode, test::rowName<AnyModeCase>);

// --- A change of modifiers mid-drag carries on from where the knob is.

struct ModifierChangeCase {
    const char* name;
    friend void PrintTo(const ModifierChangeCase& c, std::ostream* out) { *out << c.name; }
    KnobMode mode;
    int before;
    int after;
};

class ModifierChange : public ::testing::TestWithParam<ModifierChangeCase> {};

TEST_P(ModifierChange, ValueDoesNotJump) {
    const ModifierChangeCase& c = GetParam();
    KnobDrag drag;
    const Point press = offset(kCentre, -20, -60);
    drag.begin(press, kCentre, at(0.15), kMin, kMax, c.mode, c.before);
    const Point held = offset(press, 10, -5);
    const float before = drag.move(held, c.before);
    EXPECT_NEAR(drag.move(held, c.after), before, 1e-5 * kRange) << "at the change";
    EXPECT_NEAR(drag.move(offset(held, 1, 0), c.after), before, 0.02 * kRange) << "one pixel on";
}

INSTANTIATE_TEST_SUITE_P(
    KnobDrag, ModifierChange,
    ::testing::Values(ModifierChangeCase{"LinearShiftPressed", KnobMode::Linear, kNone, kShift},
                      ModifierChangeCase{"LinearShiftReleased", KnobMode::Linear, kShift, kNone},
                      ModifierChangeCase{"LinearAltPressed", KnobMode::Linear, kNone, kAlt},
                      ModifierChangeCase{"CircularShiftPressed", KnobMode::Circular, kNone, kShift},
                      ModifierChangeCase{"CircularAltPressed", KnobMode::Circular, kNone, kAlt},
                      ModifierChangeCase{"CircularAltReleased", KnobMode::Circular, kAlt, kNone},
                      ModifierChangeCase{"RelativeShiftPressed", KnobMode::RelativeCircular, kNone, kShift},
                      ModifierChangeCase{"RelativeAltPressed", KnobMode::RelativeCircular, kNone, kAlt},
                      ModifierChangeCase{"RelativeAltReleased", KnobMode::RelativeCircular, kAlt, kNone}),
    test::rowName<ModifierChangeCase>);

TEST(KnobDrag, ShiftMidDragSlowsTheRestOfTheDrag) {
    KnobDrag drag;
    const Point press = offset(kCentre, 0, -50);
    drag.begin(press, kCentre, at(0.0), kMin, kMax, KnobMode::Linear, kNone);
    drag.move(offset(press, 0, -100), kNone);  // half the range
    drag.move(offset(press, 0, -100), kShift);
    EXPECT_NEAR(drag.move(offset(press, 0, -300), kShift), at(0.6), 1e-4 * kRange);
}

}  // namespace
}  // namespace tarvik::gui
