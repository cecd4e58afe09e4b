// What the renderer plays: MIDI messages and tempo changes on a time line in
// seconds, whether they came from a MIDI file or from the command line.
#pragma once

#include <vector>

#include "tools/host/hosted_plugin.h"

namespace tarvik::render {

// An hour is far more than any listening test needs, and it keeps a typing
// slip or a hostile MIDI file from filling the disk.
constexpr double kLongestTimelineSeconds = 3600.0;

struct TimelineEvent {
    double seconds;
    host::MidiMessage message;
};

struct TempoChange {
    double seconds;
    double bpm;
};

// Events in any time order (the block schedule sorts them); tempo changes in
// time order.
struct Timeline {
    std::vector<TimelineEvent> events;
    std::vector<TempoChange> tempoChanges;
};

}  // namespace tarvik::render
