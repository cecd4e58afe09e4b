#include "instrument/data_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/documents_folder.h"

namespace tarvik {

namespace {
std::string withTrailingSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != platform::kPathSeparator)
        folder += platform::kPathSeparator;
    return folder;
}
}  // namespace

std::string dataFolder() {
    if (const char* overridden = std::getenv("TARVIK_DATA_DIR"); overridden && *overridden)
        return dataPath(withTrailingSeparator(overridden), "");
    const std::string documents = platform::documentsFolder();
    if (documents.empty()) return {};
    return dataPath(withTrailingSeparator(documents), "Sonvarde/Tarvik/");
}

std::string dataPath(const std::string& folder, std::string_view relative) {
    std::string path = folder;
    path += relative;
    std::replace(path.begin(), path.end(), '/', platform::kPathSeparator);
    return path;
}

std::string userFilePath(const std::string& folder, const std::string& name) {
    if (name.empty() || std::filesystem::path(name).is_absolute()) return name;
    return dataPath(folder, name);
}

}  // namespace tarvik
