#include "gui/toolkit/frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::Canvas;
using test::mouseAt;

// Records the pointer events it receives, answers presses as told and
// paints its rectangle in one colour.
template <typename Base>
class Probe : public Base {
public:
    Probe(const Rect& rect, MouseResult answer, std::uint32_t colour = test::kRed)
        : Base(rect), answer_(answer), colour_(colour) {}

    MouseResult onMouseDown(const MouseEvent& event) override {
        presses.push_back(event.where);
        return answer_;
    }
    void onMouseMoved(const MouseEvent& event) override { moves.push_back(event.where); }
    void onMouseUp(const MouseEvent& event) override { releases.push_back(event.where); }
    void onMouseCancelled(const MouseEvent& last) override { cancels.push_back(last.where); }
    bool onWheel(const MouseEvent& /*event*/, double distance) override {
        wheels.push_back(distance);
        return takesWheel;
    }
    void draw(DrawContext& context) override {
        context.fillRect(this->rect(), test::colorOf(colour_));
        Base::draw(context);
    }

    std::vector<Point> presses;
    std::vector<Point> moves;
    std::vector<Point> releases;
    std::vector<Point> cancels;  // where the pointer last was
    std::vector<double> wheels;
    bool takesWheel = true;

private:
    MouseResult answer_;
    std::uint32_t colour_;
};

using ProbeView = Probe<View>;
using ProbeContainer = Probe<Container>;

std::vector<Rect> sorted(std::vector<Rect> areas) {
    std::sort(areas.begin(), areas.end(), [](const Rect& a, const Rect& b) {
        return std::tie(a.left, a.top, a.right, a.bottom) < std::tie(b.left, b.top, b.right, b.bottom);
    });
    return areas;
}

class FrameTest : public ::testing::Test {
public:
    template <typename T = ProbeView, typename Parent = Frame>
    T& add(Parent& parent, const Rect& r, MouseResult answer, std::uint32_t colour = test::kRed) {
        return parent.add(std::make_unique<T>(r, answer, colour));
    }
    ProbeView& add(const Rect& r, MouseResult answer, std::uint32_t colour = test::kRed) {
        return add<ProbeView>(frame, r, answer, colour);
    }

    Frame frame{Rect::sized(0, 0, 200, 150)};
};

// --- The pointer.

TEST_F(FrameTest, CapturedViewGetsMovesAndReleaseAnywhere) {
    ProbeView& probe = add(Rect::sized(20, 20, 40, 40), MouseResult::Captured);
    ProbeView& other = add(Rect::sized(100, 20, 40, 40), MouseResult::Captured);
    frame.mouseDown(mouseAt({30, 30}));
    EXPECT_EQ(frame.capturedView(), &probe);

    frame.mouseMoved(mouseAt({120, 40}));   // over the other view
    frame.mouseMoved(mouseAt({-50, 400}));  // outside the window
    // A second button during the drag belongs to the drag.
    frame.mouseDown(mouseAt({110, 30}, 0, button::kRight));
    frame.mouseUp(mouseAt({190, 5}));

    EXPECT_EQ(probe.moves, (std::vector<Point>{{120, 40}, {-50, 400}}));
    EXPECT_EQ(probe.releases, (std::vector<Point>{{190, 5}}));
    EXPECT_TRUE(other.presses.empty());
    EXPECT_TRUE(other.moves.empty());
    EXPECT_EQ(frame.capturedView(), nullptr);

    frame.mouseMoved(mouseAt({35, 35}));
    EXPECT_EQ(probe.moves.size(), 2u) << "a move after the release reached the view";
}

TEST_F(FrameTest, HandledPressDoesNotCapture) {
    ProbeView& probe = add(Rect::sized(20, 20, 40, 40), MouseResult::Handled);
    frame.mouseDown(mouseAt({30, 30}));
    frame.mouseMoved(mouseAt({35, 35}));
    frame.mouseUp(mouseAt({35, 35}));
    EXPECT_EQ(probe.presses, (std::vector<Point>{{30, 30}}));
    EXPECT_EQ(frame.capturedView(), nullptr);
    EXPECT_TRUE(probe.moves.empty());
    EXPECT_TRUE(probe.releases.empty());
}

