#include "tools/factory/step_notation.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace tarvik::factory {

namespace {

constexpr int kSequencerBaseMidiNote = 36;  // the sequencer's note 0 sounds as C2
constexpr int kOctave = 12;
constexpr int kHighestStepNote = 35;

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string_view::npos) return result;
        const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
        result.push_back(line.substr(at, end - at));
        at = end;
    }
}

// Semitones from the sequencer's C of a name such as C2, F#3 or Bb1.
std::optional<int> semitonesOf(std::string_view name) {
    static constexpr int kPitchClass[] = {9, 11, 0, 2, 4, 5, 7};  // A to G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return std::nullopt;
    int pitchClass = kPitchClass[name[0] - 'A'];
    std::size_t at = 1;
    if (name[at] == '#' || name[at] == 'b') pitchClass += name[at++] == '#' ? 1 : -1;
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '9') return std::nullopt;
    const int midiNote = (name[at] - '0' + 1) * kOctave + pitchClass;
    return midiNote - kSequencerBaseMidiNote;
}

// The step that sounds the given semitones: the note byte alone within its
// three octaves, the down or up flag for the octave below or above.
std::optional<Step> stepFor(int semitones) {
    if (semitones < -kOctave || semitones > kHighestStepNote + kOctave) return std::nullopt;
    if (semitones < 0) return Step{static_cast<std::uint8_t>(semitones + kOctave), step::kGate | step::kDown};
    if (semitones > kHighestStepNote)
        return Step{static_cast<std::uint8_t>(semitones - kOctave), step::kGate | step::kUp};
    return Step{static_cast<std::uint8_t>(semitones), step::kGate};
}

bool noteStep(std::string_view word, Step& result) {
    std::uint8_t marks = 0;
    while (!word.empty() && (word.back() == '!' || word.back() == '~')) {
        const std::uint8_t mark = word.back() == '!' ? step::kAccent : step::kSlide;
        if (marks & mark) return false;
        marks |= mark;
        word.remove_suffix(1);
    }
    const std::optional<int> semitones = semitonesOf(word);
    const std::optional<Step> step = semitones ? stepFor(*semitones) : std::nullopt;
    if (!step) return false;
    result = *step;
    result.flags |= marks;
    return true;
}

}  // namespace

bool parseLine(std::string_view line, Pattern& pattern, std::string& error) {
    const std::vector<std::string_view> steps = words(line);
    if (steps.empty() || steps.size() > static_cast<std::size_t>(kMaxSteps)) {
        error = "a line holds 1 to " + std::to_string(kMaxSteps) + " steps, not " + std::to_string(steps.size());
        return false;
    }
    std::memset(pattern.steps, 0, sizeof pattern.steps);
    pattern.length = static_cast<std::uint8_t>(steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        Step& step = pattern.steps[i];
        if (steps[i] == "-") continue;
        if (steps[i] == "_") {
            // A tie after a rest would skip its steps and shorten the bar.
            if (i == 0 || (pattern.steps[i - 1].flags & (step::kGate | step::kTie)) == 0) {
                error = "step " + std::to_string(i + 1) + ": a tie needs a note before it";
                return false;
            }
            const Step& held = pattern.steps[i - 1];
            step = {held.note, static_cast<std::uint8_t>(step::kTie | (held.flags & (step::kUp | step::kDown)))};
            continue;
        }
        if (!noteStep(steps[i], step)) {
            error = "step " + std::to_string(i + 1) + ": '" + std::string(steps[i]) + "' is not a note from C1 to B5";
            return false;
        }
    }
    return true;
}

}  // namespace tarvik::factory
