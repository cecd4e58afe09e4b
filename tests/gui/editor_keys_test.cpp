// The built binary's editor in a test host's window, on what passes between
// the two: the keys the editor has no use for stay the host's, one key press
// acts once however the host hands it over, the panel's tempo reaches the
// host as the Tempo parameter, and a value the host sets while MIDI learn is
// on shows in the value display.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "gui/skin_tags.h"
#include "gui/toolkit/events.h"
#include "patch/parameters.h"
#include "tests/gui/editor_fixture.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik {
namespace {

namespace tag = gui::tag;
using host::EditorWindowHost;

class EditorKeys : public test::EditorWindow {
protected:
    // A stopped sequencer in pattern mode on a 16-step pattern 0 of gated
    // notes, the editor opened with these preferences and the pointer over
    // the panel (where no socket is).
    void openWith(const std::string& preferences, std::uint8_t note = 0) {
        test::writeWholeFile(folder_.path() / "Gui.ini", preferences);
        TarvikPatch p;
        p.setState(state::MidiMode, 0);
        p.setState(state::CurrentPattern, 0);
        p.patterns[0].length = 16;
        for (Step& s : p.patterns[0].steps) s = {note, step::kGate};
        restore(p);
        open();
        const Point knob = centre(tag::CutoffKnob);
        window_.moveTo(knob.x, knob.y);
    }

    bool hostGot(unsigned long keysym) {
        const std::vector<EditorWindowHost::HostKey>& keys = window_.hostKeys();
        return std::any_of(keys.begin(), keys.end(), [&](const auto& k) { return k.keysym == keysym; });
    }