TEST_F(FrameTest, PressOutsideEveryViewReachesNone) {
    ProbeView& probe = add(Rect::sized(20, 20, 40, 40), MouseResult::Captured);
    frame.mouseDown(mouseAt({60, 30}));  // just right of it: right edges lie outside
    EXPECT_TRUE(probe.presses.empty());
    EXPECT_EQ(frame.capturedView(), nullptr);
}

// Two overlapping views; the upper one was added later.
struct StackCase {
    const char* name;
    friend void PrintTo(const StackCase& c, std::ostream* out) { *out << c.name; }
    MouseResult upperAnswer;
    bool upperVisible;
    bool upperPressed;
    bool lowerPressed;
    int capturedIs;  // 0 none, 1 lower, 2 upper
};

class PressRouting : public FrameTest, public ::testing::WithParamInterface<StackCase> {};

TEST_P(PressRouting, TopmostTakerWins) {
    const StackCase& c = GetParam();
    ProbeView& lower = add(Rect::sized(10, 10, 60, 60), MouseResult::Captured);
    ProbeView& upper = add(Rect::sized(30, 30, 60, 60), c.upperAnswer);
    upper.setVisible(c.upperVisible);
    frame.mouseDown(mouseAt({40, 40}));
    EXPECT_EQ(!upper.presses.empty(), c.upperPressed);
    EXPECT_EQ(!lower.presses.empty(), c.lowerPressed);
    View* const expected[] = {nullptr, &lower, &upper};
    EXPECT_EQ(frame.capturedView(), expected[c.capturedIs]);
}

INSTANTIATE_TEST_SUITE_P(Frame, PressRouting,
                         ::testing::Values(StackCase{"LaterViewLiesOnTop", MouseResult::Captured, true, true, false, 2},
                                           StackCase{"IgnoredPassesBelow", MouseResult::Ignored, true, true, true, 1},
                                           StackCase{"HandledStopsThere", MouseResult::Handled, true, true, false, 0},
                                           StackCase{"HiddenGetsNothing", MouseResult::Captured, false, false, true,
                                                     1}),
                         test::rowName<StackCase>);

struct NestedCase {
    const char* name;
    friend void PrintTo(const NestedCase& c, std::ostream* out) { *out << c.name; }
    MouseResult childAnswer;
    Point press;
    bool childPressed;
    bool containerPressed;
    bool childCaptured;
};

class ContainerRouting : public FrameTest, public ::testing::WithParamInterface<NestedCase> {};

TEST_P(ContainerRouting, ChildComesBeforeItsContainer) {
    const NestedCase& c = GetParam();
    auto& box = add<ProbeContainer>(frame, Rect::sized(10, 10, 100, 100), MouseResult::Captured);
    ProbeView& child = add<ProbeView>(box, Rect::sized(20, 20, 30, 30), c.childAnswer);
    frame.mouseDown(mouseAt(c.press));
    EXPECT_EQ(!child.presses.empty(), c.childPressed);
    EXPECT_EQ(!box.presses.empty(), c.containerPressed);
    EXPECT_EQ(frame.capturedView(), c.childCaptured ? static_cast<View*>(&child) : static_cast<View*>(&box));
}

INSTANTIATE_TEST_SUITE_P(
    Frame, ContainerRouting,
    ::testing::Values(NestedCase{"ChildTakesIt", MouseResult::Captured, {25, 25}, true, false, true},
                      NestedCase{"IgnoredByChildGoesToContainer", MouseResult::Ignored, {25, 25}, true, true, false},
                      NestedCase{"BesideTheChildGoesToContainer", MouseResult::Captured, {80, 80}, false, true, false}),
    test::rowName<NestedCase>);

