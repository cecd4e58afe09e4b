#include "tools/render/notes.h"

#include <array>
#include <cctype>
#include <cstdint>

#include "tools/render/user_text.h"

namespace tarvik::render {

namespace {
constexpr int kDefaultVelocity = 100;
// Shorter notes would start and stop inside one sample frame.
constexpr double kShortestNoteSeconds = 0.001;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kNoteOff = 0x80;

// Semitones above C of the note letters A to G.
constexpr std::array<int, 7> kLetterSemitones = {9, 11, 0, 2, 4, 5, 7};

bool parseKeyName(std::string_view text, int& key) {
    if (text.size() < 2) return false;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G') return false;
    int semitone = kLetterSemitones[static_cast<std::size_t>(letter - 'A')];
    std::string_view octaveText = text.substr(1);
    if (octaveText[0] == '#' || octaveText[0] == 'b') {
        semitone += octaveText[0] == '#' ? 1 : -1;
        octaveText.remove_prefix(1);
    }
    int octave = 0;
    std::string ignored;
    if (!parseInteger(octaveText, -1, 9, octave, ignored)) return false;
    const int number = (octave + 1) * 12 + semitone;
    if (number < 0 || number > 127) return false;
    key = number;
    return true;
}

bool parseKey(std::string_view text, int& key, std::string& error) {
    if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0]))) return parseInteger(text, 0, 127, key, error);
    if (parseKeyName(text, key)) return true;
    error = quoted(text) + " is not 0-127 or a name such as C2, F#3, Bb1";
    return false;
}

std::vector<std::string_view> splitAtCommas(std::string_view text) {
    std::vector<std::string_view> fields;
    for (std::size_t comma; (comma = text.find(',')) != std::string_view::npos; text.remove_prefix(comma + 1))
        fields.push_back(text.substr(0, comma));
    fields.push_back(text);
    return fields;
}
}  // namespace

bool parseNote(std::string_view text, Note& note, std::string& error) {
    const std::vector<std::string_view> fields = splitAtCommas(text);
    if (fields.size() < 3 || fields.size() > 4) {
        error = quoted(text) + " is not KEY,START,LENGTH[,VELOCITY]";
        return false;
    }
    Note parsed{0, 0.0, 0.0, kDefaultVelocity};
    std::string reason;
    const char* failedField = "";
    const auto check = [&failedField](const char* field, bool fieldIsValid) {
        if (!fieldIsValid) failedField = field;
        return fieldIsValid;
    };
    const bool ok =
        check("key", parseKey(fields[0], parsed.key, reason)) &&
        check("start", parseNumber(fields[1], 0.0, kLongestTimelineSeconds, parsed.start, reason)) &&
        check("length", parseNumber(fields[2], kShortestNoteSeconds, kLongestTimelineSeconds, parsed.length, reason)) &&
        check("velocity", fields.size() < 4 || parseInteger(fields[3], 1, 127, parsed.velocity, reason));
    if (!ok) {
        error = quoted(text) + ": " + failedField + " " + reason;
        return false;
    }
    note = parsed;
    return true;
}

Timeline timelineFromNotes(const std::vector<Note>& notes) {
    Timeline timeline;
    for (const Note& note : notes) {
        const auto key = static_cast<std::uint8_t>(note.key);
        timeline.events.push_back({note.start, {kNoteOn, key, static_cast<std::uint8_t>(note.velocity)}});
        timeline.events.push_back({note.start + note.length, {kNoteOff, key, 0}});
    }
    return timeline;
}

}  // namespace tarvik::render
