// A throw-away data folder: TARVIK_DATA_DIR points at a fresh empty folder
// for the fixture's lifetime, so tests never touch the user's documents.
#pragma once

#include <filesystem>
#include <string>

namespace tarvik::test {

class ScopedDataFolder {
public:
    ScopedDataFolder();
    ~ScopedDataFolder();
    ScopedDataFolder(const ScopedDataFolder&) = delete;
    ScopedDataFolder& operator=(const ScopedDataFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::string previous_;
    bool hadPrevious_ = false;
};

}  // namespace tarvik::test