TEST_F(FrameTest, ChildOfHiddenContainerGetsNothing) {
    auto& box = add<ProbeContainer>(frame, Rect::sized(10, 10, 100, 100), MouseResult::Captured);
    ProbeView& child = add<ProbeView>(box, Rect::sized(20, 20, 30, 30), MouseResult::Captured);
    box.setVisible(false);
    frame.mouseDown(mouseAt({25, 25}));
    frame.wheel(mouseAt({25, 25}), 1.0);
    EXPECT_TRUE(child.presses.empty());
    EXPECT_TRUE(child.wheels.empty());
    EXPECT_TRUE(box.presses.empty());
    EXPECT_EQ(frame.capturedView(), nullptr);
}

// Removing the captured view, or a container holding it, ends the drag: the
// view hears that it was cut short, then nothing more, and the frame holds
// no pointer to it.
struct RemovalCase {
    const char* name;
    friend void PrintTo(const RemovalCase& c, std::ostream* out) { *out << c.name; }
    bool removeContainer;
};

class CapturedRemoval : public FrameTest, public ::testing::WithParamInterface<RemovalCase> {};

TEST_P(CapturedRemoval, StopsTheCapture) {
    auto& box = add<ProbeContainer>(frame, Rect::sized(10, 10, 100, 100), MouseResult::Ignored);
    ProbeView& child = add<ProbeView>(box, Rect::sized(20, 20, 30, 30), MouseResult::Captured);
    frame.mouseDown(mouseAt({25, 25}));
    ASSERT_EQ(frame.capturedView(), &child);

    // Kept alive here, so that a stale capture shows as events, not a crash.
    const std::unique_ptr<View> removed = GetParam().removeContainer ? frame.remove(box) : box.remove(child);
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(frame.capturedView(), nullptr);
    frame.mouseMoved(mouseAt({60, 60}));
    frame.mouseUp(mouseAt({60, 60}));
    EXPECT_EQ(child.cancels, (std::vector<Point>{{25, 25}}));
    EXPECT_TRUE(child.moves.empty());
    EXPECT_TRUE(child.releases.empty());
}

INSTANTIATE_TEST_SUITE_P(Frame, CapturedRemoval,
                         ::testing::Values(RemovalCase{"TheViewItself", false}, RemovalCase{"ItsContainer", true}),
                         test::rowName<RemovalCase>);

// However a drag is cut short (the editor closing, the window system taking
// the pointer away), the view holding it hears so once, and no release
// follows.
struct CutShortCase {
    const char* name;
    friend void PrintTo(const CutShortCase& c, std::ostream* out) { *out << c.name; }
    void (*cut)(Frame& frame);
};

class DragCutShort : public FrameTest, public ::testing::WithParamInterface<CutShortCase> {};

