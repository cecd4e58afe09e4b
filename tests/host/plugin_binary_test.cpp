// The built plug-in binary, loaded and driven through the VST 2.4 interface
// exactly as a music host does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/version.h"
#include "tests/support/scoped_data_folder.h"
#include "tools/host/hosted_plugin.h"

namespace tarvik {
namespace {

using namespace vst;
using host::HostedPlugin;
using host::HostSettings;

constexpr int kFilterCutoffIndex = 1;
// The version as one number: 1.2.3 is 1203.
constexpr int kVendorVersion = platform::kVersionMajor * 1000 + platform::kVersionMinor * 100 + platform::kVersionPatch;
constexpr int kCutoffController = 74;

class PluginBinary : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(host.load(TARVIK_PLUGIN_PATH, error)) << error;
    }

    std::string text(VstInt32 opcode, VstInt32 index = 0) {
        char buffer[256] = {};
        host.dispatch(opcode, index, 0, buffer);
        return buffer;
    }

    // Renders one block of silence-filled buffers and answers the left channel.
    std::vector<float> render(int frames) {
        std::vector<float> left(static_cast<std::size_t>(frames), 7.0f), right(static_cast<std::size_t>(frames), 7.0f);
        float* out[2] = {left.data(), right.data()};
        host.process(nullptr, out, frames);
        return left;
    }

    // The cutoff values the host was told about, in the order they came.
    std::vector<float> automatedCutoffs() const {
        std::vector<float> values;
        for (const auto& call : host.automation())
            if (call.index == kFilterCutoffIndex) values.push_back(call.value);
        return values;
    }

    test::ScopedDataFolder folder;
    HostedPlugin host;
};

TEST_F(PluginBinary, RecordIdentifiesAStereoInstrument) {
    const AEffect* e = host.effect();
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->numPrograms, 1);
    EXPECT_EQ(e->numParams, 73);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->uniqueID, fourCC('t', 'v', 'x', '3'));
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    // No editor is attached yet, so the record does not claim one.
    EXPECT_EQ(e->flags, effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->process, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
}

struct OpcodeAnswer {
    VstInt32 opcode;
    VstIntPtr value;
    VstIntPtr expected;
    friend void PrintTo(const OpcodeAnswer& row, std::ostream* out) { *out << "opcode " << row.opcode; }
};

class OpcodeAnswers : public PluginBinary, public ::testing::WithParamInterface<OpcodeAnswer> {};

