// Undo and redo of the patterns and the cables. The one writer of each
// (PatternEditing, CableEditing) sees every change and records here what
// the change replaced: the patterns it wrote, by index, or the whole cable
// list. Undo hands that back to the writer, which publishes it as it
// publishes any edit and answers what it replaced in turn: that is kept
// for redo. A new change forgets what could be redone; another patch
// becoming current forgets everything, as its patterns are others.
//
// Control threads only, one at a time: the writers that keep it.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "dsp/cable.h"
#include "patch/patch.h"

namespace tarvik {

struct PatternSnapshot {
    int index;
    Pattern pattern;
};

// What one change replaced: patterns, or the cable list.
struct EditRecord {
    std::vector<PatternSnapshot> patterns;
    std::optional<CableList> cables;
};

enum class EditKind { None, Patterns, Cables };

class EditHistory {
public:
    // Changes that can be undone; the oldest goes when a new one comes.
    static constexpr int kLevels = 100;

    // A change was made: what it replaced becomes the next to undo.
    void record(EditRecord replaced);
    // A change made in two parts (a cable lifted off its input, then
    // dropped): the first part's record waits here so that the second
    // can take it over (takeHeld) and undo takes back the whole move.
    // Recording anything else, or undo, first records the held part alone.
    void hold(EditRecord replaced);
    std::optional<EditRecord> takeHeld();
    void recordHeld();

    bool canUndo() const { return held_.has_value() || !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }

    // Puts a record back through its writer and answers what that replaced.
    using Restore = std::function<EditRecord(const EditRecord&)>;
    // Each answers the kind of data it put back; None when there was
    // nothing to undo or redo.
    EditKind undo(const Restore& restore);
    EditKind redo(const Restore& restore);

    void clear();

private:
    std::deque<EditRecord> undo_;
    std::deque<EditRecord> redo_;
    std::optional<EditRecord> held_;
};

}  // namespace tarvik