TEST_P(DragCutShort, TellsTheViewOnce) {
    ProbeView& probe = add(Rect::sized(20, 20, 40, 40), MouseResult::Captured);
    frame.mouseDown(mouseAt({30, 30}));
    frame.mouseMoved(mouseAt({70, 90}));
    GetParam().cut(frame);
    EXPECT_EQ(frame.capturedView(), nullptr);
    EXPECT_EQ(probe.cancels, (std::vector<Point>{{70, 90}}));
    frame.mouseUp(mouseAt({70, 90}));
    frame.cancelCapture();
    EXPECT_TRUE(probe.releases.empty());
    EXPECT_EQ(probe.cancels.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Ways, DragCutShort,
                         ::testing::Values(CutShortCase{"Close", [](Frame& f) { f.close(); }},
                                           CutShortCase{"CaptureLost", [](Frame& f) { f.captureLost(); }},
                                           CutShortCase{"Cancel", [](Frame& f) { f.cancelCapture(); }}),
                         test::rowName<CutShortCase>);

TEST_F(FrameTest, RemovingAViewThatIsNotAChildChangesNothing) {
    ProbeView& probe = add(Rect::sized(20, 20, 40, 40), MouseResult::Captured);
    ProbeView stranger(Rect::sized(0, 0, 10, 10), MouseResult::Captured);
    frame.mouseDown(mouseAt({30, 30}));
    EXPECT_EQ(frame.remove(stranger), nullptr);
    EXPECT_EQ(frame.capturedView(), &probe);
    ASSERT_EQ(frame.children().size(), 1u);
    EXPECT_EQ(frame.children().front().get(), &probe);
}

TEST_F(FrameTest, WheelGoesToTheTopmostViewThatTakesIt) {
    ProbeView& lower = add(Rect::sized(10, 10, 60, 60), MouseResult::Ignored);
    ProbeView& middle = add(Rect::sized(20, 20, 60, 60), MouseResult::Ignored);
    ProbeView& upper = add(Rect::sized(30, 30, 60, 60), MouseResult::Ignored);
    middle.takesWheel = false;
    upper.setVisible(false);
    frame.wheel(mouseAt({40, 40}), -2.0);
    EXPECT_TRUE(upper.wheels.empty());
    EXPECT_EQ(middle.wheels, std::vector<double>{-2.0});
    EXPECT_EQ(lower.wheels, std::vector<double>{-2.0});
}

TEST_F(FrameTest, PointerStaysInsideWhileCaptured) {
    add(Rect::sized(20, 20, 40, 40), MouseResult::Captured);
    frame.mouseDown(mouseAt({30, 30}, modifier::kShift));
    EXPECT_EQ(frame.modifiers(), modifier::kShift);
    frame.mouseLeft();
    EXPECT_TRUE(frame.mouseInside()) << "leaving the window mid-drag";
    frame.mouseUp(mouseAt({30, 30}));
    frame.mouseLeft();
    EXPECT_FALSE(frame.mouseInside());
    frame.mouseMoved(mouseAt({300, 30}));
    EXPECT_FALSE(frame.mouseInside());
    EXPECT_EQ(frame.mousePosition(), (Point{300, 30}));
}

// --- Keys.

TEST_F(FrameTest, KeysGoToTheKeyHandler) {
    EXPECT_FALSE(frame.keyDown({'a', 0, 0})) << "without a handler";
    std::vector<KeyEvent> seen;
    frame.setKeyHandler([&](const KeyEvent& event) {
        seen.push_back(event);
        return event.virtualKey == vkey::kUp;
    });
    EXPECT_TRUE(frame.keyDown({0, vkey::kUp, modifier::kControl}));
    EXPECT_FALSE(frame.keyDown({'q', 0, 0}));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].virtualKey, vkey::kUp);
    EXPECT_EQ(seen[0].modifiers, modifier::kControl);
    EXPECT_EQ(seen[1].character, 'q');
    EXPECT_EQ(frame.modifiers(), 0);
}

// One press handed over by both routes (the window's key event and the
// host's key call) acts once, in either order, while the other route's copy
// comes before the second idle pass after the first copy begins. The same
// key again by the same route, another key, or a copy that comes later is
// another press.
struct KeyRoutesCase {
    const char* name;
    friend void PrintTo(const KeyRoutesCase& c, std::ostream* out) { *out << c.name; }
    std::string steps;  // W, H: Return by the window, by the host; w, h: Q; I: an idle pass
    int acted;
};

class KeyRoutes : public FrameTest, public ::testing::WithParamInterface<KeyRoutesCase> {};

TEST_P(KeyRoutes, OnePressActsOnce) {
    int acted = 0;
    frame.setKeyHandler([&](const KeyEvent&) {
        ++acted;
        return true;
    });
    for (const char step : GetParam().steps) {
        const KeyEvent key = step == 'W' || step == 'H' ? KeyEvent{0, vkey::kReturn, 0} : KeyEvent{'q', 0, 0};
        if (step == 'I')
            frame.idle();
        else
            EXPECT_TRUE(step == 'W' || step == 'w' ? frame.keyDown(key) : frame.hostKeyDown(key))
                << "a used key, or its copy, is answered as used";
    }
    EXPECT_EQ(acted, GetParam().acted);
}

