#include "gui/skin_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik::gui {
namespace {

namespace fs = std::filesystem;

// A data folder as a skin from Windows meets it on Linux.
class SkinFileNames : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"background.png", "Tarvik Skin/Knob.png", "Tarvik Skin/sub/Deep.PNG", "twins/a.png",
                                 "twins/A.png"}) {
            fs::create_directories((folder_.path() / file).parent_path());
            test::writeWholeFile(folder_.path() / file, "x");
        }
    }

    // The path below the data folder, or "refused".
    std::string found(const char* name) const {
        const std::string folder = folder_.path().string() + "/";
        const std::optional<std::string> path = skinFilePath(folder, name);
        if (!path) return "refused";
        EXPECT_EQ(path->rfind(folder, 0), 0u) << *path;
        return path->substr(folder.size());
    }

    test::ScopedDataFolder folder_;
};

TEST_F(SkinFileNames, AreFoundAsTheirAuthorMeantThemOrRefused) {
    struct Case {
        const char* name;
        const char* written;
        const char* found;
    };
    const Case cases[] = {
        {"as spelt", "background.png", "background.png"},
        {"backslashes", "Tarvik Skin\\Knob.png", "Tarvik Skin/Knob.png"},
        {"another letter case", "tarvik skin\\KNOB.PNG", "Tarvik Skin/Knob.png"},
        {"deeper, another case", "TARVIK SKIN/SUB/deep.png", "Tarvik Skin/sub/Deep.PNG"},
        {"dots and doubled separators", ".\\Tarvik Skin\\\\Knob.png", "Tarvik Skin/Knob.png"},
        {"the exact spelling first", "twins/a.png", "twins/a.png"},
        {"else the first in name order", "TWINS/a.PNG", "twins/A.png"},
        {"missing: the rest as written", "tarvik skin\\None\\knob.png", "Tarvik Skin/None/knob.png"},
        {"absolute", "/etc/passwd", "refused"},
        {"absolute, Windows style", "\\Windows\\win.ini", "refused"},
        {"a drive", "C:\\Skins\\knob.png", "refused"},
        {"climbing out", "..\\background.png", "refused"},
        {"climbing out further in", "Tarvik Skin/../../background.png", "refused"},
        {"empty", "", "refused"},
        {"only dots", ".\\.", "refused"},
    };
    for (const Case& c : cases) EXPECT_EQ(found(c.written), c.found) << c.name;
}

}  // namespace
}  // namespace tarvik::gui
