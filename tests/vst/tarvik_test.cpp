#include "vst/tarvik.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <vector>

#include "patch/parameters.h"
#include "patch/pattern_ops.h"
#include "tests/support/in_process_plugin.h"
#include "tests/support/signal_analysis.h"

namespace tarvik {
namespace {

using namespace vst;

class TarvikTest : public ::testing::Test {
protected:
    void render(int frames) {
        std::vector<float> left(static_cast<std::size_t>(frames)), right(static_cast<std::size_t>(frames));
        float* out[2] = {left.data(), right.data()};
        host.process(nullptr, out, frames);
    }
    Tarvik& plugin() { return host.plugin(); }
    ControlFace& control() { return host.plugin().control(); }

    test::ScopedDataFolder folder;
    test::InProcessPlugin host;
};

TEST_F(TarvikTest, StartsWithTheDefaultSound) {
    EXPECT_EQ(plugin().getParameter(param::MasterVolume), 0.75f);
    EXPECT_EQ(control().state(state::FilterMode), 3);
    EXPECT_EQ(control().state(state::BendRange), 12);
    EXPECT_EQ(control().state(state::MidiMode), 0);
    EXPECT_DOUBLE_EQ(control().tempo(), 120.0);
    EXPECT_EQ(plugin().getParameter(param::Tempo), tempoToParameter(120.0));
    EXPECT_EQ(plugin().getLearnParameter(), -1);
    EXPECT_FALSE(control().midiLearn());
}

TEST_F(TarvikTest, ParameterValuesAreStoredUnclampedWithinThePatchRoom) {
    plugin().setParameter(param::AccentAmount, 1.7f);
    EXPECT_EQ(plugin().getParameter(param::AccentAmount), 1.7f);
    plugin().setParameter(100, 0.25f);  // beyond the 73 parameters but inside the patch's room
    EXPECT_EQ(plugin().getParameter(100), 0.25f);
    for (VstInt32 outside : {128, 5000, -1, -100000}) {
        plugin().setParameter(outside, 0.9f);
        EXPECT_EQ(plugin().getParameter(outside), 0.0f);
    }
}

TEST_F(TarvikTest, TempoParameterSetsTheTempo) {
    plugin().setParameter(param::Tempo, 0.0f);
    EXPECT_DOUBLE_EQ(control().tempo(), 25.0);
    plugin().setParameter(param::Tempo, 1.0f);
    EXPECT_DOUBLE_EQ(control().tempo(), 250.0);
    EXPECT_EQ(plugin().getParameter(param::Tempo), 1.0f);
}

struct SyncCase {
    const char* name;
    int syncMode;
    bool hostAnswersTime;
    double expectedBpm;
    friend void PrintTo(const SyncCase& row, std::ostream* out) { *out << row.name; }
};

class HostTempoSync : public TarvikTest, public ::testing::WithParamInterface<SyncCase> {};

TEST_P(HostTempoSync, FollowsTheHostOnlyWhenAskedTo) {
    const SyncCase& c = GetParam();
    host.settings().sampleRate = 48000.0;
    host.settings().tempo = 140.0;
    host.settings().answersTimeInfo = c.hostAnswersTime;
    host.start();
    control().setState(state::SyncMode, c.syncMode);
    render(64);
    EXPECT_DOUBLE_EQ(control().tempo(), c.expectedBpm);
    EXPECT_NEAR(control().samplesPerSixteenth(), 48000.0 / (c.expectedBpm / 15.0), 1e-9);
    EXPECT_EQ(plugin().getParameter(param::Tempo), tempoToParameter(c.expectedBpm));
}

INSTANTIATE_TEST_SUITE_P(Cases, HostTempoSync,
                         ::testing::Values(SyncCase{"Synced", 1, true, 140.0}, SyncCase{"Free", 0, true, 120.0},
                                           SyncCase{"OtherModeValue", 2, true, 120.0},
                                           SyncCase{"HostWithoutTimeInfo", 1, false, 120.0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(TarvikTest, HostTempoAbove500IsHeldAt500) {
    host.settings().tempo = 600.0;
    host.start();
    control().setState(state::SyncMode, 1);
    render(16);
    EXPECT_DOUBLE_EQ(control().tempo(), 500.0);
    EXPECT_EQ(plugin().getParameter(param::Tempo), 475.0f / 225.0f);
}

TEST_F(TarvikTest, ThereIsOneProgramNamedAfterThePatchFile) {
    for (VstIntPtr program : {0, 1, 7, -3}) {
        host.dispatch(effSetProgram, 0, program);
        EXPECT_EQ(host.dispatch(effGetProgram), 0);
    }
    EXPECT_EQ(host.text(effGetProgramName), "Tarvik Patch");
}

TEST_F(TarvikTest, KeyNamesNamePatternsOnlyInThePatternMode) {
    MidiKeyName key{};
    key.thisKeyNumber = 36;
    EXPECT_EQ(host.dispatch(effGetMidiKeyName, 0, 0, &key), 1);
    EXPECT_STREQ(key.keyName, "Pattern 36");

    control().setState(state::MidiMode, 1);
    std::strcpy(key.keyName, "untouched");
    EXPECT_EQ(host.dispatch(effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_STREQ(key.keyName, "untouched");
}

TEST_F(TarvikTest, SuspendDropsPendingEventsAndResumeAsksForMidi) {
    host.start();
    EXPECT_EQ(host.wantMidiCalls(), 1);
    host.sendEvents({{0, {0x90, 17, 100}}});
    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effMainsChanged, 0, 1);
    render(32);
    EXPECT_EQ(control().state(state::CurrentPattern), 0) << "the key was pressed before the suspend";
    EXPECT_EQ(host.wantMidiCalls(), 2);
}

TEST_F(TarvikTest, OddSampleRatesAndBlockSizesAreIgnored) {
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    for (float rate : {0.0f, -44100.0f, 1e12f, INFINITY, std::nanf("")}) {
        host.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        EXPECT_EQ(plugin().getSampleRate(), 48000.0f);
        EXPECT_EQ(control().sampleRate(), 48000.0);
    }
    host.dispatch(effSetBlockSize, 0, 256);
    for (VstIntPtr frames : {0, -64}) {
        host.dispatch(effSetBlockSize, 0, frames);
        EXPECT_EQ(plugin().getBlockSize(), 256);
    }
}

TEST_F(TarvikTest, SampleRateChangeKeepsTheSixteenthInStep) {
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_DOUBLE_EQ(control().samplesPerSixteenth(), 96000.0 / 8.0);
}

TEST_F(TarvikTest, OutputPinsAreTwoStereoHalves) {
    for (VstInt32 index : {0, 1}) {
        VstPinProperties pin{};
        EXPECT_EQ(host.dispatch(effGetOutputProperties, index, 0, &pin), 1);
        EXPECT_EQ(std::string(pin.label), "Tarvik " + std::to_string(index + 1));
        EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    }
    for (VstInt32 index : {2, 100, -1}) {
        VstPinProperties pin{};
        EXPECT_EQ(host.dispatch(effGetOutputProperties, index, 0, &pin), 0);
        EXPECT_STREQ(pin.label, "");
    }
}

TEST_F(TarvikTest, SpeakerArrangementQueryClearsBothPointers) {
    int dummy = 0;
    auto* input = reinterpret_cast<VstSpeakerArrangement*>(&dummy);
    auto* output = reinterpret_cast<VstSpeakerArrangement*>(&dummy);
    EXPECT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

TEST(TarvikRunStop, TheEditorsRunStopPlaysThePatternAndTellsTheMidiOutputWhereItStopped) {
    test::ScopedDataFolder folder;
    std::ofstream(folder.path() / "Config.ini") << "MidiOutput = 1\n";
    test::InProcessPlugin host;
    host.start();
    ControlFace& control = host.plugin().control();
    std::vector<float> left(4096), right(4096);
    float* out[2] = {left.data(), right.data()};
    control.patterns().sequencerCommand(command::kRunStop);
    EXPECT_EQ(control.state(state::RunStop), 1);
    host.process(nullptr, out, 4096);
    EXPECT_GT(test::peak(left), 0.01f) << "the sequencer's voice sounds";

    control.patterns().sequencerCommand(command::kRunStop);
    EXPECT_EQ(control.state(state::RunStop), 0);
    host.process(nullptr, out, 64);
    ASSERT_EQ(host.midiOutput().size(), 1u);
    EXPECT_EQ(host.midiOutput()[0].status, 0x80) << "a Note Off for the note the sequencer left";
    EXPECT_EQ(host.midiOutput()[0].data1, 36);
}

TEST(TarvikDestruction, SendsAllNotesOffOnlyWhenMidiOutputIsOn) {
    for (int midiOutput : {0, 1}) {
        test::ScopedDataFolder folder;
        std::ofstream(folder.path() / "Config.ini") << "MidiOutput = " << midiOutput << "\nMidiOutputChannel = 4\n";
        test::InProcessPlugin host;
        host.close();
        if (midiOutput) {
            ASSERT_EQ(host.midiOutput().size(), 1u);
            EXPECT_EQ(host.midiOutput()[0].status, 0xB3);
            EXPECT_EQ(host.midiOutput()[0].data1, 123);
            EXPECT_EQ(host.midiOutput()[0].data2, 0);
        } else {
            EXPECT_TRUE(host.midiOutput().empty());
        }
    }
}

TEST(TarvikWithoutHost, KeepsTheBaseIdentityAndSendsNothing) {
    test::ScopedDataFolder folder;
    Tarvik plugin(nullptr);
    const AEffect* e = plugin.getAeffect();
    EXPECT_EQ(e->uniqueID, fourCC('N', 'o', 'E', 'f'));
    EXPECT_EQ(e->numInputs, 1);
    EXPECT_EQ(e->flags, effFlagsCanReplacing | effFlagsProgramChunks);
    plugin.setParameterAutomated(param::FilterCutoff, 0.3f);
    EXPECT_EQ(plugin.getParameter(param::FilterCutoff), 0.3f);
}

// A plug-in whose texts are far longer than any host buffer.
class LongTexts : public Tarvik {
public:
    LongTexts() : Tarvik(nullptr) {}
    void getProgramName(char* t) override { fill(t); }
    void getParameterLabel(VstInt32, char* t) override { fill(t); }
    void getParameterDisplay(VstInt32, char* t) override { fill(t); }
    void getParameterName(VstInt32, char* t) override { fill(t); }
    bool getEffectName(char* t) override { return fill(t); }
    bool getVendorString(char* t) override { return fill(t); }
    bool getProductString(char* t) override { return fill(t); }

private:
    static bool fill(char* t) {
        std::memset(t, 'A', kTextScratch - 1);
        t[kTextScratch - 1] = 0;
        return true;
    }
};

struct TextRoom {
    const char* name;
    VstInt32 opcode;
    std::size_t room;
    friend void PrintTo(const TextRoom& row, std::ostream* out) { *out << row.name; }
};

class HostTextRoom : public ::testing::TestWithParam<TextRoom> {};

TEST_P(HostTextRoom, WritesNoMoreThanTheHostProvides) {
    test::ScopedDataFolder folder;
    LongTexts plugin;
    const VstInt32 opcode = GetParam().opcode;
    const std::size_t room = GetParam().room;
    unsigned char buffer[kTextScratch + 64];
    std::memset(buffer, 0x5A, sizeof buffer);
    plugin.getAeffect()->dispatcher(plugin.getAeffect(), opcode, 0, 0, buffer, 0.0f);
    EXPECT_EQ(std::strlen(reinterpret_cast<char*>(buffer)), room - 1);
    for (std::size_t i = room; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 0x5A) << "byte " << i << " was written";
}

INSTANTIATE_TEST_SUITE_P(
    Opcodes, HostTextRoom,
    ::testing::Values(TextRoom{"ProgramName", effGetProgramName, 24}, TextRoom{"ParamLabel", effGetParamLabel, 24},
                      TextRoom{"ParamDisplay", effGetParamDisplay, 24}, TextRoom{"ParamName", effGetParamName, 24},
                      TextRoom{"EffectName", effGetEffectName, 32}, TextRoom{"VendorString", effGetVendorString, 64},
                      TextRoom{"ProductString", effGetProductString, 64}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tarvik
