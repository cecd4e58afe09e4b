#include "gui/editor/patch_browser.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "gui/ascii_case.h"
#include "gui/toolkit/menu_folder.h"
#include "gui/toolkit/utf8_path.h"

namespace tarvik::gui {

namespace {

namespace fs = std::filesystem;

bool isPatchFile(const fs::directory_entry& entry) {
    std::error_code error;
    if (!entry.is_regular_file(error)) return false;
    const std::string extension = entry.path().extension().string();
    return extension.size() == 5 && equalsIgnoringCase(extension, ".tvkp");
}

// The names of the folder's entries that pass, by full path, sorted.
template <typename Keep>
std::vector<std::string> listed(const std::string& folder, Keep keep) {
    std::vector<std::string> paths;
    std::error_code error;
    for (fs::directory_iterator it(utf8Path(folder), error), end; !error && it != end; it.increment(error))
        if (keep(*it)) paths.push_back(utf8Text(it->path()));
    std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return naturalLess(utf8Text(utf8Path(a).filename()), utf8Text(utf8Path(b).filename()));
    });
    return paths;
}

MenuModel listing(const std::string& folder) {
    MenuModel menu;
    addFolderTree(menu, folder, ".tvkp");
    return menu;
}

// The files a menu lists itself, in its order.
std::vector<std::string> patchesOf(const MenuModel& menu) {
    std::vector<std::string> files;
    for (const MenuItem& line : menu.lines())
        if (!line.submenu && !line.identifier.empty()) files.push_back(line.identifier);
    return files;
}

}  // namespace

std::vector<std::string> patchFilesIn(const std::string& folder) { return listed(folder, isPatchFile); }

std::optional<std::string> neighbourPatch(const std::string& current, int direction) {
    const fs::path path = utf8Path(current);
    const std::vector<std::string> files = patchFilesIn(utf8Text(path.parent_path()));
    if (files.empty()) return std::nullopt;
    std::error_code error;
    const auto here = std::find_if(files.begin(), files.end(),
                                   [&](const std::string& f) { return fs::equivalent(utf8Path(f), path, error); });
    if (here == files.end()) return direction > 0 ? files.front() : files.back();
    const auto index = here - files.begin();
    const auto next = index + (direction > 0 ? 1 : -1);
    if (next < 0 || next >= static_cast<long>(files.size())) return std::nullopt;
    return files[static_cast<std::size_t>(next)];
}

void PatchBank::selectBank(int n) {
    const MenuModel top = listing(root_);
    int banks = 0;
    for (const MenuItem& line : top.lines()) {
        if (!line.submenu) continue;
        if (banks++ == n) {
            bank_ = utf8Text(utf8Path(root_) / utf8Path(line.text));
            return;
        }
    }
}

std::optional<std::string> PatchBank::program(int n) const {
    MenuModel menu = listing(bank_.value_or(root_));
    if (!bank_ && patchesOf(menu).empty())
        for (const MenuItem& line : menu.lines())
            if (line.submenu) {
                MenuModel first = *line.submenu;  // a copy: the assignment frees the line
                menu = std::move(first);
                break;
            }
    const std::vector<std::string> files = patchesOf(menu);
    if (files.empty()) return std::nullopt;
    return files[static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(files.size()) - 1))];
}

}  // namespace tarvik::gui
