// Patches coming and going: host chunks, patch files, start-up and exit.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "patch/patch_chunk.h"
#include "patch/patch_file.h"
#include "tests/support/in_process_plugin.h"
#include "tests/support/signal_analysis.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using namespace vst;

class PatchLifecycle : public ::testing::Test {
protected:
    Tarvik& plugin() { return host.plugin(); }
    ControlFace& control() { return plugin().control(); }
    void render(int frames = 256) {
        std::vector<float> left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames));
        float* out[2] = {left.data(), right.data()};
        host.process(nullptr, out, frames);
    }
    std::vector<unsigned char> chunk() {
        void* data = nullptr;
        const auto size = host.dispatch(effGetChunk, 0, 0, &data);
        const auto* bytes = static_cast<const unsigned char*>(data);
        return {bytes, bytes + size};
    }
    // A patch file that differs from the fresh patch in easily seen ways.
    fs::path writeBass(const std::string& name, int runStop) {
        TarvikPatch bass;
        bass.setParameter(param::FilterCutoff, 0.25f);
        bass.setParameter(param::Tempo, tempoToParameter(140.0));
        bass.setState(state::RunStop, runStop);
        for (Step& s : bass.patterns[0].steps) s = {0, step::kGate};
        const fs::path path = folder.path() / (name + ".tvkp");
        EXPECT_TRUE(writePatchFile(bass, path.string()));
        return path;
    }

    test::ScopedDataFolder folder;
    test::InProcessPlugin host;
};

TEST_F(PatchLifecycle, AChunkRestoresThePatchAndItsName) {
    ASSERT_TRUE(control().loadPatchFile(writeBass("Acid Line", 0).string()));
    plugin().setParameter(param::DelayAmount, 0.4f);
    control().setState(state::NoteMode, 1);
    const std::vector<unsigned char> saved = chunk();
    ASSERT_EQ(saved.size(), kChunkSize);

    test::InProcessPlugin other;
    EXPECT_EQ(other.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(saved.size()), const_cast<unsigned char*>(saved.data())),
              static_cast<VstIntPtr>(saved.size()));
    const ControlFace& restored = other.plugin().control();
    EXPECT_EQ(restored.parameter(param::DelayAmount), 0.4f);
    EXPECT_EQ(restored.parameter(param::FilterCutoff), 0.25f);
    EXPECT_EQ(restored.state(state::NoteMode), 1);
    EXPECT_EQ(other.text(effGetProgramName), "Acid Line");
}

TEST_F(PatchLifecycle, AChunkHoldingNoPatchKeepsTheCurrentOne) {
    plugin().setParameter(param::FilterCutoff, 0.33f);
    unsigned char junk[16] = {9, 9, 9, 9, 200, 0, 0, 0};
    EXPECT_EQ(host.dispatch(effSetChunk, 0, sizeof junk, junk), 0);
    EXPECT_EQ(plugin().getParameter(param::FilterCutoff), 0.33f);
}

TEST_F(PatchLifecycle, LoadingAFileInstallsItAndAnnouncesIt) {
    host.start();
    const fs::path path = writeBass("Deep Sub", 1);
    ASSERT_TRUE(control().loadPatchFile(path.string()));
    EXPECT_EQ(plugin().getParameter(param::FilterCutoff), 0.25f);
    EXPECT_NEAR(control().tempo(), 140.0, 1e-3) << "the patch brings its tempo";
    EXPECT_EQ(host.text(effGetProgramName), "Deep Sub");
    EXPECT_EQ(host.updateDisplayCalls(), 1);

    // AutoRun brings the sequencer to the patch's run state (running here):
    // the sequencer's voice sounds.
    EXPECT_EQ(control().state(state::RunStop), 1);
    std::vector<float> left(4096), right(4096);
    float* out[2] = {left.data(), right.data()};
    host.process(nullptr, out, 4096);
    EXPECT_GT(test::peak(left), 0.01f);
}

TEST_F(PatchLifecycle, AFailedLoadChangesNothing) {
    plugin().setParameter(param::FilterCutoff, 0.61f);
    EXPECT_FALSE(control().loadPatchFile((folder.path() / "missing.tvkp").string()));
    EXPECT_EQ(plugin().getParameter(param::FilterCutoff), 0.61f);
    EXPECT_EQ(host.text(effGetProgramName), "Tarvik Patch");
    EXPECT_EQ(host.updateDisplayCalls(), 0);
}

TEST_F(PatchLifecycle, SavingMovesTheCurrentPathOnlyOnSuccess) {
    EXPECT_TRUE(control().savePatchFile((folder.path() / "Mine.tvkp").string()));
    EXPECT_EQ(host.text(effGetProgramName), "Mine");
    EXPECT_FALSE(control().savePatchFile((folder.path() / "no-folder" / "Other.tvkp").string()));
    EXPECT_EQ(host.text(effGetProgramName), "Mine");
}

