// The panel's behaviour driven without a window: gestures, MIDI learn and
// the menus' commands reach the instrument through its control face.
#include "gui/editor/panel_controller.h"

#include <gtest/gtest.h>

#include <string>

#include "gui/editor/panel_knob.h"
#include "gui/skin_tags.h"
#include "instrument/pattern_editing.h"
#include "patch/parameters.h"
#include "tests/gui/editor/panel_controller_fixture.h"
#include "tests/gui/file_dialog_fixtures.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using Edit = tarvik::test::RecordingHost::Edit;

class PanelControllerTest : public test::PanelControllerFixture {
protected:
    // The cutoff knob, as the skin places it, reporting to the controller.
    PanelKnob& addCutoffKnob() {
        PanelKnob& knob =
            frame.add(std::make_unique<PanelKnob>(Rect::sized(100, 100, 40, 40), &controller.listener(), tag::CutoffKnob));
        knob.setMode(KnobMode::Linear);
        knob.setValue(control().parameter(param::FilterCutoff));  // as the panel's refresh shows it
        return knob;
    }
    // The text of the message or question open on the frame; empty for none.
    std::string shownMessage() const {
        for (const auto& view : frame.children())
            if (const auto* q = dynamic_cast<const QuestionPanel*>(view.get()); q && q->isOpen()) return q->text();
        return {};
    }
    // Presses the knob and drags it up.
    void grab() {
        frame.mouseDown(test::mouseAt({120, 120}));
        frame.mouseMoved(test::mouseAt({120, 100}));
    }
};

// However a knob's drag ends, the host hears the end of the gesture once:
// a host left between BeginEdit and EndEdit keeps the parameter in its
// touch mode.
struct GestureEndCase {
    const char* name;
    void (*end)(Frame& frame);
    friend void PrintTo(const GestureEndCase& row, std::ostream* out) { *out << row.name; }
};

class KnobGestureEnd : public PanelControllerTest, public ::testing::WithParamInterface<GestureEndCase> {};

TEST_P(KnobGestureEnd, TellsTheHostTheEditEnded) {
    addCutoffKnob();
    grab();
    GetParam().end(frame);
    const std::vector<Edit>& edits = instrument.host.edits;
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front(), (Edit{Edit::Begin, param::FilterCutoff, 0.0f}));
    EXPECT_EQ(edits.back(), (Edit{Edit::End, param::FilterCutoff, 0.0f}));
    for (std::size_t i = 1; i + 1 < edits.size(); ++i) EXPECT_EQ(edits[i].kind, Edit::Automate) << i;
    EXPECT_GT(control().parameter(param::FilterCutoff), kParameterTable[param::FilterCutoff].defaultValue)
        << "the drag moved the cutoff up";
}

