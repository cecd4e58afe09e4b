#include "gui/toolkit/controls/popup_menu.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gui/toolkit/controls/buttons.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::mouseAt;
using test::rowName;

constexpr int kAlpha = 0;
constexpr int kRule = 1;
constexpr int kBeta = 2;  // disabled
constexpr int kGamma = 3;

std::vector<MenuEntry> fourEntries() {
    return {MenuEntry::item("Alpha"), MenuEntry::line(), MenuEntry::item("Beta", false), MenuEntry::item("Gamma\tG*")};
}

class PopupMenuTest : public ::testing::Test {
protected:
    explicit PopupMenuTest(Rect size = Rect::sized(0, 0, 300, 200)) : frame(size), canvas(size.width(), size.height()) {
        frame.setBackgroundColor(test::colorOf(test::kGrey));
        below = &frame.add(std::make_unique<KickButton>(frame.rect(), &listener, 1));
        menu = &frame.add(std::make_unique<PopupMenu>());
    }

    void open(Point where, std::vector<MenuEntry> entries = fourEntries()) {
        menu->open(std::move(entries), where, [this](int i) { chosen.push_back(i); });
    }
    void click(Point p) {
        frame.mouseDown(mouseAt(p));
        frame.mouseUp(mouseAt(p));
    }
    Point centreOf(int entry) const { return menu->entryRect(entry).centre(); }
    bool key(int virtualKey) { return menu->onKeyDown({0, virtualKey, 0}); }
    std::uint32_t shown(Point p) {
        test::paintAll(frame, canvas);
        return canvas.pixel(p.x, p.y);
    }

    Frame frame;
    test::Canvas canvas;
    test::RecordingListener listener;
    KickButton* below = nullptr;  // fills the frame under the menu
    PopupMenu* menu = nullptr;
    std::vector<int> chosen;
};

TEST_F(PopupMenuTest, TextAfterATabIsTheRightHandColumn) {
    open({20, 30});
    ASSERT_EQ(menu->entries().size(), 4u);
    EXPECT_EQ(menu->entries()[kAlpha].text, "Alpha");
    EXPECT_EQ(menu->entries()[kAlpha].right, "");
    EXPECT_EQ(menu->entries()[kGamma].text, "Gamma");
    EXPECT_EQ(menu->entries()[kGamma].right, "G*");
    EXPECT_TRUE(menu->entries()[kRule].separator);
    EXPECT_FALSE(menu->entries()[kBeta].enabled);
}

// --- Choosing with the pointer.

struct ClickCase {
    std::string name;
    int entry;
    std::vector<int> chosen;
    bool staysOpen;
    friend void PrintTo(const ClickCase& c, std::ostream* out) { *out << c.name; }
};

class PopupMenuClick : public PopupMenuTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(PopupMenuClick, OnlyEnabledEntriesAreChosen) {
    open({20, 30});
    click(centreOf(GetParam().entry));
    EXPECT_EQ(chosen, GetParam().chosen);
    EXPECT_EQ(menu->isOpen(), GetParam().staysOpen);
    EXPECT_TRUE(listener.reports.empty()) << "the press was the menu's";
}

INSTANTIATE_TEST_SUITE_P(Entries, PopupMenuClick,
                         ::testing::Values(ClickCase{"First", kAlpha, {kAlpha}, false},
                                           ClickCase{"WithRightColumn", kGamma, {kGamma}, false},
                                           ClickCase{"Disabled", kBeta, {}, true},
                                           ClickCase{"Separator", kRule, {}, true}),
                         rowName<ClickCase>);

TEST_F(PopupMenuTest, AClickElsewhereClosesWithoutAChoice) {
    open({20, 30});
    ASSERT_FALSE(menu->rect().contains(Point{280, 180}));
    click({280, 180});
    EXPECT_FALSE(menu->isOpen());
    EXPECT_TRUE(chosen.empty());
    EXPECT_TRUE(listener.reports.empty()) << "the press that closes the menu goes nowhere else";
    click({280, 180});
    EXPECT_FALSE(listener.reports.empty()) << "once closed, presses reach the panel again";
}

TEST_F(PopupMenuTest, ReleasingAwayFromThePressedEntryChoosesNothing) {
    open({20, 30});
    frame.mouseDown(mouseAt(centreOf(kAlpha)));
    frame.mouseMoved(mouseAt({280, 180}));
    frame.mouseUp(mouseAt({280, 180}));
    EXPECT_TRUE(chosen.empty());
    EXPECT_TRUE(menu->isOpen());
}

// --- Keys and highlight.

