#include "gui/toolkit/menu_model.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::rowName;

// The filter menu's shape: runs of entries between separators.
MenuModel filterLike() {
    MenuModel menu;
    for (const char* text : {"303 LP 24dB", "303 LP 18dB", "202 LP 18dB"}) menu.add(text);
    menu.addSeparator();
    for (const char* text : {"HP->LP 4-Pole", "BP->LP 4-Pole"}) menu.add(text);
    menu.addSeparator();
    menu.addSeparator();
    menu.add("LP->HP 4-Pole");
    return menu;
}

TEST(MenuModel, AddAnswersIndexesThatSkipSeparators) {
    MenuModel menu;
    menu.addSeparator();  // a separator before the first entry counts neither
    EXPECT_EQ(menu.add("Copy Pattern"), 0);
    EXPECT_EQ(menu.add("Paste Pattern"), 1);
    menu.addSeparator();
    EXPECT_EQ(menu.add("Transpose +12 semitones"), 2);
    EXPECT_EQ(menu.addSubmenu("Bank", MenuModel{}), 3);
    menu.addSeparator();
    EXPECT_EQ(menu.add("Shift left"), 4);
    EXPECT_EQ(menu.size(), 5);
}

struct IndexCase {
    std::string name;
    int index;
    std::string text;  // empty for no entry
    int line;
    friend void PrintTo(const IndexCase& c, std::ostream* out) { *out << c.name; }
};

class MenuModelIndex : public ::testing::TestWithParam<IndexCase> {};

TEST_P(MenuModelIndex, EntriesAreFoundByIndexAcrossSeparators) {
    const MenuModel menu = filterLike();
    const IndexCase& c = GetParam();
    const MenuItem* item = menu.entry(c.index);
    if (c.text.empty()) {
        EXPECT_EQ(item, nullptr);
    } else {
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text, c.text);
    }
    EXPECT_EQ(menu.lineOf(c.index), c.line);
    if (c.line >= 0) {
        EXPECT_EQ(menu.indexOfLine(c.line), c.index);
    }
}

INSTANTIATE_TEST_SUITE_P(Indexes, MenuModelIndex,
                         ::testing::Values(IndexCase{"First", 0, "303 LP 24dB", 0},
                                           IndexCase{"LastBeforeSeparator", 2, "202 LP 18dB", 2},
                                           IndexCase{"FirstAfterSeparator", 3, "HP->LP 4-Pole", 4},
                                           IndexCase{"AfterTwoSeparators", 5, "LP->HP 4-Pole", 8},
                                           IndexCase{"PastTheEnd", 6, "", -1},
                                           IndexCase{"Negative", -1, "", -1}),
                         rowName<IndexCase>);

TEST(MenuModel, ASeparatorLineHasNoIndex) {
    const MenuModel menu = filterLike();
    EXPECT_EQ(menu.indexOfLine(3), -1);
    EXPECT_EQ(menu.indexOfLine(6), -1);
    EXPECT_EQ(menu.indexOfLine(9), -1) << "past the last line";
}

TEST(MenuModel, TextAfterATabIsTheRightHandColumn) {
    MenuModel menu;
    menu.add("Open\tCtrl+O");
    menu.add("Plain");
    EXPECT_EQ(menu.entry(0)->text, "Open");
    EXPECT_EQ(menu.entry(0)->right, "Ctrl+O");
    EXPECT_EQ(menu.entry(1)->right, "");
}

TEST(MenuModel, SetTextChangesOnlyThatEntryAndKeepsItsPlace) {
    MenuModel menu;
    menu.add("Activate MIDI learn");
    menu.addSeparator();
    const int cables = menu.add("Show Patch Cables");
    menu.setEnabled(cables, false);
    menu.setChecked(cables, true);
    menu.add("Enable Aux input");

    EXPECT_TRUE(menu.setText(cables, "Hide Patch Cables\tC"));
    const MenuItem* item = menu.entry(cables);
    EXPECT_EQ(item->text, "Hide Patch Cables");
    EXPECT_EQ(item->right, "C");
    EXPECT_FALSE(item->enabled) << "only the text changes";
    EXPECT_TRUE(item->checked);
    EXPECT_EQ(menu.lineOf(cables), 2);
    EXPECT_EQ(menu.entry(0)->text, "Activate MIDI learn");
    EXPECT_EQ(menu.entry(2)->text, "Enable Aux input");

    EXPECT_FALSE(menu.setText(3, "Nowhere"));
    EXPECT_EQ(menu.size(), 3);
}

