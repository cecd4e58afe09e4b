#include "gui/toolkit/menu_folder.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "gui/ascii_case.h"
#include "gui/toolkit/utf8_path.h"

namespace tarvik::gui {

namespace fs = std::filesystem;

namespace {

struct Found {
    std::string name;  // as shown
    fs::path path;
};

bool endsWithIgnoringCase(std::string_view name, std::string_view ending) {
    return name.size() > ending.size() && equalsIgnoringCase(name.substr(name.size() - ending.size()), ending);
}

void sortByName(std::vector<Found>& found) {
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return naturalLess(a.name, b.name); });
}

class Lister {
public:
    explicit Lister(std::string_view extension) : extension_(extension) {}

    // Answers false when `folder` cannot be read.
    bool list(MenuModel& menu, const fs::path& folder) {
        std::error_code error;
        const fs::path canonical = fs::canonical(folder, error);
        if (error) return false;
        if (std::find(above_.begin(), above_.end(), canonical) != above_.end()) return true;

        std::vector<Found> folders;
        std::vector<Found> files;
        fs::directory_iterator it(folder, error);
        if (error) return false;
        for (; it != fs::directory_iterator(); it.increment(error)) {
            const fs::path& path = it->path();
            const std::string name = utf8Text(path.filename());
            if (name.empty() || name.front() == '.') continue;  // hidden, as desktop file choosers have it
            std::error_code kindError;
            if (it->is_directory(kindError)) {
                folders.push_back({name, path});
            } else if (it->is_regular_file(kindError) && endsWithIgnoringCase(name, extension_)) {
                files.push_back({name.substr(0, name.size() - extension_.size()), path});
            }
        }
        if (error) return false;  // the listing broke off part way
        sortByName(folders);
        sortByName(files);

        above_.push_back(canonical);
        for (Found& sub : folders) {
            MenuModel inner;
            if (list(inner, sub.path) && !inner.empty()) named(menu, menu.addSubmenu({}, std::move(inner)), sub.name);
        }
        above_.pop_back();
        for (Found& file : files) {
            named(menu, menu.add({}), file.name).identifier = utf8Text(file.path);
        }
        return true;
    }

private:
    // A name is shown whole, even where it holds a tab.
    static MenuItem& named(MenuModel& menu, int index, std::string& name) {
        MenuItem& item = *menu.entry(index);
        item.text = std::move(name);
        return item;
    }

    std::string_view extension_;
    std::vector<fs::path> above_;  // the folders being listed, outermost first
};

}  // namespace

// Nothing is added before the folder has been read whole, so a folder that
// cannot be read adds nothing.
bool addFolderTree(MenuModel& menu, const std::string& folder, std::string_view extension) {
    return Lister(extension).list(menu, utf8Path(folder));
}

}  // namespace tarvik::gui
