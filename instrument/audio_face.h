// The instrument as the host's audio thread reaches it: the events of the
// coming block and the block itself. Nothing here waits, locks, allocates
// or touches a file.
#pragma once

#include "engine/midi_event.h"

namespace tarvik {

class Instrument;

class AudioFace {
public:
    explicit AudioFace(Instrument& instrument) : instrument_(instrument) {}

    // The host's events for the coming block: the list is emptied, then each
    // MIDI message is added in offset order, up to 64. Program changes and
    // bank selects are also noted for the control side to load, beyond 64
    // too.
    void clearEvents();
    void addEvent(const MidiEvent& event);

    // Whether the sequencer follows the host's tempo (the state SyncMode).
    bool followsHostTempo() const;
    // The host's tempo for this block, with host sync on.
    void setHostTempo(double bpm);

    // Renders one block: what the control side asked for acts first, then
    // the events at their offsets. The outputs are overwritten; inputs (the
    // AUX input) and either of its channels may be null.
    void process(const float* const* inputs, float* const* outputs, int frames);

private:
    Instrument& instrument_;
};

}  // namespace tarvik
