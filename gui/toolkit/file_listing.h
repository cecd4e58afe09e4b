// Folders as a file chooser drawn by the toolkit shows them. Paths are UTF-8
// text on every platform.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvik::gui {

struct FolderEntry {
    std::string name;
    bool folder = false;
    bool operator==(const FolderEntry&) const = default;
};

// What a chooser shows of `folder`: ".." first (except at the top of the
// file system), then the sub-folders, then the files matching `patterns`
// (see matchesFilter), each group sorted by name without regard to case.
// Hidden names (starting with '.') are left out, as desktop choosers do.
// An unreadable folder shows only "..".
std::vector<FolderEntry> listFolder(const std::string& folder, std::string_view patterns);

// The folder holding `folder`; the top of the file system holds itself.
std::string parentFolder(const std::string& folder);
// `folder` without a trailing separator (except at the top).
std::string cleanFolder(const std::string& folder);
std::string joinPath(const std::string& folder, const std::string& name);
// Where a chooser asked to start in `folder` can start: the nearest existing
// folder at or above it; the home folder when `folder` is empty.
std::string startingFolder(const std::string& folder);

bool isFolder(const std::string& path);
bool isFile(const std::string& path);

}  // namespace tarvik::gui
