#include "gui/gui_preferences.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik::gui {
namespace {

namespace fs = std::filesystem;

KeymapEntry& row(GuiPreferences& preferences, std::string_view name) {
    const auto found = std::find_if(preferences.keymap.begin(), preferences.keymap.end(),
                                    [&](const KeymapEntry& entry) { return entry.name == name; });
    if (found == preferences.keymap.end()) ADD_FAILURE() << "no key map row " << name;
    return found == preferences.keymap.end() ? preferences.keymap.front() : *found;
}

class GuiIniFile : public ::testing::Test {
protected:
    void write(const std::string& text) const { test::writeWholeFile(path_, text); }
    std::string contents() const { return test::readWholeFile(path_); }

    // The preferences a fresh open ends up with after reading text.
    GuiPreferences readText(const std::string& text) const {
        write(text);
        GuiPreferences preferences;
        EXPECT_TRUE(readGuiPreferences(preferences, path_));
        return preferences;
    }

    test::ScopedDataFolder folder_;
    std::string path_ = (folder_.path() / "Gui.ini").string();
};

// Every value away from its default, with a character, a virtual key and an
// unassigned row among the changed keys. ProgrammingMode stays at its
// default: the file never carries it.
GuiPreferences everythingChanged() {
    GuiPreferences p;
    p.skin = "C:/Skins/Dark Steel/dark.skn";
    p.skinShowDialog = 0;
    p.useKeyboard = 1;
    p.functionButton1 = 3;
    p.functionButton2 = -2;
    p.clearConfirm = 1;
    p.floatingDisplay = 0;
    p.stickToValue = 0;
    p.softShadows = 1;
    p.antiAliasing = 1;
    p.showPatchInfo = 0;
    p.cableTension = 1.5f;
    p.frameRateLimit = 30;
    p.showSplashSequence = 1;
    p.displayCables = 0;
    row(p, "Keymap.note1") = {"Keymap.note1", 555, kNoKey, vkey::kLeft};
    row(p, "Keymap.runstop") = {"Keymap.runstop", 14, 'x', kNoKey};
    row(p, "Keymap.clear") = {"Keymap.clear", 13, kNoKey, kNoKey};
    return p;
}

constexpr const char* kEverythingChangedText =
    "; Kelvane GUI configuration\n"
    "; Remember to Save and Reload Configuration when changing values manually.\n"
    "; Value of \"\" means default (built-in) skin\n"
    "Skin = \"C:/Skins/Dark Steel/dark.skn\"\n"
    "SkinShowDialog = 0\n"
    "ClearConfirm = 1\n"
    "StickToValue = 0\n"
    "UseKeyboard = 1\n"
    "FloatingDisplay = 0\n"
    "SoftShadows = 1\n"
    "AntiAliasing = 1\n"
    "DisplayCables = 0\n"
    "ShowPatchInfo = 0\n"
    "CableTension = 1.500000\n"
    "FrameRateLimit = 30\n"
    "ShowSplashSequence = 1\n"
    "; Valid keycodes are SPACE,RETURN,BACK,UP,DOWN,LEFT,RIGHT and TAB\n"
    "; Value of -1 means key is not assigned\n"
    "Keymap.note1 = LEFT\n"
    "Keymap.note2 = '2'\n"
    "Keymap.note3 = 'w'\n"
    "Keymap.note4 = '3'\n"
    "Keymap.note5 = 'e'\n"
    "Keymap.note6 = 'r'\n"
    "Keymap.note7 = '5'\n"
    "Keymap.note8 = 't'\n"
    "Keymap.note9 = '6'\n"
    "Keymap.note10 = 'y'\n"
    "Keymap.note11 = '7'\n"
    "Keymap.note12 = 'u'\n"
    "Keymap.note13 = 'i'\n"
    "Keymap.runstop = 'x'\n"
    "Keymap.down = 'a'\n"
    "Keymap.up = 's'\n"
    "Keymap.accent = 'd'\n"
    "Keymap.slide = 'f'\n"
    "Keymap.next = RETURN\n"
    "Keymap.back = BACK\n"
    "Keymap.timemode = 'p'\n"
    "Keymap.pitchmode = TAB\n"
    "Keymap.clear = -1\n"
    "Keymap.noteon = 'b'\n"
    "Keymap.notetie = 'n'\n"
    "Keymap.noteoff = 'm'\n"
    ";\n"
    "FunctionButton1 = 3\n"
    "FunctionButton2 = -2\n";

TEST(GuiPreferences, StartsWithTheValuesOfAFreshOpen) {
    const GuiPreferences p;
    EXPECT_EQ(p.skin, "");
    EXPECT_EQ(p.skinShowDialog, 1);
    EXPECT_EQ(p.useKeyboard, 0);
    EXPECT_EQ(p.programmingMode, 0);
    EXPECT_EQ(p.functionButton1, -1);
    EXPECT_EQ(p.functionButton2, -1);
    EXPECT_EQ(p.clearConfirm, 0);
    EXPECT_EQ(p.floatingDisplay, 1);
    EXPECT_EQ(p.stickToValue, 1);
    EXPECT_EQ(p.softShadows, 0);
    EXPECT_EQ(p.antiAliasing, 0);
    EXPECT_EQ(p.showPatchInfo, 1);
    EXPECT_EQ(p.cableTension, 1.0f);
    EXPECT_EQ(p.frameRateLimit, 0);
    EXPECT_EQ(p.showSplashSequence, 0);
    EXPECT_EQ(p.displayCables, 1);
}

TEST(GuiPreferences, TheKeyMapStartsWithItsDefaultRowsInFileOrder) {
    const KeymapEntry expected[] = {
        {"Keymap.note1", 555, 'q'},  {"Keymap.note2", 556, '2'},  {"Keymap.note3", 557, 'w'},
        {"Keymap.note4", 558, '3'},  {"Keymap.note5", 559, 'e'},  {"Keymap.note6", 560, 'r'},
        {"Keymap.note7", 561, '5'},  {"Keymap.note8", 562, 't'},  {"Keymap.note9", 563, '6'},
        {"Keymap.note10", 564, 'y'}, {"Keymap.note11", 565, '7'}, {"Keymap.note12", 566, 'u'},
        {"Keymap.note13", 567, 'i'}, {"Keymap.runstop", 14, kNoKey, 7}, {"Keymap.down", 18, 'a'},
        {"Keymap.up", 19, 's'},      {"Keymap.accent", 20, 'd'},  {"Keymap.slide", 21, 'f'},
        {"Keymap.next", 23, kNoKey, 4}, {"Keymap.back", 22, kNoKey, 1}, {"Keymap.timemode", 17, 'p'},
        {"Keymap.pitchmode", 15, kNoKey, 2}, {"Keymap.clear", 13, 'x'}, {"Keymap.noteon", 26, 'b'},
        {"Keymap.notetie", 28, 'n'}, {"Keymap.noteoff", 27, 'm'},
    };
    const GuiPreferences p;
    ASSERT_EQ(std::size(expected), p.keymap.size());
    for (std::size_t i = 0; i < p.keymap.size(); ++i) EXPECT_EQ(p.keymap[i], expected[i]) << expected[i].name;
}

TEST_F(GuiIniFile, WritesExactlyTheDocumentedLines) {
    GuiPreferences p = everythingChanged();
    p.programmingMode = 1;  // never written
    ASSERT_TRUE(writeGuiPreferences(p, path_));
    EXPECT_EQ(contents(), kEverythingChangedText);
}

TEST_F(GuiIniFile, WritingAndReadingBackKeepsEveryValue) {
    ASSERT_TRUE(writeGuiPreferences(everythingChanged(), path_));
    GuiPreferences read;
    ASSERT_TRUE(readGuiPreferences(read, path_));
    EXPECT_EQ(read, everythingChanged());
}

TEST_F(GuiIniFile, KeysInAnyOrderAndLetterCaseReadLikeTheWrittenForm) {
    std::vector<std::string> lines;
    std::istringstream written(kEverythingChangedText);
    for (std::string line; std::getline(written, line);) {
        const std::size_t equals = line.find(" = ");
        if (equals != std::string::npos)
            std::transform(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(equals), line.begin(),
                           [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
        lines.push_back(line);
    }
    std::reverse(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    EXPECT_EQ(readText(text), everythingChanged()) << text;
}

TEST_F(GuiIniFile, ReadsEachNumber) {
    struct Case {
        const char* text;
        int GuiPreferences::*field;
        int expected;
    };
    const Case cases[] = {
        // Switches keep the lowest bit.
        {"UseKeyboard = 3", &GuiPreferences::useKeyboard, 1},
        {"UseKeyboard = 2", &GuiPreferences::useKeyboard, 0},
        {"DisplayCables = 0", &GuiPreferences::displayCables, 0},
        {"DisplayCables = -1", &GuiPreferences::displayCables, 1},
        {"ProgrammingMode = 1", &GuiPreferences::programmingMode, 1},
        {"FloatingDisplay = 4", &GuiPreferences::floatingDisplay, 0},
        {"StickToValue = 0", &GuiPreferences::stickToValue, 0},
        {"SoftShadows = 1", &GuiPreferences::softShadows, 1},
        {"AntiAliasing = 1", &GuiPreferences::antiAliasing, 1},
        // Numbers as they are.
        {"FunctionButton1 = -2", &GuiPreferences::functionButton1, -2},
        {"FunctionButton2 = 5", &GuiPreferences::functionButton2, 5},
        {"ClearConfirm = 1", &GuiPreferences::clearConfirm, 1},
        {"ShowPatchInfo = 0", &GuiPreferences::showPatchInfo, 0},
        {"FrameRateLimit = 60", &GuiPreferences::frameRateLimit, 60},
        {"ShowSplashSequence = 1", &GuiPreferences::showSplashSequence, 1},
        {"FrameRateLimit = 99999999999", &GuiPreferences::frameRateLimit, INT_MAX},
        {"FrameRateLimit = -99999999999", &GuiPreferences::frameRateLimit, INT_MIN},
        // SkinShowDialog takes the word's leading decimal number, 0 without one.
        {"SkinShowDialog = 7x", &GuiPreferences::skinShowDialog, 7},
        {"SkinShowDialog = 010", &GuiPreferences::skinShowDialog, 10},
        {"SkinShowDialog = x", &GuiPreferences::skinShowDialog, 0},
        {"SkinShowDialog = -3", &GuiPreferences::skinShowDialog, -3},
        // Malformed numbers keep the default.
        {"ShowPatchInfo = abc", &GuiPreferences::showPatchInfo, 1},
        {"ShowPatchInfo = -", &GuiPreferences::showPatchInfo, 1},
        {"ShowPatchInfo =", &GuiPreferences::showPatchInfo, 1},
        // How keys are found.
        {"useKeyboard = 1", &GuiPreferences::useKeyboard, 1},
        {"USEKEYBOARD\t=\t1", &GuiPreferences::useKeyboard, 1},
        {"UseKeyboard 1", &GuiPreferences::useKeyboard, 1},
        {"UseKeyboard\n=\n1", &GuiPreferences::useKeyboard, 1},
        {"UseKeyboard=1", &GuiPreferences::useKeyboard, 0},
        {"; UseKeyboard = 1", &GuiPreferences::useKeyboard, 0},
        {"UseKeyboardX = 1", &GuiPreferences::useKeyboard, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(readText(c.text).*c.field, c.expected) << c.text;
}

TEST_F(GuiIniFile, LimitsCableTensionToItsRange) {
    const std::pair<const char*, float> cases[] = {
        {"3.5", 2.0f}, {"-1", 0.0f},    {"1.5", 1.5f}, {"0.25", 0.25f}, {".5", 0.5f}, {"2", 2.0f},
        {"1e9", 2.0f}, {"1e999", 2.0f}, {"abc", 1.0f}, {"nan", 1.0f},   {"+0.5e1", 2.0f},
        {"1,5", 1.0f},  // a decimal comma ends the number
    };
    for (const auto& [word, expected] : cases)
        EXPECT_EQ(readText(std::string("CableTension = ") + word).cableTension, expected) << word;
}

TEST_F(GuiIniFile, ReadsKeyMapRows) {
    struct Case {
        const char* text;
        const char* row;
        int character;
        int virtualKey;
    };
    const Case cases[] = {
        {"Keymap.runstop = 'x'", "Keymap.runstop", 'x', kNoKey},
        {"Keymap.clear = -1", "Keymap.clear", kNoKey, kNoKey},
        {"Keymap.note1 = SPACE", "Keymap.note1", kNoKey, vkey::kSpace},
        {"Keymap.note1 = RETURN", "Keymap.note1", kNoKey, vkey::kReturn},
        {"Keymap.note1 = BACK", "Keymap.note1", kNoKey, vkey::kBack},
        {"Keymap.note1 = UP", "Keymap.note1", kNoKey, vkey::kUp},
        {"Keymap.note1 = DOWN", "Keymap.note1", kNoKey, vkey::kDown},
        {"Keymap.note1 = LEFT", "Keymap.note1", kNoKey, vkey::kLeft},
        {"Keymap.note1 = RIGHT", "Keymap.note1", kNoKey, vkey::kRight},
        {"Keymap.note1 = TAB", "Keymap.note1", kNoKey, vkey::kTab},
        {"keymap.NOTE1 = tab", "Keymap.note1", kNoKey, vkey::kTab},
        {"Keymap.note1 = 'z'trailing", "Keymap.note1", 'z', kNoKey},
        {"Keymap.note1 = '\xE9'", "Keymap.note1", 0xE9, kNoKey},
        {"Keymap.note1 = ''", "Keymap.note1", 'q', kNoKey},
        {"Keymap.note1 = F1", "Keymap.note1", 'q', kNoKey},
        {"Keymap.note1 = -2", "Keymap.note1", 'q', kNoKey},
        {"Keymap.runstop = x", "Keymap.runstop", kNoKey, vkey::kSpace},
    };
    for (const Case& c : cases) {
        GuiPreferences p = readText(c.text);
        const KeymapEntry& entry = row(p, c.row);
        EXPECT_EQ(entry.character, c.character) << c.text;
        EXPECT_EQ(entry.virtualKey, c.virtualKey) << c.text;
    }
}

TEST_F(GuiIniFile, ReadsTheSkinPathBetweenQuotes) {
    const std::string longest(kMaxSkinPathLength, 's');
    const std::pair<std::string, std::string> cases[] = {
        {"Skin = \"C:/My Skins/a b.skn\"", "C:/My Skins/a b.skn"},
        {"Skin = \"\"", ""},
        {"skin = \"x.skn\"", "x.skn"},
        {"Skin = \"" + longest + "\"", longest},
        {"Skin = \"" + longest + "cut\"", longest},
        {"Skin = \"no end\nUseKeyboard = 1", "no end\nUseKeyboard = 1"},
        {"Skin = C:/unquoted.skn", "previous"},
    };
    for (const auto& [text, expected] : cases) {
        write(text);
        GuiPreferences p;
        p.skin = "previous";
        EXPECT_TRUE(readGuiPreferences(p, path_));
        EXPECT_EQ(p.skin, expected) << text.substr(0, 60);
    }
}

TEST_F(GuiIniFile, NeitherUnknownKeysNorCommentsHideTheNextKey) {
    const GuiPreferences p = readText(
        "; Kelvane GUI configuration\n"
        "Unknown = 5\n"
        "UseKeyboard = 1 ; ClearConfirm = 1\n"
        "Another = \n"
        "SoftShadows = 1\n"
        "; FloatingDisplay = 0");
    EXPECT_EQ(p.useKeyboard, 1);
    EXPECT_EQ(p.softShadows, 1);
    EXPECT_EQ(p.clearConfirm, 0);
    EXPECT_EQ(p.floatingDisplay, 1);
}

TEST_F(GuiIniFile, AFileThatCannotBeReadChangesNothing) {
    fs::create_directories(folder_.path() / "Folder.ini");
    for (const fs::path& path : {folder_.path() / "Missing.ini", folder_.path() / "Folder.ini"}) {
        GuiPreferences p = everythingChanged();
        EXPECT_FALSE(readGuiPreferences(p, path.string())) << path;
        EXPECT_EQ(p, everythingChanged()) << path;
    }
}

TEST_F(GuiIniFile, WritesBackWhatWasRead) {
    const GuiPreferences p = readText("CableTension = 3.5\nKeymap.clear = -1\nKeymap.runstop = 'x'\n");
    ASSERT_TRUE(writeGuiPreferences(p, path_));
    const std::string text = contents();
    for (const char* line : {"\nCableTension = 2.000000\n", "\nKeymap.clear = -1\n", "\nKeymap.runstop = 'x'\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

TEST(GuiPreferences, WritesCableTensionWithinItsRange) {
    const std::pair<float, const char*> cases[] = {
        {3.5f, "2.000000"}, {-1.0f, "0.000000"}, {0.3333333f, "0.333333"}, {std::nanf(""), "1.000000"}};
    for (const auto& [tension, written] : cases) {
        GuiPreferences p;
        p.cableTension = tension;
        const std::optional<std::string> text = formatGuiPreferences(p);
        ASSERT_TRUE(text);
        EXPECT_NE(text->find(std::string("\nCableTension = ") + written + "\n"), std::string::npos) << tension;
    }
}

TEST(GuiPreferences, WritesOnlyCharactersThatReadBack) {
    const std::pair<KeymapEntry, const char*> cases[] = {
        {{"Keymap.note1", 555, '\xE9' & 0xFF, kNoKey}, "Keymap.note1 = '\xE9'\n"},
        {{"Keymap.note1", 555, ' ', kNoKey}, "Keymap.note1 = -1\n"},
        {{"Keymap.note1", 555, 300, kNoKey}, "Keymap.note1 = -1\n"},
        {{"Keymap.note1", 555, kNoKey, 99}, "Keymap.note1 = -1\n"},
    };
    for (const auto& [entry, line] : cases) {
        GuiPreferences p;
        p.keymap[0] = entry;
        const std::optional<std::string> text = formatGuiPreferences(p);
        ASSERT_TRUE(text);
        EXPECT_NE(text->find(line), std::string::npos) << line;
    }
}

TEST_F(GuiIniFile, RefusesASkinPathThatWouldNotReadBackAndKeepsTheOldFile) {
    write("the user's old file\n");
    GuiPreferences quoted, tooLong;
    quoted.skin = "C:/\"odd\".skn";
    tooLong.skin = std::string(kMaxSkinPathLength + 1, 's');
    for (const GuiPreferences* p : {&quoted, &tooLong}) {
        EXPECT_FALSE(writeGuiPreferences(*p, path_));
        EXPECT_EQ(contents(), "the user's old file\n");
    }
}

TEST_F(GuiIniFile, AFailedWriteKeepsTheOldFile) {
    fs::create_directories(folder_.path() / "Gui.ini.d" / "inside");
    EXPECT_FALSE(writeGuiPreferences(everythingChanged(), (folder_.path() / "Gui.ini.d").string()));
    EXPECT_TRUE(fs::is_directory(folder_.path() / "Gui.ini.d" / "inside"));
}

}  // namespace
}  // namespace tarvik::gui
