#include "gui/toolkit/file_listing.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "gui/ascii_case.h"
#include "gui/toolkit/file_request.h"

namespace tarvik::gui {

namespace fs = std::filesystem;

namespace {

// std::filesystem reads narrow text in the system's code page on Windows;
// going through char8_t keeps it UTF-8 everywhere.
fs::path toPath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string toText(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// `folder` with any trailing separators gone: "/a/b/" is "/a/b".
fs::path trimmedPath(const std::string& folder) {
    fs::path p = toPath(folder).lexically_normal();
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
    for (fs::directory_iterator it(toPath(folder), fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = toText(it->path().filename());
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
    return toText(p.has_relative_path() ? p.parent_path() : p);
}

std::string cleanFolder(const std::string& folder) { return toText(trimmedPath(folder)); }

std::string joinPath(const std::string& folder, const std::string& name) {
    return toText(toPath(folder) / toPath(name));
}

std::string startingFolder(const std::string& folder) {
    fs::path p = trimmedPath(folder.empty() ? homeFolder() : folder);
    std::error_code error;
    if (fs::path absolute = fs::absolute(p, error); !error) p = absolute;
    while (!fs::is_directory(p, error) && p.has_relative_path()) p = p.parent_path();
    return toText(p);
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(toPath(path), error);
}

bool isFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(toPath(path), error);
}

}  // namespace tarvik::gui
