// The option menu without a window: drawn inside the frame and driven by
// the frame's own events, as the pop-up windows drive the same menu on
// Linux.
#include "gui/toolkit/option_menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gui/toolkit/controls/buttons.h"
#include "gui/toolkit/menu_session.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::mouseAt;
using test::rowName;
using Path = std::vector<int>;

constexpr int kAlpha = 0;
constexpr int kBeta = 1;  // disabled
constexpr int kGamma = 2;
constexpr int kBank = 3;  // opens a sub-menu
constexpr int kDelta = 4; // checked
constexpr int kTheSeparator = -1;  // between Alpha and Beta: no entry
constexpr int kOne = 0;   // in the sub-menu
constexpr int kTwo = 1;
constexpr int kOff = 2;   // disabled, in the sub-menu

MenuModel sample() {
    MenuModel bank;
    bank.add("One");
    bank.addSeparator();
    bank.entry(bank.add("Two"))->identifier = "two.tvkp";
    bank.add("Off", false);

    MenuModel menu;
    menu.entry(menu.add("Alpha"))->identifier = "alpha";
    menu.addSeparator();
    menu.add("Beta", false);
    menu.add("Gamma\tG");
    menu.addSubmenu("Bank", std::move(bank));
    menu.setChecked(menu.add("Delta"), true);
    return menu;
}

class OptionMenuTest : public ::testing::Test {
protected:
    explicit OptionMenuTest(Rect size = Rect::sized(0, 0, 400, 300))
        : frame(size), canvas(size.width(), size.height()) {
        frame.setBackgroundColor(test::colorOf(test::kGrey));
        frame.add(std::make_unique<KickButton>(frame.rect(), &listener, 1));
        menu = std::make_unique<OptionMenu>(frame);
    }
    ~OptionMenuTest() override { menu.reset(); }

    void popUp(Point where, const MenuModel& model = sample()) {
        menu->popUp(model, where, [this](const MenuChoice& choice) { answers.push_back(choice); });
    }
    std::vector<Path> paths() const {
        std::vector<Path> p;
        for (const MenuChoice& c : answers) p.push_back(c.path);
        return p;
    }
    Point at(int level, int index) const {
        if (index != kTheSeparator) return menu->entryRect(level, index).centre();
        const Rect alpha = menu->entryRect(level, kAlpha);
        return {alpha.centre().x, alpha.bottom + MenuSession::kSeparatorHeight / 2};
    }
    void click(Point p) {
        frame.mouseDown(mouseAt(p));
        frame.mouseUp(mouseAt(p));
    }
    void key(int virtualKey) { menu->keyDown({0, virtualKey, 0}); }

    Frame frame;
    test::Canvas canvas;
    test::RecordingListener listener;  // hears the button under the menu
    std::unique_ptr<OptionMenu> menu;
    std::vector<MenuChoice> answers;
};

// --- The pointer.

struct ClickCase {
    std::string name;
    int entry;
    std::vector<Path> answers;
    int levelsAfter;  // 0 once closed
    friend void PrintTo(const ClickCase& c, std::ostream* out) { *out << c.name; }
};

class OptionMenuClick : public OptionMenuTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(OptionMenuClick, AClickChoosesOnlyWhatCanBeChosen) {
    popUp({20, 30});
    click(at(0, GetParam().entry));
    EXPECT_EQ(paths(), GetParam().answers);
    EXPECT_EQ(menu->openLevels(), GetParam().levelsAfter);
    EXPECT_EQ(menu->isOpen(), GetParam().levelsAfter > 0);
    EXPECT_TRUE(listener.reports.empty()) << "the press was the menu's";
}

INSTANTIATE_TEST_SUITE_P(Entries, OptionMenuClick,
                         ::testing::Values(ClickCase{"First", kAlpha, {{kAlpha}}, 0},
                                           ClickCase{"AfterASeparator", kGamma, {{kGamma}}, 0},
                                           ClickCase{"Checked", kDelta, {{kDelta}}, 0},
                                           ClickCase{"Disabled", kBeta, {}, 1},
                                           ClickCase{"Separator", kTheSeparator, {}, 1},
                                           ClickCase{"SubmenuOpensInsteadOfAnswering", kBank, {}, 2}),
                         rowName<ClickCase>);

