#include "engine/engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "platform/denormals.h"

namespace tarvik {
namespace {

class RecordingHost : public EngineHost {
public:
    bool sendMidiOut(std::uint8_t status, std::uint8_t data1) override {
        midiOut.emplace_back(status, data1);
        return true;
    }
    void controllerChange(int controller, int value) override { controllers.emplace_back(controller, value); }

    std::vector<std::pair<int, int>> midiOut;
    std::vector<std::pair<int, int>> controllers;
};

class EngineTest : public ::testing::Test {
protected:
    void midi(int status, int data1, int data2 = 0) { audio.handleMidiMessage(status, data1, data2); }
    int state(int index) const { return control.patch().state(index); }
    // As the panic button asks: carried out at the start of the next block.
    void reset() {
        control.request(EngineControl::kReset);
        audio.processBlock(nullptr, nullptr, 0, true);
    }

    RecordingHost host;
    Engine engine{&host};
    EngineAudio& audio = engine.audio();
    EngineControl& control = engine.control();
};

struct TempoCase {
    double bpm;
    double expectedBpm;
    float expectedParameter;
    friend void PrintTo(const TempoCase& row, std::ostream* out) { *out << row.bpm << " BPM"; }
};

class TempoSetting : public EngineTest, public ::testing::WithParamInterface<TempoCase> {};

TEST_P(TempoSetting, StoresTheTempoParameterAndTheSixteenthLength) {
    const TempoCase c = GetParam();
    engine.setSampleRate(48000.0);
    control.setTempo(c.bpm);
    EXPECT_DOUBLE_EQ(control.tempo(), c.expectedBpm);
    EXPECT_FLOAT_EQ(control.patch().parameter(param::Tempo), c.expectedParameter);
    EXPECT_DOUBLE_EQ(control.samplesPerSixteenth(), 48000.0 / (c.expectedBpm / 60.0 * 4.0));
}

INSTANTIATE_TEST_SUITE_P(Cases, TempoSetting,
                         ::testing::Values(TempoCase{25.0, 25.0, 0.0f}, TempoCase{250.0, 250.0, 1.0f},
                                           TempoCase{140.0, 140.0, 115.0f / 225.0f},
                                           TempoCase{300.0, 300.0, 275.0f / 225.0f},
                                           TempoCase{600.0, 500.0, 475.0f / 225.0f}),
                         [](const auto& row) { return std::to_string(static_cast<int>(row.param.bpm)) + "Bpm"; });

TEST_F(EngineTest, TempoBelowOneBpmOrNotANumberChangesNothing) {
    control.setTempo(90.0);
    for (double bad : {0.5, 0.0, -20.0, std::nan("")}) {
        control.setTempo(bad);
        EXPECT_DOUBLE_EQ(control.tempo(), 90.0);
        EXPECT_FLOAT_EQ(control.patch().parameter(param::Tempo), 65.0f / 225.0f);
    }
}

TEST_F(EngineTest, SixteenthAt140BpmAnd48kHz) {
    engine.setSampleRate(48000.0);
    control.setTempo(140.0);
    EXPECT_NEAR(control.samplesPerSixteenth(), 5142.857142857, 1e-6);
}

TEST_F(EngineTest, PatternKeysSelectStartAndStopTheSequencer) {
    control.config().midiOutput = 1;
    control.config().midiOutputChannel = 9;
    midi(0x90, 5, 100);
    EXPECT_EQ(state(state::CurrentPattern), 5);
    EXPECT_EQ(state(state::RunStop), 1);
    midi(0x90, 9, 100);
    EXPECT_EQ(state(state::CurrentPattern), 9);
    midi(0x80, 9);
    EXPECT_EQ(state(state::CurrentPattern), 5) << "releasing a key returns to the highest key still held";
    EXPECT_EQ(state(state::RunStop), 1);
    EXPECT_TRUE(host.midiOut.empty());
    midi(0x90, 5, 0);  // a Note On with velocity 0 releases
    EXPECT_EQ(state(state::RunStop), 0);
    ASSERT_EQ(host.midiOut.size(), 1u);
    EXPECT_EQ(host.midiOut[0], std::make_pair(0xB9, 123));
}

TEST_F(EngineTest, PatternLockKeepsThePatternButKeysStillStartAndStop) {
    control.patch().setState(state::PatternLock, 1);
    control.patch().setState(state::CurrentPattern, 3);
    midi(0x90, 40, 100);
    EXPECT_EQ(state(state::CurrentPattern), 3);
    EXPECT_EQ(state(state::RunStop), 1);
    midi(0x80, 40);
    EXPECT_EQ(state(state::RunStop), 0);
    EXPECT_TRUE(host.midiOut.empty()) << "MIDI output is off by default";
}

TEST_F(EngineTest, AllNotesOffStopsThePatternModeAndForgetsHeldKeys) {
    control.config().midiOutput = 1;
    midi(0x90, 7, 100);
    midi(0x90, 8, 100);
    midi(0xB0, 123, 0);
    EXPECT_EQ(state(state::RunStop), 0);
    ASSERT_EQ(host.midiOut.size(), 1u);
    EXPECT_EQ(host.midiOut[0], std::make_pair(0xB0, 123));
    for (int key = 0; key < 128; ++key) EXPECT_EQ(audio.performance().heldKeys[static_cast<std::size_t>(key)], 0);
}

TEST_F(EngineTest, PerformanceControllersAreKept) {
    midi(0xE0, 0x7F, 0x7F);
    EXPECT_EQ(audio.performance().pitchBend, 16383);
    midi(0xE0, 0, 0);
    EXPECT_EQ(audio.performance().pitchBend, 0);
    midi(0xD0, 77);
    EXPECT_EQ(audio.performance().channelPressure, 77);
    midi(0xB0, 1, 90);
    midi(0xB0, 33, 12);
    EXPECT_EQ(audio.performance().modWheelMsb, 90);
    EXPECT_EQ(audio.performance().modWheelLsb, 12);
    midi(0xB0, 64, 64);
    EXPECT_EQ(audio.performance().sustain, 1) << "64 is the first 'on' value of the pedal";
    midi(0xB0, 64, 63);
    EXPECT_EQ(audio.performance().sustain, 0);

    midi(0xB0, 64, 127);
    midi(0xB0, 121, 0);
    EXPECT_EQ(audio.performance().pitchBend, 8192);
    EXPECT_EQ(audio.performance().sustain, 0);
    EXPECT_EQ(audio.performance().modWheelMsb, 0);
    EXPECT_EQ(audio.performance().modWheelLsb, 0);
    EXPECT_EQ(audio.performance().channelPressure, 77) << "pressure is not a controller the reset touches";
}

TEST_F(EngineTest, OnlyControllersBelow120ReachTheControllerMap) {
    for (int c : {0, 1, 33, 64, 74, 119, 120, 121, 122, 123, 124, 127}) midi(0xB0, c, 10);
    const std::vector<std::pair<int, int>> expected = {{0, 10}, {1, 10}, {33, 10}, {64, 10}, {74, 10}, {119, 10}};
    EXPECT_EQ(host.controllers, expected);
}

TEST_F(EngineTest, EveryMessageLightsTheMidiIndicator) {
    control.indicators().midi = 0;
    midi(0xF0, 0, 0);
    EXPECT_EQ(control.indicators().midi.load(), 1);
}

TEST_F(EngineTest, ProcessBlockDropsTheChannelAndEmptiesThePendingList) {
    audio.pendingEvents().add({3, 0x94, 12, 100});  // Note On, channel 5
    float left[16], right[16];
    float* out[2] = {left, right};
    audio.processBlock(nullptr, out, 16, true);
    EXPECT_EQ(state(state::CurrentPattern), 12);
    EXPECT_EQ(state(state::RunStop), 1);
    EXPECT_EQ(audio.pendingEvents().size(), 0);
}

TEST_F(EngineTest, BlocksLongerThanTheBuffersAreRenderedInPieces) {
    engine.setMaxBlockFrames(64);
    std::vector<float> left(1000, 1.0f), right(1000, 1.0f);
    float* out[2] = {left.data(), right.data()};
    audio.processBlock(nullptr, out, 1000, true);
    for (std::size_t i = 0; i < left.size(); ++i) {
        ASSERT_EQ(left[i], 0.0f) << i;
        ASSERT_EQ(right[i], 0.0f) << i;
    }
}

#if defined(__SSE__)
// Inside a block denormals are flushed, so a decaying filter costs no more
// than a sounding one; the host's own floating-point mode survives the call.
TEST_F(EngineTest, ABlockFlushesDenormalsAndGivesTheHostItsModeBack) {
    const unsigned hostMode = _mm_getcsr() & ~0x8040u;  // a host that keeps denormals
    _mm_setcsr(hostMode);
    float left[16], right[16];
    float* out[2] = {left, right};
    audio.processBlock(nullptr, out, 16, true);
    EXPECT_EQ(_mm_getcsr(), hostMode);

    volatile float tiny = 1e-39f;  // a denormal
    {
        const platform::DenormalsFlushed flushed;
        EXPECT_EQ(tiny * 1.0f, 0.0f);
    }
    EXPECT_NE(tiny * 1.0f, 0.0f);
}
#endif

TEST_F(EngineTest, EmptyOrNegativeBlocksStillHandleTheirEvents) {
    for (int frames : {0, -8}) {
        audio.pendingEvents().add({0, 0x90, static_cast<std::uint8_t>(20 - frames), 1});
        audio.processBlock(nullptr, nullptr, frames, true);
        EXPECT_EQ(state(state::CurrentPattern), 20 - frames);
        EXPECT_EQ(audio.pendingEvents().size(), 0);
    }
}

TEST_F(EngineTest, RunStopRequestsPlayThePatternFromItsFirstStepAndStopIt) {
    control.config().midiOutput = 1;
    float left[64], right[64];
    float* out[2] = {left, right};
    control.requestRunStop(true);
    EXPECT_EQ(state(state::RunStop), 1) << "the state changes at once";
    audio.processBlock(nullptr, out, 64, true);
    EXPECT_EQ(audio.sequencer().running, 1);
    EXPECT_TRUE(audio.voice(0).active);
    EXPECT_EQ(audio.sequencer().stepIndex, 1) << "started from the first step";

    control.requestRunStop(false);
    audio.processBlock(nullptr, out, 64, true);
    EXPECT_FALSE(audio.voice(0).active);
    ASSERT_EQ(host.midiOut.size(), 1u);
    EXPECT_EQ(host.midiOut[0], (std::pair<int, int>{0x80, 36})) << "a Note Off for the note the sequencer left";
}

// A suspend drops the events the host handed over before it; the events of
// the next block, handed over after it, play.
TEST_F(EngineTest, DroppedEventsAreOnlyThoseHandedOverBeforeTheDrop) {
    audio.pendingEvents().add({0, 0x90, 5, 100});
    control.request(EngineControl::kDropEvents);
    audio.processBlock(nullptr, nullptr, 16, true);
    EXPECT_EQ(state(state::CurrentPattern), 0) << "the key before the drop is gone";

    control.request(EngineControl::kDropEvents);
    audio.clearEvents();
    audio.pendingEvents().add({0, 0x90, 9, 100});
    audio.processBlock(nullptr, nullptr, 16, true);
    EXPECT_EQ(state(state::CurrentPattern), 9) << "the key of the next block plays";
}

TEST_F(EngineTest, BlocksLargerThanTheLargestPieceAreHeldToIt) {
    engine.setMaxBlockFrames(1 << 24);
    EXPECT_EQ(audio.maxBlockFrames(), Engine::kMaxBlockFrames);
}

TEST_F(EngineTest, ResetStopsThePatternModeAndForgetsKeys) {
    midi(0x90, 30, 100);
    reset();
    EXPECT_EQ(state(state::RunStop), 0);
    EXPECT_EQ(audio.performance().heldKeys[30], 0);

    control.patch().setState(state::MidiMode, 1);
    control.patch().setState(state::RunStop, 1);
    reset();
    EXPECT_EQ(state(state::RunStop), 1) << "only the pattern mode ties the sequencer to the keys";
}

}  // namespace
}  // namespace tarvik
