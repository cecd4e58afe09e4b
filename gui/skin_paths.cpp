#include "gui/skin_paths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "gui/ascii_case.h"
#include "gui/toolkit/utf8_path.h"
#include "instrument/data_folder.h"

namespace tarvik::gui {

namespace {

namespace fs = std::filesystem;

bool exists(const std::string& path) {
    std::error_code error;
    return fs::exists(utf8Path(path), error);
}

// The name of the entry of `folder` that matches `component` without regard
// to letter case; empty when none does.
std::string entryIgnoringCase(const std::string& folder, std::string_view component) {
    std::string found;
    std::error_code error;
    for (fs::directory_iterator it(utf8Path(folder.empty() ? "." : folder), error), end; !error && it != end;
         it.increment(error)) {
        const std::string entry = utf8Text(it->path().filename());
        if (equalsIgnoringCase(entry, component) && (found.empty() || entry < found)) found = entry;
    }
    return found;
}

bool isDriveLetter(char c) { return toUpperAscii(c) >= 'A' && toUpperAscii(c) <= 'Z'; }

// The components of a relative name, without empty and "." ones; nullopt
// when the name is absolute or climbs out with "..".
std::optional<std::vector<std::string>> relativeComponents(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\' ||
        (name.size() >= 2 && name[1] == ':' && isDriveLetter(name[0])))
        return std::nullopt;
    std::vector<std::string> components;
    while (!name.empty()) {
        const std::size_t end = std::min(name.find_first_of("/\\"), name.size());
        const std::string_view component = name.substr(0, end);
        name.remove_prefix(std::min(end + 1, name.size()));
        if (component == "..") return std::nullopt;
        if (!component.empty() && component != ".") components.emplace_back(component);
    }
    if (components.empty()) return std::nullopt;
    return components;
}

}  // namespace

std::optional<std::string> skinFilePath(const std::string& folder, std::string_view name) {
    const std::optional<std::vector<std::string>> components = relativeComponents(name);
    if (!components) return std::nullopt;
    std::string relative;  // the components so far, each followed by '/'
    bool found = true;
    for (const std::string& written : *components) {
        std::string component = written;
        if (found && !exists(folder + relative + component)) {
            std::string other = entryIgnoringCase(folder + relative, component);
            found = !other.empty();
            if (found) component = std::move(other);
        }
        relative += component + '/';
    }
    relative.pop_back();
    return dataPath(folder, relative);
}

}  // namespace tarvik::gui
