#include "instrument/configuration.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "patch/key_value_scanner.h"
#include "patch/safe_file.h"
#include "patch/text_file.h"

namespace tarvik {

namespace {

constexpr int kMaxAccentVelocity = 127;
constexpr int kMidiChannels = 16;
constexpr int kSmoothingOn = 65535;

// Settings read straight into their field with no range of their own.
struct PlainKey {
    std::string_view key;
    int Configuration::*field;
};

constexpr PlainKey kPlainKeys[] = {
    {"BendRange", &Configuration::bendRange},
    {"Retrigger", &Configuration::retrigger},
    {"AutoRun", &Configuration::autoRun},
    {"FilterMode", &Configuration::filterMode},
    {"SyncMode", &Configuration::syncMode},
    {"MidiMode", &Configuration::midiMode},
    {"TuningMode", &Configuration::tuningMode},
    {"OscModel", &Configuration::oscModel},
    {"ClearNotes", &Configuration::clearNotes},
    {"ParameterSmoothing", &Configuration::parameterSmoothing},
    {"ClockSync", &Configuration::clockSync},
    {"GuiKnobMode", &Configuration::guiKnobMode},
    {"MidiOutput", &Configuration::midiOutput},
    {"ResonanceKnob", &Configuration::resonanceKnob},
    {"FilterTuning", &Configuration::filterTuning},
    {"TM5", &Configuration::filterTuning},
};

// BassBoost goes through scanDecimal and to_chars rather than the C library,
// whose locale a host may have switched to a decimal comma: the file must
// read the same whatever the host did.
float parseBassBoost(std::string_view word) {
    const std::optional<ScannedDecimal> number = scanDecimal(word);
    if (!number || !(number->value > 0.0)) return 0.0f;  // none, not above zero or not a number
    return static_cast<float>(std::min(number->value, 1.0));
}

void applyNumber(Configuration& configuration, std::string_view key, const std::string& word) {
    if (key == "BassBoost") {
        configuration.bassBoost = parseBassBoost(word);
        return;
    }
    // Older files still hold the switch this setting once was.
    if (key == "ParameterSmoothing" && (word == "On" || word == "Off")) {
        configuration.parameterSmoothing = word == "On" ? kSmoothingOn : 0;
        return;
    }
    const int value = parseInteger(word);
    for (const PlainKey& plain : kPlainKeys) {
        if (key == plain.key) {
            configuration.*plain.field = value;
            return;
        }
    }
    if (key == "MaxPolyphony") {
        configuration.maxPolyphony = std::clamp(value, 1, kMaxPolyphony);
    } else if (key == "AccentVelocity") {
        configuration.accentVelocity = std::clamp(value, 0, kMaxAccentVelocity);
    } else if (key == "MidiOutputChannel") {
        // A channel beyond 16 would spill into the status byte's upper half.
        configuration.midiOutputChannel = std::clamp(value, 1, kMidiChannels) - 1;
    } else if (key == "EnvmodKnob") {
        configuration.envmodKnob = static_cast<std::uint8_t>(value & 255);
    }
}

bool storableText(const std::string& text, std::size_t maxLength) {
    constexpr std::string_view kUnstorable("\"\r\n\0", 4);
    return text.size() <= maxLength && text.find_first_of(kUnstorable) == std::string::npos;
}

void appendLine(std::string& out, std::string_view key, std::string_view value) {
    out.append(key).append(" = ").append(value).push_back('\n');
}

void appendLine(std::string& out, std::string_view key, long long value) {
    appendLine(out, key, std::to_string(value));
}

void appendFixed(std::string& out, std::string_view key, float value) {
    char buffer[64];  // the largest float takes 46 characters this way
    const char* end =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::fixed, 6).ptr;
    appendLine(out, key, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

}  // namespace

bool readConfiguration(Configuration& configuration, const std::string& path) {
    const File file = openRegularFile(path);
    if (!file) return true;
    KeyValueScanner scanner(file.get());
    std::string key;
    while (scanner.nextKey(key)) {
        if (key == "Tuning") {
            if (auto text = scanner.valueText(kMaxTuningPathLength)) configuration.tuning = std::move(*text);
        } else if (key == "StartupPatch") {
            if (auto text = scanner.valueText(kMaxScannedWord)) configuration.startupPatch = std::move(*text);
        } else if (const std::optional<std::string> word = scanner.valueWord()) {
            applyNumber(configuration, key, *word);
        }
    }
    return true;
}

bool writeConfiguration(const Configuration& c, const std::string& path) {
    if (!storableText(c.tuning, kMaxTuningPathLength) || !storableText(c.startupPatch, kMaxScannedWord))
        return false;
    std::string text = "; Tarvik Configuration\n";
    appendLine(text, "MaxPolyphony", c.maxPolyphony);
    appendLine(text, "BendRange", c.bendRange);
    appendLine(text, "Retrigger", c.retrigger);
    appendLine(text, "AutoRun", c.autoRun);
    appendLine(text, "FilterMode", c.filterMode);
    appendLine(text, "SyncMode", c.syncMode);
    appendLine(text, "MidiMode", c.midiMode);
    appendLine(text, "TuningMode", c.tuningMode);
    appendFixed(text, "BassBoost", c.bassBoost);
    appendLine(text, "OscModel", c.oscModel);
    appendLine(text, "ClearNotes", c.clearNotes);
    appendLine(text, "AccentVelocity", c.accentVelocity);
    appendLine(text, "ParameterSmoothing", c.parameterSmoothing);
    appendLine(text, "ClockSync", c.clockSync);
    appendLine(text, "ActiveClocks", c.activeClocks);
    appendLine(text, "GuiKnobMode", c.guiKnobMode);
    appendLine(text, "MidiOutput", c.midiOutput);
    appendLine(text, "MidiOutputChannel", c.midiOutputChannel + 1LL);
    appendLine(text, "Tuning", '"' + c.tuning + '"');
    appendLine(text, "StartupPatch", '"' + c.startupPatch + '"');

    SafeFileWriter writer(path);
    if (!writer.file()) return false;
    std::fwrite(text.data(), 1, text.size(), writer.file());
    return writer.commit();
}

}  // namespace tarvik
