// The user-level settings kept in "Config.ini" in the data folder.
//
// Five of the values are states of the current patch (BendRange, Retrigger,
// FilterMode, SyncMode and MidiMode): a loaded patch brings its own, so the
// plug-in copies them from the struct into the patch after reading and from
// the patch into the struct before writing. The struct itself stays plain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvik {

// The size of the voice pool: MaxPolyphony never asks for more.
inline constexpr int kMaxPolyphony = 32;
// A Tuning text this long or longer is ignored on reading and refused on
// writing; the tuning path has always been limited to this.
inline constexpr std::size_t kMaxTuningPathLength = 255;

struct Configuration {
    int maxPolyphony = 6;  // 1..kMaxPolyphony
    int bendRange = 12;    // patch state, semitones
    int retrigger = 0;     // patch state
    int autoRun = 1;
    int filterMode = 3;  // patch state
    int syncMode = 0;    // patch state
    int midiMode = 0;    // patch state
    int tuningMode = 1;
    float bassBoost = 0.0f;  // 0..1
    int oscModel = 1;
    int clearNotes = 1;
    int accentVelocity = 100;  // 0..127
    int parameterSmoothing = 1048575;
    int clockSync = 0;
    int activeClocks = 44100;  // written, never read back
    int guiKnobMode = 2;
    int midiOutput = 0;
    int midiOutputChannel = 0;  // 0..15; the file holds it counted from 1
    std::string tuning;
    std::string startupPatch;
    // Read only, never written: kept so that old files keep their meaning.
    std::uint8_t envmodKnob = 1;
    int resonanceKnob = 0;
    int filterTuning = 0;  // the old key "TM5" sets it too

    bool operator==(const Configuration&) const = default;
};

// Applies every setting "Config.ini" at path holds to configuration, leaving
// the others as they are. Always true: a missing or unreadable file just
// means no settings, and damaged lines are skipped. Values are brought into
// the ranges noted above; integers beyond the int range give the nearest
// int. A Tuning or StartupPatch value without its opening double quote is
// the rest of its line; one without its closing quote ends with its line.
bool readConfiguration(Configuration& configuration, const std::string& path);

// Writes every setting except the read-only ones, replacing the file only
// once it is complete. False, with the old file left as it was, when the
// file cannot be written or a text cannot be stored so that it reads back
// the same (a double quote or line break in it, a Tuning path too long).
bool writeConfiguration(const Configuration& configuration, const std::string& path);

}  // namespace tarvik
