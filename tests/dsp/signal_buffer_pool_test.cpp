#include "dsp/signal_buffer_pool.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tarvik {
namespace {

bool aligned(const float* p) { return reinterpret_cast<std::uintptr_t>(p) % SignalBufferPool::kAlignment == 0; }

TEST(SignalBufferPool, SlotsGetZeroedAlignedBuffersOfTheirChannelCount) {
    SignalBufferPool pool(100);
    float* mono = nullptr;
    float* stereo = nullptr;
    pool.registerBuffer(&mono, 1);
    pool.registerBuffer(&stereo, 2);
    ASSERT_NE(mono, nullptr);
    ASSERT_NE(stereo, nullptr);
    EXPECT_TRUE(aligned(mono));
    EXPECT_TRUE(aligned(stereo));
    for (int i = 0; i < 100; ++i) EXPECT_EQ(mono[i], 0.0f);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(stereo[i], 0.0f);
    stereo[199] = 1.0f;  // the whole two-channel room is usable (ASan checks the bound)
    EXPECT_EQ(pool.size(), 2);
}

TEST(SignalBufferPool, ResizeGivesEverySlotANewZeroedBufferOfTheNewSize) {
    SignalBufferPool pool(64);
    float* a = nullptr;
    float* b = nullptr;
    pool.registerBuffer(&a, 1);
    pool.registerBuffer(&b, 2);
    a[10] = 5.0f;
    pool.resize(4096);
    EXPECT_EQ(pool.blockSize(), 4096);
    EXPECT_TRUE(aligned(a));
    EXPECT_TRUE(aligned(b));
    EXPECT_EQ(a[10], 0.0f);
    a[4095] = 1.0f;
    b[8191] = 1.0f;
    pool.resize(16);
    EXPECT_EQ(a[15], 0.0f);
}

TEST(SignalBufferPool, ClearZeroesEveryBuffer) {
    SignalBufferPool pool(32);
    float* a = nullptr;
    float* b = nullptr;
    pool.registerBuffer(&a, 1);
    pool.registerBuffer(&b, 2);
    for (int i = 0; i < 32; ++i) a[i] = 1.0f;
    for (int i = 0; i < 64; ++i) b[i] = -1.0f;
    pool.clear();
    for (int i = 0; i < 32; ++i) EXPECT_EQ(a[i], 0.0f);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(b[i], 0.0f);
}

TEST(SignalBufferPool, FullPoolIgnoresFurtherBuffers) {
    SignalBufferPool pool(8);
    static float* slots[SignalBufferPool::kMaxBuffers + 1] = {};
    for (float*& slot : slots) pool.registerBuffer(&slot, 1);
    EXPECT_EQ(pool.size(), SignalBufferPool::kMaxBuffers);
    EXPECT_NE(slots[SignalBufferPool::kMaxBuffers - 1], nullptr);
    EXPECT_EQ(slots[SignalBufferPool::kMaxBuffers], nullptr);
}

}  // namespace
}  // namespace tarvik
