// The menus, panels and file commands of the built binary's editor, used as
// a user does: buttons clicked, menus worked with the keys, answers to the
// file dialogs scripted through the dialogs' testing seam.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <stdlib.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gui/editor/file_dialogs.h"
#include "gui/skin_tags.h"
#include "patch/parameters.h"
#include "patch/pattern_ops.h"
#include "tests/gui/editor_fixture.h"

namespace tarvik {
namespace {

namespace tag = gui::tag;

class MenusAndPanels : public test::EditorWindow {
protected:
    void TearDown() override {
        unsetenv(gui::FileDialogs::kScriptedAnswerVariable);
        EditorWindow::TearDown();
    }

    // Opens a menu by its button and chooses, with the keys, the entry that
    // many entries below the first.
    void choose(int buttonTag, int entriesDown) {
        click(buttonTag);
        window_.tapKey(XK_Home);
        for (int n = 0; n < entriesDown; ++n) window_.tapKey(XK_Down);
        window_.tapKey(XK_Return);
        ASSERT_TRUE(window_.settle());
    }

    // The next file dialog answers with this path.
    static void answerFileDialogWith(const std::string& path) {
        setenv(gui::FileDialogs::kScriptedAnswerVariable, path.c_str(), 1);
    }

    std::string patchFile(const std::string& relative) const {
        return (folder_.path() / "Tarvik Patches" / relative).string();
    }
    std::string currentPatchPath() {
        void* data = nullptr;
        const auto size = plugin_.dispatch(vst::effGetChunk, 0, 0, &data);
        TarvikPatch p;
        std::string path;
        EXPECT_TRUE(decodeChunk(p, static_cast<const unsigned char*>(data), static_cast<std::size_t>(size), path));
        return path;
    }
};

TEST_F(MenusAndPanels, PatternMenuTransposesTheCurrentPatternUpAnOctave) {
    TarvikPatch p;
    p.setState(state::CurrentPattern, 3);
    p.patterns[3].length = 16;
    for (int s = 0; s < kMaxSteps; ++s) p.patterns[3].steps[s] = {static_cast<std::uint8_t>(s % 13), step::kGate};
    restore(p);
    open();
    choose(tag::PatternMenu, 1);  // Copy, then "Transpose +12 semitones": nothing to undo, redo or paste

    Pattern expected = p.patterns[3];
    transposePattern(expected, 12);
    const TarvikPatch saved = patch();
    EXPECT_EQ(std::memcmp(&saved.patterns[3], &expected, sizeof(Pattern)), 0);
    EXPECT_EQ(std::memcmp(&saved.patterns[2], &p.patterns[2], sizeof(Pattern)), 0) << "another pattern changed";
}

TEST_F(MenusAndPanels, FilterMenuSetsTheModeOfTheChosenEntry) {
    open();
    choose(tag::FilterDropdown, 9);  // "HP 2-Pole", past a separator
    EXPECT_EQ(patch().state(state::FilterMode), 9);
}

// Max Polyphony at its top is 32 voices, and Save Defaults writes it to
// Config.ini.
TEST_F(MenusAndPanels, PreferencesFromTheOptionMenuSaveTheVoiceCount) {
    open();
    click(tag::OptionMenu);
    window_.tapKey(XK_End);  // "Preferences...", the last entry
    window_.tapKey(XK_Return);
    ASSERT_TRUE(window_.settle());
    const gui::SkinRect frame = element(tag::Background);
    const int left = static_cast<int>(frame.right - frame.left - 600) / 2;
    const int top = static_cast<int>(frame.bottom - frame.top - 250) / 2;
    const int spinX = left + 450 + 67 / 2;
    const int spinY = top + 64 + 9;
    window_.drag(spinX, spinY, spinX, spinY - 260, 26);
    window_.click(left + 360 + 80, top + 150 + 10);  // Save Defaults
    ASSERT_TRUE(window_.settle());

    const std::string config = test::readWholeFile(folder_.path() / "Config.ini");
    EXPECT_NE(config.find("MaxPolyphony = 32"), std::string::npos) << config;
}

// The knobs glide to the loaded patch and its notes come up in the Patch
// Info panel, drawn in (40, 40, 40) over the middle of the panel.
TEST_F(MenusAndPanels, ControlOOpensThePatchTheDialogAnswers) {
    restore(TarvikPatch{});
    open();
    ASSERT_TRUE(window_.settle());
    const std::vector<std::uint32_t> before = window_.capture();
    const std::string chosen = patchFile("Acid/Acid Line 1.tvkp");
    answerFileDialogWith(chosen);
    window_.tapKey(XK_o, true);
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(currentPatchPath(), chosen);
    EXPECT_FLOAT_EQ(parameter(param::FilterCutoff), 0.22f);

    const std::vector<std::uint32_t> after = window_.capture();
    ASSERT_EQ(before.size(), after.size());
    const gui::SkinRect knob = element(tag::CutoffKnob);
    int changed = 0;
    for (int y = static_cast<int>(knob.top); y < static_cast<int>(knob.bottom); ++y)
        for (int x = static_cast<int>(knob.left); x < static_cast<int>(knob.right); ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * window_.width() + x;
            changed += before[i] != after[i] ? 1 : 0;
        }
    EXPECT_GT(changed, 50) << "the cutoff knob shows the patch's value";
    const std::uint32_t panel = after[static_cast<std::size_t>(window_.height() / 2 - 60) * window_.width() +
                                      window_.width() / 2];
    for (const int channel : {host::red(panel), host::green(panel), host::blue(panel)})
        EXPECT_NEAR(channel, 40, 12) << "the Patch Info panel shows; the pixel is " << std::hex << panel;
}

TEST_F(MenusAndPanels, ACancelledDialogChangesNothing) {
    open();
    const std::string before = currentPatchPath();
    const float cutoff = parameter(param::FilterCutoff);
    answerFileDialogWith(gui::FileDialogs::kScriptedCancel);
    window_.tapKey(XK_o, true);
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(currentPatchPath(), before);
    EXPECT_EQ(parameter(param::FilterCutoff), cutoff);
}

TEST_F(MenusAndPanels, SaveAsWritesThePatchAndNamesIt) {
    open();
    const std::string chosen = (folder_.path() / "My Bass.tvkp").string();
    answerFileDialogWith(chosen);
    window_.tapKey(XK_s, true, true);
    ASSERT_TRUE(window_.settle());
    EXPECT_TRUE(std::filesystem::is_regular_file(chosen));
    EXPECT_EQ(currentPatchPath(), chosen);
}

// The failure is told (and answered with Return); the patch keeps its file.
TEST_F(MenusAndPanels, AFailedSaveKeepsThePatchsFile) {
    open();
    const std::string loaded = patchFile("Acid/Acid Line 1.tvkp");
    answerFileDialogWith(loaded);
    window_.tapKey(XK_o, true);
    ASSERT_TRUE(window_.settle());
    const std::string nowhere = (folder_.path() / "no such folder" / "x.tvkp").string();
    answerFileDialogWith(nowhere);
    window_.tapKey(XK_s, true, true);
    ASSERT_TRUE(window_.settle());
    window_.tapKey(XK_Return);
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    EXPECT_EQ(currentPatchPath(), loaded);
}

TEST_F(MenusAndPanels, PatchMenuLoadsAFileOfItsFolderTree) {
    open();
    // Open, Save, Save As, Auto Run, then the first bank ("Acid"), opened
    // with Right; its first patch.
    click(tag::PatchButton);
    window_.tapKey(XK_Home);
    for (int n = 0; n < 4; ++n) window_.tapKey(XK_Down);
    window_.tapKey(XK_Right);
    window_.tapKey(XK_Home);
    window_.tapKey(XK_Return);
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(currentPatchPath(), patchFile("Acid/Acid Line 1.tvkp"));
}

TEST_F(MenusAndPanels, PatchArrowsStepThroughTheFolderAndStopAtItsEnds) {
    open();
    answerFileDialogWith(patchFile("Acid/Acid Line 1.tvkp"));
    window_.tapKey(XK_o, true);
    ASSERT_TRUE(window_.settle());
    click(tag::PrevPatchButton);
    EXPECT_EQ(currentPatchPath(), patchFile("Acid/Acid Line 1.tvkp")) << "the first patch stays";
    click(tag::NextPatchButton);
    EXPECT_EQ(currentPatchPath(), patchFile("Acid/Acid Line 2 Square.tvkp"));
}

// The option menu's "Select Skin" entry: a skin that reads becomes the one
// the next open uses, and the reopen question's No is remembered; one that
// cannot be read is refused with a warning and the default skin returns.
TEST_F(MenusAndPanels, AChosenSkinIsKeptForTheNextOpen) {
    const std::string mine = (folder_.path() / "Mine.skn").string();
    std::filesystem::copy_file(folder_.path() / "Tarvik.skn", mine);
    open();
    answerFileDialogWith(mine);
    choose(tag::OptionMenu, 8);  // "Select Skin [now ...]"
    ASSERT_TRUE(window_.settle());
    window_.tapKey(XK_Escape);  // No: do not ask again
    window_.close();
    const std::string preferences = test::readWholeFile(folder_.path() / "Gui.ini");
    EXPECT_NE(preferences.find("Skin = \"" + mine + "\""), std::string::npos) << preferences;
    EXPECT_NE(preferences.find("SkinShowDialog = 0"), std::string::npos) << preferences;
}

TEST_F(MenusAndPanels, ASkinThatCannotBeReadIsRefused) {
    std::filesystem::copy_file(folder_.path() / "Tarvik.skn", folder_.path() / "Mine.skn");
    test::writeWholeFile(folder_.path() / "Gui.ini", "Skin = \"Mine.skn\"\n");
    open();
    answerFileDialogWith((folder_.path() / "Missing.skn").string());
    choose(tag::OptionMenu, 8);
    ASSERT_TRUE(window_.settle());
    window_.tapKey(XK_Return);  // the warning's OK
    window_.close();
    const std::string preferences = test::readWholeFile(folder_.path() / "Gui.ini");
    EXPECT_NE(preferences.find("Skin = \"\""), std::string::npos) << preferences;
    EXPECT_NE(preferences.find("SkinShowDialog = 1"), std::string::npos) << preferences;
}

// The audio thread only notes a program change; the editor's next idle
// loads the patch. The factory folder keeps its patches in banks, so the
// first bank plays until a bank select picks another.
TEST_F(MenusAndPanels, ProgramChangesLoadAtTheNextIdle) {
    open();
    plugin_.sendEvents({{0, {0xC0, 2, 0}}});
    render(256);
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(currentPatchPath(), patchFile("Acid/Acid Triplets.tvkp"));

    plugin_.sendEvents({{0, {0xB0, 0, 1}}, {1, {0xC0, 0, 0}}});
    render(256);
    ASSERT_TRUE(window_.settle());
    const std::string path = currentPatchPath();
    EXPECT_NE(path.find("/Arps/"), std::string::npos) << path;
}

}  // namespace
}  // namespace tarvik
