#include "gui/editor/editor_menus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "patch/pattern_ops.h"
#include "tests/gui/editor/patch_folder_fixture.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::rowName;

// The texts of a menu's lines, separators as "-".
std::vector<std::string> texts(const MenuModel& menu) {
    std::vector<std::string> shown;
    for (const MenuItem& line : menu.lines()) shown.push_back(line.separator ? "-" : line.text);
    return shown;
}

std::string entryText(const OptionEntries& entries, OptionCommand command) {
    const MenuItem* item = entries.model().entry(entries.index(command));
    return item ? item->text : "(no entry)";
}

TEST(OptionMenuEntries, EveryCommandHasItsOwnEntryAndIsFoundByIt) {
    const OptionEntries entries;
    std::set<int> seen;
    for (int c = 0; c < kOptionCommands; ++c) {
        const auto command = static_cast<OptionCommand>(c);
        const int index = entries.index(command);
        ASSERT_GE(index, 0) << "command " << c;
        EXPECT_TRUE(seen.insert(index).second) << "index " << index << " given twice";
        EXPECT_EQ(entries.command(index), command);
    }
    EXPECT_EQ(entries.command(-1), std::nullopt);
    EXPECT_EQ(entries.command(entries.model().size()), std::nullopt);
}

TEST(OptionMenuEntries, AreCreatedWithTheirFirstTextsAndSeparators) {
    const OptionEntries entries;
    EXPECT_EQ(texts(entries.model()),
              (std::vector<std::string>{"Activate MIDI learn", "-", "Show Patch Cables", "-", "Enable Aux input",
                                        "Switch to 24dB filter", "MG/Delay BPM sync: On", "-", "Load MidiCC map",
                                        "Save MidiCC map", "View Configuration files", "-",
                                        "Select Skin [now Default]", "Set Default Skin", "-", "Show Patch Info",
                                        "Preferences..."}));
}

struct RefreshCase {
    const char* name;
    OptionStatus status;
    OptionCommand command;
    const char* text;
    friend void PrintTo(const RefreshCase& row, std::ostream* out) { *out << row.name; }
};

class OptionMenuRefresh : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(OptionMenuRefresh, ShowsTheSetting) {
    OptionEntries entries;
    entries.refresh(GetParam().status);
    EXPECT_EQ(entryText(entries, GetParam().command), GetParam().text);
}

OptionStatus with(std::function<void(OptionStatus&)> change) {
    OptionStatus status;
    change(status);
    return status;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionMenuRefresh,
    ::testing::Values(
        RefreshCase{"LearnOff", {}, OptionCommand::MidiLearn, "Activate Midi learn"},
        RefreshCase{"LearnOn", with([](OptionStatus& s) { s.midiLearn = true; }), OptionCommand::MidiLearn,
                    "Deactivate Midi learn"},
        RefreshCase{"CablesHidden", {}, OptionCommand::Cables, "Show Patch Cables"},
        RefreshCase{"CablesShown", with([](OptionStatus& s) { s.cablesShown = true; }), OptionCommand::Cables,
                    "Hide Patch Cables"},
        RefreshCase{"AuxOff", {}, OptionCommand::AuxInput, "Enable Aux Input"},
        RefreshCase{"AuxOn", with([](OptionStatus& s) { s.auxInput = true; }), OptionCommand::AuxInput,
                    "Disable Aux input"},
        RefreshCase{"Filter303", {}, OptionCommand::FilterStep, "Filter: TB-303 24dB"},
        RefreshCase{"FilterOversampled", with([](OptionStatus& s) { s.filterMode = 5; }), OptionCommand::FilterStep,
                    "Filter: 24dBSO/octave 2x oversampled"},
        RefreshCase{"FilterOnlyInTheFilterMenu", with([](OptionStatus& s) { s.filterMode = 9; }),
                    OptionCommand::FilterStep, "Filter: HP 2-Pole"},
        RefreshCase{"DelaySyncOff", {}, OptionCommand::DelaySync, "MG/Delay BPM sync: Off"},
        RefreshCase{"DelaySyncOn", with([](OptionStatus& s) { s.delaySync = true; }), OptionCommand::DelaySync,
                    "MG/Delay BPM sync: On"},
        RefreshCase{"SkinNamed", with([](OptionStatus& s) { s.skinName = "Night"; }), OptionCommand::SelectSkin,
                    "Select Skin [now Night]"},
        RefreshCase{"NoSkinLoaded", {}, OptionCommand::SelectSkin, "Select Skin [now Default]"}),
    rowName<RefreshCase>);

