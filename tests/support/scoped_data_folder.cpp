#include "tests/support/scoped_data_folder.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace tarvik::test {

namespace {
std::atomic<int> folderCounter{0};
}

ScopedDataFolder::ScopedDataFolder() {
    path_ = std::filesystem::temp_directory_path() /
            ("tarvik-test-" + std::to_string(::getpid()) + "-" + std::to_string(folderCounter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    if (const char* p = std::getenv("TARVIK_DATA_DIR")) {
        previous_ = p;
        hadPrevious_ = true;
    }
    ::setenv("TARVIK_DATA_DIR", path_.c_str(), 1);
}

ScopedDataFolder::~ScopedDataFolder() {
    if (hadPrevious_)
        ::setenv("TARVIK_DATA_DIR", previous_.c_str(), 1);
    else
        ::unsetenv("TARVIK_DATA_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace tarvik::test
