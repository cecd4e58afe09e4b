// Moving patterns between Tarvik and the files of other step sequencers:
// Corvall pattern files (".pat", one text line per step) and the TB-303
// units of ReBirth RB-338 song files (".rbs").
//
// These formats carry notes 0..12 (C to the upper C) with the gate, octave
// up and down, slide and accent flags; ties are neither written nor read.
// Every reader here takes files from anywhere, so none of them trusts a
// length, a size or a line it finds: whatever the bytes, they read only what
// the file holds, write only the 64 steps of a pattern and leave a length in
// 1..64.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "patch/parameters.h"
#include "patch/patch.h"

namespace tarvik {

// --- Corvall pattern files ---------------------------------------------------

// The file's text: one line "nnd g s a" per played step (note name, octave
// digit, then gate, slide and accent as 0 or 1), nothing else. Notes above 12
// lose their octave: only the name (note mod 12) and the flags are written.
std::string corvallPatternText(const Pattern& pattern);

// Writes corvallPatternText to path through a temporary file, so that a
// failed write leaves a file already there as it was. False on failure.
bool exportCorvallPattern(const Pattern& pattern, const std::string& path);

// Reads the lines of a Corvall pattern file into the pattern's first steps
// and sets its length to the number of lines read (1..64). The reading stops
// at the first line that lacks one of its six fields; a file with no readable
// line sets the length to 1 and keeps every step. A line names its note in
// lower case ("c-", "c#" ... "b-"); a name that is none of these keeps the
// note of the line before, C on the first line. Whatever follows the six
// fields on a line is ignored, however long it is. Steps beyond the imported
// lines, the flags and the time mode keep their contents.
// False, with nothing changed, when path is not a regular file that opens.
bool importCorvallPattern(Pattern& pattern, const std::string& path);

// --- ReBirth RB-338 songs ----------------------------------------------------

constexpr int kSongUnits = 2;          // TB-303 units taken from a song
constexpr int kUnitPatterns = 32;      // patterns a unit holds
constexpr int kSongPatterns = kSongUnits * kUnitPatterns;
constexpr int kSongParameters = 6;

// One TB-303 pattern as it goes into the bank. Only its first stepCount
// steps come from the song; the pattern's other steps keep their contents.
struct SongPattern {
    bool present = false;  // false: the song has no such pattern, it stays as it is
    std::uint8_t length = 1;  // 1..64
    int stepCount = 0;        // 0..64
    Step steps[kMaxSteps] = {};
};

struct SongParameter {
    int index;  // a param::Index
    float value;
};

// What a song gives: the unit's pattern number, six sound parameters of the
// first unit (in the order they are to be set) and the patterns of both
// units, first unit into 0..31, second into 32..63.
struct SongImport {
    int currentPattern = 0;  // 0..127
    std::array<SongParameter, kSongParameters> parameters = {{
        {param::MasterTuning, 0.0f},
        {param::FilterCutoff, 0.0f},
        {param::FilterResonance, 0.0f},
        {param::EnvelopeMod, 0.0f},
        {param::VcfDecay, 0.0f},
        {param::AccentAmount, 0.0f},
    }};
    std::array<SongPattern, kSongPatterns> patterns{};
};

// A song is far smaller: anything this large is not one.
constexpr std::uintmax_t kMaxSongFileSize = 16u << 20;

// Reads the first two TB-303 units of a ReBirth song. False, with song
// unchanged, when the file does not open, is not a regular file or is larger
// than kMaxSongFileSize, when its chunk list is damaged (a chunk larger than
// what holds it, nesting deeper than a song ever does), when it holds no
// TB-303 unit, or when the first unit is too short for its pattern number and
// sound parameters. A pattern is taken only when its length byte and all the
// steps it announces lie inside its unit: a unit cut short gives the patterns
// that fit and no others.
bool readRebirthSong(const std::string& path, SongImport& song);

// Puts the song's present patterns into the bank, each published whole
// (publishPattern), and selects its pattern (state CurrentPattern), in that
// order, so that the sequencer never plays the selected pattern half written. The parameters are left to the caller,
// which sets them through the plug-in so that host and panel follow.
void applyRebirthPatterns(const SongImport& song, TarvikPatch& patch);

}  // namespace tarvik
