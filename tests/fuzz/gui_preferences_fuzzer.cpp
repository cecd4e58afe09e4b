// Reads each input as "Gui.ini", checks what the reader promises the editor,
// then writes the preferences and reads them back: an editor that closes
// after reading a damaged file must open again with the same preferences.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "gui/gui_preferences.h"
#include "tests/fuzz/input_file.h"
#include "tests/fuzz/patch_invariants.h"

namespace {

using tarvik::fuzz::require;
using tarvik::gui::GuiPreferences;
using tarvik::gui::KeymapEntry;
using tarvik::gui::kNoKey;

bool knownVirtualKey(int code) {
    namespace vkey = tarvik::gui::vkey;
    for (int known : {vkey::kBack, vkey::kTab, vkey::kReturn, vkey::kSpace, vkey::kLeft, vkey::kUp, vkey::kRight, vkey::kDown})
        if (code == known) return true;
    return false;
}

void requirePromises(const GuiPreferences& p) {
    require(p.cableTension >= 0.0f && p.cableTension <= tarvik::gui::kMaxCableTension, "CableTension within 0..2");
    require(p.skin.size() <= tarvik::gui::kMaxSkinPathLength, "the skin path within its room");
    for (int bit : {p.useKeyboard, p.programmingMode, p.floatingDisplay, p.stickToValue, p.softShadows,
                    p.antiAliasing, p.displayCables})
        require(bit == 0 || bit == 1, "switches are 0 or 1");
    for (std::size_t i = 0; i < p.keymap.size(); ++i) {
        const KeymapEntry& entry = p.keymap[i];
        const KeymapEntry& fixed = tarvik::gui::kDefaultKeymap[i];
        require(entry.name == fixed.name && entry.action == fixed.action, "a file changes only the keys");
        require(entry.character == kNoKey || entry.virtualKey == kNoKey, "never a character and a virtual key");
        require(entry.character >= kNoKey && entry.character <= 255, "characters are bytes");
        require(entry.virtualKey == kNoKey || knownVirtualKey(entry.virtualKey), "only the eight virtual keys");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tarvik::fuzz::InputFile input;
    static const tarvik::fuzz::InputFile written;

    GuiPreferences read;
    require(readGuiPreferences(read, input.holding(data, size)), "a regular file is always read");
    requirePromises(read);

    const std::optional<std::string> text = formatGuiPreferences(read);
    require(text.has_value(), "whatever was read can be written");
    GuiPreferences again;
    require(readGuiPreferences(again, written.holding(text->data(), text->size())), "the written file reads");
    // Six decimals keep CableTension to within half a millionth; the file
    // never carries ProgrammingMode.
    require(std::fabs(again.cableTension - read.cableTension) <= 1e-6f, "CableTension comes back");
    again.cableTension = read.cableTension;
    again.programmingMode = read.programmingMode;
    require(again == read, "the written preferences read back the same");
    return 0;
}
