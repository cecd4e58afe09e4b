// The five wavetable sets the plug-in plays, built once per process and
// shared by every instance: each is read from its data file when that file
// is present and sound, and otherwise made in memory by the same generator
// that writes the files, so that a missing or damaged file never changes
// the sound.
#pragma once

#include <string>

#include "dsp/wavetable.h"
#include "dsp/wavetable_generator.h"

namespace tarvik {

struct WavetableSet {
    const Wavetable& operator[](WavetableKind kind) const;
    Wavetable& operator[](WavetableKind kind);

    Wavetable saw;        // oscillators' "Saw" and "Pulse" (wtsaw)
    Wavetable square;     // oscillators' "Square" (wtsquare)
    Wavetable triangle;   // oscillators' "Triangle" and "Sine", the generator's triangle (wttri)
    Wavetable modSaw;     // modulation generator's saw (mgsaw)
    Wavetable modSquare;  // modulation generator's square (mgsqu)
};

// The file's name, e.g. "wtsaw.dat".
const char* wavetableFileName(WavetableKind kind);

// Reads each file from the folder (given with its trailing separator; empty
// means no files) and generates each table whose file is missing or rejected.
WavetableSet loadWavetables(const std::string& folder);

// The process-wide set, loaded by the first call (later calls' folders are
// not looked at). Thread-safe: two instances starting at once get the same
// set, built once. The first call reads files and allocates, so the plug-in
// makes it while it is constructed, never on the audio thread; the audio
// thread only reads the finished set, which lives until the process ends.
const WavetableSet& sharedWavetables(const std::string& folder);

}  // namespace tarvik