struct FilterStepCase {
    const char* name;
    int from;
    int to;
    friend void PrintTo(const FilterStepCase& row, std::ostream* out) { *out << row.name; }
};

class FilterStep : public ::testing::TestWithParam<FilterStepCase> {};

TEST_P(FilterStep, GoesToTheNextModelOfTheButton) { EXPECT_EQ(nextFilterMode(GetParam().from), GetParam().to); }

INSTANTIATE_TEST_SUITE_P(Cases, FilterStep,
                         ::testing::Values(FilterStepCase{"Ladder24Stays", 0, 0}, FilterStepCase{"Ladder18Stays", 1, 1},
                                           FilterStepCase{"EulerStays", 4, 4}, FilterStepCase{"From18", 2, 3},
                                           FilterStepCase{"From24", 3, 5}, FilterStepCase{"FromOversampled", 5, 2},
                                           FilterStepCase{"MenuOnlyModeToLadder", 6, 0},
                                           FilterStepCase{"LastMenuModeToLadder", 14, 0},
                                           FilterStepCase{"DamagedToLadder", -3, 0}),
                         rowName<FilterStepCase>);

TEST(FilterMenu, ListsFifteenModelsWithSeparatorsAfterTheSeventhAndThirteenth) {
    const MenuModel menu = filterMenu();
    ASSERT_EQ(menu.size(), kFilterMenuModes);
    EXPECT_EQ(texts(menu), (std::vector<std::string>{"303 LP 24dB", "303 LP 18dB", "202 LP 18dB", "LP 24dB", "BP 24dB",
                                                     "HP 24dB", "BS 24dB", "-", "HP->LP 4-Pole", "BP->LP 4-Pole",
                                                     "HP 2-Pole", "LP 4-Pole", "BP 4-Pole", "HP 4-Pole", "-",
                                                     "HP->LP 4-Pole", "LP->HP 4-Pole"}));
    // Entry n stands for mode n: separators are not counted.
    EXPECT_EQ(menu.entry(13)->text, "HP->LP 4-Pole");
    EXPECT_EQ(menu.entry(14)->text, "LP->HP 4-Pole");
}

TEST(PatternMenu, ListsUndoRedoThenTheOperationsWithTwoSpacesBeforeTheSingleSemitones) {
    const MenuModel menu = patternMenu({});
    EXPECT_EQ(texts(menu),
              (std::vector<std::string>{
                  "Undo", "Redo", "-", "Copy Pattern", "Paste Pattern", "-", "Transpose +12 semitones",
                  "Transpose -12 semitones", "Transpose  +1 semitone", "Transpose  -1 semitone", "-", "Expand pattern",
                  "Shrink pattern", "Duplicate steps", "-", "Shift left", "Shift right", "-", "All notes off",
                  "All accents off", "All slides off", "-", "Randomize all", "Randomize pitches", "Alter pattern",
                  "Advanced Random...", "-", "Import pattern", "Export pattern", "Import Rebirth 338 Patterns"}));
    EXPECT_EQ(patternCommand(0), PatternCommand::Undo);
    EXPECT_EQ(patternCommand(4), PatternCommand::TransposeUpOctave);
    EXPECT_EQ(patternCommand(menu.size() - 1), PatternCommand::ImportRebirth);
    EXPECT_EQ(patternCommand(menu.size()), std::nullopt);
    EXPECT_EQ(patternCommand(-1), std::nullopt);
}

// An entry that would do nothing is disabled: Undo and Redo with nothing to
// take back or bring again, Paste before anything was copied (it would wipe
// the pattern). Every other entry can always be chosen.
struct MenuStatusCase {
    const char* name;
    PatternMenuStatus status;
    std::vector<PatternCommand> disabled;
    friend void PrintTo(const MenuStatusCase& row, std::ostream* out) { *out << row.name; }
};

class PatternMenuEntries : public ::testing::TestWithParam<MenuStatusCase> {};

