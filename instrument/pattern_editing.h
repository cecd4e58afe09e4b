// The one writer of the live patterns. Every change the control side makes
// to a pattern (the sequencer panel's step programming, the pattern menu,
// the Advanced Random panel, pattern files and songs) is made here on a copy
// and published whole (publishPattern), which the sequencer may be playing
// meanwhile. Here alone is decided which changes honour PatternWriteProtect:
// the step programming does (notes, step flags, the clear, the triplet
// switch); the length, the step rate, the menu's operations, imports and the
// Advanced Random panel do not. Each change that changed something is
// recorded in the edit history with the patterns it replaced.
//
// Control threads only; the reading calls answer copies.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "instrument/configuration.h"
#include "instrument/edit_history.h"
#include "patch/pattern_files.h"
#include "patch/pattern_ops.h"

namespace tarvik {

class EngineControl;

class PatternEditing {
public:
    PatternEditing(EngineControl& engine, const Configuration& configuration, EditHistory& history);

    int currentIndex() const;
    Pattern current() const;
    Pattern pattern(int index) const;

    // The sequencer panel's edit position (always a played step of the
    // current pattern) and auto-advance switch; they belong to the
    // instrument, not to the patch.
    int editPosition() const;
    void setEditPosition(int position);
    bool autoAdvance() const { return editor_.autoAdvance(); }

    // A code of the sequencer panel's buttons and keys (pattern_ops.h):
    // Run/Stop, step flags, notes, moves, the clear, auto-advance, length.
    void sequencerCommand(int code);
    void setLength(int length);      // limited to 1..64
    void setTimeMode(int timeMode);  // limited to 0..3
    void toggleTriplet();

    // Runs a pattern operation (the pattern menu's, the Advanced Random
    // panel's) on the current pattern.
    void apply(const std::function<void(Pattern&)>& operation);
    // Puts a whole pattern back (the Advanced Random panel's Reset).
    void replace(int index, const Pattern& pattern);

    // A Corvall pattern file into, or out of, the current pattern; false
    // when the file could not be read or written.
    bool importPatternFile(const std::string& path);
    bool exportPatternFile(const std::string& path) const;
    // A song's patterns and its pattern choice (pattern_files.h). Undo takes
    // back its patterns, not the choice: the pattern played is no edit.
    void applySong(const SongImport& song);

    // Undo and redo: puts patterns back as they were, unrecorded and
    // whatever PatternWriteProtect says, and answers what they replaced.
    std::vector<PatternSnapshot> restore(const std::vector<PatternSnapshot>& patterns);

private:
    // Publishes an edited pattern; what it replaced is recorded when it
    // differs.
    void write(int index, const Pattern& edited);

    EngineControl& engine_;
    const Configuration& configuration_;
    EditHistory& history_;
    PatternEditor editor_;
};

}  // namespace tarvik
