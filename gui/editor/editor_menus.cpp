#include "gui/editor/editor_menus.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "gui/toolkit/menu_folder.h"
#include "gui/toolkit/utf8_path.h"
#include "patch/pattern_ops.h"

namespace tarvik::gui {

namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 6> kFilterEntryTexts = {
    "Filter: TB-303 24dB",  "Filter: TB-303 18dB", "Filter: 18dB/octave", "Filter: 24dBSO/octave",
    "Filter: Euler",        "Filter: 24dBSO/octave 2x oversampled",
};

struct PatternEntry {
    const char* text;  // nullptr: a separator before the next entry
    PatternCommand command;
};
constexpr PatternEntry kPatternEntries[] = {
    {"Undo", PatternCommand::Undo},
    {"Redo", PatternCommand::Redo},
    {nullptr, {}},
    {"Copy Pattern", PatternCommand::Copy},
    {"Paste Pattern", PatternCommand::Paste},
    {nullptr, {}},
    {"Transpose +12 semitones", PatternCommand::TransposeUpOctave},
    {"Transpose -12 semitones", PatternCommand::TransposeDownOctave},
    {"Transpose  +1 semitone", PatternCommand::TransposeUp},
    {"Transpose  -1 semitone", PatternCommand::TransposeDown},
    {nullptr, {}},
    {"Expand pattern", PatternCommand::Expand},
    {"Shrink pattern", PatternCommand::Shrink},
    {"Duplicate steps", PatternCommand::Duplicate},
    {nullptr, {}},
    {"Shift left", PatternCommand::ShiftLeft},
    {"Shift right", PatternCommand::ShiftRight},
    {nullptr, {}},
    {"All notes off", PatternCommand::AllNotesOff},
    {"All accents off", PatternCommand::AllAccentsOff},
    {"All slides off", PatternCommand::AllSlidesOff},
    {nullptr, {}},
    {"Randomize all", PatternCommand::RandomizeAll},
    {"Randomize pitches", PatternCommand::RandomizePitches},
    {"Alter pattern", PatternCommand::Alter},
    {"Advanced Random...", PatternCommand::AdvancedRandom},
    {nullptr, {}},
    {"Import pattern", PatternCommand::ImportPattern},
    {"Export pattern", PatternCommand::ExportPattern},
    {"Import Rebirth 338 Patterns", PatternCommand::ImportRebirth},
};

// The filter menu's names; a separator stands before 7 and before 13.
constexpr std::array<const char*, kFilterMenuModes> kFilterMenuTexts = {
    "303 LP 24dB",   "303 LP 18dB",   "202 LP 18dB", "LP 24dB",   "BP 24dB",
    "HP 24dB",       "BS 24dB",       "HP->LP 4-Pole", "BP->LP 4-Pole", "HP 2-Pole",
    "LP 4-Pole",     "BP 4-Pole",     "HP 4-Pole",   "HP->LP 4-Pole", "LP->HP 4-Pole",
};

bool endsWithPatchExtension(const std::string& name) {
    constexpr std::string_view extension = ".tvkp";
    if (name.size() < extension.size()) return false;
    return std::equal(extension.begin(), extension.end(), name.end() - static_cast<std::ptrdiff_t>(extension.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

std::string withoutPatchExtension(std::string name) {
    if (endsWithPatchExtension(name)) name.erase(name.size() - 5);
    return name;
}

// With "/" between the folders, as the menu names them on every system.
std::string genericText(const fs::path& path) {
    const std::u8string text = path.generic_u8string();
    return {text.begin(), text.end()};
}

}  // namespace

OptionEntries::OptionEntries() {
    index_.fill(-1);
    auto add = [&](OptionCommand command, const char* text) { index_[static_cast<std::size_t>(command)] = model_.add(text); };
    add(OptionCommand::MidiLearn, "Activate MIDI learn");
    model_.addSeparator();
    add(OptionCommand::Cables, "Show Patch Cables");
    model_.addSeparator();
    add(OptionCommand::AuxInput, "Enable Aux input");
    add(OptionCommand::FilterStep, "Switch to 24dB filter");
    add(OptionCommand::DelaySync, "MG/Delay BPM sync: On");
    model_.addSeparator();
    add(OptionCommand::LoadMidiMap, "Load MidiCC map");
    add(OptionCommand::SaveMidiMap, "Save MidiCC map");
    add(OptionCommand::ViewConfiguration, "View Configuration files");
    model_.addSeparator();
    add(OptionCommand::SelectSkin, "Select Skin [now Default]");
    add(OptionCommand::DefaultSkin, "Set Default Skin");
    model_.addSeparator();
    add(OptionCommand::PatchInfo, "Show Patch Info");
    add(OptionCommand::Preferences, "Preferences...");
}

// The editor refreshes at every idle pass: texts are only made anew when
// a setting they show has changed.
void OptionEntries::refresh(const OptionStatus& status) {
    if (shown_ == status) return;
    shown_ = status;
    auto set = [&](OptionCommand command, const std::string& text) { model_.setText(index(command), text); };
    set(OptionCommand::MidiLearn, status.midiLearn ? "Deactivate Midi learn" : "Activate Midi learn");
    set(OptionCommand::Cables, status.cablesShown ? "Hide Patch Cables" : "Show Patch Cables");
    set(OptionCommand::AuxInput, status.auxInput ? "Disable Aux input" : "Enable Aux Input");
    set(OptionCommand::FilterStep, filterEntryText(status.filterMode));
    set(OptionCommand::DelaySync, status.delaySync ? "MG/Delay BPM sync: On" : "MG/Delay BPM sync: Off");
    if (!status.skinName.empty()) set(OptionCommand::SelectSkin, "Select Skin [now " + status.skinName + "]");
}

std::optional<OptionCommand> OptionEntries::command(int entry) const {
    if (entry < 0) return std::nullopt;
    for (std::size_t c = 0; c < index_.size(); ++c)
        if (index_[c] == entry) return static_cast<OptionCommand>(c);
    return std::nullopt;
}

int nextFilterMode(int mode) {
    switch (mode) {
        case 2: return 3;
        case 3: return 5;
        case 5: return 2;
        case 0:
        case 1:
        case 4: return mode;
        default: return 0;
    }
}

// The menu names only the six models the option entry steps through; the
// rest of the filter menu's models are shown by their menu names.
std::string filterEntryText(int mode) {
    if (mode >= 0 && mode < static_cast<int>(kFilterEntryTexts.size()))
        return kFilterEntryTexts[static_cast<std::size_t>(mode)];
    if (const std::string name = filterMenuName(mode); !name.empty()) return "Filter: " + name;
    return "Switch to 24dB filter";
}

MenuModel patternMenu(const PatternMenuStatus& status) {
    auto enabled = [&](PatternCommand command) {
        switch (command) {
            case PatternCommand::Undo: return status.canUndo;
            case PatternCommand::Redo: return status.canRedo;
            case PatternCommand::Paste: return status.patternCopied;
            default: return true;
        }
    };
    MenuModel menu;
    for (const PatternEntry& entry : kPatternEntries) {
        if (entry.text)
            menu.add(entry.text, enabled(entry.command));
        else
            menu.addSeparator();
    }
    return menu;
}

std::optional<PatternCommand> patternCommand(int index) {
    int n = 0;
    for (const PatternEntry& entry : kPatternEntries) {
        if (!entry.text) continue;
        if (n++ == index) return entry.command;
    }
    return std::nullopt;
}

bool runPatternOperation(PatternCommand command, Pattern& pattern) {
    switch (command) {
        case PatternCommand::Copy: copyPattern(pattern); return true;
        case PatternCommand::Paste: pastePattern(pattern); return true;
        case PatternCommand::TransposeUpOctave: transposePattern(pattern, 12); return true;
        case PatternCommand::TransposeDownOctave: transposePattern(pattern, -12); return true;
        case PatternCommand::TransposeUp: transposePattern(pattern, 1); return true;
        case PatternCommand::TransposeDown: transposePattern(pattern, -1); return true;
        case PatternCommand::Expand: expandPattern(pattern); return true;
        case PatternCommand::Shrink: shrinkPattern(pattern); return true;
        case PatternCommand::Duplicate: duplicateSteps(pattern); return true;
        case PatternCommand::ShiftLeft: shiftPattern(pattern, -1); return true;
        case PatternCommand::ShiftRight: shiftPattern(pattern, 1); return true;
        case PatternCommand::AllNotesOff: allNotesOff(pattern); return true;
        case PatternCommand::AllAccentsOff: allAccentsOff(pattern); return true;
        case PatternCommand::AllSlidesOff: allSlidesOff(pattern); return true;
        case PatternCommand::RandomizeAll: randomizePattern(pattern); return true;
        case PatternCommand::RandomizePitches: randomizePitches(pattern); return true;
        case PatternCommand::Alter: alterPattern(pattern); return true;
        case PatternCommand::Undo:
        case PatternCommand::Redo:
        case PatternCommand::AdvancedRandom:
        case PatternCommand::ImportPattern:
        case PatternCommand::ExportPattern:
        case PatternCommand::ImportRebirth: return false;
    }
    return false;
}

MenuModel filterMenu() {
    MenuModel menu;
    for (int mode = 0; mode < kFilterMenuModes; ++mode) {
        if (mode == 7 || mode == 13) menu.addSeparator();
        menu.add(kFilterMenuTexts[static_cast<std::size_t>(mode)]);
    }
    return menu;
}

std::string filterMenuName(int mode) {
    if (mode < 0 || mode >= kFilterMenuModes) return {};
    return kFilterMenuTexts[static_cast<std::size_t>(mode)];
}

PatchMenuEntries patchMenu(const std::string& patchFolder, const std::string& currentPatch, bool autoRun) {
    PatchMenuEntries menu;
    const std::optional<std::string> name = patchNameInFolder(currentPatch, patchFolder);
    menu.open = menu.model.add(name ? "Open Patch (now " + *name + ")" : std::string("Open Patch"));
    menu.model.addSeparator();
    menu.save = menu.model.add("Save Patch");
    menu.saveAs = menu.model.add("Save Patch As");
    menu.model.addSeparator();
    menu.autoRun = menu.model.add(autoRun ? "Auto Run/Stop: On" : "Auto Run/Stop: Off");
    menu.model.addSeparator();
    addFolderTree(menu.model, patchFolder, ".tvkp");
    return menu;
}

std::optional<std::string> patchNameInFolder(const std::string& path, const std::string& patchFolder) {
    if (path.empty() || patchFolder.empty() || !endsWithPatchExtension(path)) return std::nullopt;
    const fs::path relative = utf8Path(path).lexically_normal().lexically_relative(utf8Path(patchFolder).lexically_normal());
    if (relative.empty() || relative.is_absolute() || *relative.begin() == "..") return std::nullopt;
    return withoutPatchExtension(genericText(relative));
}

std::string patchDisplayName(const std::string& path) {
    std::string name = path;
    if (const std::size_t slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
    return withoutPatchExtension(std::move(name));
}

}  // namespace tarvik::gui
