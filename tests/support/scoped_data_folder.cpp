#include "tests/support/scoped_data_folder.h"

#include <unistd.h>

#include <atomic>

namespace tarvik::test {

namespace {

std::atomic<int> folderCounter{0};

std::filesystem::path freshFolder() {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("tarvik-test-" + std::to_string(::getpid()) + "-" + std::to_string(folderCounter++));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

}  // namespace

ScopedDataFolder::ScopedDataFolder() : path_(freshFolder()), folderVariable_("TARVIK_DATA_DIR", path_.string()) {}

ScopedDataFolder::~ScopedDataFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace tarvik::test
