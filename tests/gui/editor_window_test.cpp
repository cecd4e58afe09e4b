// The editor as a user meets it: the built plug-in binary opens its panel
// in a window of a test host on a virtual X server, the pointer and the keys
// come through XTest, and the window's pixels are read back. These cases
// are the window's own: its size, its skin, its lifetime, its lights.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "gui/skin_definition.h"
#include "gui/skin_tags.h"
#include "patch/parameters.h"
#include "patch/patch_chunk.h"
#include "tests/gui/editor_fixture.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using gui::SkinDefinition;
using host::EditCall;

using test::EditorWindow;
using test::withBackgroundSize;
using test::withoutLine;

TEST_F(EditorWindow, DraggingTheCutoffKnobUpMovesItsParameterAndTellsTheHost) {
    setParameter(param::FilterCutoff, 0.25f);
    open();
    plugin_.clearRecords();
    const gui::SkinRect knob = element(gui::tag::CutoffKnob);
    const int x = static_cast<int>((knob.left + knob.right) / 2);
    const int y = static_cast<int>((knob.top + knob.bottom) / 2);
    window_.drag(x, y, x, y - 100, 20);  // the panel's knobs are linear: 200 pixels span the range

    EXPECT_NEAR(parameter(param::FilterCutoff), 0.75f, 0.01f);
    const std::vector<EditCall>& edits = plugin_.edits();
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front().kind, EditCall::Begin);
    EXPECT_EQ(edits.front().index, param::FilterCutoff);
    EXPECT_EQ(edits.back().kind, EditCall::End);
    EXPECT_EQ(edits.back().index, param::FilterCutoff);
    for (std::size_t i = 1; i + 1 < edits.size(); ++i) {
        EXPECT_EQ(edits[i].kind, EditCall::Automate) << i;
        EXPECT_EQ(edits[i].index, param::FilterCutoff) << i;
        if (i > 1) {
            EXPECT_GE(edits[i].value, edits[i - 1].value) << "an upward drag only raises the value";
        }
    }
    EXPECT_NEAR(edits[edits.size() - 2].value, 0.75f, 0.01f);
}

// Closing the editor while the user still holds a knob must not leave the
// host between BeginEdit and EndEdit: it would keep the parameter in its
// touch mode.
TEST_F(EditorWindow, ClosingTheEditorDuringAKnobDragEndsTheHostsEdit) {
    open();
    plugin_.clearRecords();
    const gui::SkinRect knob = element(gui::tag::CutoffKnob);
    const int x = static_cast<int>((knob.left + knob.right) / 2);
    const int y = static_cast<int>((knob.top + knob.bottom) / 2);
    window_.moveTo(x, y);
    window_.press();
    window_.moveTo(x, y - 30);
    ASSERT_FALSE(plugin_.edits().empty());
    ASSERT_EQ(plugin_.edits().back().kind, EditCall::Automate) << "the drag is under way";
    window_.close();
    window_.release();
    const std::vector<EditCall>& edits = plugin_.edits();
    EXPECT_EQ(edits.front().kind, EditCall::Begin);
    EXPECT_EQ(edits.back().kind, EditCall::End);
    EXPECT_EQ(edits.back().index, param::FilterCutoff);
    EXPECT_EQ(std::count_if(edits.begin(), edits.end(), [](const EditCall& e) { return e.kind == EditCall::End; }), 1);
}

