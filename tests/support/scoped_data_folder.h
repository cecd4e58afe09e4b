// A throw-away data folder: TARVIK_DATA_DIR points at a fresh empty folder
// for the fixture's lifetime, so tests never touch the user's documents. A
// plug-in binary leaves it as the test makes it (no factory files written).
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/scoped_env.h"

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
    ScopedEnv folderVariable_;
    ScopedEnv factoryFilesVariable_{"TARVIK_NO_FACTORY_FILES", "1"};
};

}  // namespace tarvik::test
