// MIDI messages waiting for the block they belong to.
#pragma once

#include <array>
#include <cstdint>

namespace tarvik {

struct MidiEvent {
    std::int32_t offset;  // frames from the start of the block
    std::uint8_t status;  // with its channel nibble
    std::uint8_t data1;
    std::uint8_t data2;
};

// The events of the coming block, kept ordered by offset; events with equal
// offsets stay in the order the host gave them. Fixed room: intake on the
// audio thread never allocates.
class PendingEvents {
public:
    static constexpr int kCapacity = 64;

    void clear() { count_ = 0; }

    // Appends in offset order; answers false (and keeps nothing) when full.
    bool add(const MidiEvent& e) {
        if (count_ == kCapacity) return false;
        int at = count_;
        while (at > 0 && events_[static_cast<std::size_t>(at - 1)].offset > e.offset) {
            events_[static_cast<std::size_t>(at)] = events_[static_cast<std::size_t>(at - 1)];
            --at;
        }
        events_[static_cast<std::size_t>(at)] = e;
        ++count_;
        return true;
    }

    int size() const { return count_; }
    const MidiEvent* begin() const { return events_.data(); }
    const MidiEvent* end() const { return events_.data() + count_; }

private:
    std::array<MidiEvent, kCapacity> events_{};
    int count_ = 0;
};

}  // namespace tarvik
