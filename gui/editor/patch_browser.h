// Finding patch files without a dialog: the previous and next patch of the
// folder the current one lies in (the panel's arrows), and the patch a MIDI
// program change names in the current bank (bank select picks the bank).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvik::gui {

// The ".tvkp" files directly in `folder` (any letter case of the
// extension), sorted by name regardless of letter case; empty when the
// folder cannot be read.
std::vector<std::string> patchFilesIn(const std::string& folder);

// The patch after (direction +1) or before (-1) `current` in its folder. At
// either end the patch stays where it is (nullopt: nothing to load); a
// current patch that is not in the folder any more moves to the first or
// the last.
std::optional<std::string> neighbourPatch(const std::string& current, int direction);

// Program changes choose among the patches of one menu of the patch menu's
// listing: the patch folder itself until a bank select picks its n-th
// sub-menu (sub-folders with nothing to list have none). A patch folder
// holding no patches of its own (the factory bank keeps every patch in a
// sub-folder) plays its first sub-menu.
class PatchBank {
public:
    explicit PatchBank(std::string patchFolder) : root_(std::move(patchFolder)) {}

    // Bank select: the n-th sub-menu (0-based); ignored when there is none.
    void selectBank(int n);
    // The patch program n names: below 0 the first, beyond the last the
    // last; nullopt when the bank holds none.
    std::optional<std::string> program(int n) const;

private:
    std::string root_;
    std::optional<std::string> bank_;
};

}  // namespace tarvik::gui
