#include "patch/safe_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

class SafeFile : public ::testing::Test {
protected:
    void SetUp() override { std::ofstream(target) << "the user's old file\n"; }

    test::ScopedDataFolder folder;
    fs::path target = folder.path() / "Config.ini";
};

TEST_F(SafeFile, CommitReplacesTheOldFileAndLeavesNoTemporary) {
    {
        SafeFileWriter writer(target.string());
        ASSERT_NE(writer.file(), nullptr);
        std::fputs("new contents\n", writer.file());
        EXPECT_EQ(test::readWholeFile(target), "the user's old file\n") << "nothing changes before the commit";
        EXPECT_TRUE(writer.commit());
    }
    EXPECT_EQ(test::readWholeFile(target), "new contents\n");
    EXPECT_FALSE(fs::exists(target.string() + ".tmp"));
}

TEST_F(SafeFile, AnAbandonedWriteKeepsTheOldFile) {
    {
        SafeFileWriter writer(target.string());
        std::fputs("half a fi", writer.file());
    }
    EXPECT_EQ(test::readWholeFile(target), "the user's old file\n");
    EXPECT_FALSE(fs::exists(target.string() + ".tmp"));
}

TEST_F(SafeFile, AFolderThatCannotBeWrittenFailsWithoutTouchingAnything) {
    SafeFileWriter writer((folder.path() / "no-such-folder" / "Config.ini").string());
    EXPECT_EQ(writer.file(), nullptr);
    EXPECT_FALSE(writer.commit());
    EXPECT_EQ(test::readWholeFile(target), "the user's old file\n");
}

TEST_F(SafeFile, AFailedReplacementReportsFailureAndKeepsTheOldFile) {
    // A folder where the file should be: the rename over it fails.
    const fs::path blocked = folder.path() / "blocked";
    fs::create_directories(blocked / "inside");
    SafeFileWriter writer(blocked.string());
    ASSERT_NE(writer.file(), nullptr);
    std::fputs("text", writer.file());
    EXPECT_FALSE(writer.commit());
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
}

// A file that must never replace one the user has (a factory copy of a
// settings file or a patch) is placed only where none exists.
TEST_F(SafeFile, CommitAsNewPlacesAFileOnlyWhereNoneExists) {
    const fs::path fresh = folder.path() / "Gui.ini";
    for (const fs::path& path : {fresh, target}) {
        SafeFileWriter writer(path.string(), SafeFileWriter::Content::Bytes);
        ASSERT_NE(writer.file(), nullptr);
        std::fputs("factory copy\n", writer.file());
        EXPECT_EQ(writer.commitAsNew(), path == fresh) << path;
    }
    EXPECT_EQ(test::readWholeFile(fresh), "factory copy\n");
    EXPECT_EQ(test::readWholeFile(target), "the user's old file\n");
    EXPECT_FALSE(fs::exists(target.string() + ".tmp"));
}

}  // namespace
}  // namespace tarvik