TEST_F(OptionMenuTest, AnEntryOfASubmenuAnswersItsPathAndIdentifier) {
    popUp({20, 30});
    click(at(0, kBank));
    ASSERT_EQ(menu->openLevels(), 2);
    click(at(1, kOff));
    EXPECT_TRUE(answers.empty()) << "disabled";
    click(at(1, kTwo));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].path, (Path{kBank, kTwo}));
    EXPECT_EQ(answers[0].identifier, "two.tvkp");
    EXPECT_FALSE(menu->isOpen());
}

TEST_F(OptionMenuTest, TheSubmenuOpensBesideItsEntry) {
    popUp({20, 30});
    click(at(0, kBank));
    const Rect bank = menu->entryRect(0, kBank);
    const Rect one = menu->entryRect(1, kOne);
    EXPECT_GE(one.left, bank.right) << "to the right of the menu";
    EXPECT_EQ(one.top, bank.top) << "its first entry level with the one that opened it";
}

TEST_F(OptionMenuTest, DraggingOffASubmenuEntryClosesItsSubmenu) {
    popUp({20, 30});
    frame.mouseDown(mouseAt(at(0, kBank)));
    EXPECT_EQ(menu->openLevels(), 2);
    frame.mouseMoved(mouseAt(at(1, kTwo)));
    EXPECT_EQ(menu->openLevels(), 2) << "the pointer went into the sub-menu";
    frame.mouseMoved(mouseAt(at(0, kBank)));
    EXPECT_EQ(menu->openLevels(), 2) << "back on the entry that opened it";
    frame.mouseMoved(mouseAt(at(0, kGamma)));
    EXPECT_EQ(menu->openLevels(), 1);
    frame.mouseUp(mouseAt(at(0, kGamma)));
    EXPECT_EQ(paths(), (std::vector<Path>{{kGamma}})) << "press, drag and release choose";
}

TEST_F(OptionMenuTest, AClickElsewhereClosesWithoutAnAnswer) {
    popUp({20, 30});
    const Point away{390, 290};
    ASSERT_TRUE(menu->entryRect(0, kAlpha).right < away.x);
    click(away);
    EXPECT_FALSE(menu->isOpen());
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(listener.reports.empty()) << "the press that closes the menu goes nowhere else";
    click(away);
    EXPECT_FALSE(listener.reports.empty()) << "once closed, presses reach the panel again";
}

TEST_F(OptionMenuTest, ReleasingAwayFromThePressedEntryChoosesNothing) {
    popUp({20, 30});
    const Point away{390, 290};
    frame.mouseDown(mouseAt(at(0, kAlpha)));
    frame.mouseMoved(mouseAt(away));
    frame.mouseUp(mouseAt(away));
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(menu->isOpen());
    EXPECT_TRUE(listener.reports.empty());
}

TEST_F(OptionMenuTest, CloseEndsTheMenuWithoutAnAnswer) {
    popUp({20, 30});
    menu->close();
    EXPECT_FALSE(menu->isOpen());
    click({30, 40});
    EXPECT_TRUE(answers.empty());
    EXPECT_FALSE(listener.reports.empty()) << "the panel has its presses back";
}

// --- Keys.

struct KeyCase {
    std::string name;
    std::vector<int> keys;
    std::vector<Path> answers;
    int levelsAfter;
    friend void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.name; }
};

class OptionMenuKeys : public OptionMenuTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(OptionMenuKeys, NavigateAndChoose) {
    popUp({20, 30});
    for (const int k : GetParam().keys) key(k);
    EXPECT_EQ(paths(), GetParam().answers);
    EXPECT_EQ(menu->openLevels(), GetParam().levelsAfter);
}