INSTANTIATE_TEST_SUITE_P(Frame, KeyRoutes,
                         ::testing::Values(KeyRoutesCase{"WindowThenHost", "WH", 1},
                                           KeyRoutesCase{"HostThenWindow", "HW", 1},
                                           KeyRoutesCase{"HostAfterTheNextIdlePass", "WIH", 1},
                                           KeyRoutesCase{"WindowInTheNextIdlePass", "HIW", 1},
                                           KeyRoutesCase{"HostTwoIdlePassesLater", "WIIH", 2},
                                           KeyRoutesCase{"TwoPressesByTheWindow", "WW", 2},
                                           KeyRoutesCase{"TwoPressesByTheHost", "HH", 2},
                                           KeyRoutesCase{"TwoPressesBothWays", "WWHH", 2},
                                           KeyRoutesCase{"TwoPressesInterleaved", "WHWH", 2},
                                           KeyRoutesCase{"AnotherKeyIsAnotherPress", "Wh", 2}),
                         test::rowName<KeyRoutesCase>);

// --- What gets repainted.

struct DirtyCase {
    const char* name;
    friend void PrintTo(const DirtyCase& c, std::ostream* out) { *out << c.name; }
    std::function<void(FrameTest&, ProbeView&, std::unique_ptr<View>&)> change;
    std::vector<Rect> expected;
};

class FrameDirty : public FrameTest, public ::testing::WithParamInterface<DirtyCase> {};

constexpr Rect kProbeRect = {20, 30, 60, 50};

TEST_P(FrameDirty, MarksExactlyTheChangedArea) {
    ProbeView& probe = add(kProbeRect, MouseResult::Ignored);
    Canvas canvas(200, 150);
    frame.paintDirty(canvas.context());
    std::unique_ptr<View> keep;
    GetParam().change(*this, probe, keep);
    EXPECT_EQ(sorted(frame.paintDirty(canvas.context())), sorted(GetParam().expected));
    EXPECT_TRUE(frame.paintDirty(canvas.context()).empty()) << "painting left areas waiting";
    EXPECT_FALSE(frame.hasDirty());
}

INSTANTIATE_TEST_SUITE_P(
    Frame, FrameDirty,
    ::testing::Values(
        DirtyCase{"InvalidMarksTheViewsRect", [](FrameTest&, ProbeView& v, auto&) { v.invalid(); }, {kProbeRect}},
        DirtyCase{"InvalidRectMarksThatArea",
                  [](FrameTest&, ProbeView& v, auto&) { v.invalidRect(Rect::sized(150, 5, 10, 10)); },
                  {Rect::sized(150, 5, 10, 10)}},
        DirtyCase{"PartlyOutsideIsCutToTheFrame",
                  [](FrameTest&, ProbeView& v, auto&) { v.invalidRect(Rect::sized(190, -10, 30, 30)); },
                  {Rect{190, 0, 200, 20}}},
        DirtyCase{"OutsideTheFrameMarksNothing",
                  [](FrameTest&, ProbeView& v, auto&) { v.invalidRect(Rect::sized(300, 300, 10, 10)); },
                  {}},
        DirtyCase{"MovingMarksOldAndNew",
                  [](FrameTest&, ProbeView& v, auto&) { v.setRect(Rect::sized(150, 100, 10, 10)); },
                  {kProbeRect, Rect::sized(150, 100, 10, 10)}},
        DirtyCase{"SameRectMarksNothing", [](FrameTest&, ProbeView& v, auto&) { v.setRect(kProbeRect); }, {}},
        DirtyCase{"HidingMarksTheRect", [](FrameTest&, ProbeView& v, auto&) { v.setVisible(false); }, {kProbeRect}},
        DirtyCase{"HidingAHiddenViewMarksNothing",
                  [](FrameTest& fixture, ProbeView& v, auto&) {
                      v.setVisible(false);
                      Canvas canvas(200, 150);
                      fixture.frame.paintDirty(canvas.context());
                      v.setVisible(false);
                  },
                  {}},
        DirtyCase{"RemovingMarksTheRect",
                  [](FrameTest& fixture, ProbeView& v, std::unique_ptr<View>& keep) { keep = fixture.frame.remove(v); },
                  {kProbeRect}},
        DirtyCase{"AddingMarksTheNewView",
                  [](FrameTest& fixture, ProbeView&, auto&) {
                      fixture.add(Rect::sized(120, 10, 5, 5), MouseResult::Ignored);
                  },
                  {Rect::sized(120, 10, 5, 5)}}),
    test::rowName<DirtyCase>);

