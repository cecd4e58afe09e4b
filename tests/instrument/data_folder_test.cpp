#include "instrument/data_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/scoped_env.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

using test::ScopedEnv;

TEST(DataFolder, OverrideWinsAndEndsWithASeparator) {
    ScopedEnv a("TARVIK_DATA_DIR", "/tmp/portable");
    EXPECT_EQ(dataFolder(), "/tmp/portable/");
    ScopedEnv b("TARVIK_DATA_DIR", "/tmp/portable/");
    EXPECT_EQ(dataFolder(), "/tmp/portable/");
}

struct XdgCase {
    const char* name;
    const char* userDirsLine;  // nullptr: no user-dirs file
    const char* expectedBelowHome;
    friend void PrintTo(const XdgCase& row, std::ostream* out) { *out << row.name; }
};

class XdgDocuments : public ::testing::TestWithParam<XdgCase> {};

TEST_P(XdgDocuments, FindsTheDocumentsFolderOfTheUser) {
    const XdgCase& c = GetParam();
    const fs::path home = fs::temp_directory_path() / ("tarvik-home-" + std::string(c.name));
    fs::remove_all(home);
    fs::create_directories(home / ".config");
    if (c.userDirsLine) std::ofstream(home / ".config" / "user-dirs.dirs") << "# written by xdg-user-dirs\n" << c.userDirsLine << "\n";

    ScopedEnv noOverride("TARVIK_DATA_DIR", std::nullopt);
    ScopedEnv noConfigHome("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv homeEnv("HOME", home.c_str());
    EXPECT_EQ(dataFolder(), home.string() + c.expectedBelowHome);
    fs::remove_all(home);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XdgDocuments,
    ::testing::Values(XdgCase{"NoFile", nullptr, "/Documents/Sonvarde/Tarvik/"},
                      XdgCase{"HomeRelative", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"", "/Dokumente/Sonvarde/Tarvik/"},
                      XdgCase{"RelativeIsInvalid", "XDG_DOCUMENTS_DIR=\"Docs\"", "/Documents/Sonvarde/Tarvik/"},
                      XdgCase{"UnterminatedIsInvalid", "XDG_DOCUMENTS_DIR=\"$HOME/Docs", "/Documents/Sonvarde/Tarvik/"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DataFolder, AbsoluteXdgPathIsTakenAsIs) {
    const fs::path home = fs::temp_directory_path() / "tarvik-home-absolute";
    fs::create_directories(home / ".config");
    std::ofstream(home / ".config" / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"/srv/shared/docs/\"\n";
    ScopedEnv noOverride("TARVIK_DATA_DIR", std::nullopt);
    ScopedEnv noConfigHome("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv homeEnv("HOME", home.c_str());
    EXPECT_EQ(dataFolder(), "/srv/shared/docs/Sonvarde/Tarvik/");
    fs::remove_all(home);
}

TEST(DataPath, JoinsWithNativeSeparators) {
    EXPECT_EQ(dataPath("/data/", "Tarvik Patches/Tarvik Patch.tvkp"), "/data/Tarvik Patches/Tarvik Patch.tvkp");
    EXPECT_EQ(dataPath("", "Tarvik Data/wtsaw.dat"), "Tarvik Data/wtsaw.dat");
}

// Files named in the settings: relative names lie in the data folder, since
// a host's working directory is nothing a user can know.
TEST(UserFilePath, RelativeNamesLieInTheDataFolder) {
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {{"scales/five.scl", "/data/scales/five.scl"},
                 {"five.scl", "/data/five.scl"},
                 {"/opt/tunings/five.scl", "/opt/tunings/five.scl"},
                 {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(userFilePath("/data/", c.name), c.expected) << c.name;
}

}  // namespace
}  // namespace tarvik
