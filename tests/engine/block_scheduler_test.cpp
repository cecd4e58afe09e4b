#include "engine/block_scheduler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvik {
namespace {

// Runs the scheduler and writes what it did as a compact trace:
// "r0+100" renders frames 0..99, "e3" handles the event whose data1 is 3.
std::string trace(const std::vector<int>& offsets, int frames) {
    PendingEvents events;
    for (std::size_t i = 0; i < offsets.size(); ++i)
        events.add({offsets[i], 0x90, static_cast<std::uint8_t>(i), 100});
    std::string out;
    forEachSegment(
        events, frames,
        [&](int start, int length) { out += "r" + std::to_string(start) + "+" + std::to_string(length) + " "; },
        [&](const MidiEvent& e) { out += "e" + std::to_string(e.data1) + " "; });
    return out;
}

struct ScheduleCase {
    const char* name;
    std::vector<int> offsets;
    int frames;
    const char* expected;
    friend void PrintTo(const ScheduleCase& row, std::ostream* out) { *out << row.name; }
};

class BlockScheduling : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(BlockScheduling, CutsTheBlockExactlyAtEachEvent) {
    const ScheduleCase& c = GetParam();
    EXPECT_EQ(trace(c.offsets, c.frames), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlockScheduling,
    ::testing::Values(
        ScheduleCase{"NoEventsIsOneSegment", {}, 256, "r0+256 "},
        ScheduleCase{"EventInTheMiddle", {100}, 256, "r0+100 e0 r100+156 "},
        ScheduleCase{"EventAtZeroComesFirst", {0}, 256, "e0 r0+256 "},
        ScheduleCase{"EqualOffsetsNoEmptySegmentHostOrder", {50, 50}, 256, "r0+50 e0 e1 r50+206 "},
        ScheduleCase{"UnsortedArrivalIsPlayedInTimeOrder", {200, 10, 100}, 256, "r0+10 e1 r10+90 e2 r100+100 e0 r200+56 "},
        ScheduleCase{"EventOnLastFrame", {255}, 256, "r0+255 e0 r255+1 "},
        ScheduleCase{"LateEventIsMovedToTheLastFrame", {300, 1000}, 256, "r0+255 e0 e1 r255+1 "},
        ScheduleCase{"NegativeOffsetActsAtTheStart", {-5}, 64, "e0 r0+64 "},
        ScheduleCase{"EmptyBlockStillHandlesEvents", {0, 7}, 0, "e0 e1 "}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PendingEvents, KeepsArrivalOrderForEqualOffsetsAndRefusesBeyondCapacity) {
    PendingEvents events;
    for (int i = 0; i < PendingEvents::kCapacity; ++i)
        ASSERT_TRUE(events.add({i % 3, 0x90, static_cast<std::uint8_t>(i), 1}));
    EXPECT_FALSE(events.add({0, 0x90, 99, 1}));
    ASSERT_EQ(events.size(), PendingEvents::kCapacity);

    int previousOffset = -1;
    int previousId = -1;
    for (const MidiEvent& e : events) {
        ASSERT_GE(e.offset, previousOffset);
        if (e.offset == previousOffset) {
            EXPECT_GT(e.data1, previousId);
        }
        previousOffset = e.offset;
        previousId = e.data1;
    }
    events.clear();
    EXPECT_EQ(events.size(), 0);
}

}  // namespace
}  // namespace tarvik