    int runStop() {
        render(512);  // the engine takes a run or stop up on the audio thread
        return patch().state(state::RunStop);
    }
};

// --- Keys the editor has no use for stay the host's.

struct HostKeyCase {
    const char* name;
    friend void PrintTo(const HostKeyCase& c, std::ostream* out) { *out << c.name; }
    int useKeyboard;
    unsigned long keysym;
    bool control;
    bool reachesHost;
    bool startsSequencer;
};

class KeysLeftToTheHost : public EditorKeys, public ::testing::WithParamInterface<HostKeyCase> {};

TEST_P(KeysLeftToTheHost, OnlyTheKeysTheEditorUsesStayWithIt) {
    const HostKeyCase& c = GetParam();
    openWith("UseKeyboard = " + std::to_string(c.useKeyboard) + "\n");
    window_.tapKey(c.keysym, c.control);
    EXPECT_EQ(hostGot(c.keysym), c.reachesHost);
    for (const EditorWindowHost::HostKey& k : window_.hostKeys())
        EXPECT_FALSE(k.sent) << "the server passed the key up: the editor never took it";
    EXPECT_EQ(runStop(), c.startsSequencer ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    EditorKeys, KeysLeftToTheHost,
    ::testing::Values(HostKeyCase{"SpaceWithTheKeyboardOff", 0, XK_space, false, true, false},
                      HostKeyCase{"KeyMapLetterWithTheKeyboardOff", 0, XK_q, false, true, false},
                      HostKeyCase{"FunctionKeyWithTheKeyboardOff", 0, XK_F5, false, true, false},
                      HostKeyCase{"ControlLWithTheKeyboardOff", 0, XK_l, true, false, false},
                      HostKeyCase{"SpaceWithTheKeyboardOn", 1, XK_space, false, false, true},
                      HostKeyCase{"KeyMapLetterWithTheKeyboardOn", 1, XK_q, false, false, false},
                      HostKeyCase{"OtherLetterWithTheKeyboardOn", 1, XK_z, false, true, false},
                      HostKeyCase{"FunctionKeyWithTheKeyboardOn", 1, XK_F5, false, true, false}),
    gui::test::rowName<HostKeyCase>);

// An open question takes every key: Return answers it, and keys go back to
// the host once it is gone.
TEST_F(EditorKeys, AQuestionTakesEveryKeyWhileItIsOpen) {
    openWith("UseKeyboard = 0\nClearConfirm = 1\n", 7);
    click(tag::PatternClearButton);
    ASSERT_TRUE(window_.settle());
    window_.tapKey(XK_Return);
    EXPECT_EQ(patch().patterns[0].steps[3].note, 0) << "Return said Yes";
    EXPECT_FALSE(hostGot(XK_Return));
    window_.tapKey(XK_Return);
    EXPECT_TRUE(hostGot(XK_Return)) << "the question is gone";
}

// --- One key press acts once, whichever way the host hands it over.

struct BothWaysCase {
    const char* name;
    friend void PrintTo(const BothWaysCase& c, std::ostream* out) { *out << c.name; }
    bool callFirst;
};

class KeyBothWays : public EditorKeys, public ::testing::WithParamInterface<BothWaysCase> {};

// Return moves the edit position on by one; W then writes note 2 there.
TEST_P(KeyBothWays, MovesTheStepByOne) {
    openWith("UseKeyboard = 1\n");
    window_.tapKeyBothWays(XK_Return, 0, gui::vkey::kReturn, GetParam().callFirst);
    window_.tapKey(XK_w);
    const Pattern& p = patch().patterns[0];
    EXPECT_EQ(p.steps[1].note, 2);
    EXPECT_EQ(p.steps[2].note, 0) << "the key moved the step twice";
    EXPECT_FALSE(hostGot(XK_Return));
}

INSTANTIATE_TEST_SUITE_P(EditorKeys, KeyBothWays,
                         ::testing::Values(BothWaysCase{"CallBeforeTheWindowsEvent", true},
                                           BothWaysCase{"CallAfterTheWindowsEvent", false}),
                         gui::test::rowName<BothWaysCase>);

// --- The tempo display: every change reaches the host as the Tempo
// parameter, within its range.

struct TempoCase {
    const char* name;
    friend void PrintTo(const TempoCase& c, std::ostream* out) { *out << c.name; }
    int dragUp;  // pixels (down when negative); 0: the wheel instead
    int wheelNotches;
    double bpm;
};

class TempoDisplay : public EditorKeys, public ::testing::WithParamInterface<TempoCase> {};

TEST_P(TempoDisplay, TellsTheHostTheTempo) {
    const TempoCase& c = GetParam();
    openWith("");
    setParameter(param::Tempo, tempoToParameter(120.0));
    ASSERT_TRUE(window_.settle());
    plugin_.clearRecords();
    const Point digits = centre(tag::TempoDigits);
    if (c.dragUp != 0) {
        window_.drag(digits.x, digits.y, digits.x, digits.y - c.dragUp, 20);
    } else {
        window_.moveTo(digits.x, digits.y);
        for (int n = 0; n < std::abs(c.wheelNotches); ++n) {
            window_.press(c.wheelNotches > 0 ? 4 : 5);
            window_.release(c.wheelNotches > 0 ? 4 : 5);
        }
    }
    const float value = tempoToParameter(c.bpm);
    EXPECT_FLOAT_EQ(parameter(param::Tempo), value);
    const std::vector<host::EditCall>& edits = plugin_.edits();
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front().kind, host::EditCall::Begin);
    EXPECT_EQ(edits.back().kind, host::EditCall::End);
    float automated = -1.0f;
    for (const host::EditCall& e : edits) {
        EXPECT_EQ(e.index, param::Tempo);
        if (e.kind != host::EditCall::Automate) continue;
        EXPECT_GE(e.value, 0.0f);
        EXPECT_LE(e.value, 1.0f);
        automated = e.value;
    }
    EXPECT_FLOAT_EQ(automated, value) << "the host heard the last tempo";
}

INSTANTIATE_TEST_SUITE_P(EditorKeys, TempoDisplay,
                         ::testing::Values(TempoCase{"DraggedUp", 20, 0, 130.0},
                                           TempoCase{"DraggedFarDownStopsAt25", -400, 0, 25.0},
                                           TempoCase{"DraggedFarUpStopsAt250", 600, 0, 250.0},
                                           TempoCase{"WheeledUp", 0, 1, 130.0},
                                           TempoCase{"WheeledDown", 0, -2, 100.0}),
                         gui::test::rowName<TempoCase>);

// --- MIDI learn: a value the host sets shows in the value display, under
// the knob of its parameter.

TEST_F(EditorKeys, AHostsChangeShowsWhileLearning) {
    openWith("FloatingDisplay = 1\n");
    click(tag::OptionMidiLearn);
    const Point knob = centre(tag::CutoffKnob);
    window_.moveTo(knob.x, knob.y);
    ASSERT_TRUE(window_.settle());
    const std::vector<std::uint32_t> before = window_.capture();
    setParameter(param::FilterCutoff, 0.9f);
    ASSERT_TRUE(window_.catchUp());
    const std::vector<std::uint32_t> after = window_.capture();
    ASSERT_EQ(before.size(), after.size());
    // Where the display sits: centred under the knob, just below it.
    const gui::SkinRect box = element(tag::DispBackground);
    const int width = static_cast<int>(box.right - box.left);
    const int height = static_cast<int>(box.bottom - box.top);
    const int left = knob.x - width / 2 - 2;
    const int top = static_cast<int>(element(tag::CutoffKnob).bottom) + 1;
    int changed = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * window_.width() + x;
            changed += before[i] != after[i] ? 1 : 0;
        }
    EXPECT_GT(changed, width * height / 4) << "the value display shows under the cutoff knob";
}

}  // namespace
}  // namespace tarvik
