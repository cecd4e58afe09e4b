// What the editor's four menus list, apart from the window that shows them:
// the option menu with one index per command and the texts that follow
// the settings, the pattern menu's operations, the filter menu's models and
// the patch menu over the patch folder.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "gui/toolkit/menu_model.h"
#include "patch/patch.h"

namespace tarvik::gui {

enum class OptionCommand {
    MidiLearn,
    Cables,
    AuxInput,
    FilterStep,
    DelaySync,
    LoadMidiMap,
    SaveMidiMap,
    ViewConfiguration,
    SelectSkin,
    DefaultSkin,
    PatchInfo,
    Preferences,
};
inline constexpr int kOptionCommands = 12;

// What the option menu's changing texts show.
struct OptionStatus {
    bool midiLearn = false;
    bool cablesShown = false;
    bool auxInput = false;
    int filterMode = 0;
    bool delaySync = false;
    std::string skinName;

    bool operator==(const OptionStatus&) const = default;
};

class OptionEntries {
public:
    // The entries as they are created, before the first refresh.
    OptionEntries();

    void refresh(const OptionStatus& status);
    const MenuModel& model() const { return model_; }
    // The command of the entry with this index; nullopt for none.
    std::optional<OptionCommand> command(int index) const;
    // The entry of a command; -1 for a command without one.
    int index(OptionCommand command) const { return index_[static_cast<std::size_t>(command)]; }

private:
    MenuModel model_;
    std::array<int, kOptionCommands> index_{};
    std::optional<OptionStatus> shown_;  // what the texts show; none before the first refresh
};

// The filter models the option menu's filter entry and the OPTIONFILTER
// button step through; the others stay where they are.
int nextFilterMode(int mode);
// "Filter: TB-303 24dB" and the like, for the option menu's filter entry.
std::string filterEntryText(int mode);

enum class PatternCommand {
    Undo,
    Redo,
    Copy,
    Paste,
    TransposeUpOctave,
    TransposeDownOctave,
    TransposeUp,
    TransposeDown,
    Expand,
    Shrink,
    Duplicate,
    ShiftLeft,
    ShiftRight,
    AllNotesOff,
    AllAccentsOff,
    AllSlidesOff,
    RandomizeAll,
    RandomizePitches,
    Alter,
    AdvancedRandom,
    ImportPattern,
    ExportPattern,
    ImportRebirth,
};

// What the pattern menu's entries can do now: an entry that could do
// nothing is shown disabled.
struct PatternMenuStatus {
    bool canUndo = false;
    bool canRedo = false;
    bool patternCopied = false;  // Paste has something to paste
};

// The pattern menu: its entries' indexes count the commands in order.
MenuModel patternMenu(const PatternMenuStatus& status);
std::optional<PatternCommand> patternCommand(int index);
// Runs an operation that needs nothing but the pattern; false, changing
// nothing, for the commands that show a panel or a file dialog or step
// through the edit history.
bool runPatternOperation(PatternCommand command, Pattern& pattern);

// The filter menu: entry n stands for FilterMode n (0..14).
inline constexpr int kFilterMenuModes = 15;
MenuModel filterMenu();
// The filter menu's name of a mode; empty for a value the menu does not list.
std::string filterMenuName(int mode);

// The patch menu's fixed entries before the listing of the patch folder.
struct PatchMenuEntries {
    MenuModel model;
    int open = -1;
    int save = -1;
    int saveAs = -1;
    int autoRun = -1;
};
PatchMenuEntries patchMenu(const std::string& patchFolder, const std::string& currentPatch, bool autoRun);

// The current patch's name in the patch menu: its path below the patch
// folder without ".tvkp"; nullopt when it has no file in that folder.
std::optional<std::string> patchNameInFolder(const std::string& path, const std::string& patchFolder);
// What the patch name display shows: the file name without ".tvkp".
std::string patchDisplayName(const std::string& path);

}  // namespace tarvik::gui
