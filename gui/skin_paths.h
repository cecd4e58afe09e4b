// Skins travel between systems. One written on Windows names its files with
// backslashes and in whatever letter case its author typed, both of which
// Windows takes and Linux does not; here they read as they did there. A
// skin is a file anybody may hand around, so the files it names stay below
// the folder they are taken from.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik::gui {

// The path of `name`, a file name as a skin writes it, below `folder` (a
// folder path ending in a separator, or empty for the working folder).
// Backslashes separate components as slashes do; a component that does not
// exist as spelt is the entry of its folder whose name matches it without
// regard to letter case (the first in name order when several do). From the
// first component found in no spelling on, the rest stays as written, for
// opening it to fail. Nullopt for a name that would reach outside `folder`:
// an empty or absolute one, one with a drive letter, one with a ".."
// component.
std::optional<std::string> skinFilePath(const std::string& folder, std::string_view name);

}  // namespace tarvik::gui
