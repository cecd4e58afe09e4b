#include "gui/gui_preferences.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "gui/ascii_case.h"
#include "gui/format_scanner.h"
#include "patch/safe_file.h"
#include "patch/text_file.h"

namespace tarvik::gui {

namespace {

// Longer than every key and key word; longer words are cut and match nothing.
constexpr std::size_t kWordRoom = 64;

// Switches: only the lowest bit of the number counts.
struct SwitchKey {
    std::string_view key;
    int GuiPreferences::*field;
};

constexpr SwitchKey kSwitchKeys[] = {
    {"UseKeyboard", &GuiPreferences::useKeyboard},       {"ProgrammingMode", &GuiPreferences::programmingMode},
    {"FloatingDisplay", &GuiPreferences::floatingDisplay}, {"StickToValue", &GuiPreferences::stickToValue},
    {"SoftShadows", &GuiPreferences::softShadows},       {"AntiAliasing", &GuiPreferences::antiAliasing},
    {"DisplayCables", &GuiPreferences::displayCables},
};

// Numbers kept as they are.
constexpr SwitchKey kNumberKeys[] = {
    {"FunctionButton1", &GuiPreferences::functionButton1}, {"FunctionButton2", &GuiPreferences::functionButton2},
    {"ClearConfirm", &GuiPreferences::clearConfirm},       {"ShowPatchInfo", &GuiPreferences::showPatchInfo},
    {"FrameRateLimit", &GuiPreferences::frameRateLimit},   {"ShowSplashSequence", &GuiPreferences::showSplashSequence},
};

struct KeyWord {
    std::string_view word;
    int code;
};

// In the order the file's comment lists them.
constexpr KeyWord kKeyWords[] = {
    {"SPACE", vkey::kSpace}, {"RETURN", vkey::kReturn}, {"BACK", vkey::kBack},   {"UP", vkey::kUp},
    {"DOWN", vkey::kDown},   {"LEFT", vkey::kLeft},     {"RIGHT", vkey::kRight}, {"TAB", vkey::kTab},
};

// A word as C's atoi reads it: an optional sign and the decimal digits that
// follow, 0 when there are none.
int leadingDecimal(std::string_view word) {
    const std::optional<ScannedInteger> number = scanInteger(word);
    return number ? number->value : 0;
}

float limitedTension(float value) {
    if (std::isnan(value)) return GuiPreferences{}.cableTension;
    return std::clamp(value, 0.0f, kMaxCableTension);
}

// 'c' sets the character, a key word the virtual key, -1 clears both; any
// other word leaves the row as it was.
void readKey(KeymapEntry& entry, const std::string& word) {
    if (word.size() >= 3 && word[0] == '\'' && word[2] == '\'') {
        entry.character = static_cast<unsigned char>(word[1]);
        entry.virtualKey = kNoKey;
        return;
    }
    for (const KeyWord& key : kKeyWords) {
        if (equalsIgnoringCase(word, key.word)) {
            entry.character = kNoKey;
            entry.virtualKey = key.code;
            return;
        }
    }
    if (word == "-1") {
        entry.character = kNoKey;
        entry.virtualKey = kNoKey;
    }
}

// Reads the value of one key; an unknown key reads nothing, so that what
// follows it is taken as the next key.
void readValue(GuiPreferences& preferences, const std::string& key, FormatScanner& scanner) {
    const auto is = [&](std::string_view name) { return equalsIgnoringCase(key, name); };
    if (is("Skin")) {
        if (scanner.literal('"')) scanner.quoted(preferences.skin, kMaxSkinPathLength);
        return;
    }
    if (is("SkinShowDialog")) {
        preferences.skinShowDialog = leadingDecimal(scanner.word(kWordRoom));
        return;
    }
    if (is("CableTension")) {
        if (const std::optional<float> value = scanner.real()) preferences.cableTension = limitedTension(*value);
        return;
    }
    for (const SwitchKey& entry : kSwitchKeys) {
        if (is(entry.key)) {
            if (const std::optional<int> value = scanner.integer()) preferences.*entry.field = *value & 1;
            return;
        }
    }
    for (const SwitchKey& entry : kNumberKeys) {
        if (is(entry.key)) {
            if (const std::optional<int> value = scanner.integer()) preferences.*entry.field = *value;
            return;
        }
    }
    for (KeymapEntry& entry : preferences.keymap) {
        if (is(entry.name)) {
            readKey(entry, scanner.word(kWordRoom));
            return;
        }
    }
}

void appendLine(std::string& text, std::string_view key, std::string_view value) {
    text.append(key).append(" = ").append(value).push_back('\n');
}

void appendLine(std::string& text, std::string_view key, int value) { appendLine(text, key, std::to_string(value)); }

// "%f" as the C locale writes it, whatever decimal separator the host's
// locale would put there.
void appendFixed(std::string& text, std::string_view key, float value) {
    char buffer[32];  // at most 2.000000 here
    const char* end =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::fixed, 6).ptr;
    appendLine(text, key, std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

// A character reads back only when it is not white space, which would end
// the word it stands in.
std::string keyText(const KeymapEntry& entry) {
    if (entry.character >= 0 && entry.character <= UCHAR_MAX && !isSpace(entry.character))
        return {'\'', static_cast<char>(entry.character), '\''};
    for (const KeyWord& key : kKeyWords)
        if (entry.virtualKey == key.code) return std::string(key.word);
    return "-1";
}

}  // namespace

bool readGuiPreferences(GuiPreferences& preferences, const std::string& path) {
    const File file = openRegularFile(path);
    if (!file) return false;
    FormatScanner scanner(file.get());
    for (;;) {
        scanner.skipSpace();
        const int c = scanner.get();
        if (c == EOF) break;
        if (c == ';') {
            scanner.skipLine();
            continue;
        }
        scanner.unget(c);
        const std::string key = scanner.word(kWordRoom);
        // " %s = ": the equals sign is optional to the reader, as it was.
        scanner.skipSpace();
        if (scanner.literal('=')) scanner.skipSpace();
        readValue(preferences, key, scanner);
    }
    return true;
}

std::optional<std::string> formatGuiPreferences(const GuiPreferences& p) {
    if (p.skin.size() > kMaxSkinPathLength || p.skin.find('"') != std::string::npos) return std::nullopt;
    std::string text =
        "; Kelvane GUI configuration\n"
        "; Remember to Save and Reload Configuration when changing values manually.\n"
        "; Value of \"\" means default (built-in) skin\n";
    appendLine(text, "Skin", '"' + p.skin + '"');
    appendLine(text, "SkinShowDialog", p.skinShowDialog);
    appendLine(text, "ClearConfirm", p.clearConfirm);
    appendLine(text, "StickToValue", p.stickToValue);
    appendLine(text, "UseKeyboard", p.useKeyboard);
    appendLine(text, "FloatingDisplay", p.floatingDisplay);
    appendLine(text, "SoftShadows", p.softShadows);
    appendLine(text, "AntiAliasing", p.antiAliasing);
    appendLine(text, "DisplayCables", p.displayCables);
    appendLine(text, "ShowPatchInfo", p.showPatchInfo);
    appendFixed(text, "CableTension", limitedTension(p.cableTension));
    appendLine(text, "FrameRateLimit", p.frameRateLimit);
    appendLine(text, "ShowSplashSequence", p.showSplashSequence);
    text += "; Valid keycodes are SPACE,RETURN,BACK,UP,DOWN,LEFT,RIGHT and TAB\n";
    text += "; Value of -1 means key is not assigned\n";
    for (const KeymapEntry& entry : p.keymap) appendLine(text, entry.name, keyText(entry));
    text += ";\n";
    appendLine(text, "FunctionButton1", p.functionButton1);
    appendLine(text, "FunctionButton2", p.functionButton2);
    return text;
}

bool writeGuiPreferences(const GuiPreferences& preferences, const std::string& path) {
    const std::optional<std::string> text = formatGuiPreferences(preferences);
    if (!text) return false;
    SafeFileWriter writer(path);
    if (!writer.file()) return false;
    std::fwrite(text->data(), 1, text->size(), writer.file());
    return writer.commit();
}

}  // namespace tarvik::gui
