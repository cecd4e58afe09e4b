// A throw-away patch folder for the tests of the patch menu and the patch
// browser: files and sub-folders made by relative path, removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "tests/support/file_text.h"

namespace tarvik::gui::test {

class PatchFolder : public ::testing::Test {
protected:
    PatchFolder() : root_(std::filesystem::temp_directory_path() / uniqueName()) {
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~PatchFolder() override { std::filesystem::remove_all(root_); }

    // "Bank/a.tvkp" makes a file and its folders; "Empty/" a folder alone.
    void make(std::initializer_list<const char*> paths) {
        for (const std::string what : paths) {
            if (what.back() == '/') {
                std::filesystem::create_directories(root_ / what);
                continue;
            }
            std::filesystem::create_directories((root_ / what).parent_path());
            tarvik::test::writeWholeFile(root_ / what, "patch");
        }
    }
    std::string at(const std::string& relative) const { return (root_ / relative).string(); }
    std::string root() const { return root_.string(); }

private:
    static std::string uniqueName() {
        std::string name = "tarvik-patch-folder-" + std::to_string(getpid()) + "-" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/') c = '_';
        return name;
    }

    std::filesystem::path root_;
};

}  // namespace tarvik::gui::test
