#include "tools/render/block_schedule.h"

#include <algorithm>
#include <cmath>

namespace tarvik::render {

namespace {
bool isNoteOff(const host::MidiMessage& message) { return (message.status & 0xF0) == 0x80; }

// Events past the longest render are never played; holding them just past
// it keeps their frame numbers in range however late a MIDI file puts them.
std::int64_t frameAt(double seconds, double sampleRate) {
    return std::llround(std::min(seconds, kLongestTimelineSeconds + 1.0) * sampleRate);
}
}  // namespace

BlockSchedule::BlockSchedule(const Timeline& timeline, double sampleRate, double initialBpm) : tempo_(initialBpm) {
    events_.reserve(timeline.events.size());
    for (const TimelineEvent& event : timeline.events)
        events_.push_back({frameAt(event.seconds, sampleRate), event.message});
    // A note that ends where the next one on the same key starts must be
    // released first, or the release would cut the new note off.
    std::stable_sort(events_.begin(), events_.end(), [](const FrameEvent& a, const FrameEvent& b) {
        if (a.frame != b.frame) return a.frame < b.frame;
        return isNoteOff(a.message) && !isNoteOff(b.message);
    });
    for (const TempoChange& change : timeline.tempoChanges)
        tempoChanges_.push_back({frameAt(change.seconds, sampleRate), change.bpm});
}

void BlockSchedule::advance(int frames) {
    const std::int64_t blockStart = blockEnd_;
    blockEnd_ += frames;
    blockEvents_.clear();
    for (; nextEvent_ < events_.size() && events_[nextEvent_].frame < blockEnd_; ++nextEvent_) {
        const FrameEvent& event = events_[nextEvent_];
        blockEvents_.push_back({static_cast<int>(event.frame - blockStart), event.message});
    }
    for (; nextTempo_ < tempoChanges_.size() && tempoChanges_[nextTempo_].frame <= blockStart; ++nextTempo_)
        tempo_ = tempoChanges_[nextTempo_].bpm;
}

}  // namespace tarvik::render
