// Owns every signal buffer of the graph. Each buffer belongs to one output
// slot and holds channels x block-size floats, 32-byte aligned for vector
// loads; the slot always points at its current buffer. Buffers are sized
// when the host announces its block size, never on the audio thread.
#pragma once

#include <array>
#include <cstddef>
#include <memory>

namespace tarvik {

class SignalBufferPool {
public:
    static constexpr int kMaxBuffers = 1024;
    static constexpr std::size_t kAlignment = 32;

    explicit SignalBufferPool(int blockSize = 1024) : blockSize_(blockSize) {}

    // Gives the slot a zeroed buffer of channels x block size floats; ignored
    // once the pool is full.
    void registerBuffer(float** slot, int channels);
    // Reallocates every buffer for a new block size; contents are not kept.
    void resize(int blockSize);
    // Zeroes every buffer.
    void clear();

    int blockSize() const { return blockSize_; }
    int size() const { return count_; }

private:
    struct AlignedFree {
        void operator()(float* p) const { ::operator delete[](p, std::align_val_t{kAlignment}); }
    };
    using Buffer = std::unique_ptr<float[], AlignedFree>;

    struct Entry {
        float** slot = nullptr;
        int channels = 1;
        Buffer buffer;
    };

    static Buffer allocate(int channels, int blockSize);

    std::array<Entry, kMaxBuffers> entries_{};
    int count_ = 0;
    int blockSize_;
};

}  // namespace tarvik