class FramePainting : public FrameTest {
protected:
    void SetUp() override {
        frame.setBackgroundColor(test::colorOf(test::kGrey));
        add(Rect::sized(20, 20, 40, 40), MouseResult::Ignored, test::kRed);
        add(Rect::sized(40, 40, 40, 40), MouseResult::Ignored, test::kBlue);
        add(Rect::sized(120, 20, 40, 40), MouseResult::Ignored, test::kGreen);
    }
    ProbeView& view(int i) { return static_cast<ProbeView&>(*frame.children()[i]); }

    Canvas canvas{200, 150};
};

TEST_F(FramePainting, DrawsBackgroundThenViewsInOrder) {
    test::paintAll(frame, canvas);
    EXPECT_EQ(canvas.pixel(5, 5), test::kGrey);
    EXPECT_EQ(canvas.pixel(25, 25), test::kRed);
    EXPECT_EQ(canvas.pixel(50, 50), test::kBlue) << "the later view lies on top";
    EXPECT_EQ(canvas.pixel(130, 30), test::kGreen);
}

TEST_F(FramePainting, HiddenViewIsNotDrawn) {
    view(1).setVisible(false);
    test::paintAll(frame, canvas);
    EXPECT_EQ(canvas.pixel(50, 50), test::kRed);
    EXPECT_EQ(canvas.pixel(70, 70), test::kGrey);
}

TEST_F(FramePainting, PaintsOnlyInsideTheDirtyAreas) {
    test::paintAll(frame, canvas);
    canvas.fill(test::kWhite);
    // Part of the red view, which the blue one overlaps.
    view(0).invalidRect(Rect::sized(30, 30, 20, 20));
    frame.paintDirty(canvas.context());
    EXPECT_EQ(canvas.pixel(35, 35), test::kRed);
    EXPECT_EQ(canvas.pixel(45, 45), test::kBlue) << "views above the area are painted too";
    EXPECT_EQ(canvas.pixel(25, 25), test::kWhite) << "the red view outside the area";
    EXPECT_EQ(canvas.pixel(55, 55), test::kWhite) << "the blue view outside the area";
    EXPECT_EQ(canvas.pixel(130, 30), test::kWhite) << "a view elsewhere";
}

TEST_F(FramePainting, QuietFramePaintsNothing) {
    test::paintAll(frame, canvas);
    const long painted = frame.paintedAreas();
    canvas.fill(test::kWhite);
    EXPECT_FALSE(frame.hasDirty());
    EXPECT_TRUE(frame.paintDirty(canvas.context()).empty());
    EXPECT_EQ(frame.paintedAreas(), painted);
    for (int y = 0; y < canvas.height(); y += 7)
        for (int x = 0; x < canvas.width(); x += 7) ASSERT_EQ(canvas.pixel(x, y), test::kWhite) << x << "," << y;
}

}  // namespace
}  // namespace tarvik::gui