TEST_F(PopupMenuTest, EscapeClosesWithoutAChoice) {
    open({20, 30});
    EXPECT_TRUE(key(vkey::kEscape));
    EXPECT_FALSE(menu->isOpen());
    EXPECT_TRUE(chosen.empty());
    EXPECT_FALSE(key(vkey::kEscape)) << "a closed menu takes no keys";
}

TEST_F(PopupMenuTest, ArrowsStepOverWhatCannotBeChosenAndReturnChooses) {
    open({20, 30});
    key(vkey::kDown);
    EXPECT_EQ(menu->highlighted(), kAlpha);
    key(vkey::kDown);
    EXPECT_EQ(menu->highlighted(), kGamma);
    key(vkey::kDown);
    EXPECT_EQ(menu->highlighted(), kAlpha) << "round to the top";
    key(vkey::kUp);
    EXPECT_EQ(menu->highlighted(), kGamma);
    EXPECT_TRUE(key(vkey::kReturn));
    EXPECT_EQ(chosen, std::vector<int>{kGamma});
    EXPECT_FALSE(menu->isOpen());
}

TEST_F(PopupMenuTest, ThePointerHighlightsEnabledEntriesOnly) {
    open({20, 30});
    menu->hover(centreOf(kGamma));
    EXPECT_EQ(menu->highlighted(), kGamma);
    menu->hover(centreOf(kBeta));
    EXPECT_EQ(menu->highlighted(), -1);
    menu->hover(centreOf(kAlpha));
    EXPECT_EQ(menu->highlighted(), kAlpha);
    menu->hover({280, 180});
    EXPECT_EQ(menu->highlighted(), -1);
}

TEST_F(PopupMenuTest, DrawsADarkPanelWithTheHighlightUntilClosed) {
    open({20, 30});
    const Rect alpha = menu->entryRect(kAlpha);
    const Point margin{alpha.left + 4, alpha.top + alpha.height() / 2};  // left of the text
    const std::uint32_t panel = shown(margin);
    EXPECT_NE(panel, test::kGrey);
    const Color dark = test::colorOf(panel);
    EXPECT_LT(dark.r + dark.g + dark.b, 3 * 80);

    menu->hover(margin);
    EXPECT_NE(shown(margin), panel);

    menu->close();
    EXPECT_EQ(shown(margin), test::kGrey);
}

// --- Placing.

struct PlaceCase {
    std::string name;
    Point where;
    friend void PrintTo(const PlaceCase& c, std::ostream* out) { *out << c.name; }
};

class PopupMenuPlace : public PopupMenuTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(PopupMenuPlace, StaysInsideTheFrameMovingNoFurtherThanNeeded) {
    const Point where = GetParam().where;
    open(where);
    const Rect box = menu->rect();
    EXPECT_TRUE(frame.rect().contains(box));
    if (where.x + box.width() <= 300)
        EXPECT_EQ(box.left, where.x);
    else
        EXPECT_EQ(box.right, 300);
    if (where.y + box.height() <= 200)
        EXPECT_EQ(box.top, where.y);
    else
        EXPECT_EQ(box.bottom, 200);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(box.contains(menu->entryRect(i))) << "entry " << i;
}

INSTANTIATE_TEST_SUITE_P(Points, PopupMenuPlace,
                         ::testing::Values(PlaceCase{"WithRoom", {20, 30}}, PlaceCase{"NearTheRight", {290, 40}},
                                           PlaceCase{"NearTheBottom", {30, 195}},
                                           PlaceCase{"BottomRightCorner", {299, 199}}),
                         rowName<PlaceCase>);

class PopupMenuColumns : public PopupMenuTest {
protected:
    PopupMenuColumns() : PopupMenuTest(Rect::sized(0, 0, 400, 100)) {}
};

TEST_F(PopupMenuColumns, ATallListContinuesInTheNextColumn) {
    std::vector<MenuEntry> many;
    for (int i = 0; i < 12; ++i) many.push_back(MenuEntry::item("Entry " + std::to_string(i)));
    open({10, 10}, many);
    EXPECT_TRUE(frame.rect().contains(menu->rect()));
    for (int i = 0; i < 12; ++i) {
        const Rect r = menu->entryRect(i);
        EXPECT_TRUE(menu->rect().contains(r)) << "entry " << i;
        if (i == 0) continue;
        const Rect before = menu->entryRect(i - 1);
        const bool downward = r.left == before.left && r.top == before.bottom;
        const bool nextColumn = r.left == before.right && r.top < before.top;
        EXPECT_TRUE(downward || nextColumn) << "entry " << i;
    }
    EXPECT_GT(menu->entryRect(11).left, menu->entryRect(0).left) << "more than one column";
    click(menu->entryRect(11).centre());
    EXPECT_EQ(chosen, std::vector<int>{11});
}

}  // namespace
}  // namespace tarvik::gui