constexpr int kDown = vkey::kDown;
constexpr int kUp = vkey::kUp;
constexpr int kLeft = vkey::kLeft;
constexpr int kRight = vkey::kRight;
constexpr int kReturn = vkey::kReturn;
constexpr int kEscape = vkey::kEscape;

INSTANTIATE_TEST_SUITE_P(
    Sequences, OptionMenuKeys,
    ::testing::Values(KeyCase{"DownReturnChoosesTheFirst", {kDown, kReturn}, {{kAlpha}}, 0},
                      KeyCase{"DownStepsOverSeparatorAndDisabled", {kDown, kDown, kReturn}, {{kGamma}}, 0},
                      KeyCase{"UpGoesRoundToTheLast", {kUp, kReturn}, {{kDelta}}, 0},
                      KeyCase{"DownGoesRoundToTheFirst", {kUp, kDown, kReturn}, {{kAlpha}}, 0},
                      KeyCase{"ReturnWithNothingHighlighted", {kReturn}, {}, 1},
                      KeyCase{"RightOpensTheSubmenuOnItsFirstEntry",
                              {kDown, kDown, kDown, kRight, kReturn}, {{kBank, kOne}}, 0},
                      KeyCase{"ReturnOpensTheSubmenuToo",
                              {kDown, kDown, kDown, kReturn, kDown, kReturn}, {{kBank, kTwo}}, 0},
                      KeyCase{"DownInTheSubmenuSkipsItsDisabledEntry",
                              {kDown, kDown, kDown, kRight, kDown, kDown, kReturn}, {{kBank, kOne}}, 0},
                      KeyCase{"LeftClosesOnlyTheSubmenu",
                              {kDown, kDown, kDown, kRight, kLeft, kUp, kReturn}, {{kGamma}}, 0},
                      KeyCase{"EscapeClosesOnlyTheSubmenu", {kDown, kDown, kDown, kRight, kEscape}, {}, 1},
                      KeyCase{"EscapeInTheTopMenuDismisses", {kDown, kEscape}, {}, 0},
                      KeyCase{"LeftInTheTopMenuDoesNothing", {kLeft, kDown, kReturn}, {{kAlpha}}, 0}),
    rowName<KeyCase>);

TEST_F(OptionMenuTest, KeysAreTheMenusOnlyWhileItIsOpen) {
    EXPECT_FALSE(menu->keyDown({'a', 0, 0}));
    popUp({20, 30});
    EXPECT_TRUE(menu->keyDown({'a', 0, 0})) << "an open menu takes every key";
    key(kEscape);
    EXPECT_FALSE(menu->keyDown({0, kDown, 0}));
}

// --- The menu shown is the one popped up.

TEST_F(OptionMenuTest, LaterChangesToTheModelDoNotReachAnOpenMenu) {
    MenuModel model = sample();
    popUp({20, 30}, model);
    model.entry(kAlpha)->identifier = "changed";
    model.clear();
    click(at(0, kAlpha));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].identifier, "alpha");
}

TEST_F(OptionMenuTest, AnAnswerMayPopAMenuUpAgain) {
    const MenuModel model = sample();
    int told = 0;
    menu->popUp(model, {20, 30}, [&](const MenuChoice&) {
        ++told;
        popUp({40, 50}, model);
    });
    click(at(0, kGamma));
    EXPECT_EQ(told, 1);
    ASSERT_TRUE(menu->isOpen());
    EXPECT_EQ(menu->entryRect(0, kAlpha).left, 40 + MenuSession::kPadding);
    click(at(0, kDelta));
    EXPECT_EQ(paths(), (std::vector<Path>{{kDelta}}));
}

TEST_F(OptionMenuTest, PoppingUpAgainClosesTheMenuBeforeWithoutAnAnswer) {
    int first = 0;
    menu->popUp(sample(), {20, 30}, [&](const MenuChoice&) { ++first; });
    popUp({200, 30});
    click(at(0, kAlpha));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(paths(), (std::vector<Path>{{kAlpha}}));
}

// --- Placing and scrolling.