TEST_P(OpcodeAnswers, MatchTheInterfaceTable) {
    const OpcodeAnswer& a = GetParam();
    EXPECT_EQ(host.dispatch(a.opcode, 0, a.value), a.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OpcodeAnswers,
    ::testing::Values(OpcodeAnswer{effOpen, 0, 0}, OpcodeAnswer{effGetProgram, 0, 0},
                      OpcodeAnswer{effSetSampleRate, 0, 0}, OpcodeAnswer{effSetBlockSize, 512, 0},
                      OpcodeAnswer{effMainsChanged, 1, 0}, OpcodeAnswer{effEditGetRect, 0, 0},
                      OpcodeAnswer{effEditOpen, 0, 0}, OpcodeAnswer{effEditClose, 0, 1},
                      OpcodeAnswer{effEditIdle, 0, 1}, OpcodeAnswer{effIdentify, 0, fourCC('N', 'v', 'E', 'f')},
                      OpcodeAnswer{effCanBeAutomated, 0, 1}, OpcodeAnswer{effString2Parameter, 0, 0},
                      OpcodeAnswer{effGetProgramNameIndexed, 0, 0}, OpcodeAnswer{effGetInputProperties, 0, 0},
                      OpcodeAnswer{effGetPlugCategory, 0, kPlugCategSynth}, OpcodeAnswer{effOfflineNotify, 0, 0},
                      OpcodeAnswer{effOfflinePrepare, 0, 0}, OpcodeAnswer{effOfflineRun, 0, 0},
                      OpcodeAnswer{effProcessVarIo, 0, 0}, OpcodeAnswer{effSetSpeakerArrangement, 0, 0},
                      OpcodeAnswer{effSetBypass, 1, 0}, OpcodeAnswer{effGetVendorVersion, 0, kVendorVersion},
                      OpcodeAnswer{effVendorSpecific, 0, 0}, OpcodeAnswer{effGetTailSize, 0, 0},
                      OpcodeAnswer{effGetParameterProperties, 0, 0}, OpcodeAnswer{effGetVstVersion, 0, 2400},
                      OpcodeAnswer{effEditKeyDown, 0, 0}, OpcodeAnswer{effEditKeyUp, 0, 0},
                      OpcodeAnswer{effSetEditKnobMode, 2, 1}, OpcodeAnswer{effGetMidiProgramName, 0, 0},
                      OpcodeAnswer{effGetCurrentMidiProgram, 0, -1}, OpcodeAnswer{effGetMidiProgramCategory, 0, 0},
                      OpcodeAnswer{effHasMidiProgramsChanged, 0, 1}, OpcodeAnswer{effBeginSetProgram, 0, 0},
                      OpcodeAnswer{effEndSetProgram, 0, 0}, OpcodeAnswer{effShellGetNextPlugin, 0, 0},
                      OpcodeAnswer{effStartProcess, 0, 0}, OpcodeAnswer{effStopProcess, 0, 0},
                      OpcodeAnswer{effSetTotalSampleToProcess, 123456, 123456}, OpcodeAnswer{effSetPanLaw, 0, 0},
                      OpcodeAnswer{effBeginLoadBank, 0, 0}, OpcodeAnswer{effBeginLoadProgram, 0, 0},
                      OpcodeAnswer{effSetProcessPrecision, 1, 0}, OpcodeAnswer{effGetNumMidiInputChannels, 0, 0},
                      OpcodeAnswer{effGetNumMidiOutputChannels, 0, 0}, OpcodeAnswer{9, 0, 0}, OpcodeAnswer{80, 0, 0},
                      OpcodeAnswer{-1, 0, 0}, OpcodeAnswer{100000, 0, 0}),
    [](const auto& row) {
        const VstInt32 opcode = row.param.opcode;
        return "Opcode" + (opcode < 0 ? "Minus" + std::to_string(-opcode) : std::to_string(opcode));
    });

TEST_F(PluginBinary, IdentityTexts) {
    EXPECT_EQ(text(effGetEffectName), "Tarvik");
    EXPECT_EQ(host.dispatch(effGetEffectName, 0, 0, std::vector<char>(64).data()), 1);
    EXPECT_EQ(text(effGetVendorString), "Sonvarde");
    EXPECT_EQ(text(effGetProductString), "Sonvarde Kelvane Pro");
}

TEST_F(PluginBinary, CanDoExactlyFiveThings) {
    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo", "1in2out", "2in2out"})
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, const_cast<char*>(yes)), 1) << yes;
    // It does send MIDI, yet never claimed to; hosts keep working with that answer.
    for (const char* no : {"sendVstMidiEvent", "sendVstEvents", "receiveVstEvents ", "2in2Out", "", "offline", "bypass"})
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, const_cast<char*>(no)), -1) << no;
}

TEST_F(PluginBinary, ParameterNamesLabelsAndTexts) {
    EXPECT_EQ(text(effGetParamName, 0), "Master Tuning");
    EXPECT_EQ(text(effGetParamName, 62), "Output Variable");
    EXPECT_EQ(text(effGetParamName, 64), "Output Variable");
    EXPECT_EQ(text(effGetParamName, 72), "Inverter 2 Mode");
    for (VstInt32 index : {73, 127, 100000, -1}) EXPECT_EQ(text(effGetParamName, index), "") << index;
    for (VstInt32 index : {0, 9, 72, 73, -5}) EXPECT_EQ(text(effGetParamLabel, index), " ") << index;
    EXPECT_EQ(text(effGetParamDisplay, 8), "75% (+3.50dB)");
    EXPECT_EQ(text(effGetParamDisplay, 73), "N/A");
    EXPECT_EQ(text(effGetProgramName), "Tarvik Patch");
}

TEST_F(PluginBinary, ParameterValuesThroughTheRecord) {
    AEffect* e = host.effect();
    e->setParameter(e, 5, 1.7f);
    EXPECT_EQ(e->getParameter(e, 5), 1.7f) << "automation values are stored as given";
    e->setParameter(e, 9, 0.0f);
    EXPECT_EQ(text(effGetParamDisplay, 24), "50%,   300 ms") << "a sixteenth at 25 BPM lasts 600 ms";
    e->setParameter(e, 9, 1.0f);
    EXPECT_EQ(text(effGetParamDisplay, 24), "50%,    30 ms") << "a sixteenth at 250 BPM lasts 60 ms";
    e->setParameter(e, 500, 0.3f);
    EXPECT_EQ(e->getParameter(e, 500), 0.0f);
}

