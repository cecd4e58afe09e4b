#include "gui/editor/floating_display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using namespace std::chrono_literals;
using Clock = FloatingDisplay::Clock;

constexpr int kBoxWidth = 60;
constexpr int kBoxHeight = 20;
const Rect kFrameArea = Rect::sized(0, 0, 300, 200);

// A display in a frame, with the areas the frame would repaint collected.
class FloatingDisplayTest : public ::testing::Test {
protected:
    FloatingDisplayTest() {
        // The element's own place on the skin does not matter: show() moves it.
        display = &frame.add(std::make_unique<FloatingDisplay>(Rect::sized(5, 5, kBoxWidth, kBoxHeight), nullptr));
        test::paintAll(frame, canvas);
    }

    std::vector<Rect> repainted() { return frame.paintDirty(canvas.context()); }

    Frame frame{kFrameArea};
    test::Canvas canvas{300, 200};
    FloatingDisplay* display = nullptr;
    const Clock::time_point t0 = Clock::time_point{} + 10s;
};

TEST_F(FloatingDisplayTest, ATextTooLongForTheBoxWidensItAroundTheSameCentre) {
    const std::string name = "OUTPUT Attenuator 1 1/8 Out";
    const Rect control = Rect::sized(130, 50, 40, 40);
    display->show(control, "Socket", name, t0);
    const Rect wide = display->rect();
    EXPECT_GE(wide.width(), frame.textWidth(name, Font{11.0, false}) + 8) << "the whole name fits, with a margin";
    EXPECT_NEAR(wide.centre().x, control.centre().x - FloatingDisplay::kLeftOfCentre, 1);
    EXPECT_TRUE(kFrameArea.contains(wide));
    display->show(control, "In", "VCF", t0);
    EXPECT_EQ(display->rect().width(), kBoxWidth) << "a short text gets the skin's box back";
}

struct PlacementCase {
    const char* name;
    Rect control;
    Rect expected;
    friend void PrintTo(const PlacementCase& row, std::ostream* out) { *out << row.name; }
};

class FloatingDisplayPlacement : public FloatingDisplayTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(FloatingDisplayPlacement, SitsUnderTheControlInsideTheFrame) {
    const PlacementCase& c = GetParam();
    display->show(c.control, "Title", "Value", t0);
    EXPECT_EQ(display->rect(), c.expected);
    EXPECT_TRUE(kFrameArea.contains(display->rect()));
    EXPECT_TRUE(display->isVisible());
}

// A control centred at x = 120 puts the box's centre at 118, 1 px below it.
INSTANTIATE_TEST_SUITE_P(
    Cases, FloatingDisplayPlacement,
    ::testing::Values(
        PlacementCase{"CentredTwoPixelsLeftOneBelow", Rect::sized(100, 50, 40, 40),
                      Rect::sized(120 - kBoxWidth / 2 - 2, 91, kBoxWidth, kBoxHeight)},
        PlacementCase{"LeftEdgeKeepsTheBoxInside", Rect::sized(0, 50, 20, 20), Rect::sized(0, 71, kBoxWidth, kBoxHeight)},
        PlacementCase{"RightEdgeKeepsTheBoxInside", Rect::sized(280, 50, 20, 20),
                      Rect::sized(300 - kBoxWidth, 71, kBoxWidth, kBoxHeight)},
        PlacementCase{"NoRoomBelowGoesAbove", Rect::sized(100, 170, 40, 30),
                      Rect::sized(120 - kBoxWidth / 2 - 2, 170 - 1 - kBoxHeight, kBoxWidth, kBoxHeight)},
        PlacementCase{"TallControlWithoutRoomEitherWayStaysInside", Rect::sized(100, 10, 40, 185),
                      Rect::sized(120 - kBoxWidth / 2 - 2, 200 - kBoxHeight, kBoxWidth, kBoxHeight)}),
    test::rowName<PlacementCase>);

TEST_F(FloatingDisplayTest, StartsHiddenAndShowsTheTexts) {
    EXPECT_FALSE(display->isVisible());
    display->show(Rect::sized(100, 50, 40, 40), "Filter Cutoff:", "1000 Hz", t0);
    EXPECT_TRUE(display->isVisible());
    EXPECT_EQ(display->title(), "Filter Cutoff:");
    EXPECT_EQ(display->value(), "1000 Hz");
}