struct PlaceCase {
    std::string name;
    Point where;
    friend void PrintTo(const PlaceCase& c, std::ostream* out) { *out << c.name; }
};

class OptionMenuPlace : public OptionMenuTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(OptionMenuPlace, StaysInsideTheFrameMovingNoFurtherThanNeeded) {
    const Point where = GetParam().where;
    popUp(where);
    const Rect first = menu->entryRect(0, kAlpha);
    const Rect last = menu->entryRect(0, kDelta);
    const int width = first.width() + 2 * MenuSession::kPadding;
    const int height = last.bottom - first.top + 2 * MenuSession::kPadding;
    EXPECT_EQ(first.left - MenuSession::kPadding, std::min(where.x, frame.rect().right - width))
        << "moved left only as far as needed";
    EXPECT_EQ(first.top - MenuSession::kPadding, std::min(where.y, frame.rect().bottom - height))
        << "moved up only as far as needed";

    click(at(0, kBank));
    ASSERT_EQ(menu->openLevels(), 2);
    for (int level = 0; level < 2; ++level)
        for (int i = 0; i < 3; ++i) {
            const Rect r = menu->entryRect(level, i);
            EXPECT_FALSE(r.empty()) << "level " << level << " entry " << i;
            EXPECT_TRUE(frame.rect().contains(r)) << "level " << level << " entry " << i;
        }
    const Rect parent = menu->entryRect(0, kBank);
    const Rect sub = menu->entryRect(1, kOne);
    EXPECT_TRUE(sub.left >= parent.right || sub.right <= parent.left) << "beside, not over, its entry";
}

INSTANTIATE_TEST_SUITE_P(Points, OptionMenuPlace,
                         ::testing::Values(PlaceCase{"WithRoom", {20, 30}}, PlaceCase{"NearTheRight", {330, 40}},
                                           PlaceCase{"NearTheBottom", {30, 290}},
                                           PlaceCase{"BottomRightCorner", {399, 299}}),
                         rowName<PlaceCase>);

TEST_F(OptionMenuTest, ASubmenuWithoutRoomOnTheRightOpensOnTheLeft) {
    popUp({300, 30});
    click(at(0, kBank));
    EXPECT_LE(menu->entryRect(1, kOne).right, menu->entryRect(0, kBank).left);
}

class TallOptionMenu : public OptionMenuTest {
protected:
    TallOptionMenu() : OptionMenuTest(Rect::sized(0, 0, 300, 160)) {
        for (int i = 0; i < kEntries; ++i) tall.add("Patch " + std::to_string(i));
    }
    bool shown(int index) const { return !menu->entryRect(0, index).empty(); }

    static constexpr int kEntries = 30;
    MenuModel tall;
};

TEST_F(TallOptionMenu, ShowsWhatFitsAndScrollsWithTheKeys) {
    popUp({10, 10}, tall);
    EXPECT_TRUE(shown(0));
    EXPECT_FALSE(shown(kEntries - 1));
    for (int i = 0; i < kEntries; ++i) {
        if (shown(i)) {
            EXPECT_TRUE(frame.rect().contains(menu->entryRect(0, i))) << "entry " << i;
        }
    }
    key(kUp);  // round to the last entry
    EXPECT_TRUE(shown(kEntries - 1));
    EXPECT_FALSE(shown(0));
    key(kDown);  // and round to the first again
    EXPECT_TRUE(shown(0));
    key(kReturn);
    EXPECT_EQ(paths(), (std::vector<Path>{{0}}));
}

TEST_F(TallOptionMenu, TheWheelScrollsAndStopsAtTheEnds) {
    popUp({10, 10}, tall);
    const Point over = at(0, 1);
    frame.wheel(mouseAt(over), 1.0);
    EXPECT_TRUE(shown(0)) << "already at the top";
    frame.wheel(mouseAt(over), -1.0);
    EXPECT_FALSE(shown(0));
    EXPECT_TRUE(shown(MenuSession::kWheelLines));
    for (int i = 0; i < kEntries; ++i) frame.wheel(mouseAt(over), -1.0);
    EXPECT_TRUE(shown(kEntries - 1));
    const Point last = at(0, kEntries - 1);
    click(last);
    EXPECT_EQ(paths(), (std::vector<Path>{{kEntries - 1}}));
}

