#include "gui/editor/patch_browser.h"

#include <gtest/gtest.h>

#include "tests/gui/editor/patch_folder_fixture.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::rowName;

class PatchArrows : public test::PatchFolder {
protected:
    PatchArrows() { make({"Bass/a.tvkp", "Bass/B.tvkp", "Bass/c.tvkp", "Bass/readme.txt"}); }
};

struct ArrowCase {
    const char* name;
    const char* current;
    int direction;
    const char* next;  // nullptr: the patch stays
    friend void PrintTo(const ArrowCase& row, std::ostream* out) { *out << row.name; }
};

class PatchArrowStep : public PatchArrows, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(PatchArrowStep, MovesThroughTheFolderAndStaysAtItsEnds) {
    const std::optional<std::string> next = neighbourPatch(at(GetParam().current), GetParam().direction);
    if (GetParam().next)
        EXPECT_EQ(next, at(GetParam().next));
    else
        EXPECT_EQ(next, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Cases, PatchArrowStep,
                         ::testing::Values(ArrowCase{"NextIgnoresLetterCase", "Bass/a.tvkp", 1, "Bass/B.tvkp"},
                                           ArrowCase{"Previous", "Bass/c.tvkp", -1, "Bass/B.tvkp"},
                                           ArrowCase{"StaysOnTheLast", "Bass/c.tvkp", 1, nullptr},
                                           ArrowCase{"StaysOnTheFirst", "Bass/a.tvkp", -1, nullptr},
                                           ArrowCase{"DeletedPatchGoesToTheFirst", "Bass/gone.tvkp", 1, "Bass/a.tvkp"},
                                           ArrowCase{"DeletedPatchGoesBackToTheLast", "Bass/gone.tvkp", -1,
                                                     "Bass/c.tvkp"},
                                           ArrowCase{"NoPatchesAround", "Nowhere/x.tvkp", 1, nullptr}),
                         rowName<ArrowCase>);

using ProgramChanges = test::PatchFolder;

TEST_F(ProgramChanges, ChooseAmongTheTopPatchesAndKeepToTheirRange) {
    make({"one.tvkp", "two.tvkp", "Bank/x.tvkp"});
    PatchBank bank(root());
    EXPECT_EQ(bank.program(0), at("one.tvkp"));
    EXPECT_EQ(bank.program(1), at("two.tvkp"));
    EXPECT_EQ(bank.program(-5), at("one.tvkp"));
    EXPECT_EQ(bank.program(127), at("two.tvkp"));
}

// The arrows, the program numbers and the menu all count "Patch 2" before
// "Patch 10".
TEST_F(ProgramChanges, ArrowsAndProgramNumbersFollowTheMenusNaturalOrder) {
    make({"Patch 10.tvkp", "Patch 2.tvkp", "Patch 1.tvkp", "Patch 100.tvkp"});
    PatchBank bank(root());
    EXPECT_EQ(bank.program(1), at("Patch 2.tvkp"));
    EXPECT_EQ(bank.program(2), at("Patch 10.tvkp"));
    EXPECT_EQ(neighbourPatch(at("Patch 2.tvkp"), 1), at("Patch 10.tvkp"));
    EXPECT_EQ(neighbourPatch(at("Patch 100.tvkp"), -1), at("Patch 10.tvkp"));
}

TEST_F(ProgramChanges, FollowTheBankSelectAndIgnoreAMissingBank) {
    make({"top.tvkp", "A/a1.tvkp", "Empty/", "B/b1.tvkp", "B/b2.tvkp"});
    PatchBank bank(root());
    bank.selectBank(1);  // sub-menus: A, B (an empty folder has none)
    EXPECT_EQ(bank.program(1), at("B/b2.tvkp"));
    bank.selectBank(7);
    EXPECT_EQ(bank.program(0), at("B/b1.tvkp"));
    bank.selectBank(-1);
    EXPECT_EQ(bank.program(0), at("B/b1.tvkp"));
}

TEST_F(ProgramChanges, PlayTheFirstBankWhenTheTopHoldsNoPatches) {
    make({"Acid/a.tvkp", "Acid/b.tvkp", "Soft/s.tvkp"});
    PatchBank bank(root());
    EXPECT_EQ(bank.program(1), at("Acid/b.tvkp"));
}

TEST_F(ProgramChanges, FindNothingInAnEmptyFolder) {
    PatchBank bank(root());
    EXPECT_EQ(bank.program(0), std::nullopt);
    bank.selectBank(0);
    EXPECT_EQ(bank.program(0), std::nullopt);
}

}  // namespace
}  // namespace tarvik::gui
