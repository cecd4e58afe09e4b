#include "platform/documents_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace platform {

namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

// Reads XDG_DOCUMENTS_DIR from the user-dirs file, whose lines look like
//   XDG_DOCUMENTS_DIR="$HOME/Documents"
// Only "$HOME/..." and absolute paths are valid there.
std::string xdgDocumentsFolder(const std::string& home) {
    std::string configHome;
    if (const char* c = std::getenv("XDG_CONFIG_HOME"); c && *c == '/')
        configHome = c;
    else if (!home.empty())
        configHome = home + "/.config";
    else
        return {};

    std::ifstream in(configHome + "/user-dirs.dirs");
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) != 0) continue;
        const std::size_t end = line.find('"', key.size());
        if (end == std::string::npos) return {};
        std::string value = line.substr(key.size(), end - key.size());
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        if (value.empty() || value[0] != '/') return {};
        while (value.size() > 1 && value.back() == '/') value.pop_back();
        return value;
    }
    return {};
}

}  // namespace

std::string documentsFolder() {
    const std::string home = homeFolder();
    if (std::string xdg = xdgDocumentsFolder(home); !xdg.empty()) return xdg;
    if (home.empty()) return {};
    return home + "/Documents";
}

}  // namespace platform
