// Notes the editor's keyboard plays on voice 0 to let the user hear a step
// while programming it. The GUI thread asks, the audio thread plays them at
// the start of its next block: a single-producer, single-consumer ring, so
// neither side ever waits or allocates. A full ring drops the newest ask.
#pragma once

#include <array>
#include <atomic>
#include <optional>

namespace tarvik {

struct PreviewNote {
    int note;      // -1: release
    int velocity;
};

class PreviewNotes {
public:
    static constexpr int kRoom = 16;

    // GUI thread.
    void push(PreviewNote n) {
        const int tail = tail_.load(std::memory_order_relaxed);
        const int next = (tail + 1) % kRoom;
        if (next == head_.load(std::memory_order_acquire)) return;
        slots_[static_cast<std::size_t>(tail)] = n;
        tail_.store(next, std::memory_order_release);
    }

    // Audio thread.
    std::optional<PreviewNote> pop() {
        const int head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) return std::nullopt;
        const PreviewNote n = slots_[static_cast<std::size_t>(head)];
        head_.store((head + 1) % kRoom, std::memory_order_release);
        return n;
    }

private:
    std::array<PreviewNote, kRoom> slots_{};
    std::atomic<int> head_{0};
    std::atomic<int> tail_{0};
};

}  // namespace tarvik