struct HoldCase {
    const char* name;
    Clock::duration sinceLastShow;
    bool visible;
    friend void PrintTo(const HoldCase& row, std::ostream* out) { *out << row.name; }
};

class FloatingDisplayHold : public FloatingDisplayTest, public ::testing::WithParamInterface<HoldCase> {};

TEST_P(FloatingDisplayHold, HidesHalfASecondAfterTheLastChange) {
    const HoldCase& c = GetParam();
    const Rect control = Rect::sized(100, 50, 40, 40);
    display->show(control, "A:", "1", t0);
    // A second change restarts the half second.
    display->show(control, "A:", "2", t0 + 300ms);
    display->idle(t0 + 300ms + c.sinceLastShow);
    EXPECT_EQ(display->isVisible(), c.visible);
}

INSTANTIATE_TEST_SUITE_P(Cases, FloatingDisplayHold,
                         ::testing::Values(HoldCase{"JustShown", 0ms, true}, HoldCase{"AlmostHalfASecond", 499ms, true},
                                           HoldCase{"HalfASecond", 500ms, false},
                                           HoldCase{"LongAfter", 3s, false}),
                         test::rowName<HoldCase>);

TEST_F(FloatingDisplayTest, HidingRepaintsOnlyItsOwnArea) {
    display->show(Rect::sized(100, 50, 40, 40), "A:", "1", t0);
    const Rect shown = display->rect();
    repainted();
    display->idle(t0 + 600ms);
    EXPECT_EQ(repainted(), std::vector<Rect>{shown});
}

TEST_F(FloatingDisplayTest, ChangesRepaintOnlyWhereTheBoxWasAndIs) {
    const Rect first = Rect::sized(100, 50, 40, 40);
    display->show(first, "A:", "1", t0);
    const Rect before = display->rect();
    repainted();

    display->show(first, "A:", "2", t0 + 10ms);
    EXPECT_EQ(repainted(), std::vector<Rect>{before}) << "a new text in the same place";

    display->show(Rect::sized(200, 120, 40, 40), "B:", "3", t0 + 20ms);
    const Rect after = display->rect();
    ASSERT_FALSE(before.intersects(after));
    std::vector<Rect> areas = repainted();
    std::sort(areas.begin(), areas.end(), [](const Rect& a, const Rect& b) { return a.top < b.top; });
    EXPECT_EQ(areas, (std::vector<Rect>{before, after})) << "a move: the old place and the new one";
}

TEST_F(FloatingDisplayTest, ShowingTheSameAgainRepaintsNothing) {
    const Rect control = Rect::sized(100, 50, 40, 40);
    display->show(control, "Socket", "INPUT x", t0);
    repainted();
    display->show(control, "Socket", "INPUT x", t0 + 16ms);
    EXPECT_FALSE(frame.hasDirty());
}

TEST_F(FloatingDisplayTest, NeverTakesThePointer) {
    display->show(Rect::sized(100, 50, 40, 40), "A:", "1", t0);
    EXPECT_FALSE(display->hitTest(display->rect().centre()));
}

TEST_F(FloatingDisplayTest, DrawsItsPictureWhereItIsShownAndNothingWhenHidden) {
    Bitmap plate = test::stackedImages(kBoxWidth, kBoxHeight, 1);  // image 0: red
    Frame other{kFrameArea};
    other.setBackgroundColor(test::colorOf(test::kGrey));
    FloatingDisplay& box = other.add(std::make_unique<FloatingDisplay>(Rect::sized(0, 0, kBoxWidth, kBoxHeight), &plate));
    box.show(Rect::sized(100, 50, 40, 40), "", "", t0);
    test::paintAll(other, canvas);
    // The plate's corner pixel, clear of the centred text.
    EXPECT_EQ(canvas.pixel(box.rect().left, box.rect().top), test::kRed);
    box.idle(t0 + 1s);
    test::paintAll(other, canvas);
    EXPECT_EQ(canvas.pixel(box.rect().left, box.rect().top), test::kGrey);
}

}  // namespace
}  // namespace tarvik::gui
