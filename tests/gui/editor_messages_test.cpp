// What the editor tells the user while it opens, read where the user reads
// it: on the panel (through the panel's own views and through the pixels of
// the window), or, when no panel can be made at all, in the desktop's
// message box. A skin that cannot make the panel gives way to the default
// skin in the same open.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "gui/skin_definition.h"
#include "gui/skin_tags.h"
#include "tests/gui/editor_fixture.h"
#include "tests/gui/file_dialog_fixtures.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using test::EditorWindow;
using test::withBackgroundSize;
using test::withoutLine;

const std::string kBadSkin = "There is a problem with the skin definition. Reverting to Default Skin. \n";

// Every picture name as a skin written on Windows may spell it: backslashes,
// and letters in upper case where the files on disk have lower case.
std::string writtenOnWindows(const std::string& text) {
    std::string out;
    bool inName = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') inName = !inName;
        if (!inName) {
            out += c;
            continue;
        }
        out += c == '/' ? '\\' : static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return out;
}

const std::string kBadBackground =
    "Changed.skn: its BACKGROUND line is missing, or the panel it gives is not 1 to 4096 pixels a side.";

struct MessageCase {
    const char* name;
    friend void PrintTo(const MessageCase& c, std::ostream* out) { *out << c.name; }
    // What is changed so that the editor has something to tell: the text of
    // a copy of the default skin that Gui.ini then names, or the data folder.
    std::string (*changeSkin)(std::string text);
    void (*changeFolder)(const fs::path& data);
    std::string message;
    bool skinForgotten;  // Gui.ini names no skin any more
};

class MessageOnThePanel : public EditorWindow, public ::testing::WithParamInterface<MessageCase> {
protected:
    static constexpr int kBoxWidth = 380;
    static constexpr int kBoxHeight = 170;

    // How many pixels of the message box in the frame's middle differ
    // between two pictures of the window.
    int changedInTheBox(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) const {
        const gui::SkinRect frame = element(gui::tag::Background);
        const int centreX = static_cast<int>(frame.right) / 2;
        const int centreY = static_cast<int>(frame.bottom) / 2;
        int changed = 0;
        for (int y = centreY - kBoxHeight / 2; y < centreY + kBoxHeight / 2; ++y)
            for (int x = centreX - kBoxWidth / 2; x < centreX + kBoxWidth / 2; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * window_.width() + x;
                if (a[i] != b[i]) ++changed;
            }
        return changed;
    }
};