TEST_P(PatternMenuEntries, AreEnabledWhenTheyCanDoSomething) {
    const MenuModel menu = patternMenu(GetParam().status);
    const std::vector<PatternCommand>& disabled = GetParam().disabled;
    for (int index = 0; index < menu.size(); ++index) {
        const PatternCommand command = *patternCommand(index);
        const bool expected = std::find(disabled.begin(), disabled.end(), command) == disabled.end();
        EXPECT_EQ(menu.entry(index)->enabled, expected) << menu.entry(index)->text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternMenuEntries,
    ::testing::Values(
        MenuStatusCase{"NothingDoneNothingCopied", {false, false, false},
                       {PatternCommand::Undo, PatternCommand::Redo, PatternCommand::Paste}},
        MenuStatusCase{"SomethingToUndo", {true, false, false}, {PatternCommand::Redo, PatternCommand::Paste}},
        MenuStatusCase{"SomethingToRedo", {false, true, false}, {PatternCommand::Undo, PatternCommand::Paste}},
        MenuStatusCase{"APatternCopied", {false, false, true}, {PatternCommand::Undo, PatternCommand::Redo}},
        MenuStatusCase{"Everything", {true, true, true}, {}}),
    rowName<MenuStatusCase>);

// A pattern whose every operation leaves a mark.
Pattern sample() {
    Pattern p{};
    p.length = 8;
    for (int i = 0; i < kMaxSteps; ++i)
        p.steps[i] = {static_cast<std::uint8_t>(i % 13),
                      static_cast<std::uint8_t>(step::kGate | (i % 3 == 0 ? step::kAccent : 0) |
                                                (i % 4 == 1 ? step::kSlide : 0))};
    return p;
}

struct OperationCase {
    const char* name;
    PatternCommand command;
    std::function<void(Pattern&)> same;
    friend void PrintTo(const OperationCase& row, std::ostream* out) { *out << row.name; }
};

class PatternMenuOperation : public ::testing::TestWithParam<OperationCase> {};

// The randomisers draw from the process-wide generator: both runs start
// from the same seed.
TEST_P(PatternMenuOperation, DoesWhatThePatternOperationDoes) {
    Pattern expected = sample();
    seedPatternRandom(7);
    GetParam().same(expected);
    Pattern chosen = sample();
    seedPatternRandom(7);
    ASSERT_TRUE(runPatternOperation(GetParam().command, chosen));
    const Pattern before = sample();
    EXPECT_EQ(std::memcmp(&chosen, &expected, sizeof(Pattern)), 0);
    EXPECT_NE(std::memcmp(&chosen, &before, sizeof(Pattern)), 0) << "the operation left no mark";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternMenuOperation,
    ::testing::Values(
        OperationCase{"OctaveUp", PatternCommand::TransposeUpOctave, [](Pattern& p) { transposePattern(p, 12); }},
        OperationCase{"OctaveDown", PatternCommand::TransposeDownOctave, [](Pattern& p) { transposePattern(p, -12); }},
        OperationCase{"SemitoneUp", PatternCommand::TransposeUp, [](Pattern& p) { transposePattern(p, 1); }},
        OperationCase{"SemitoneDown", PatternCommand::TransposeDown, [](Pattern& p) { transposePattern(p, -1); }},
        OperationCase{"Expand", PatternCommand::Expand, expandPattern},
        OperationCase{"Shrink", PatternCommand::Shrink, shrinkPattern},
        OperationCase{"Duplicate", PatternCommand::Duplicate, duplicateSteps},
        OperationCase{"ShiftLeftIsOneStepEarlier", PatternCommand::ShiftLeft, [](Pattern& p) { shiftPattern(p, -1); }},
        OperationCase{"ShiftRightIsOneStepLater", PatternCommand::ShiftRight, [](Pattern& p) { shiftPattern(p, 1); }},
        OperationCase{"NotesOff", PatternCommand::AllNotesOff, allNotesOff},
        OperationCase{"AccentsOff", PatternCommand::AllAccentsOff, allAccentsOff},
        OperationCase{"SlidesOff", PatternCommand::AllSlidesOff, allSlidesOff},
        OperationCase{"RandomizeAll", PatternCommand::RandomizeAll, randomizePattern},
        OperationCase{"RandomizePitches", PatternCommand::RandomizePitches, randomizePitches},
        OperationCase{"Alter", PatternCommand::Alter, alterPattern}),
    rowName<OperationCase>);

TEST(PatternMenuOperation, PasteBringsBackWhatCopyTook) {
    Pattern source = sample();
    ASSERT_TRUE(runPatternOperation(PatternCommand::Copy, source));
    Pattern target{};
    ASSERT_TRUE(runPatternOperation(PatternCommand::Paste, target));
    EXPECT_EQ(target.length, source.length);
    EXPECT_EQ(std::memcmp(target.steps, source.steps, sizeof(source.steps)), 0);
}

TEST(PatternMenuOperation, LeavesTheHistoryPanelsAndFilesToTheEditor) {
    for (PatternCommand command : {PatternCommand::Undo, PatternCommand::Redo, PatternCommand::AdvancedRandom,
                                   PatternCommand::ImportPattern, PatternCommand::ExportPattern,
                                   PatternCommand::ImportRebirth}) {
        Pattern pattern = sample();
        const Pattern before = pattern;
        EXPECT_FALSE(runPatternOperation(command, pattern));
        EXPECT_EQ(std::memcmp(&pattern, &before, sizeof(Pattern)), 0);
    }
}

using PatchMenu = test::PatchFolder;

TEST_F(PatchMenu, AnEmptyFolderStillGivesTheFixedEntries) {
    const PatchMenuEntries menu = patchMenu(root(), "", true);
    EXPECT_EQ(texts(menu.model), (std::vector<std::string>{"Open Patch", "-", "Save Patch", "Save Patch As", "-",
                                                           "Auto Run/Stop: On", "-"}));
    EXPECT_EQ(menu.model.entry(menu.open)->text, "Open Patch");
    EXPECT_EQ(menu.model.entry(menu.save)->text, "Save Patch");
    EXPECT_EQ(menu.model.entry(menu.saveAs)->text, "Save Patch As");
    EXPECT_EQ(menu.model.entry(menu.autoRun)->text, "Auto Run/Stop: On");
}

TEST_F(PatchMenu, AMissingFolderStillGivesTheFixedEntries) {
    const PatchMenuEntries menu = patchMenu(at("nowhere"), "", false);
    EXPECT_EQ(menu.model.size(), 4);
    EXPECT_EQ(menu.model.entry(menu.autoRun)->text, "Auto Run/Stop: Off");
}

TEST_F(PatchMenu, ListsTheFolderTreeAfterTheFixedEntries) {
    make({"Bass/Acid.tvkp", "Lead.tvkp", "notes.txt"});
    const PatchMenuEntries menu = patchMenu(root(), at("Lead.tvkp"), true);
    EXPECT_EQ(menu.model.entry(menu.open)->text, "Open Patch (now Lead)");
    ASSERT_EQ(menu.model.size(), 6);
    const MenuItem* bank = menu.model.entry(4);
    ASSERT_TRUE(bank->submenu);
    EXPECT_EQ(bank->text, "Bass");
    EXPECT_EQ(bank->submenu->entry(0)->identifier, at("Bass/Acid.tvkp"));
    EXPECT_EQ(menu.model.entry(5)->text, "Lead");
}

struct NameCase {
    const char* name;
    const char* path;  // below the test's patch folder unless it starts with '/'
    std::optional<std::string> shown;
    friend void PrintTo(const NameCase& row, std::ostream* out) { *out << row.name; }
};

class PatchNameInFolder : public test::PatchFolder, public ::testing::WithParamInterface<NameCase> {};

TEST_P(PatchNameInFolder, IsThePathBelowTheFolderWithoutTheExtension) {
    const std::string path = GetParam().path[0] == '/' ? GetParam().path : at(GetParam().path);
    EXPECT_EQ(patchNameInFolder(path, root()), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, PatchNameInFolder,
                         ::testing::Values(NameCase{"TopLevel", "Acid.tvkp", "Acid"},
                                           NameCase{"InABank", "Bass/Acid.tvkp", "Bass/Acid"},
                                           NameCase{"ExtensionInCapitals", "Acid.TVKP", "Acid"},
                                           NameCase{"OutsideTheFolder", "/tmp/Acid.tvkp", std::nullopt},
                                           NameCase{"ClimbsOutOfTheFolder", "../Acid.tvkp", std::nullopt},
                                           NameCase{"NotAPatchFile", "Acid.txt", std::nullopt}),
                         rowName<NameCase>);

TEST(PatchDisplayName, IsTheFileNameWithoutTheExtension) {
    EXPECT_EQ(patchDisplayName("/data/Tarvik Patches/Bass/Acid Line 1.tvkp"), "Acid Line 1");
    EXPECT_EQ(patchDisplayName("C:\\Patches\\Acid.tvkp"), "Acid");
    EXPECT_EQ(patchDisplayName(""), "");
}

}  // namespace
}  // namespace tarvik::gui
