#include "tools/render/block_schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <vector>

namespace tarvik::render {
namespace {

// A millisecond a frame keeps the expected frames readable.
constexpr double kRate = 1000.0;
constexpr int kTotalFrames = 1000;
constexpr double kInitialBpm = 100.0;
constexpr double kLaterBpm = 150.0;
constexpr std::int64_t kTempoChangeFrame = 250;

struct Delivered {
    std::int64_t frame;
    std::uint8_t status;
    std::uint8_t key;
};

bool operator==(const Delivered& a, const Delivered& b) {
    return a.frame == b.frame && a.status == b.status && a.key == b.key;
}

void PrintTo(const Delivered& d, std::ostream* out) {
    *out << "{" << d.frame << ", 0x" << std::hex << int{d.status} << std::dec << ", " << int{d.key} << "}";
}

Timeline timeline() {
    Timeline t;
    t.events = {
        {0.0, {0x90, 1, 100}},
        {0.0106, {0x90, 2, 100}},  // between frames: goes to the nearer
        // The next note on key 3 is listed before the end of the one before.
        {0.5, {0x90, 3, 100}},
        {0.2, {0x90, 3, 100}},
        {0.5, {0x80, 3, 0}},
        {0.999, {0x80, 1, 0}},
        {1e12, {0x80, 2, 0}},  // far past the render
    };
    t.tempoChanges = {{kTempoChangeFrame / kRate, kLaterBpm}};
    return t;
}

class BlockScheduleSizes : public ::testing::TestWithParam<int> {};

TEST_P(BlockScheduleSizes, DeliversEveryEventOnItsFrameWhateverTheBlockSize) {
    const int blockSize = GetParam();
    BlockSchedule schedule(timeline(), kRate, kInitialBpm);
    std::vector<Delivered> delivered;
    for (std::int64_t start = 0; start < kTotalFrames; start += blockSize) {
        const int frames = static_cast<int>(std::min<std::int64_t>(blockSize, kTotalFrames - start));
        schedule.advance(frames);
        EXPECT_EQ(schedule.tempo(), start >= kTempoChangeFrame ? kLaterBpm : kInitialBpm) << "block at " << start;
        for (const host::TimedMidi& event : schedule.events()) {
            EXPECT_GE(event.offset, 0);
            EXPECT_LT(event.offset, frames);
            delivered.push_back({start + event.offset, event.message.status, event.message.data1});
        }
    }
    const std::vector<Delivered> expected = {
        {0, 0x90, 1}, {11, 0x90, 2}, {200, 0x90, 3}, {500, 0x80, 3}, {500, 0x90, 3}, {999, 0x80, 1},
    };
    EXPECT_EQ(delivered, expected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BlockScheduleSizes, ::testing::Values(1, 7, 64, 250, 512, 4096),
                         [](const auto& row) { return std::to_string(row.param) + "FrameBlocks"; });

}  // namespace
}  // namespace tarvik::render
