#include "instrument/edit_history.h"

#include <utility>

namespace tarvik {

namespace {

void push(std::deque<EditRecord>& records, EditRecord record) {
    records.push_back(std::move(record));
    if (static_cast<int>(records.size()) > EditHistory::kLevels) records.pop_front();
}

EditRecord pop(std::deque<EditRecord>& records) {
    EditRecord record = std::move(records.back());
    records.pop_back();
    return record;
}

EditKind kindOf(const EditRecord& record) { return record.cables ? EditKind::Cables : EditKind::Patterns; }

}  // namespace

void EditHistory::record(EditRecord replaced) {
    recordHeld();
    push(undo_, std::move(replaced));
    redo_.clear();
}

// The first part is a change already: nothing can be redone after it.
void EditHistory::hold(EditRecord replaced) {
    recordHeld();
    held_ = std::move(replaced);
    redo_.clear();
}

std::optional<EditRecord> EditHistory::takeHeld() { return std::exchange(held_, std::nullopt); }

void EditHistory::recordHeld() {
    if (std::optional<EditRecord> held = takeHeld()) record(std::move(*held));
}

EditKind EditHistory::undo(const Restore& restore) {
    recordHeld();
    if (undo_.empty()) return EditKind::None;
    const EditRecord record = pop(undo_);
    push(redo_, restore(record));
    return kindOf(record);
}

EditKind EditHistory::redo(const Restore& restore) {
    if (redo_.empty()) return EditKind::None;
    const EditRecord record = pop(redo_);
    push(undo_, restore(record));
    return kindOf(record);
}

void EditHistory::clear() {
    undo_.clear();
    redo_.clear();
    held_.reset();
}

}  // namespace tarvik