struct CheckCase {
    std::string name;
    std::vector<int> checked;
    int current;
    std::vector<bool> shown;  // per entry of a three-entry menu
    friend void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.name; }
};

class MenuModelCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(MenuModelCheck, CheckedOrCurrentEntriesShowACheckMark) {
    const CheckCase& c = GetParam();
    MenuModel menu;
    menu.add("A");
    menu.addSeparator();
    menu.add("B");
    menu.add("C");
    for (const int i : c.checked) menu.setChecked(i, true);
    menu.setCurrent(c.current);
    std::vector<bool> shown;
    for (int i = 0; i < 3; ++i) shown.push_back(menu.showsCheck(i));
    EXPECT_EQ(shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(Marks, MenuModelCheck,
                         ::testing::Values(CheckCase{"None", {}, -1, {false, false, false}},
                                           CheckCase{"CurrentAfterSeparator", {}, 1, {false, true, false}},
                                           CheckCase{"CheckedAndCurrent", {0}, 2, {true, false, true}},
                                           CheckCase{"CurrentWithoutEntry", {}, 7, {false, false, false}}),
                         rowName<CheckCase>);

TEST(MenuModel, ClearForgetsEntriesAndTheCurrentOne) {
    MenuModel menu = filterLike();
    menu.setCurrent(2);
    menu.clear();
    EXPECT_TRUE(menu.empty());
    EXPECT_EQ(menu.current(), -1);
    EXPECT_EQ(menu.add("Again"), 0);
}

// --- Sub-menus.

MenuModel withBanks() {
    MenuModel bankA;
    bankA.add("Acid");
    bankA.addSeparator();
    bankA.add("Bleep");
    MenuModel inner;
    inner.add("Deep");
    MenuModel bankB;
    bankB.addSubmenu("Inner", std::move(inner));
    bankB.add("Squelch");

    MenuModel menu;
    menu.add("Open Patch");
    menu.addSeparator();
    menu.addSubmenu("Bank A", std::move(bankA));
    menu.addSubmenu("Bank B", std::move(bankB));
    menu.add("Loose");
    return menu;
}

struct PathCase {
    std::string name;
    std::vector<int> path;
    std::string text;  // empty for none
    friend void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }
};

class MenuModelPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(MenuModelPath, APathLeadsThroughSubmenus) {
    const MenuModel menu = withBanks();
    const MenuItem* item = menu.entryAt(GetParam().path);
    if (GetParam().text.empty()) {
        EXPECT_EQ(item, nullptr);
    } else {
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text, GetParam().text);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, MenuModelPath,
                         ::testing::Values(PathCase{"TopEntryAfterSubmenus", {3}, "Loose"},
                                           PathCase{"TheSubmenuEntryItself", {1}, "Bank A"},
                                           PathCase{"InSubmenuAfterSeparator", {1, 1}, "Bleep"},
                                           PathCase{"TwoLevelsDown", {2, 0, 0}, "Deep"},
                                           PathCase{"EntryAfterNestedSubmenu", {2, 1}, "Squelch"},
                                           PathCase{"BelowAPlainEntry", {0, 0}, ""},
                                           PathCase{"PastASubmenusEnd", {1, 2}, ""},
                                           PathCase{"Empty", {}, ""}),
                         rowName<PathCase>);

TEST(MenuModel, CopiesOwnTheirSubmenus) {
    MenuModel original = withBanks();
    const MenuModel copy = original;
    original.entry(1)->submenu->setText(0, "Changed");
    original.clear();
    const MenuItem* item = copy.entryAt({1, 0});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text, "Acid");
}

}  // namespace
}  // namespace tarvik::gui