TEST_F(TallOptionMenu, TheArrowRowsScroll) {
    popUp({10, 10}, tall);
    const Rect first = menu->entryRect(0, 0);
    const Point lowerArrow{first.centre().x, frame.rect().bottom - MenuSession::kPadding - 3};
    const Point upperArrow{first.centre().x, first.top - 3};
    click(lowerArrow);
    EXPECT_FALSE(shown(0));
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(menu->isOpen()) << "the arrow rows are part of the menu";
    click(upperArrow);
    EXPECT_TRUE(shown(0));
}

// --- Drawing.

class OptionMenuLook : public OptionMenuTest {
protected:
    // Whether any pixel of the entry's check column stands out from the
    // panel behind it.
    bool markShown(int index) {
        test::paintAll(frame, canvas);
        const Rect r = menu->entryRect(0, index);
        const Color panel = test::colorOf(canvas.pixel(r.left + 1, r.top + 1));
        for (int y = r.top + 2; y < r.bottom - 2; ++y)
            for (int x = r.left + 2; x < r.left + MenuSession::kCheckColumn - 2; ++x) {
                const Color c = test::colorOf(canvas.pixel(x, y));
                if (c.r + c.g + c.b > panel.r + panel.g + panel.b + 120) return true;
            }
        return false;
    }
};

TEST_F(OptionMenuLook, CheckedAndCurrentEntriesShowAMark) {
    MenuModel model = sample();
    model.setCurrent(kGamma);
    popUp({20, 30}, model);
    EXPECT_TRUE(markShown(kDelta)) << "checked";
    EXPECT_TRUE(markShown(kGamma)) << "current";
    EXPECT_FALSE(markShown(kAlpha));
    EXPECT_FALSE(markShown(kBank));
}

TEST_F(OptionMenuLook, ThePointerHighlightsEnabledEntriesOnly) {
    popUp({20, 30});
    const auto margin = [&](int index) {
        const Rect r = menu->entryRect(0, index);
        return Point{r.left + 4, r.centre().y};  // left of the text
    };
    test::paintAll(frame, canvas);
    const std::uint32_t unlit = canvas.pixel(margin(kBeta).x, margin(kBeta).y);

    frame.mouseDown(mouseAt(at(0, kBeta)));  // held over the disabled entry
    test::paintAll(frame, canvas);
    EXPECT_EQ(canvas.pixel(margin(kBeta).x, margin(kBeta).y), unlit) << "disabled: not highlighted";

    frame.mouseMoved(mouseAt(at(0, kGamma)));
    test::paintAll(frame, canvas);
    EXPECT_NE(canvas.pixel(margin(kGamma).x, margin(kGamma).y), unlit) << "enabled: highlighted";
    EXPECT_EQ(canvas.pixel(margin(kBeta).x, margin(kBeta).y), unlit);
}

TEST_F(OptionMenuLook, ADarkPanelWithTheHighlightUntilClosed) {
    popUp({20, 30});
    const Rect alpha = menu->entryRect(0, kAlpha);
    const Point margin{alpha.left + 4, alpha.centre().y};  // left of the text
    test::paintAll(frame, canvas);
    const Color dark = test::colorOf(canvas.pixel(margin.x, margin.y));
    EXPECT_LT(dark.r + dark.g + dark.b, 3 * 80);

    frame.mouseDown(mouseAt(alpha.centre()));  // held: highlighted, not yet chosen
    test::paintAll(frame, canvas);
    EXPECT_NE(test::colorOf(canvas.pixel(margin.x, margin.y)), dark) << "highlighted";

    key(kEscape);
    test::paintAll(frame, canvas);
    EXPECT_EQ(canvas.pixel(margin.x, margin.y), test::kGrey) << "the frame shows again";
}

}  // namespace
}  // namespace tarvik::gui
