#include "tools/factory/recipe.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/socket_table.h"
#include "tools/factory/step_notation.h"

namespace tarvik::factory {

namespace {

constexpr std::int32_t kBendRangeSemitones = 12;
constexpr int kFilterModes = 10;

bool setKnobs(const std::vector<Knob>& knobs, TarvikPatch& patch, std::string& error) {
    for (const Knob& knob : knobs) {
        if (knob.index < 0 || knob.index >= kNumParameters || knob.index == param::Tempo) {
            error = "parameter " + std::to_string(knob.index) + " is not a knob of a recipe";
            return false;
        }
        if (!(knob.value >= 0.0f && knob.value <= 1.0f)) {
            error = std::string(kParameterTable[static_cast<std::size_t>(knob.index)].name) + " = " +
                    std::to_string(knob.value) + " is outside 0..1";
            return false;
        }
        patch.setParameter(knob.index, knob.value);
    }
    return true;
}

bool setLines(const std::vector<Line>& lines, TarvikPatch& patch, std::string& error) {
    if (lines.empty() || lines.size() > kMaxLines) {
        error = "a patch holds 1 to " + std::to_string(kMaxLines) + " lines";
        return false;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Pattern& pattern = patch.patterns[i];
        if (!parseLine(lines[i].steps, pattern, error)) {
            error = "line " + std::to_string(i + 1) + ": " + error;
            return false;
        }
        if (lines[i].timeMode > 3) {
            error = "line " + std::to_string(i + 1) + ": time mode " + std::to_string(lines[i].timeMode) +
                    " is not 0..3";
            return false;
        }
        pattern.timeMode = lines[i].timeMode;
        pattern.flags = lines[i].triplet ? kTripletFlag : 0;
        for (std::size_t copy = i + kMaxLines; copy < kNumPatterns; copy += kMaxLines) patch.patterns[copy] = pattern;
    }
    return true;
}

bool setCables(const std::vector<Cable>& cables, TarvikPatch& patch, std::string& error) {
    // The editor's own rules, so that a factory patch holds only cables a
    // user could have made.
    const SocketTable& rules = socketRules();
    for (const Cable& cable : cables) {
        const bool known =
            cable.output >= 0 && cable.output < kNumSockets && cable.input >= 0 && cable.input < kNumSockets;
        if (!known || !rules.isOutput(cable.output) || !rules.connect(patch.cables, cable.output, cable.input)) {
            error = "the cord " + std::to_string(cable.output) + " -> " + std::to_string(cable.input) +
                    " does not join a free input to an output";
            return false;
        }
    }
    return true;
}

// "a, b, c or d".
std::string listOf(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : (i + 1 == names.size() ? " or " : ", ")) + names[i];
    return text;
}

// Which keys to hold or play, said the same way in every patch.
std::string howToPlay(const Recipe& recipe) {
    static constexpr const char* kKeyNames[kMaxLines] = {"C",  "C#", "D",  "D#", "E",  "F",
                                                         "F#", "G",  "G#", "A",  "A#", "B"};
    std::vector<std::string> keys;
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < recipe.lines.size(); ++i) {
        keys.emplace_back(kKeyNames[i]);
        lines.push_back(std::to_string(i + 1));
    }
    const std::string keysForLines = listOf(keys) + " of any octave to run line " + listOf(lines);
    switch (recipe.play) {
        case Play::kSequenced:
            return "HOW TO PLAY: hold " + keysForLines + " at " + std::to_string(std::lround(recipe.bpm)) +
                   " BPM (with host sync on, at the host's tempo); releasing the last key stops it.";
        case Play::kMono:
            return "HOW TO PLAY: one voice from the keyboard; overlapping notes glide (legato) and the pitch bend "
                   "reaches an octave either way. In the pattern MIDI mode, hold " + keysForLines + ".";
        case Play::kPoly:
            return "HOW TO PLAY: chords from the keyboard, as many notes as the MaxPolyphony setting allows (6 unless "
                   "changed). In the pattern MIDI mode, hold " + keysForLines + ".";
    }
    return {};
}

bool setInfo(const std::string& description, const Recipe& recipe, TarvikPatch& patch, std::string& error) {
    const std::string text = description + "\n\n" + howToPlay(recipe);
    if (description.empty() || text.size() >= sizeof patch.info.text) {
        error = "the patch information holds 1 to " + std::to_string(sizeof patch.info.text - 1) + " characters, not " +
                std::to_string(text.size());
        return false;
    }
    std::memcpy(patch.info.text, text.c_str(), text.size() + 1);
    patch.info.showOnLoad = 1;
    return true;
}

}  // namespace

bool buildPatch(const Recipe& recipe, TarvikPatch& patch, std::string& error) {
    if (recipe.filterMode < 0 || recipe.filterMode >= kFilterModes) {
        error = "filter mode " + std::to_string(recipe.filterMode) + " is not one the filter computes";
        return false;
    }
    if (!(recipe.bpm >= kTempoMinBpm && recipe.bpm <= kTempoMinBpm + kTempoSpanBpm)) {
        error = "the Tempo knob does not reach " + std::to_string(recipe.bpm) + " BPM";
        return false;
    }
    patch.setState(state::BendRange, kBendRangeSemitones);
    patch.setState(state::MidiMode, recipe.play == Play::kSequenced ? 0 : 1);
    patch.setState(state::NoteMode, recipe.play == Play::kPoly ? 1 : 0);
    patch.setState(state::FilterMode, recipe.filterMode);
    patch.setState(state::AuxInput, recipe.auxInput ? 1 : 0);
    patch.setParameter(param::Tempo, tempoToParameter(recipe.bpm));
    return setKnobs(recipe.knobs, patch, error) && setLines(recipe.lines, patch, error) &&
           setCables(recipe.cables, patch, error) && setInfo(recipe.info, recipe, patch, error);
}

}  // namespace tarvik::factory
