// What a file choice asks for, whichever chooser answers it: the system's
// own dialog or the one drawn inside the frame.
#pragma once

#include <string>
#include <string_view>

namespace tarvik::gui {

enum class FileDialogKind { Open, Save };

struct FileRequest {
    std::string title;              // the dialog's title
    std::string filterText;         // what the filter is called, e.g. "Tarvik (*.tvkp)"
    std::string filterPattern;      // which names it shows, e.g. "*.tvkp"; several separated by ';'
    std::string defaultExtension;   // without the dot; given to a saved name that has none
    std::string folder;             // where the choice starts
    bool mustExist = false;         // open: only an existing file can be chosen
    bool confirmOverwrite = false;  // save: an existing file is replaced only after a Yes
};

// `path` with "." + `extension` added when its last name has no extension
// (no dot after its first character; a name ending in a dot takes the
// extension after that dot). Unchanged for an empty extension or an empty
// last name.
std::string withDefaultExtension(const std::string& path, std::string_view extension);

// Whether the file name `name` matches one of `patterns` (wildcards * and ?,
// several patterns separated by ';'), letters compared without case as the
// Windows dialogs compare them, so "BASS.TVKP" shows under "*.tvkp". An
// empty pattern list matches every name.
bool matchesFilter(std::string_view name, std::string_view patterns);

}  // namespace tarvik::gui
