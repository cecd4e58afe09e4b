// What the control face does beyond passing calls on: settings reach the
// sound, switches carry their side effects, a saved chunk leaves the live
// patch as it was.
#include "instrument/control_face.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "patch/parameters.h"
#include "patch/patch_chunk.h"
#include "patch/patch_file.h"
#include "tests/support/signal_analysis.h"
#include "tests/support/test_instrument.h"

namespace tarvik {
namespace {

// Two keys of a chord in poly play, rendered after the settings are made.
std::vector<float> chord(const std::function<void(ControlFace&)>& settings) {
    test::TestInstrument instrument;
    ControlFace& control = instrument.control();
    control.setState(state::MidiMode, 1);
    control.setState(state::NoteMode, 1);
    control.setParameter(param::NoiseLevel, 0.0f);
    settings(control);
    instrument.audio().clearEvents();
    instrument.audio().addEvent({0, 0x90, 40, 100});
    instrument.audio().addEvent({0, 0x90, 47, 100});
    return instrument.render(8192);
}

struct SettingCase {
    const char* name;
    void (*a)(ControlFace&);
    void (*b)(ControlFace&);
    friend void PrintTo(const SettingCase& row, std::ostream* out) { *out << row.name; }
};

class SettingsReachTheSound : public ::testing::TestWithParam<SettingCase> {};

TEST_P(SettingsReachTheSound, TwoValuesSoundDifferent) {
    EXPECT_NE(chord(GetParam().a), chord(GetParam().b));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsReachTheSound,
    ::testing::Values(SettingCase{"Polyphony", [](ControlFace& c) { c.setMaxPolyphony(1); },
                                  [](ControlFace& c) { c.setMaxPolyphony(2); }},
                      SettingCase{"OscillatorModel", [](ControlFace& c) { c.setOscModel(0); },
                                  [](ControlFace& c) { c.setOscModel(1); }},
                      SettingCase{"Parameter", [](ControlFace& c) { c.setParameter(param::FilterCutoff, 0.2f); },
                                  [](ControlFace& c) { c.setParameter(param::FilterCutoff, 0.8f); }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ControlFaceStates, RunStopStartsTheSequencerAndStopsIt) {
    test::TestInstrument instrument;
    ControlFace& control = instrument.control();
    control.setState(state::RunStop, 1);
    EXPECT_EQ(control.state(state::RunStop), 1);
    EXPECT_GT(test::peak(instrument.render(8192)), 0.01f) << "the cleared patterns are gated notes";
    control.setState(state::RunStop, 0);
    instrument.render(44100);
    EXPECT_LT(test::peak(instrument.render(1024)), 1e-3f) << "stopped, the voice died away";
}

TEST(ControlFaceStates, StatesOutsideTheRoomAreIgnored) {
    test::TestInstrument instrument;
    ControlFace& control = instrument.control();
    control.setState(kStateRoom, 5);
    control.setState(-1, 5);
    EXPECT_EQ(control.state(kStateRoom), 0);
    EXPECT_EQ(control.state(-1), 0);
}

// A host saving its project must not change what plays: the chunk carries
// the current patch's path, the live patch keeps its own.
TEST(ControlFaceChunks, SavingAChunkWritesNothingIntoTheLivePatch) {
    test::TestInstrument instrument;
    ControlFace& control = instrument.control();
    const std::string file = (instrument.folder.path() / "Deep.tvkp").string();
    ASSERT_TRUE(writePatchFile(TarvikPatch{}, file));
    ASSERT_TRUE(control.loadPatchFile(file));
    const PatchInfo before = control.patchInfo();

    std::vector<unsigned char> chunk(kChunkSize);
    control.saveChunk(chunk.data());
    const PatchInfo after = control.patchInfo();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    TarvikPatch saved;
    std::string path;
    ASSERT_TRUE(decodeChunk(saved, chunk.data(), chunk.size(), path));
    EXPECT_EQ(path, file);
}

}  // namespace
}  // namespace tarvik
