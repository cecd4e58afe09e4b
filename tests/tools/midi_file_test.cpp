#include "tools/render/midi_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <ostream>
#include <string>

#include "tests/tools/midi_bytes.h"

namespace tarvik::render {
namespace {

using namespace tarvik::test;

constexpr int kDivision = 480;  // ticks per quarter note
constexpr double kTimeTolerance = 1e-9;

Timeline parsed(const Bytes& bytes, double initialBpm = 120.0) {
    Timeline timeline;
    std::string error;
    EXPECT_TRUE(parseMidiFile(bytes, initialBpm, timeline, error)) << error;
    return timeline;
}

void expectEvent(const TimelineEvent& event, double seconds, std::uint8_t status, std::uint8_t data1,
                 std::uint8_t data2) {
    EXPECT_NEAR(event.seconds, seconds, kTimeTolerance);
    EXPECT_EQ(event.message.status, status);
    EXPECT_EQ(event.message.data1, data1);
    EXPECT_EQ(event.message.data2, data2);
}

// One quarter note on C4 at the start, on channel 2.
const Bytes kOneNote = header(0, 1, kDivision) +
                       track(delta(0) + Bytes{0x91, 60, 100} + delta(kDivision) + Bytes{0x81, 60, 64} + kEndOfTrack);

TEST(MidiFile, TicksRunAtTheGivenTempoWhenTheFileSetsNone) {
    for (const double bpm : {120.0, 60.0, 93.0}) {
        const Timeline timeline = parsed(kOneNote, bpm);
        ASSERT_EQ(timeline.events.size(), 2u);
        expectEvent(timeline.events[0], 0.0, 0x91, 60, 100);
        expectEvent(timeline.events[1], 60.0 / bpm, 0x81, 60, 64);
        EXPECT_TRUE(timeline.tempoChanges.empty());
    }
}

TEST(MidiFile, TempoChangeMidFileMovesEveryLaterEventOfEveryTrack) {
    // Format 1: the tempo map in its own track, 120 BPM, then 240 BPM from
    // the second beat on.
    const Bytes tempoMap = track(delta(0) + setTempo(500000) + delta(kDivision) + setTempo(250000) + kEndOfTrack);
    const Bytes notes = track(delta(0) + Bytes{0x90, 40, 90} + delta(kDivision) + Bytes{0x80, 40, 0} +
                              delta(0) + Bytes{0x90, 43, 90} + delta(kDivision) + Bytes{0x80, 43, 0} + kEndOfTrack);
    const Timeline timeline = parsed(header(1, 2, kDivision) + tempoMap + notes, 60.0);

    ASSERT_EQ(timeline.events.size(), 4u);
    expectEvent(timeline.events[0], 0.0, 0x90, 40, 90);
    expectEvent(timeline.events[1], 0.5, 0x80, 40, 0);
    expectEvent(timeline.events[2], 0.5, 0x90, 43, 90);
    expectEvent(timeline.events[3], 0.75, 0x80, 43, 0);
    ASSERT_EQ(timeline.tempoChanges.size(), 2u);
    EXPECT_NEAR(timeline.tempoChanges[0].seconds, 0.0, kTimeTolerance);
    EXPECT_NEAR(timeline.tempoChanges[0].bpm, 120.0, kTimeTolerance);
    EXPECT_NEAR(timeline.tempoChanges[1].seconds, 0.5, kTimeTolerance);
    EXPECT_NEAR(timeline.tempoChanges[1].bpm, 240.0, kTimeTolerance);
}

TEST(MidiFile, TracksMergeInTimeOrderAndKeepTrackOrderOnTheSameTick) {
    const Bytes first = track(delta(0) + Bytes{0x90, 50, 1} + delta(2 * kDivision) + Bytes{0x90, 52, 1} + kEndOfTrack);
    const Bytes second = track(delta(kDivision) + Bytes{0x91, 51, 1} + delta(kDivision) + Bytes{0x91, 53, 1} + kEndOfTrack);
    const Timeline timeline = parsed(header(1, 2, kDivision) + first + second);

    ASSERT_EQ(timeline.events.size(), 4u);
    expectEvent(timeline.events[0], 0.0, 0x90, 50, 1);
    expectEvent(timeline.events[1], 0.5, 0x91, 51, 1);
    expectEvent(timeline.events[2], 1.0, 0x90, 52, 1);
    expectEvent(timeline.events[3], 1.0, 0x91, 53, 1);
}

TEST(MidiFile, RunningStatusAndVelocityZeroNoteOnsAreNoteOffs) {
    const Bytes events = delta(0) + Bytes{0x92, 60, 100} + delta(0) + Bytes{62, 80} + delta(kDivision) + Bytes{60, 0} +
                         delta(0) + Bytes{62, 0} + delta(0) + Bytes{0xC2, 5} + delta(0) + Bytes{7} + kEndOfTrack;
    const Timeline timeline = parsed(header(0, 1, kDivision) + track(events));

    ASSERT_EQ(timeline.events.size(), 6u);
    expectEvent(timeline.events[0], 0.0, 0x92, 60, 100);
    expectEvent(timeline.events[1], 0.0, 0x92, 62, 80);
    expectEvent(timeline.events[2], 0.5, 0x82, 60, 0);
    expectEvent(timeline.events[3], 0.5, 0x82, 62, 0);
    expectEvent(timeline.events[4], 0.5, 0xC2, 5, 0);
    expectEvent(timeline.events[5], 0.5, 0xC2, 7, 0);
}

TEST(MidiFile, SkipsMetaSysexAndForeignChunksButCountsTheirDeltaTimes) {
    const Bytes events = delta(0) + Bytes{0xFF, 0x03, 4, 'B', 'a', 's', 's'} + delta(kDivision) +
                         Bytes{0xF0, 3, 0x7E, 0x09, 0xF7} + delta(kDivision) + Bytes{0x90, 36, 127} +
                         delta(kDivision) + Bytes{0xFF, 0x7F, 0} + delta(0) + Bytes{36, 0} + kEndOfTrack +
                         Bytes{0x00, 0x90, 1, 1};  // past the end of track: ignored
    const Timeline timeline =
        parsed(header(0, 1, kDivision) + chunk("XTRA", Bytes{1, 2, 3}) + track(events) + chunk("XTRA", Bytes{}));

    ASSERT_EQ(timeline.events.size(), 2u);
    expectEvent(timeline.events[0], 1.0, 0x90, 36, 127);
    expectEvent(timeline.events[1], 1.5, 0x80, 36, 0);
}

struct Malformed {
    const char* name;
    Bytes bytes;
    const char* reason;
};

void PrintTo(const Malformed& c, std::ostream* out) { *out << c.name; }

class MalformedMidiFile : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedMidiFile, IsRefusedWithItsReason) {
    const Malformed& c = GetParam();
    Timeline timeline;
    std::string error;
    EXPECT_FALSE(parseMidiFile(c.bytes, 120.0, timeline, error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
}

Bytes oneTrack(const Bytes& events) { return header(0, 1, kDivision) + track(events); }

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedMidiFile,
    ::testing::Values(
        Malformed{"Empty", {}, "not a MIDI file"},
        Malformed{"WaveFile", chunk("RIFF", Bytes(12, 0)), "not a MIDI file"},
        Malformed{"HeaderTooShort", chunk("MThd", Bytes{0, 0, 0, 1}), "header chunk too short"},
        Malformed{"HeaderCutOff", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0}, "truncated chunk"},
        Malformed{"FormatTwo", header(2, 1, kDivision) + track(kEndOfTrack), "format 2"},
        Malformed{"SmpteDivision", header(0, 1, 0xE728) + track(kEndOfTrack), "SMPTE"},
        Malformed{"ZeroDivision", header(0, 1, 0) + track(kEndOfTrack), "zero ticks per quarter note"},
        Malformed{"TrackLongerThanTheFile", header(0, 1, kDivision) + Bytes{'M', 'T', 'r', 'k', 0xFF, 0xFF, 0xFF, 0xF0, 0},
                  "truncated chunk"},
        Malformed{"TrackMissing", header(1, 2, kDivision) + track(kEndOfTrack), "announces 2 tracks"},
        Malformed{"VariableLengthTooLong", oneTrack(Bytes{0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1}),
                  "track 1: bad variable-length number"},
        Malformed{"VariableLengthCutOff", oneTrack(Bytes{0x81}), "track 1: truncated event"},
        Malformed{"MessageCutOff", oneTrack(Bytes{0x00, 0x90, 60}), "track 1: truncated event"},
        Malformed{"MetaLongerThanTheTrack", oneTrack(Bytes{0x00, 0xFF, 0x01, 0x7F, 'a'}), "truncated event"},
        Malformed{"SysexLongerThanTheTrack", oneTrack(Bytes{0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 0xF7}),
                  "truncated event"},
        Malformed{"DataWithoutStatus", oneTrack(Bytes{0x00, 60, 100} + kEndOfTrack), "data byte without a status"},
        Malformed{"SystemCommonStatus", oneTrack(Bytes{0x00, 0xF4} + kEndOfTrack), "unexpected status byte 0xF4"},
        Malformed{"StatusInsideMessage", oneTrack(Bytes{0x00, 0x90, 60, 0x80, 60, 0} + kEndOfTrack),
                  "status byte inside a message"},
        Malformed{"SetTempoOfTwoBytes", oneTrack(Bytes{0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1} + kEndOfTrack),
                  "track 1: bad Set Tempo"},
        Malformed{"ZeroTempo", oneTrack(delta(0) + setTempo(0) + kEndOfTrack), "bad Set Tempo"}),
    [](const auto& row) { return std::string(row.param.name); });

const Bytes kValidFile = header(1, 2, kDivision) + track(delta(0) + setTempo(400000) + kEndOfTrack) +
                         track(delta(0) + Bytes{0x90, 60, 100} + delta(kDivision) + Bytes{60, 0} + delta(3) +
                               Bytes{0xB0, 74, 20} + delta(0) + Bytes{0xF0, 2, 1, 0xF7} + kEndOfTrack);

TEST(MidiFile, EveryCutOffCopyIsRefused) {
    for (std::size_t size = 0; size < kValidFile.size(); ++size) {
        const Bytes cut(kValidFile.begin(), kValidFile.begin() + static_cast<std::ptrdiff_t>(size));
        Timeline timeline;
        std::string error;
        EXPECT_FALSE(parseMidiFile(cut, 120.0, timeline, error)) << "cut to " << size << " bytes";
        EXPECT_FALSE(error.empty());
    }
}

// Garbage must end in an error or in a time line a host can play: channel
// messages only, with data in range, at finite times that never go back.
TEST(MidiFile, DamagedBytesGiveAnErrorOrAPlayableTimeline) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> position(0, kValidFile.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int trial = 0; trial < 3000; ++trial) {
        Bytes damaged = kValidFile;
        for (int hit = 0; hit < 3; ++hit) damaged[position(random)] = static_cast<std::uint8_t>(value(random));
        Timeline timeline;
        std::string error;
        if (!parseMidiFile(damaged, 120.0, timeline, error)) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        double previous = 0.0;
        for (const TimelineEvent& event : timeline.events) {
            EXPECT_GE(event.message.status, 0x80);
            EXPECT_LT(event.message.status, 0xF0);
            EXPECT_LT(event.message.data1, 0x80);
            EXPECT_LT(event.message.data2, 0x80);
            EXPECT_TRUE(std::isfinite(event.seconds));
            EXPECT_GE(event.seconds, previous);
            previous = event.seconds;
        }
    }
}

TEST(MidiFile, UnreadableFileIsNamedInTheError) {
    Timeline timeline;
    std::string error;
    EXPECT_FALSE(readMidiFile("/nonexistent/song.mid", 120.0, timeline, error));
    EXPECT_NE(error.find("/nonexistent/song.mid: "), std::string::npos) << error;
}

}  // namespace
}  // namespace tarvik::render