TEST_P(MessageOnThePanel, ShowsOverTheDefaultSkinUntilDismissed) {
    const MessageCase& c = GetParam();
    restore(TarvikPatch{});  // no info text: the info button would blink
    open();
    ASSERT_TRUE(window_.settle());
    const int width = window_.width();
    const int height = window_.height();
    const std::vector<std::uint32_t> plain = window_.capture();
    window_.close();

    if (c.changeSkin) useSkin(c.changeSkin);
    if (c.changeFolder) c.changeFolder(folder_.path());
    open();
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(window_.width(), width) << "the default skin's panel";
    EXPECT_EQ(window_.height(), height);
    EXPECT_EQ(window_.shownMessage(), c.message);
    const std::vector<std::uint32_t> told = window_.capture();
    ASSERT_EQ(told.size(), plain.size());
    EXPECT_GT(changedInTheBox(plain, told), kBoxWidth * kBoxHeight / 2) << "the message box lies over the panel";
    if (c.skinForgotten) {
        EXPECT_NE(test::readWholeFile(folder_.path() / "Gui.ini").find("Skin = \"\"\n"), std::string::npos)
            << "forgotten at once, before the editor closes";
    }

    window_.tapKey(XK_Return);
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(window_.shownMessage(), "");
    EXPECT_TRUE(window_.capture() == plain) << "once dismissed, the default skin's panel is all there is";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageOnThePanel,
    ::testing::Values(
        MessageCase{"BackgroundOf32767Pixels",
                    [](std::string text) { return withBackgroundSize(text, "32767, 32767"); }, nullptr,
                    kBadSkin + kBadBackground, true},
        MessageCase{"NegativeBackground", [](std::string text) { return withBackgroundSize(text, "-1280, 800"); },
                    nullptr, kBadSkin + kBadBackground, true},
        MessageCase{"WithoutABackgroundLine", [](std::string text) { return withoutLine(text, "BACKGROUND"); },
                    nullptr, kBadSkin + kBadBackground, true},
        // The name runs on to the next quote, over the BACKGROUND line.
        MessageCase{"NameQuoteNeverClosed",
                    [](std::string text) {
                        return std::regex_replace(text, std::regex("NAME \"([^\"]*)\""), "NAME \"$1");
                    },
                    nullptr, kBadSkin + kBadBackground, true},
        MessageCase{"WithoutARequiredElement", [](std::string text) { return withoutLine(text, "NOTELED35"); },
                    nullptr,
                    kBadSkin + "Changed.skn: an element the panel needs is missing, or its picture cannot be loaded.",
                    true},
        MessageCase{"ChosenSkinMissing", nullptr,
                    [](const fs::path& data) { test::writeWholeFile(data / "Gui.ini", "Skin = \"Missing.skn\"\n"); },
                    kBadSkin + "Missing.skn: the file cannot be read.", true},
        // Neither read nor written: the defaults serve, and the user hears of it.
        MessageCase{"GuiIniCannotBeWritten", nullptr,
                    [](const fs::path& data) {
                        fs::remove(data / "Gui.ini");
                        fs::create_directory(data / "Gui.ini");
                    },
                    "This plug-in needs to be reinstalled for this user account", false}),
    [](const auto& row) { return std::string(row.param.name); });

class EditorMessages : public EditorWindow {};

// A skin from Windows names its pictures with backslashes and in another
// letter case, and Gui.ini names the skin so too: the chosen skin opens (its
// own size shows it), and nothing is said.
TEST_F(EditorMessages, ASkinWrittenOnWindowsOpensAsTheChosenSkin) {
    useSkin([](std::string text) { return writtenOnWindows(withBackgroundSize(text, "800, 600")); });
    test::writeWholeFile(folder_.path() / "Gui.ini", "Skin = \"CHANGED.SKN\"\n");
    open();
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(window_.width(), 798);
    EXPECT_EQ(window_.height(), 599);
    EXPECT_EQ(window_.shownMessage(), "");
    window_.close();
    EXPECT_NE(test::readWholeFile(folder_.path() / "Gui.ini").find("Skin = \"CHANGED.SKN\"\n"), std::string::npos);
}

std::vector<std::string> linesOf(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Without the default skin no panel can be made: the open fails at once,
// and the message goes to the desktop's message box, which nobody waits for.
TEST_F(EditorMessages, WithoutTheDefaultSkinTheDesktopsMessageBoxTells) {
    const gui::test::TempFolder bin;
    gui::test::writeFakeProgram(bin.path(), "zenity", "exit 0");
    const gui::test::ScopedEnv path{"PATH", bin.path().string()};
    const gui::test::ScopedEnv desktop{"XDG_CURRENT_DESKTOP", std::nullopt};
    fs::remove(folder_.path() / "Tarvik.skn");

    std::string error;
    EXPECT_FALSE(window_.open(error));
    ASSERT_TRUE(gui::test::within5s([&] { return gui::test::notedPid(bin.path(), "zenity") > 0; }));
    EXPECT_EQ(linesOf(bin.path() / "zenity.args"),
              (std::vector<std::string>{"--error", "--no-markup", "--title=Tarvik Error",
                                        "--text=There is a problem locating some of the files needed to run Tarvik. "
                                        "Please reinstall Tarvik."}));
}

}  // namespace
}  // namespace tarvik