TEST(PluginBinaryEntry, RefusesAHostThatDoesNotAnswerItsVersion) {
    test::ScopedDataFolder folder;
    HostSettings settings;
    settings.versionAnswer = 0;
    HostedPlugin host(settings);
    std::string error;
    EXPECT_FALSE(host.load(TARVIK_PLUGIN_PATH, error));
    EXPECT_EQ(host.effect(), nullptr);

    platform::SharedLibrary library;
    ASSERT_TRUE(library.open(TARVIK_PLUGIN_PATH, error)) << error;
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(library.symbol("VSTPluginMain"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry(nullptr), nullptr);
    EXPECT_EQ(library.symbol("main"), reinterpret_cast<void*>(entry)) << "main is the same entry";
}

// Controller 74 drives the cutoff; the host hears of each move, so the
// automation log shows which events the plug-in handled and in what order.
TEST_F(PluginBinary, KeepsTheFirst64EventsInTimeOrderTiesInHostOrder) {
    host.start();
    std::vector<host::TimedMidi> events;
    for (int i = 0; i < 100; ++i)
        events.push_back({(i * 7) % 13, {0xB0, kCutoffController, static_cast<std::uint8_t>(i)}});
    host.sendEvents(events);
    render(64);

    std::vector<float> expected;
    for (int offset = 0; offset < 13; ++offset)
        for (int i = 0; i < 64; ++i)
            if ((i * 7) % 13 == offset) expected.push_back(static_cast<float>(i / 127.0));
    EXPECT_EQ(automatedCutoffs(), expected);
}

TEST_F(PluginBinary, ChannelsAreIgnored) {
    host.start();
    host.sendEvents({{0, {0xB4, kCutoffController, 127}}, {1, {0xBF, kCutoffController, 64}}});
    render(16);
    EXPECT_EQ(automatedCutoffs(), (std::vector<float>{1.0f, 0.5f}));
    EXPECT_EQ(host.effect()->getParameter(host.effect(), kFilterCutoffIndex), 0.5f);
}

TEST_F(PluginBinary, EventsOutsideTheBlockAreHandledInsideIt) {
    host.start();
    host.sendEvents({{-50, {0xB0, kCutoffController, 10}}, {5000, {0xB0, kCutoffController, 20}}});
    const std::vector<float> left = render(32);
    EXPECT_EQ(automatedCutoffs(), (std::vector<float>{static_cast<float>(10 / 127.0), static_cast<float>(20 / 127.0)}));
    for (float x : left) EXPECT_EQ(x, 0.0f);
}

TEST_F(PluginBinary, BlocksOfAnySizeRenderWithinTheirBuffers) {
    host.settings().blockSize = 64;
    host.start();
    for (int frames : {0, 1, 63, 64, 65, 1000, 20000}) {
        host.sendEvents({{frames / 2, {0x90, 40, 100}}, {frames, {0x80, 40, 0}}});
        const std::vector<float> left = render(frames);  // exactly `frames` long: ASan sees any overrun
        for (float x : left) ASSERT_TRUE(std::isfinite(x));
    }
    float left[4] = {}, right[4] = {};
    float* out[2] = {left, right};
    host.process(nullptr, out, -5);
    EXPECT_EQ(left[0], 0.0f);
}

TEST_F(PluginBinary, NullAndOddArgumentsNeverCrash) {
    host.start();
    for (VstInt32 opcode : {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
                            effGetParamName, effEditGetRect, effGetChunk, effSetChunk, effProcessEvents,
                            effGetOutputProperties, effGetEffectName, effGetVendorString, effGetProductString,
                            effCanDo, effGetMidiKeyName, effGetSpeakerArrangement, effEditKeyDown})
        host.dispatch(opcode, 0, 0, nullptr);
    for (VstInt32 index : {-1, 73, 1 << 30, -(1 << 30)}) {
        char buffer[256] = {};
        host.dispatch(effGetParamDisplay, index, 0, buffer);
        host.dispatch(effGetParamName, index, 0, buffer);
        host.dispatch(effGetOutputProperties, index, 0, buffer);
        MidiKeyName key{};
        key.thisKeyNumber = index;
        host.dispatch(effGetMidiKeyName, index, 0, &key);
        host.effect()->getParameter(host.effect(), index);
        host.effect()->setParameter(host.effect(), index, 0.5f);
    }
    render(16);
}

// Whatever value a parameter holds, every text the host reads stays within
// the 24 bytes hosts provide.
TEST_F(PluginBinary, TextsFitTheHostsBuffersForAnyValue) {
    AEffect* e = host.effect();
    for (float value : {0.0f, 1.0f, -1e30f, 1e30f, INFINITY, std::nanf("")}) {
        for (VstInt32 index = 0; index < 73; ++index) {
            e->setParameter(e, index, value);
            for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
                unsigned char buffer[64];
                std::memset(buffer, 0x5A, sizeof buffer);
                host.dispatch(opcode, index, 0, buffer);
                for (std::size_t i = 24; i < sizeof buffer; ++i)
                    ASSERT_EQ(buffer[i], 0x5A) << "opcode " << opcode << " index " << index << " wrote byte " << i;
            }
        }
    }
}

}  // namespace
}  // namespace tarvik
