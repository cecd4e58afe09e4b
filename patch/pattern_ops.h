// Everything that edits a pattern: the pattern menu, the advanced randomiser,
// the step-programming commands of the sequencer panel, the pattern clear,
// and the process-wide clipboard and random generator these share.
//
// Each operation works on a pattern that is not live: the instrument's one
// writer of patterns hands it a copy and publishes the result
// (publishPattern), which the sequencer may be playing meanwhile.
//
// A damaged patch can leave a length outside 1..64. Operations that walk the
// played steps then use the length the sequencer plays (playedLength): a
// length of 0 is step 0 alone, anything above 64 is all 64 steps. No operation reads or writes beyond the 64 steps.
#pragma once

#include <algorithm>
#include <cstdint>

#include "patch/patch.h"

namespace tarvik {

constexpr int kPitchClasses = 12;

constexpr int playedLength(int length) { return std::clamp(length, 1, kMaxSteps); }

// The pattern the editor and the sequencer work on; a damaged CurrentPattern
// state is brought into the bank rather than read past it.
int currentPatternIndex(const TarvikPatch& patch);

// The process-wide pseudo-random generator: state := state × 214013 + 2531011
// (mod 2^32), result := (state >> 16) & 0x7FFF. Every randomiser draws from it
// in a fixed order, so seeding it makes their results reproducible. The state
// starts at 1 when the library loads; it is atomic so that the editors of
// several plug-in instances may draw from it at the same time.
void seedPatternRandom(std::uint32_t seed);
int patternRandom();  // 0..32767

// Copies flags, length and all 64 steps; timeMode and the reserved byte are
// the pattern's own and neither copied nor pasted. The clipboard is one per
// process and holds nothing until the first copy: a paste before it answers
// false and leaves the pattern as it is (an empty clipboard pasted would wipe
// the pattern to a length of 0).
void copyPattern(const Pattern& pattern);
bool pastePattern(Pattern& pattern);
// Whether anything was copied in this process, so that a paste would change
// the pattern.
bool patternCopied();

// Moves every played step (rests too) by the given semitones and renormalises
// the octave flags: notes 0..12 without flag, above that with up, below 0 with
// down and folded to 0 when even that is not enough.
void transposePattern(Pattern& pattern, int semitones);
// Spreads steps 0..31 over the even steps with rests between and doubles the
// length (at most 64, 1 from a length of 0); old steps 32..63 are lost.
void expandPattern(Pattern& pattern);
// Keeps the even steps, halves the played length (at least 1) and zeroes the
// steps from the new length on.
void shrinkPattern(Pattern& pattern);
// Repeats the played steps over all 64 slots; the length stays.
void duplicateSteps(Pattern& pattern);
// Rotates the played steps by distance places (+1: one step later, −1: one
// step earlier); any distance is taken modulo the length.
void shiftPattern(Pattern& pattern, int distance);

void allNotesOff(Pattern& pattern);  // gate and tie cleared
void allAccentsOff(Pattern& pattern);
void allSlidesOff(Pattern& pattern);

// Each played step draws three numbers and takes the third mod 29 as its note.
void randomizePitches(Pattern& pattern);
// Each played step draws six numbers for accent, gate, slide, up, down and a
// note 0..13; about 75 % of the steps sound.
void randomizePattern(Pattern& pattern);
// A random permutation of the played steps.
void alterPattern(Pattern& pattern);

// Filled by the "Advanced Random..." panel; the defaults are the panel's.
struct AdvancedRandomSettings {
    std::int32_t stepCount = 16;
    std::int32_t octaveHigh = 2;
    std::int32_t octaveLow = 1;
    std::int32_t pitchPercent = 50;
    std::int32_t gatePercent = 50;
    std::int32_t slidePercent = 50;
    std::int32_t accentPercent = 50;
    std::int32_t pitchClassEnabled[kPitchClasses] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};  // C to B
    std::int32_t randomizePitches = 1;
    std::int32_t randomizeGates = 1;
    std::int32_t randomizeSlides = 1;
    std::int32_t randomizeAccents = 1;
};

// The dialog keeps its values in range, but the record is plain data, so:
// stepCount is limited to 1..64; percentages to 0..100 (so a count never
// exceeds the length and the search for an unused step always ends); octaves
// to 0..5, the span whose notes (0..35 with the octave flags) the step editor
// can show, and a high octave below the low one is taken as the same range
// the other way round.
void advancedRandomize(Pattern& pattern, const AdvancedRandomSettings& settings);

// The start-up, new-patch and "clear pattern" state: triplet off, every played
// step note 0 with the gate on when clearNotes is set, else a rest. The length
// and the steps beyond it are kept.
void clearPattern(Pattern& pattern, bool clearNotes);
void clearPatternBank(TarvikPatch& patch, bool clearNotes);

// What the engine has to do after a Run/Stop command. Starting or stopping
// involves voices and MIDI output, which the engine owns, so the command only
// reports it. To start: StepSequencer::requestPositionReset(), then RunStop :=
// 1 (in that order, so the audio thread never plays the old position), then
// the voices. To stop: RunStop := 0, then the voices and the MIDI Note Off.
enum class RunStopRequest { None, Start, Stop };

// What step programming needs to know besides the pattern.
struct StepProgramming {
    bool writeProtected = false;  // the state PatternWriteProtect
    bool running = false;         // the state RunStop
    bool clearNotes = true;       // the configuration value ClearNotes
};

// The codes the sequencer panel's buttons and keys send.
namespace command {
constexpr int kClearPattern = 13;
constexpr int kRunStop = 14;
constexpr int kAutoAdvance = 15;
constexpr int kFirstStep = 16;
constexpr int kToggleGate = 17;
constexpr int kToggleDown = 18;
constexpr int kToggleUp = 19;
constexpr int kToggleAccent = 20;
constexpr int kToggleSlide = 21;
constexpr int kBack = 22;
constexpr int kNext = 23;
constexpr int kLonger = 24;
constexpr int kShorter = 25;
constexpr int kFirstNote = 555;  // note 0; kFirstNote + k enters note k
constexpr int kLastNote = 590;   // note 35
}  // namespace command

// The sequencer panel's step programming. The edit position and the
// auto-advance switch belong to the plug-in object, not to the patch, so that
// loading a patch or switching patterns does not move them.
class PatternEditor {
public:
    // Applies a code to the current pattern. Codes 13, 17..21 and 555..590
    // change the pattern only while it is not write-protected; moves of the
    // edit position happen anyway.
    RunStopRequest sequencerCommand(Pattern& pattern, int code, const StepProgramming& context);

    // The edit position always names a played step of the given pattern: a
    // pattern shortened or switched under it puts it on its last step.
    int editPosition(const Pattern& pattern) const;
    void setEditPosition(const Pattern& pattern, int position);
    bool autoAdvance() const { return autoAdvance_; }

private:
    int editPosition_ = 0;
    bool autoAdvance_ = false;
};

}  // namespace tarvik
