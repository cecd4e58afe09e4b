// The one writer of patterns: which edits PatternWriteProtect holds back,
// and that every edit reaches the live pattern the sequencer plays.
#include "instrument/pattern_editing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "patch/parameters.h"
#include "tests/support/file_text.h"
#include "tests/support/test_instrument.h"

namespace tarvik {
namespace {

constexpr int kCurrent = 6;

// The sequencer panel's step programming is refused on a write-protected
// pattern; how a pattern plays (length, step rate) and the whole-pattern
// operations of the menus, the panels and the files are not.
struct EditCase {
    const char* name;
    bool protectedByTheSwitch;
    void (*edit)(PatternEditing& patterns, const std::string& folder);
    friend void PrintTo(const EditCase& row, std::ostream* out) { *out << row.name; }
};

class PatternWriteProtection : public ::testing::TestWithParam<EditCase> {
protected:
    PatternWriteProtection() {
        control().setState(state::CurrentPattern, kCurrent);
        Pattern p = patterns().pattern(kCurrent);
        p.length = 8;
        for (int i = 0; i < kMaxSteps; ++i) p.steps[i] = {static_cast<std::uint8_t>(i % 5), step::kGate};
        patterns().replace(kCurrent, p);
    }
    ControlFace& control() { return instrument.control(); }
    PatternEditing& patterns() { return control().patterns(); }
    bool changedBy(const EditCase& c) {
        const Pattern before = patterns().pattern(kCurrent);
        c.edit(patterns(), instrument.folder.path().string());
        const Pattern after = patterns().pattern(kCurrent);
        return std::memcmp(&before, &after, sizeof before) != 0;
    }

    tarvik::test::TestInstrument instrument;
};

TEST_P(PatternWriteProtection, HoldsBackOnlyStepProgramming) {
    control().setState(state::PatternWriteProtect, 1);
    EXPECT_EQ(changedBy(GetParam()), !GetParam().protectedByTheSwitch) << "write-protected";
    control().setState(state::PatternWriteProtect, 0);
    EXPECT_TRUE(changedBy(GetParam())) << "writable";
}

INSTANTIATE_TEST_SUITE_P(
    Edits, PatternWriteProtection,
    ::testing::Values(
        EditCase{"NoteEntry", true, [](PatternEditing& p, const std::string&) { p.sequencerCommand(command::kFirstNote + 9); }},
        EditCase{"GateStep", true, [](PatternEditing& p, const std::string&) { p.sequencerCommand(command::kToggleGate); }},
        EditCase{"AccentStep", true, [](PatternEditing& p, const std::string&) { p.sequencerCommand(command::kToggleAccent); }},
        EditCase{"Clear", true,
                 [](PatternEditing& p, const std::string&) {
                     p.sequencerCommand(command::kToggleGate);  // a gate the clear puts back
                     p.sequencerCommand(command::kClearPattern);
                 }},
        EditCase{"Triplet", true, [](PatternEditing& p, const std::string&) { p.toggleTriplet(); }},
        EditCase{"LongerByCommand", false, [](PatternEditing& p, const std::string&) { p.sequencerCommand(command::kLonger); }},
        EditCase{"Length", false, [](PatternEditing& p, const std::string&) { p.setLength(p.current().length + 3); }},
        EditCase{"StepRate", false,
                 [](PatternEditing& p, const std::string&) { p.setTimeMode((p.current().timeMode + 1) % 4); }},
        EditCase{"MenuOperation", false,
                 [](PatternEditing& p, const std::string&) { p.apply([](Pattern& x) { transposePattern(x, 1); }); }},
        EditCase{"PanelReset", false,
                 [](PatternEditing& p, const std::string&) {
                     Pattern other = p.current();
                     other.steps[0].note = static_cast<std::uint8_t>(other.steps[0].note + 7);
                     p.replace(kCurrent, other);
                 }},
        EditCase{"PatternFile", false,
                 [](PatternEditing& p, const std::string& folder) {
                     const std::string path = folder + "/one.pat";
                     tarvik::test::writeWholeFile(path, p.current().steps[0].note == 11 ? "c-2 1 0 0\n" : "b-2 1 1 1\n");
                     EXPECT_TRUE(p.importPatternFile(path));
                 }},
        EditCase{"Song", false,
                 [](PatternEditing& p, const std::string&) {
                     SongImport song;
                     song.currentPattern = kCurrent;
                     SongPattern& from = song.patterns[kCurrent];
                     from.present = true;
                     from.length = static_cast<std::uint8_t>(p.current().length == 3 ? 4 : 3);
                     p.applySong(song);
                 }}),
    [](const auto& row) { return std::string(row.param.name); });

// The Run/Stop code starts and stops the sequencer through the engine's
// request, whatever the protection.
TEST(PatternEditingRunStop, TheRunStopCodeRunsAndStopsTheSequencer) {
    tarvik::test::TestInstrument instrument;
    ControlFace& control = instrument.control();
    control.setState(state::PatternWriteProtect, 1);
    control.patterns().sequencerCommand(command::kRunStop);
    EXPECT_EQ(control.state(state::RunStop), 1);
    control.patterns().sequencerCommand(command::kRunStop);
    EXPECT_EQ(control.state(state::RunStop), 0);
}

// A file that cannot be read leaves the pattern as it was.
TEST(PatternEditingImport, AFailedImportChangesNothing) {
    tarvik::test::TestInstrument instrument;
    PatternEditing& patterns = instrument.control().patterns();
    const Pattern before = patterns.current();
    EXPECT_FALSE(patterns.importPatternFile((instrument.folder.path() / "missing.pat").string()));
    const Pattern after = patterns.current();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

}  // namespace
}  // namespace tarvik