// A host may set parameters from its audio thread: nothing changes on
// screen until the editor's next idle, and then only the knob itself.
TEST_F(EditorWindow, AParameterSetFromAnotherThreadReachesOnlyItsKnobAtTheNextIdle) {
    restore(TarvikPatch{});  // no info text: the info button would blink
    open();
    ASSERT_TRUE(window_.settle());
    const std::vector<std::uint32_t> before = window_.capture();
    std::thread audio([&] { setParameter(param::FilterResonance, 0.9f); });
    audio.join();
    window_.idle();
    const std::vector<std::uint32_t> after = window_.capture();
    ASSERT_EQ(before.size(), after.size());

    const gui::SkinRect knob = element(gui::tag::ResonanceKnob);
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < window_.height(); ++y) {
        for (int x = 0; x < window_.width(); ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * window_.width() + x;
            if (before[i] == after[i]) continue;
            const bool inKnob = x >= knob.left && x < knob.right && y >= knob.top && y < knob.bottom;
            (inKnob ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 50) << "the resonance knob shows its new value";
    EXPECT_EQ(outside, 0) << "nothing else on the panel changed";
}

// The light goes out by itself: never sooner than 75 ms after the note
// (however busy the machine, the editor cannot be early).
TEST_F(EditorWindow, AMidiNoteLightsTheMidiLedForSeventyFiveMilliseconds) {
    open();
    const gui::SkinRect led = element(gui::tag::MidiLed);
    const int x = static_cast<int>((led.left + led.right) / 2);
    const int y = static_cast<int>((led.top + led.bottom) / 2);
    auto brightness = [&] {
        const std::uint32_t p = window_.capture()[static_cast<std::size_t>(y) * window_.width() + x];
        return host::red(p) + host::green(p) + host::blue(p);
    };
    ASSERT_TRUE(window_.settle());
    const int dark = brightness();

    std::vector<float> left(256), right(256);
    float* out[2] = {left.data(), right.data()};
    plugin_.sendEvents({{0, {0x90, 40, 100}}});
    plugin_.process(nullptr, out, 256);
    const auto lit = std::chrono::steady_clock::now();
    window_.idle();
    EXPECT_GT(brightness(), dark + 60) << "lit after a note";
    ASSERT_TRUE(window_.settle());
    EXPECT_GE(std::chrono::steady_clock::now() - lit, std::chrono::milliseconds(75));
    EXPECT_EQ(brightness(), dark) << "dark again once no MIDI arrives";
}

TEST_F(EditorWindow, ABackgroundOf800By600GivesAWindowOf798By599) {
    useSkin([](std::string text) { return withBackgroundSize(text, "800, 600"); });
    vst::ERect* rect = nullptr;
    ASSERT_EQ(plugin_.dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 798);
    EXPECT_EQ(rect->bottom - rect->top, 599);
    open();
    EXPECT_EQ(window_.width(), 798);
    EXPECT_EQ(window_.height(), 599);
}

// The default skin takes the refused skin's place in the same open, and at
// every later one: the chosen skin is forgotten.
TEST_F(EditorWindow, ASkinWithoutARequiredElementGivesWayToTheDefaultSkinInTheSameOpen) {
    useSkin([](std::string text) { return withBackgroundSize(withoutLine(text, "NOTELED35"), "800, 600"); });
    open();
    const gui::SkinRect background = element(gui::tag::Background);
    EXPECT_EQ(window_.width(), static_cast<int>(background.right) - 2);
    EXPECT_EQ(window_.height(), static_cast<int>(background.bottom) - 1);
    window_.close();
    EXPECT_EQ(test::readWholeFile(folder_.path() / "Gui.ini").find("Changed.skn"), std::string::npos);
    open();
    EXPECT_EQ(window_.width(), static_cast<int>(background.right) - 2);
}

// Utility knobs stop at the first the skin leaves out: VCKNOB4 is there but
// makes no control, so a drag over it changes nothing.
TEST_F(EditorWindow, ASkinWithoutTheThirdUtilityKnobGetsTwo) {
    useSkin([](std::string text) { return withoutLine(text, "VCKNOB3"); });
    open();
    const struct {
        int tag;
        int parameter;
        bool moves;
    } knobs[] = {{gui::tag::vcKnob(1), param::EnvFollowAttack, true},
                 {gui::tag::vcKnob(2), param::EnvFollowRelease, true},
                 {gui::tag::vcKnob(4), param::OutputBias, false}};
    for (const auto& k : knobs) {
        const gui::SkinRect r = element(k.tag);
        const float before = parameter(k.parameter);
        const int x = static_cast<int>((r.left + r.right) / 2);
        const int y = static_cast<int>((r.top + r.bottom) / 2);
        window_.drag(x, y, x, y - 40, 8);
        EXPECT_EQ(parameter(k.parameter) != before, k.moves) << "VCKNOB" << k.tag - gui::tag::VcKnob1 + 1;
    }
}

TEST_F(EditorWindow, PreferencesSurviveClosingAndReopening) {
    test::writeWholeFile(folder_.path() / "Gui.ini",
                        "UseKeyboard = 1\nCableTension = 1.5\nClearConfirm = 1\nKeymap.runstop = 'x'\n");
    for (int round = 0; round < 2; ++round) {
        open();
        window_.close();
        const std::string saved = test::readWholeFile(folder_.path() / "Gui.ini");
        EXPECT_NE(saved.find("UseKeyboard = 1\n"), std::string::npos) << saved;
        EXPECT_NE(saved.find("CableTension = 1.500000\n"), std::string::npos) << saved;
        EXPECT_NE(saved.find("ClearConfirm = 1\n"), std::string::npos) << saved;
        EXPECT_NE(saved.find("Keymap.runstop = 'x'\n"), std::string::npos) << saved;
    }
}

TEST_F(EditorWindow, AMissingGuiIniIsWrittenWithTheDefaultsAndThePanelOpens) {
    fs::remove(folder_.path() / "Gui.ini");
    open();
    window_.close();
    EXPECT_NE(test::readWholeFile(folder_.path() / "Gui.ini").find("DisplayCables = 1\n"), std::string::npos);
}

// The first open after installing shows the splash screen once; it fades by
// itself, after which the editor rests, and later opens go without it.
TEST_F(EditorWindow, TheFirstOpenShowsTheSplashScreenOnceThenThePanelRests) {
    test::writeWholeFile(folder_.path() / "Gui.ini", "ShowSplashSequence = 1\n");
    open();
    const gui::SkinRect splash = element(gui::tag::Splash);
    const int x = static_cast<int>((splash.left + splash.right) / 2);
    const int y = static_cast<int>((splash.top + splash.bottom) / 2);
    const std::uint32_t shown = window_.capture()[static_cast<std::size_t>(y) * window_.width() + x];
    ASSERT_TRUE(window_.settle());
    const std::uint32_t rested = window_.capture()[static_cast<std::size_t>(y) * window_.width() + x];
    EXPECT_NE(shown, rested) << "the splash screen lay over the panel and went";
    window_.close();
    EXPECT_NE(test::readWholeFile(folder_.path() / "Gui.ini").find("ShowSplashSequence = 0\n"), std::string::npos);
}

// Hosts close editors in every order; some destroy their window first. The
// host must survive all of it, and (under AddressSanitizer) nothing leaks.
TEST_F(EditorWindow, FiftyOpensAndClosesLeaveTheHostAlive) {
    for (int round = 0; round < 50; ++round) {
        open();
        if (round % 5 == 4) window_.moveTo(200, 200);
        if (round % 2 == 0)
            window_.destroyWindowThenClose();
        else
            window_.close();
    }
    open();
    ASSERT_TRUE(window_.settle());
    EXPECT_FALSE(window_.capture().empty());
}

}  // namespace
}  // namespace tarvik
