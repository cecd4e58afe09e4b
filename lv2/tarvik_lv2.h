// The LV2 front end: one plug-in instance over the instrument. The host
// connects the ports, then calls run() on its audio thread; run() reads the
// controls, turns the atom sequence into the instrument's events and renders
// the block through the audio face.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <array>

#include "instrument/instrument.h"
#include "lv2/ports.h"

namespace tarvik::lv2 {

// The URIDs run() compares against, mapped once at instantiation.
struct Urids {
    LV2_URID midiEvent;
    LV2_URID timePosition;
    LV2_URID beatsPerMinute;
    LV2_URID atomFloat;
    LV2_URID atomDouble;
    LV2_URID atomInt;
    LV2_URID atomLong;
    LV2_URID atomObject;
};

class TarvikLv2 final : private InstrumentHost {
public:
    // The instantiating thread: reads the data folder as the instrument
    // starts.
    TarvikLv2(const LV2_URID_Map& map, double sampleRate, int maxBlockFrames);

    // Set-up and audio threads, as the host calls them.
    void connectPort(std::uint32_t port, void* data);
    void run(std::uint32_t frames);

private:
    // InstrumentHost. An LV2 host learns of parameter changes through the
    // control ports it writes itself and offers no MIDI output port here, so
    // there is nothing to tell it yet.
    void beginParameterEdit(int) override {}
    void endParameterEdit(int) override {}
    void automateParameter(int, float) override {}
    bool sendMidi(std::uint8_t, std::uint8_t) override { return false; }
    void patchReplaced() override {}

    void takeControls();
    // Hands the sequence's MIDI messages to the audio face at their frames
    // and keeps the latest host tempo it carries.
    void takeEvents(std::uint32_t frames);
    void takePosition(const LV2_Atom_Object& position);

    Urids urids_;
    Instrument instrument_;
    std::array<const float*, kNumParameters> controls_{};
    // What each control port held when last read: only a change is handed
    // on, so the instrument's own value stands until the host moves it.
    std::array<float, kNumParameters> lastControls_{};
    const LV2_Atom_Sequence* events_ = nullptr;
    const float* aux_ = nullptr;
    float* left_ = nullptr;
    float* right_ = nullptr;
    // The host's tempo, or 0 until its first time position.
    double hostTempo_ = 0.0;
};

}  // namespace tarvik::lv2
