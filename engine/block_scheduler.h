// Cuts a host block at its events so that every event acts exactly at its
// offset: the audio before an event is rendered first, then the event is
// handled, and no rendered stretch ever straddles an event.
#pragma once

#include <algorithm>

#include "engine/midi_event.h"

namespace tarvik {

// Calls render(start, frames) for each stretch of the block between events
// (never with frames == 0) and handle(event) at each event's offset, in order.
// Offsets outside the block are moved to its nearest frame, so nothing is
// rendered past the block and every event is still handled.
template <typename Render, typename Handle>
void forEachSegment(const PendingEvents& events, int frames, Render&& render, Handle&& handle) {
    const int lastFrame = std::max(frames - 1, 0);
    int done = 0;
    for (const MidiEvent& e : events) {
        const int at = std::clamp(static_cast<int>(e.offset), done, lastFrame);
        if (at > done) {
            render(done, at - done);
            done = at;
        }
        handle(e);
    }
    if (done < frames) render(done, frames - done);
}

}  // namespace tarvik
