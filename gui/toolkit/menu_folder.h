// A folder tree as menu entries (the patch menu's listing of the patch
// folder).
#pragma once

#include <string>
#include <string_view>

#include "gui/toolkit/menu_model.h"

namespace tarvik::gui {

// Adds to `menu` the files below `folder` whose names end in `extension`
// (".tvkp"; any letter case): first every sub-folder, as an entry with the
// sub-folder's name opening a sub-menu with its own listing, then every
// such file, as an entry named without the extension whose identifier is
// the file's path. Both groups are sorted by name regardless of letter
// case; hidden names (starting with '.') are left out, as file choosers
// do. A sub-folder with nothing to list is left out, so that no sub-menu
// is empty; a sub-folder that cannot be read lists nothing; a sub-folder
// that leads back to a folder above it (a link) is not listed again.
// Answers false, adding nothing, when `folder` itself cannot be read.
// `folder`, names and identifiers are UTF-8, as every path the editor
// handles.
bool addFolderTree(MenuModel& menu, const std::string& folder, std::string_view extension);

}  // namespace tarvik::gui
