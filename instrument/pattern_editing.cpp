#include "instrument/pattern_editing.h"

#include <algorithm>

#include "engine/engine.h"

namespace tarvik {

namespace {
constexpr int kLastTimeMode = 3;
}  // namespace

PatternEditing::PatternEditing(EngineControl& engine, const Configuration& configuration, EditHistory& history)
    : engine_(engine), configuration_(configuration), history_(history) {}

int PatternEditing::currentIndex() const { return currentPatternIndex(engine_.patch()); }

Pattern PatternEditing::current() const { return pattern(currentIndex()); }

Pattern PatternEditing::pattern(int index) const {
    return loadPattern(engine_.patch().patterns[std::clamp(index, 0, kNumPatterns - 1)]);
}

int PatternEditing::editPosition() const { return editor_.editPosition(current()); }

void PatternEditing::setEditPosition(int position) { editor_.setEditPosition(current(), position); }

void PatternEditing::sequencerCommand(int code) {
    TarvikPatch& patch = engine_.patch();
    const bool running = patch.state(state::RunStop) != 0;
    const StepProgramming context{patch.state(state::PatternWriteProtect) != 0, running,
                                  configuration_.clearNotes != 0};
    const int index = currentPatternIndex(patch);
    Pattern edited = pattern(index);
    const RunStopRequest request = editor_.sequencerCommand(edited, code, context);
    write(index, edited);
    if (request == RunStopRequest::Start) engine_.requestRunStop(true);
    if (request == RunStopRequest::Stop) engine_.requestRunStop(false);
}

void PatternEditing::setLength(int length) {
    apply([&](Pattern& p) { p.length = static_cast<std::uint8_t>(std::clamp(length, 1, kMaxSteps)); });
}

void PatternEditing::setTimeMode(int timeMode) {
    apply([&](Pattern& p) { p.timeMode = static_cast<std::uint8_t>(std::clamp(timeMode, 0, kLastTimeMode)); });
}

void PatternEditing::toggleTriplet() {
    if (engine_.patch().state(state::PatternWriteProtect) != 0) return;
    apply([](Pattern& p) { p.flags ^= kTripletFlag; });
}

void PatternEditing::apply(const std::function<void(Pattern&)>& operation) {
    const int index = currentIndex();
    Pattern edited = pattern(index);
    operation(edited);
    write(index, edited);
}

void PatternEditing::replace(int index, const Pattern& pattern) {
    write(std::clamp(index, 0, kNumPatterns - 1), pattern);
}

// The pattern is chosen once: a MIDI key may select another meanwhile.
bool PatternEditing::importPatternFile(const std::string& path) {
    const int index = currentIndex();
    Pattern edited = pattern(index);
    if (!importCorvallPattern(edited, path)) return false;
    replace(index, edited);
    return true;
}

bool PatternEditing::exportPatternFile(const std::string& path) const { return exportCorvallPattern(current(), path); }

// The song writes patterns of its own choosing: every one it changed is
// part of the one change.
void PatternEditing::applySong(const SongImport& song) {
    EditRecord replaced;
    for (int index = 0; index < kNumPatterns; ++index) replaced.patterns.push_back({index, pattern(index)});
    applyRebirthPatterns(song, engine_.patch());
    std::erase_if(replaced.patterns,
                  [this](const PatternSnapshot& before) { return before.pattern == pattern(before.index); });
    if (!replaced.patterns.empty()) history_.record(std::move(replaced));
}

std::vector<PatternSnapshot> PatternEditing::restore(const std::vector<PatternSnapshot>& patterns) {
    std::vector<PatternSnapshot> replaced;
    for (const PatternSnapshot& snapshot : patterns) {
        const int index = std::clamp(snapshot.index, 0, kNumPatterns - 1);
        replaced.push_back({index, pattern(index)});
        publishPattern(engine_.patch().patterns[index], snapshot.pattern);
    }
    return replaced;
}

void PatternEditing::write(int index, const Pattern& edited) {
    const Pattern before = pattern(index);
    if (edited == before) return;
    publishPattern(engine_.patch().patterns[index], edited);
    history_.record({{{index, before}}, std::nullopt});
}

}  // namespace tarvik
