// Note frequencies: the equal-tempered table every instance shares, and each
// instance's own table that a tuning file (a Scala scale or a plain list of
// frequencies) can replace.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

inline constexpr int kNotes = 128;
// One entry past the top note repeats it, so a reader that looks at note + 1
// (interpolation, glide targets) stays inside the table.
inline constexpr int kNoteTableSize = kNotes + 1;
// Beyond this a note count is taken as a damaged file rather than a scale.
inline constexpr int kMaxScaleNotes = 1024;
// A line keeps at most this many characters (line end included); the rest
// of a longer line is skipped so it never reads as a line of its own.
inline constexpr int kMaxScaleLineLength = 1024;

using NoteTable = std::array<float, kNoteTableSize>;

// Built on first use, then read-only: safe to share between instances and
// threads.
const NoteTable& standardNoteTable();

struct Scale {
    std::string description;  // the first non-comment line, line end included
    // Ratio 0 is the unison; then the file's ratios in order, its period
    // last.
    std::vector<float> ratios;

    int entryCount() const { return static_cast<int>(ratios.size()); }
    int notes() const { return entryCount() - 1; }
};

// Reads a Scala scale file; nullopt when the file is missing, malformed or
// holds fewer ratios than its note count announces.
// Problems with the file's content are reported on standard output.
std::optional<Scale> readScale(const std::string& path);

// The table a scale gives: degree 0 on every C, one octave per period.
// nullopt when a note would not be a usable frequency (the top notes of a
// one-note scale, absurd ratios).
std::optional<NoteTable> noteTableFromScale(const Scale& scale);

class NoteTables {
public:
    NoteTables() : custom_(standardNoteTable()) {}

    // Fills the custom table from a tuning file; true only when the whole
    // table came from it. A path containing ".scl" (in any letter case) is a
    // Scala scale that replaces the table only when it reads completely;
    // anything else is a list of up to 128 frequencies, each stored as it is
    // read, so a short or damaged list leaves the notes it reached replaced.
    bool loadTuning(const std::string& path);

    // What a voice plays from: TuningMode 0 selects this instance's custom
    // table, any other value the standard one. Both hold kNoteTableSize
    // entries.
    const float* noteTableFor(int tuningMode) const {
        return tuningMode != 0 ? standardNoteTable().data() : custom_.data();
    }

private:
    bool loadScale(const std::string& path);
    bool loadFrequencyList(const std::string& path);

    NoteTable custom_;
};

}  // namespace tarvik
