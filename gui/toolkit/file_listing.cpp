#include "gui/toolkit/file_listing.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "gui/ascii_case.h"
#include "gui/toolkit/file_request.h"
#include "gui/toolkit/utf8_path.h"

namespace tarvik::gui {

namespace fs = std::filesystem;

namespace {

// `folder` with any trailing separators gone: "/a/b/" is "/a/b".
fs::path trimmedPath(const std::string& folder) {
    fs::path p = utf8Path(folder).lexically_normal();
    if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
    return p;
}

bool byName(const FolderEntry& a, const FolderEntry& b) { return naturalLess(a.name, b.name); }

std::string homeFolder() {
#if defined(_WIN32)
    const char* home = std::getenv("USERPROFILE");
#else
    const char* home = std::getenv("HOME");
#endif
    if (home && *home) return home;
    return "/";
}

}  // namespace

std::vector<FolderEntry> listFolder(const std::string& folder, std::string_view patterns) {
    std::vector<FolderEntry> folders;
    std::vector<FolderEntry> files;
    std::error_code error;
    for (fs::directory_iterator it(utf8Path(folder), fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = utf8Text(it->path().filename());
        if (name.empty() || name.front() == '.') continue;
        std::error_code kindError;
        if (it->is_directory(kindError))
            folders.push_back({name, true});
        else if (!kindError && matchesFilter(name, patterns))
            files.push_back({name, false});
    }
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);

    std::vector<FolderEntry> entries;
    if (trimmedPath(folder).has_relative_path()) entries.push_back({"..", true});
    entries.insert(entries.end(), folders.begin(), folders.end());
    entries.insert(entries.end(), files.begin(), files.end());
    return entries;
}

std::string parentFolder(const std::string& folder) {
    const fs::path p = trimmedPath(folder);
    return utf8Text(p.has_relative_path() ? p.parent_path() : p);
}

std::string cleanFolder(const std::string& folder) { return utf8Text(trimmedPath(folder)); }

std::string joinPath(const std::string& folder, const std::string& name) {
    return utf8Text(utf8Path(folder) / utf8Path(name));
}

std::string startingFolder(const std::string& folder) {
    fs::path p = trimmedPath(folder.empty() ? homeFolder() : folder);
    std::error_code error;
    if (fs::path absolute = fs::absolute(p, error); !error) p = absolute;
    while (!fs::is_directory(p, error) && p.has_relative_path()) p = p.parent_path();
    return utf8Text(p);
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(utf8Path(path), error);
}

bool isFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(utf8Path(path), error);
}

}  // namespace tarvik::gui
