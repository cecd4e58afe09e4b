#include "gui/editor/patch_socket.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::mouseAt;
using test::rowName;

struct SocketReport {
    enum Kind { Pressed, Dragged, Released, Cancelled };
    Kind kind;
    int socket;
    Point where;
    int buttons;
    int modifiers;
    bool operator==(const SocketReport&) const = default;
};

void PrintTo(const SocketReport& r, std::ostream* out) {
    static constexpr const char* kNames[] = {"pressed", "dragged", "released", "cancelled"};
    *out << kNames[r.kind] << "(socket " << r.socket << " at " << r.where.x << "," << r.where.y << ", buttons "
         << r.buttons << ", modifiers " << r.modifiers << ")";
}

class RecordingSockets : public SocketListener {
public:
    void socketPressed(PatchSocket& s, const MouseEvent& e) override { record(SocketReport::Pressed, s, e); }
    void socketDragged(PatchSocket& s, const MouseEvent& e) override { record(SocketReport::Dragged, s, e); }
    void socketReleased(PatchSocket& s, const MouseEvent& e) override { record(SocketReport::Released, s, e); }
    void socketCancelled(PatchSocket& s) override { reports.push_back({SocketReport::Cancelled, s.index(), {}, 0, 0}); }

    std::vector<SocketReport> reports;

private:
    void record(SocketReport::Kind kind, PatchSocket& s, const MouseEvent& e) {
        reports.push_back({kind, s.index(), e.where, e.buttons, e.modifiers});
    }
};

constexpr int kIndex = 5;
constexpr Rect kPlace{20, 20, 36, 36};
constexpr Point kInside{28, 28};

class PatchSocketTest : public ::testing::Test {
protected:
    PatchSocketTest() { frame.setBackgroundColor(test::colorOf(test::kGrey)); }

    std::uint32_t shown(Point p) {
        test::paintAll(frame, canvas);
        return canvas.pixel(p.x, p.y);
    }

    RecordingSockets listener;
    Bitmap picture = test::stackedImages(16, 16, 2);  // red at rest, green lit
    Frame frame{Rect::sized(0, 0, 80, 80)};
    PatchSocket& socket = frame.add(std::make_unique<PatchSocket>(kPlace, &listener, 615, kIndex, &picture));
    test::Canvas canvas{80, 80};
};

// --- Drawing.

TEST_F(PatchSocketTest, ShowsItsSecondImageWhenLit) {
    EXPECT_EQ(shown(kInside), test::kRed);
    socket.setLit(true);
    EXPECT_EQ(shown(kInside), test::kGreen);
    socket.setLit(false);
    EXPECT_EQ(shown(kInside), test::kRed);
}

TEST_F(PatchSocketTest, AHighlightIsABlueFrameOnePixelInside) {
    for (const bool lit : {false, true}) {
        socket.setLit(lit);
        socket.setHighlighted(true);
        const std::uint32_t image = lit ? test::kGreen : test::kRed;
        const std::uint32_t blue = 0xFF0000FAu;
        EXPECT_EQ(shown({21, 21}), blue) << "corner of the frame";
        EXPECT_EQ(shown({34, 28}), blue) << "right side";
        EXPECT_EQ(shown({28, 34}), blue) << "bottom side";
        EXPECT_EQ(shown({20, 20}), image) << "outer edge";
        EXPECT_EQ(shown({35, 35}), image) << "outer edge";
        EXPECT_EQ(shown({22, 22}), image) << "inside";
        socket.setHighlighted(false);
        EXPECT_EQ(shown({21, 21}), image);
    }
}

TEST_F(PatchSocketTest, AHiddenSocketShowsNothingAndTakesNoPress) {
    socket.setVisible(false);
    EXPECT_EQ(shown(kInside), test::kGrey);
    frame.mouseDown(mouseAt(kInside));
    EXPECT_TRUE(listener.reports.empty());
}

// --- The pointer.

struct PressCase {
    std::string name;
    int buttons;
    int modifiers;
    bool taken;
    friend void PrintTo(const PressCase& c, std::ostream* out) { *out << c.name; }
};

class PatchSocketPress : public PatchSocketTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(PatchSocketPress, ReportsPressMovesAndReleaseWithButtonsAndKeys) {
    const PressCase& c = GetParam();
    frame.mouseDown(mouseAt(kInside, c.modifiers, c.buttons));
    frame.mouseMoved(mouseAt({40, 30}, c.modifiers, c.buttons));
    frame.mouseMoved(mouseAt({60, 70}, c.modifiers, c.buttons));
    frame.mouseUp(mouseAt({60, 70}, c.modifiers, c.buttons));
    if (!c.taken) {
        EXPECT_TRUE(listener.reports.empty());
        EXPECT_EQ(socket.moveCount(), 0);
        return;
    }
    EXPECT_EQ(listener.reports, (std::vector<SocketReport>{
                                    {SocketReport::Pressed, kIndex, kInside, c.buttons, c.modifiers},
                                    {SocketReport::Dragged, kIndex, {40, 30}, c.buttons, c.modifiers},
                                    {SocketReport::Dragged, kIndex, {60, 70}, c.buttons, c.modifiers},
                                    {SocketReport::Released, kIndex, {60, 70}, c.buttons, c.modifiers},
                                }));
    EXPECT_EQ(socket.moveCount(), 2);
}

// The editor closing mid-drag: the socket hears that the drag is cut short,
// not that it was released somewhere.
TEST_F(PatchSocketTest, ADragCutShortIsReportedAsCancelled) {
    frame.mouseDown(mouseAt(kInside));
    frame.mouseMoved(mouseAt({60, 70}));
    frame.cancelCapture();
    frame.mouseUp(mouseAt({60, 70}));
    ASSERT_EQ(listener.reports.size(), 3u);
    EXPECT_EQ(listener.reports.back().kind, SocketReport::Cancelled);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, PatchSocketPress,
    ::testing::Values(PressCase{"Left", button::kLeft, 0, true}, PressCase{"Right", button::kRight, 0, true},
                      PressCase{"ShiftLeft", button::kLeft, modifier::kShift, true},
                      PressCase{"Middle", button::kMiddle, 0, false}),
    rowName<PressCase>);

// --- Name.

TEST_F(PatchSocketTest, IsNamelessUntilNamedAndKeepsAtMost255Characters) {
    EXPECT_EQ(socket.name(), "N/A");
    socket.setName("VCF CV Input");
    EXPECT_EQ(socket.name(), "VCF CV Input");
    socket.setName(std::string(300, 'x'));
    EXPECT_EQ(socket.name(), std::string(255, 'x'));
}

}  // namespace
}  // namespace tarvik::gui
