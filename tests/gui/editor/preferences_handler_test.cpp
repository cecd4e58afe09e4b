// The Preferences panel on a real plug-in: each control's setting, the
// panel's refresh, Reset, Save Defaults and closing.
#include "gui/editor/preferences_handler.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "patch/parameters.h"
#include "instrument/configuration.h"
#include "instrument/data_folder.h"
#include "tests/gui/editor/panel_fixture.h"

namespace tarvik::gui {
namespace {

using P = PreferencesHandler;
using test::mouseAt;
using test::rowName;

class PreferencesTest : public test::DialogPanelFixture {
public:
    PreferencesTest() { handler.show(); }

    const DialogPanel& panel() const { return handler.panel(); }
    int state(int index) { return control().state(index); }
    void setState(int index, int value) { control().setState(index, value); }
    std::string configPath() { return dataPath(control().dataFolder(), "Config.ini"); }
    std::string guiPath() { return dataPath(control().dataFolder(), "Gui.ini"); }
    // What a spin box sets: the voices or the bend range in semitones.
    int setting(int id) {
        return id == P::kPolyphony ? control().configuration().maxPolyphony : state(state::BendRange);
    }

    GuiPreferences preferences;
    int guiRereads = 0;
    int changes = 0;
    PreferencesHandler handler{frame, pictures, control(), preferences,
                               P::Events{[this] { ++guiRereads; }, [this] { ++changes; }}};
};

TEST_F(PreferencesTest, IsLaidOverTheMiddleOfTheFrame) {
    EXPECT_TRUE(handler.isShown());
    EXPECT_TRUE(inFrame(handler.panel()));
    EXPECT_EQ(panel().rect(), Rect::sized((kFrameWidth - 600) / 2, (kFrameHeight - 250) / 2, 600, 250));
}

using test::PlaceCase;

class PreferencesPlaces : public PreferencesTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(PreferencesPlaces, PutsEachControlInItsPlace) {
    expectPlaced(panel(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Controls, PreferencesPlaces,
    ::testing::Values(PlaceCase{"OscModel", 1, "Aliasing free Oscillators", Rect::sized(50, 64, 200, 16)},
                      PlaceCase{"Diode18", 2, "18dB Diode-Ladder", Rect::sized(50, 96, 200, 16)},
                      PlaceCase{"Mc202", 3, "24dB MC-202", Rect::sized(50, 112, 200, 16)},
                      PlaceCase{"Mc202x2", 4, "24dB MC-202 2x", Rect::sized(50, 128, 200, 16)},
                      PlaceCase{"Sync", 5, "Sync to Host", Rect::sized(50, 160, 200, 16)},
                      PlaceCase{"ClearConfirm", 6, "Confirm pattern clear", Rect::sized(50, 176, 200, 16)},
                      PlaceCase{"Polyphony", 7, "", Rect::sized(450, 64, 67, 18)},
                      PlaceCase{"BendRange", 8, "", Rect::sized(450, 80, 67, 18)},
                      PlaceCase{"Reset", 9, "Reset", Rect::sized(360, 120, 160, 20)},
                      PlaceCase{"SaveDefaults", 10, "Save Defaults", Rect::sized(360, 150, 160, 20)},
                      PlaceCase{"CloseButton", 11, "", Rect::sized(560, -5, 20, 20)},
                      PlaceCase{"Done", 12, "Done", Rect::sized(360, 180, 160, 20)}),
    rowName<PlaceCase>);

// --- The spin boxes, dragged to their ends.

struct SpinCase {
    std::string name;
    int id;
    int rise;  // pixels up; 200 cover the whole range
    int expected;
    std::string text;
    friend void PrintTo(const SpinCase& row, std::ostream* out) { *out << row.name; }
};

class PreferencesSpin : public PreferencesTest, public ::testing::WithParamInterface<SpinCase> {};

TEST_P(PreferencesSpin, SetsItsValueAndShowsIt) {
    const SpinCase& c = GetParam();
    dragSpin(panel(), c.id, c.rise);
    EXPECT_EQ(setting(c.id), c.expected);
    EXPECT_EQ(panel().spinBox(c.id)->text(), c.text);
    const int steps = c.id == P::kPolyphony ? 31 : 47;
    EXPECT_FLOAT_EQ(panel().spinBox(c.id)->value(), static_cast<float>(c.expected - 1) / static_cast<float>(steps));
}

INSTANTIATE_TEST_SUITE_P(
    Ends, PreferencesSpin,
    ::testing::Values(SpinCase{"PitchBendRangeAtTheTop", P::kBendRange, 400, 48, "+/- 48 st"},
                      SpinCase{"PitchBendRangeAtTheBottom", P::kBendRange, -400, 1, "+/- 1 st"},
                      SpinCase{"PolyphonyAtTheTop", P::kPolyphony, 400, 32, "32"},
                      SpinCase{"PolyphonyAtTheBottom", P::kPolyphony, -400, 1, "1"}),
    rowName<SpinCase>);

// --- The arrows and the wheel: one voice or semitone at a time.

enum class SpinAction { UpArrow, DownArrow, WheelUp, WheelDown };

struct StepCase {
    std::string name;
    int id;
    int start;
    SpinAction action;
    int expected;
    friend void PrintTo(const StepCase& row, std::ostream* out) { *out << row.name; }
};

class PreferencesSpinStep : public PreferencesTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(PreferencesSpinStep, MovesOneUnit) {
    const StepCase& c = GetParam();
    if (c.id == P::kPolyphony)
        control().setMaxPolyphony(c.start);
    else
        setState(state::BendRange, c.start);
    handler.refresh();
    const Rect box = panel().spinBox(c.id)->rect();
    const Point upArrow{box.right - 4, box.top + 3};
    const Point downArrow{box.right - 4, box.bottom - 3};
    switch (c.action) {
        case SpinAction::UpArrow: click(upArrow); break;
        case SpinAction::DownArrow: click(downArrow); break;
        case SpinAction::WheelUp: frame.wheel(mouseAt(box.centre()), 1.0); break;
        case SpinAction::WheelDown: frame.wheel(mouseAt(box.centre()), -1.0); break;
    }
    EXPECT_EQ(setting(c.id), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ArrowsAndWheel, PreferencesSpinStep,
    ::testing::Values(StepCase{"PolyphonyUpArrow", P::kPolyphony, 8, SpinAction::UpArrow, 9},
                      StepCase{"PolyphonyDownArrow", P::kPolyphony, 8, SpinAction::DownArrow, 7},
                      StepCase{"PolyphonyWheelUp", P::kPolyphony, 8, SpinAction::WheelUp, 9},
                      StepCase{"PolyphonyWheelDown", P::kPolyphony, 8, SpinAction::WheelDown, 7},
                      StepCase{"PolyphonyUpArrowAtTheTop", P::kPolyphony, 32, SpinAction::UpArrow, 32},
                      StepCase{"PolyphonyDownArrowAtTheBottom", P::kPolyphony, 1, SpinAction::DownArrow, 1},
                      StepCase{"BendUpArrow", P::kBendRange, 12, SpinAction::UpArrow, 13},
                      StepCase{"BendWheelDown", P::kBendRange, 12, SpinAction::WheelDown, 11},
                      StepCase{"BendDownArrowAtTheBottom", P::kBendRange, 1, SpinAction::DownArrow, 1}),
    rowName<StepCase>);

TEST_F(PreferencesTest, ThePolyphonyIsTakenAtOnce) {
    dragSpin(panel(), P::kPolyphony, 400);
    EXPECT_EQ(control().configuration().maxPolyphony, 32);
}

TEST_F(PreferencesTest, ThePolyphonyMovesInWholeVoices) {
    // From the bottom, 200 / 31 pixels make one voice: 20 pixels are three.
    dragSpin(panel(), P::kPolyphony, -400);
    dragSpin(panel(), P::kPolyphony, 20);
    EXPECT_EQ(control().configuration().maxPolyphony, 4);
    EXPECT_EQ(panel().spinBox(P::kPolyphony)->text(), "4");
}

TEST_F(PreferencesTest, TheSpinBoxesShowTheSettingsWhenShown) {
    handler.close();
    setState(state::BendRange, 24);
    handler.show();
    EXPECT_EQ(panel().spinBox(P::kBendRange)->text(), "+/- 24 st");
    EXPECT_FLOAT_EQ(panel().spinBox(P::kBendRange)->value(), 23.0f / 47.0f);
    const int voices = control().configuration().maxPolyphony;
    EXPECT_EQ(panel().spinBox(P::kPolyphony)->text(), std::to_string(voices));
    EXPECT_FLOAT_EQ(panel().spinBox(P::kPolyphony)->value(), static_cast<float>(voices - 1) / 31.0f);
}

// --- The filter boxes: only the one of the current mode is ticked.

struct FilterCase {
    std::string name;
    int filterMode;
    bool diode18;
    bool mc202;
    bool mc202x2;
    friend void PrintTo(const FilterCase& row, std::ostream* out) { *out << row.name; }
};

class PreferencesFilterBoxes : public PreferencesTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(PreferencesFilterBoxes, ShowTheFilterMode) {
    const FilterCase& c = GetParam();
    handler.close();
    setState(state::FilterMode, c.filterMode);
    handler.show();
    EXPECT_EQ(panel().checkBox(P::kFilterDiode18)->checked(), c.diode18);
    EXPECT_EQ(panel().checkBox(P::kFilter202)->checked(), c.mc202);
    EXPECT_EQ(panel().checkBox(P::kFilter202x2)->checked(), c.mc202x2);
}

INSTANTIATE_TEST_SUITE_P(Modes, PreferencesFilterBoxes,
                         ::testing::Values(FilterCase{"Mode2", 2, true, false, false},
                                           FilterCase{"Mode3", 3, false, true, false},
                                           FilterCase{"Mode5", 5, false, false, true},
                                           FilterCase{"Mode0", 0, false, false, false},
                                           FilterCase{"Mode1", 1, false, false, false},
                                           FilterCase{"Mode4", 4, false, false, false},
                                           FilterCase{"Mode14", 14, false, false, false}),
                         rowName<FilterCase>);

struct FilterClickCase {
    std::string name;
    int startMode;
    int id;
    int expectedMode;
    friend void PrintTo(const FilterClickCase& row, std::ostream* out) { *out << row.name; }
};

class PreferencesFilterClick : public PreferencesTest, public ::testing::WithParamInterface<FilterClickCase> {};

TEST_P(PreferencesFilterClick, SetsTheModeAndTicksOnlyItsBox) {
    const FilterClickCase& c = GetParam();
    setState(state::FilterMode, c.startMode);
    handler.refresh();
    clickControl(panel(), c.id);
    EXPECT_EQ(state(state::FilterMode), c.expectedMode);
    for (const int id : {P::kFilterDiode18, P::kFilter202, P::kFilter202x2})
        EXPECT_EQ(panel().checkBox(id)->checked(), id == c.id) << "box " << id;
}

INSTANTIATE_TEST_SUITE_P(Boxes, PreferencesFilterClick,
                         ::testing::Values(FilterClickCase{"DiodeFromZero", 0, P::kFilterDiode18, 2},
                                           FilterClickCase{"Mc202FromTwo", 2, P::kFilter202, 3},
                                           FilterClickCase{"Mc202x2FromThree", 3, P::kFilter202x2, 5},
                                           // A click on the ticked box leaves it ticked.
                                           FilterClickCase{"TickedBoxAgain", 3, P::kFilter202, 3}),
                         rowName<FilterClickCase>);

// --- The on/off settings.

struct ToggleCase {
    std::string name;
    int id;
    std::function<bool(PreferencesTest&)> read;
    friend void PrintTo(const ToggleCase& row, std::ostream* out) { *out << row.name; }
};

class PreferencesToggle : public PreferencesTest, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(PreferencesToggle, AClickFlipsTheSettingAndAnotherFlipsItBack) {
    const ToggleCase& c = GetParam();
    const bool before = c.read(*this);
    EXPECT_EQ(panel().checkBox(c.id)->checked(), before);
    clickControl(panel(), c.id);
    EXPECT_EQ(c.read(*this), !before);
    EXPECT_EQ(panel().checkBox(c.id)->checked(), !before);
    clickControl(panel(), c.id);
    EXPECT_EQ(c.read(*this), before);
    EXPECT_EQ(panel().checkBox(c.id)->checked(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, PreferencesToggle,
    ::testing::Values(ToggleCase{"OscModel", P::kOscModel,
                                 [](PreferencesTest& fixture) {
                                     return fixture.control().configuration().oscModel != 0;
                                 }},
                      ToggleCase{"SyncMode", P::kSyncMode,
                                 [](PreferencesTest& fixture) { return fixture.state(state::SyncMode) != 0; }},
                      ToggleCase{"ClearConfirm", P::kClearConfirm,
                                 [](PreferencesTest& fixture) { return fixture.preferences.clearConfirm != 0; }}),
    rowName<ToggleCase>);

TEST_F(PreferencesTest, AChangeIsReportedToTheEditorOnce) {
    clickControl(panel(), P::kSyncMode);
    EXPECT_EQ(changes, 1);
}

// --- Reset and Save Defaults.

TEST_F(PreferencesTest, SaveDefaultsWritesTheNewPolyphony) {
    dragSpin(panel(), P::kPolyphony, 400);
    const int changesBefore = changes;
    clickControl(panel(), P::kSaveDefaults);
    Configuration written;
    written.maxPolyphony = 0;
    readConfiguration(written, configPath());
    EXPECT_EQ(written.maxPolyphony, 32);
    EXPECT_EQ(changes, changesBefore);
    EXPECT_TRUE(handler.isShown());
}

TEST_F(PreferencesTest, SaveDefaultsWritesTheBendRangeOfThePatch) {
    dragSpin(panel(), P::kBendRange, 400);
    clickControl(panel(), P::kSaveDefaults);
    Configuration written;
    readConfiguration(written, configPath());
    EXPECT_EQ(written.bendRange, 48);
}

TEST_F(PreferencesTest, ResetReadsBothFilesAgainAndShowsThem) {
    Configuration config = control().configuration();
    config.maxPolyphony = 9;
    config.bendRange = 24;
    config.filterMode = 2;
    config.oscModel = 0;
    ASSERT_TRUE(writeConfiguration(config, configPath()));
    GuiPreferences gui;
    gui.clearConfirm = 1;
    ASSERT_TRUE(writeGuiPreferences(gui, guiPath()));

    clickControl(panel(), P::kReset);

    EXPECT_EQ(control().configuration().maxPolyphony, 9);
    EXPECT_EQ(state(state::BendRange), 24);
    EXPECT_EQ(preferences.clearConfirm, 1);
    EXPECT_EQ(guiRereads, 1);
    EXPECT_EQ(panel().spinBox(P::kPolyphony)->text(), "9");
    EXPECT_EQ(panel().spinBox(P::kBendRange)->text(), "+/- 24 st");
    EXPECT_TRUE(panel().checkBox(P::kFilterDiode18)->checked());
    EXPECT_FALSE(panel().checkBox(P::kOscModel)->checked());
    EXPECT_TRUE(panel().checkBox(P::kClearConfirm)->checked());
}

TEST_F(PreferencesTest, ResetWithoutAGuiFileKeepsThePreferences) {
    preferences.clearConfirm = 1;
    handler.refresh();
    clickControl(panel(), P::kReset);
    EXPECT_EQ(preferences.clearConfirm, 1);
    EXPECT_TRUE(panel().checkBox(P::kClearConfirm)->checked());
}

// --- Closing.

struct CloseCase {
    std::string name;
    int id;
    bool staysShown;
    friend void PrintTo(const CloseCase& row, std::ostream* out) { *out << row.name; }
};

class PreferencesClose : public PreferencesTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(PreferencesClose, OnlyDoneAndTheCloseButtonTakeThePanelAway) {
    const CloseCase& c = GetParam();
    DialogPanel& shownPanel = handler.panel();
    clickControl(panel(), c.id);
    EXPECT_EQ(handler.isShown(), c.staysShown);
    EXPECT_EQ(inFrame(shownPanel), c.staysShown);
}

// The close button's row starts above the panel: its lower part is pressed.
INSTANTIATE_TEST_SUITE_P(Buttons, PreferencesClose,
                         ::testing::Values(CloseCase{"Done", P::kDone, false}, CloseCase{"CloseButton", P::kClose, false},
                                           CloseCase{"SaveDefaults", P::kSaveDefaults, true},
                                           CloseCase{"Reset", P::kReset, true}),
                         rowName<CloseCase>);

TEST_F(PreferencesTest, ShowingAgainAfterClosingPutsItBack) {
    clickControl(panel(), P::kDone);
    handler.show();
    EXPECT_TRUE(inFrame(handler.panel()));
}

}  // namespace
}  // namespace tarvik::gui