INSTANTIATE_TEST_SUITE_P(
    Ways, KnobGestureEnd,
    ::testing::Values(GestureEndCase{"Released", [](Frame& f) { f.mouseUp(test::mouseAt({120, 100})); }},
                      GestureEndCase{"EditorClosed", [](Frame& f) { f.close(); }},
                      GestureEndCase{"PointerTakenAway", [](Frame& f) { f.captureLost(); }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PanelControllerTest, WhileMidiLearnIsOnTheKnobTakenHoldOfBecomesTheTarget) {
    addCutoffKnob();
    control().setMidiLearn(true);
    grab();
    frame.mouseUp(test::mouseAt({120, 100}));
    EXPECT_EQ(control().learnParameter(), param::FilterCutoff);

    control().setMidiLearn(false);
    EXPECT_EQ(control().learnParameter(), -1) << "switching learn clears the target";
    grab();
    EXPECT_EQ(control().learnParameter(), -1) << "outside learn a knob sets no target";
}

// With a viewer the files open in it; without one the user is told where
// they are instead of nothing happening.
TEST_F(PanelControllerTest, ViewingTheConfigurationFilesWithoutAViewerTellsWhereTheyAre) {
    const struct {
        const char* name;
        bool viewerInstalled;
    } cases[] = {{"with xdg-open", true}, {"without", false}};
    for (const auto& c : cases) {
        test::TempFolder bin;
        if (c.viewerInstalled) test::writeFakeProgram(bin.path(), "xdg-open", "exit 0");
        const test::ScopedEnv path{"PATH", bin.path().string()};
        controller.optionChosen(OptionCommand::ViewConfiguration);
        const std::string expected =
            c.viewerInstalled ? ""
                              : "No program to show text files was found. The configuration files Config.ini, "
                                "MidiCC.ini and Gui.ini are in " + control().dataFolder();
        EXPECT_EQ(shownMessage(), expected) << c.name;
    }
}

// A skin is read as soon as it is chosen, so that one the editor would
// refuse is reported now rather than at the next open.
TEST_F(PanelControllerTest, AChosenSkinWhosePanelFitsNoScreenIsRefusedAtOnce) {
    const struct {
        const char* name;
        const char* background;
        bool taken;
    } cases[] = {{"fits", "1280, 800", true}, {"32767 pixels square", "32767, 32767", false}};
    preferences.skinShowDialog = 0;
    for (const auto& c : cases) {
        const std::string path = control().dataFolder() + c.name + ".skn";
        tarvik::test::writeWholeFile(path, std::string("BACKGROUND \"b.png\", 0, 0, ") + c.background + "\n");
        const test::ScopedEnv answer{FileDialogs::kScriptedAnswerVariable, path};
        controller.optionChosen(OptionCommand::SelectSkin);
        controller.idle(PanelController::Clock::now());
        EXPECT_EQ(preferences.skin, c.taken ? path : "") << c.name;
        EXPECT_EQ(shownMessage(), c.taken ? "" : "Error in skin definition (possible cause: TAGS are not defined). "
                                                 "Reverting to default skin.")
            << c.name;
    }
}

TEST_F(PanelControllerTest, PatternMenuOperationsChangeTheCurrentPattern) {
    control().setState(state::CurrentPattern, 9);
    Pattern notes = patterns().pattern(9);
    for (Step& s : notes.steps) s = {3, step::kGate};
    patterns().replace(9, notes);
    controller.patternChosen(PatternCommand::TransposeUp);
    EXPECT_EQ(patterns().pattern(9).steps[0].note, 4);
    EXPECT_EQ(patterns().pattern(8).steps[0].note, 0) << "other patterns keep their notes";
}

// The editor's own keys for the history work whether or not the computer
// keys program the sequencer; the pattern menu's entries do the same.
struct HistoryCommandCase {
    const char* name;
    bool undoes;  // else it redoes
    void (*give)(PanelController& controller);
    friend void PrintTo(const HistoryCommandCase& row, std::ostream* out) { *out << row.name; }
};

class HistoryCommand : public PanelControllerTest, public ::testing::WithParamInterface<HistoryCommandCase> {};

TEST_P(HistoryCommand, TakesBackOrBringsAgainTheLastChange) {
    preferences.useKeyboard = 0;
    control().setState(state::CurrentPattern, 2);
    const Pattern before = patterns().pattern(2);
    controller.patternChosen(PatternCommand::TransposeUp);
    const Pattern after = patterns().pattern(2);
    ASSERT_NE(after, before);
    if (!GetParam().undoes) {
        ASSERT_EQ(control().undo(), EditKind::Patterns);
    }
    GetParam().give(controller);
    EXPECT_EQ(patterns().pattern(2), GetParam().undoes ? before : after);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, HistoryCommand,
    ::testing::Values(
        HistoryCommandCase{"ControlZ", true,
                           [](PanelController& c) { EXPECT_TRUE(c.handleKey({'z', 0, modifier::kControl})); }},
        HistoryCommandCase{"PatternMenuUndo", true, [](PanelController& c) { c.patternChosen(PatternCommand::Undo); }},
        HistoryCommandCase{"ControlShiftZ", false,
                           [](PanelController& c) {
                               EXPECT_TRUE(c.handleKey({'z', 0, modifier::kControl | modifier::kShift}));
                           }},
        HistoryCommandCase{"ControlY", false,
                           [](PanelController& c) { EXPECT_TRUE(c.handleKey({'y', 0, modifier::kControl})); }},
        HistoryCommandCase{"PatternMenuRedo", false,
                           [](PanelController& c) { c.patternChosen(PatternCommand::Redo); }}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tarvik::gui
