#include "dsp/signal_buffer_pool.h"

#include <algorithm>
#include <new>

namespace tarvik {

SignalBufferPool::Buffer SignalBufferPool::allocate(int channels, int blockSize) {
    const std::size_t floats = static_cast<std::size_t>(channels) * static_cast<std::size_t>(blockSize);
    Buffer buffer(static_cast<float*>(::operator new[](floats * sizeof(float), std::align_val_t{kAlignment})));
    std::fill_n(buffer.get(), floats, 0.0f);
    return buffer;
}

void SignalBufferPool::registerBuffer(float** slot, int channels) {
    if (count_ == kMaxBuffers) return;
    Entry& entry = entries_[static_cast<std::size_t>(count_)];
    entry.buffer = allocate(channels, blockSize_);
    entry.slot = slot;
    entry.channels = channels;
    *slot = entry.buffer.get();
    ++count_;
}

// All new buffers are made before any old one goes: if memory runs out the
// pool keeps its old size and every slot its old buffer.
void SignalBufferPool::resize(int blockSize) {
    std::array<Buffer, kMaxBuffers> fresh;
    for (int i = 0; i < count_; ++i) fresh[static_cast<std::size_t>(i)] = allocate(entries_[static_cast<std::size_t>(i)].channels, blockSize);
    blockSize_ = blockSize;
    for (int i = 0; i < count_; ++i) {
        Entry& entry = entries_[static_cast<std::size_t>(i)];
        entry.buffer = std::move(fresh[static_cast<std::size_t>(i)]);
        *entry.slot = entry.buffer.get();
    }
}

void SignalBufferPool::clear() {
    for (int i = 0; i < count_; ++i) {
        const Entry& entry = entries_[static_cast<std::size_t>(i)];
        std::fill_n(entry.buffer.get(), static_cast<std::size_t>(entry.channels) * static_cast<std::size_t>(blockSize_),
                    0.0f);
    }
}

}  // namespace tarvik