TEST(PluginStartUp, AnEmptyDataFolderGivesTheDefaultsAndStaysEmpty) {
    test::ScopedDataFolder folder;
    {
        test::InProcessPlugin host;
        Tarvik& plugin = host.plugin();
        EXPECT_EQ(plugin.getParameter(param::MasterVolume), 0.75f);
        EXPECT_EQ(plugin.control().state(state::FilterMode), 3);
        EXPECT_EQ(plugin.control().state(state::BendRange), 12);
        EXPECT_DOUBLE_EQ(plugin.control().tempo(), 120.0);
        EXPECT_TRUE(fs::is_empty(folder.path())) << "nothing is written at start-up";
    }
    // At exit the controller map and the current patch are kept.
    EXPECT_TRUE(fs::exists(folder.path() / "MidiCC.ini"));
    EXPECT_TRUE(fs::exists(folder.path() / "Tarvik Patch.tvkp"));
}

TEST(PluginStartUp, ThePatchInUseAtExitComesBackIdentical) {
    test::ScopedDataFolder folder;
    TarvikPatch before;
    {
        test::InProcessPlugin host;
        ControlFace& control = host.plugin().control();
        control.setParameter(param::FilterCutoff, 0.123f);
        Pattern five = control.patterns().pattern(5);
        five.steps[3] = {7, step::kGate | step::kAccent};
        control.patterns().replace(5, five);
        control.cables().connect(socket::MgCvOutput, socket::VcfCv);
        void* data = nullptr;
        const auto size = host.dispatch(effGetChunk, 0, 0, &data);
        std::string path;
        ASSERT_TRUE(decodeChunk(before, static_cast<const unsigned char*>(data), static_cast<std::size_t>(size), path));
    }
    TarvikPatch after;
    ASSERT_TRUE(readPatchFile(after, (folder.path() / "Tarvik Patch.tvkp").string()));
    EXPECT_EQ(std::memcmp(after.program.parameters, before.program.parameters, sizeof(float) * kNumParameters), 0);
    EXPECT_EQ(std::memcmp(after.states, before.states, sizeof before.states), 0);
    EXPECT_EQ(std::memcmp(&after.cables, &before.cables, sizeof before.cables), 0);
    EXPECT_EQ(std::memcmp(after.patterns, before.patterns, sizeof before.patterns), 0);
}

TEST(PluginStartUp, AMissingDataFolderIsNoFailure) {
    test::ScopedDataFolder folder;
    ::setenv("TARVIK_DATA_DIR", (folder.path() / "not" / "there").c_str(), 1);
    test::InProcessPlugin host;
    EXPECT_EQ(host.plugin().getParameter(param::MasterVolume), 0.75f);
    host.close();
    EXPECT_FALSE(fs::exists(folder.path() / "not"));
}

TEST(PluginStartUp, ConfigurationAndStartupPatchAreApplied) {
    test::ScopedDataFolder folder;
    std::ofstream(folder.path() / "Config.ini") << "; mine\nMidiMode = 1\nMaxPolyphony = 1000\nBendRange = 2\n";
    fs::create_directories(folder.path() / "Tarvik Patches");
    TarvikPatch lead;
    lead.setParameter(param::NoiseLevel, 0.5f);
    ASSERT_TRUE(writePatchFile(lead, (folder.path() / "Tarvik Patches" / "Lead.tvkp").string()));
    std::ofstream(folder.path() / "StartupPatch.ini") << "\"Lead.tvkp\"";

    test::InProcessPlugin host;
    Tarvik& plugin = host.plugin();
    EXPECT_EQ(plugin.getParameter(param::NoiseLevel), 0.5f) << "the start-up patch";
    EXPECT_EQ(plugin.control().configuration().maxPolyphony, 32) << "held to the voice pool";
    EXPECT_EQ(host.text(effGetProgramName), "Lead");
    // The patch's own states replaced the configuration's, as a load does.
    EXPECT_EQ(plugin.control().state(state::MidiMode), 0);
}

TEST(PluginStartUp, ConfigurationSetsTheModesOfTheFreshPatch) {
    test::ScopedDataFolder folder;
    std::ofstream(folder.path() / "Config.ini") << "MidiMode = 1\nBendRange = 2\nFilterMode = 0x2\n";
    test::InProcessPlugin host;
    const ControlFace& patch = host.plugin().control();
    EXPECT_EQ(patch.state(state::MidiMode), 1);
    EXPECT_EQ(patch.state(state::BendRange), 2);
    EXPECT_EQ(patch.state(state::FilterMode), 2);
}

}  // namespace
}  // namespace tarvik
