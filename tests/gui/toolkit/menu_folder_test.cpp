#include "gui/toolkit/menu_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tests/gui/toolkit/toolkit_fixtures.h"
#include "tests/support/file_text.h"

namespace tarvik::gui {
namespace {

namespace fs = std::filesystem;
using test::rowName;

// A fresh folder for each test, removed afterwards.
class FolderTree : public ::testing::Test {
protected:
    FolderTree() : root_(fs::temp_directory_path() / uniqueName()) {
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    ~FolderTree() override { fs::remove_all(root_); }

    // "a/b.tvkp" makes a file (and its folders), "a/" a folder, and
    // "a/link->target" a link to target (relative to the link's folder).
    void make(const std::string& what) {
        if (const auto arrow = what.find("->"); arrow != std::string::npos) {
            const fs::path link = root_ / what.substr(0, arrow);
            fs::create_directories(link.parent_path());
            fs::create_directory_symlink(what.substr(arrow + 2), link);
        } else if (what.back() == '/') {
            fs::create_directories(root_ / what);
        } else {
            fs::create_directories((root_ / what).parent_path());
            tarvik::test::writeWholeFile(root_ / what, "patch");
        }
    }

    std::string rootText() const { return root_.string(); }

    fs::path root_;

private:
    // The test's name (rows of a table hold a '/') and the process.
    static std::string uniqueName() {
        std::string name = "tarvik-menu-folder-" + std::to_string(getpid()) + "-" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/') c = '_';
        return name;
    }
};

// The menu as text: entries by name, a sub-menu's entries in braces.
std::string shown(const MenuModel& menu) {
    std::string text;
    for (const MenuItem& line : menu.lines()) {
        if (!text.empty()) text += ' ';
        text += line.separator ? std::string("-") : line.text;
        if (line.submenu) text += "{" + shown(*line.submenu) + "}";
    }
    return text;
}

struct TreeCase {
    std::string name;
    std::vector<std::string> made;
    std::string shown;
    friend void PrintTo(const TreeCase& c, std::ostream* out) { *out << c.name; }
};

class FolderListing : public FolderTree, public ::testing::WithParamInterface<TreeCase> {};

TEST_P(FolderListing, ListsPatchFilesAsNestedMenus) {
    for (const std::string& what : GetParam().made) make(what);
    MenuModel menu;
    EXPECT_TRUE(addFolderTree(menu, rootText(), ".tvkp"));
    EXPECT_EQ(shown(menu), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Trees, FolderListing,
    ::testing::Values(
        TreeCase{"EmptyFolder", {}, ""},
        TreeCase{"FilesSortedRegardlessOfCase", {"b.tvkp", "A.tvkp", "c.TVKP", "a2.tvkp"}, "A a2 b c"},
        TreeCase{"NumbersByTheirValue", {"P10.tvkp", "P2.tvkp", "P100.tvkp", "p1.tvkp", "P02b.tvkp"}, "p1 P2 P02b P10 P100"},
        TreeCase{"NumberedFoldersByTheirValue", {"Bank 10/a.tvkp", "Bank 9/b.tvkp"}, "Bank 9{b} Bank 10{a}"},
        TreeCase{"OtherExtensionsIgnored",
                 {"keep.tvkp", "notes.txt", "tvkp", "old.tvkp.bak", "twice.tvkp.tvkp", ".tvkp"},
                 "keep twice.tvkp"},
        TreeCase{"FoldersBeforeFiles", {"aaa.tvkp", "Bank/one.tvkp"}, "Bank{one} aaa"},
        TreeCase{"NestedFolders",
                 {"alpha/inner/deep.tvkp", "alpha/y.tvkp", "Zeta/x.tvkp", "beta/b.tvkp"},
                 "alpha{inner{deep} y} beta{b} Zeta{x}"},
        TreeCase{"FoldersWithNothingToListLeftOut",
                 {"Empty/", "OnlyOther/readme.txt", "Deeper/Empty/", "kept.tvkp"},
                 "kept"},
        TreeCase{"HiddenNamesLeftOut", {".hidden.tvkp", ".git/x.tvkp", "shown.tvkp"}, "shown"},
        TreeCase{"LinkBackUpNotListedAgain", {"Bank/a.tvkp", "Bank/up->.."}, "Bank{a}"},
        TreeCase{"LinkToAnotherFolderListed", {"Bank/a.tvkp", "Alias->Bank"}, "Alias{a} Bank{a}"},
        TreeCase{"DanglingLinkIgnored", {"gone.tvkp->missing", "real.tvkp"}, "real"}),
    rowName<TreeCase>);

TEST_F(FolderTree, FileEntriesCarryTheirPathsAndKeepTheirWholeName) {
    make("Bank/one.tvkp");
    make("Ünïcode name.tvkp");
    MenuModel menu;
    menu.add("Open Patch");
    menu.addSeparator();
    ASSERT_TRUE(addFolderTree(menu, rootText(), ".tvkp"));

    const MenuItem* bank = menu.entry(1);
    ASSERT_NE(bank, nullptr);
    EXPECT_EQ(bank->text, "Bank");
    EXPECT_EQ(bank->identifier, "") << "a sub-menu is no file";
    const MenuItem* one = menu.entryAt({1, 0});
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(fs::path(one->identifier), root_ / "Bank" / "one.tvkp");
    const MenuItem* named = menu.entry(2);
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->text, "Ünïcode name");
    EXPECT_EQ(fs::path(named->identifier), root_ / "Ünïcode name.tvkp");
    EXPECT_TRUE(fs::exists(fs::path(named->identifier)));
}

struct UnreadableCase {
    std::string name;
    std::string relative;  // below the test's folder
    friend void PrintTo(const UnreadableCase& c, std::ostream* out) { *out << c.name; }
};

class UnreadableFolder : public FolderTree, public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableFolder, AddsNothingAndSaysSo) {
    make("file.tvkp");
    make("loop->loop");
    MenuModel menu;
    menu.add("Open Patch");
    EXPECT_FALSE(addFolderTree(menu, (root_ / GetParam().relative).string(), ".tvkp"));
    EXPECT_EQ(shown(menu), "Open Patch");
}

INSTANTIATE_TEST_SUITE_P(Folders, UnreadableFolder,
                         ::testing::Values(UnreadableCase{"Missing", "nowhere"},
                                           UnreadableCase{"AFileNotAFolder", "file.tvkp"},
                                           UnreadableCase{"ALinkToItself", "loop"}),
                         rowName<UnreadableCase>);

TEST_F(FolderTree, EmptyPathCannotBeRead) {
    MenuModel menu;
    EXPECT_FALSE(addFolderTree(menu, "", ".tvkp"));
    EXPECT_TRUE(menu.empty());
}

}  // namespace
}  // namespace tarvik::gui
