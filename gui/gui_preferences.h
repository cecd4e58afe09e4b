// The editor's preferences and computer-keyboard key map, kept in "Gui.ini"
// in the data folder: read at every open of the editor, written back at every
// close. Users edit the file by hand, so reading is tolerant: keys in any
// order and letter case, ";" comments, and damage costs only the value it
// hits.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "gui/toolkit/events.h"

namespace tarvik::gui {

inline constexpr int kNoKey = -1;
inline constexpr int kNumKeymapEntries = 26;
inline constexpr std::size_t kMaxSkinPathLength = 511;
inline constexpr float kMaxCableTension = 2.0f;

// One computer key and what it does on the sequencer panel. A row holds a
// character or a virtual key, never both; kNoKey in both leaves the action
// without a key.
struct KeymapEntry {
    std::string_view name;  // the key in the file
    int action;             // the code the sequencer panel acts on
    int character = kNoKey; // a byte, 0..255
    int virtualKey = kNoKey;

    bool operator==(const KeymapEntry&) const = default;
};

using Keymap = std::array<KeymapEntry, kNumKeymapEntries>;

// The rows in the order the file lists them; a file only changes their keys.
inline constexpr Keymap kDefaultKeymap = {{
    {"Keymap.note1", 555, 'q'},
    {"Keymap.note2", 556, '2'},
    {"Keymap.note3", 557, 'w'},
    {"Keymap.note4", 558, '3'},
    {"Keymap.note5", 559, 'e'},
    {"Keymap.note6", 560, 'r'},
    {"Keymap.note7", 561, '5'},
    {"Keymap.note8", 562, 't'},
    {"Keymap.note9", 563, '6'},
    {"Keymap.note10", 564, 'y'},
    {"Keymap.note11", 565, '7'},
    {"Keymap.note12", 566, 'u'},
    {"Keymap.note13", 567, 'i'},
    {"Keymap.runstop", 14, kNoKey, vkey::kSpace},
    {"Keymap.down", 18, 'a'},
    {"Keymap.up", 19, 's'},
    {"Keymap.accent", 20, 'd'},
    {"Keymap.slide", 21, 'f'},
    {"Keymap.next", 23, kNoKey, vkey::kReturn},
    {"Keymap.back", 22, kNoKey, vkey::kBack},
    {"Keymap.timemode", 17, 'p'},
    {"Keymap.pitchmode", 15, kNoKey, vkey::kTab},
    {"Keymap.clear", 13, 'x'},
    {"Keymap.noteon", 26, 'b'},
    {"Keymap.notetie", 28, 'n'},
    {"Keymap.noteoff", 27, 'm'},
}};

// The values each open of the editor starts from before reading the file.
struct GuiPreferences {
    std::string skin;  // empty: "Tarvik.skn" in the data folder
    int skinShowDialog = 1;
    int useKeyboard = 0;
    int programmingMode = 0;  // read and kept, never written
    int functionButton1 = -1;
    int functionButton2 = -1;
    int clearConfirm = 0;
    int floatingDisplay = 1;
    int stickToValue = 1;
    int softShadows = 0;
    int antiAliasing = 0;
    int showPatchInfo = 1;
    float cableTension = 1.0f;  // 0..kMaxCableTension
    int frameRateLimit = 0;
    int showSplashSequence = 0;
    int displayCables = 1;
    Keymap keymap = kDefaultKeymap;

    bool operator==(const GuiPreferences&) const = default;
};

// Reads the file at path over preferences: keys the file lacks, or holds
// damaged, keep their value. False, with nothing changed, when path is not a
// readable regular file.
bool readGuiPreferences(GuiPreferences& preferences, const std::string& path);

// The whole file as written: comment lines, then every key but
// ProgrammingMode in a fixed order. Numbers come out the same whatever
// locale the host has set. nullopt when the skin path would not read back
// (longer than kMaxSkinPathLength or holding a double quote).
std::optional<std::string> formatGuiPreferences(const GuiPreferences& preferences);

// Replaces the file at path with formatGuiPreferences' text through a
// temporary file; false, with the previous file untouched, when the text
// cannot be made or the file cannot be written.
bool writeGuiPreferences(const GuiPreferences& preferences, const std::string& path);

}  // namespace tarvik::gui
