#include "instrument/factory_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"
#include "tests/support/scoped_env.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

struct Ownership {
    const char* name;
    bool user;
};

TEST(FactoryFiles, SettingsAndPatchesAreTheUsersTheSkinAndWavetablesTheProgramsOwn) {
    for (const Ownership& file : {Ownership{"Config.ini", true}, Ownership{"Gui.ini", true},
                                  Ownership{"StartupPatch.ini", true}, Ownership{"Tarvik Patches/Acid/Line.tvkp", true},
                                  Ownership{"Tarvik.skn", false}, Ownership{"splashscreen.png", false},
                                  Ownership{"Tarvik Skin/knob.png", false}, Ownership{"Tarvik Data/wtsaw.dat", false}})
        EXPECT_EQ(belongsToUser(file.name), file.user) << file.name;
}

TEST(FactoryFiles, WhatAnInstanceWroteAsItClosedAndLeftoversOfWritesDoNotShip) {
    for (const char* name : {"MidiCC.ini", "Tarvik Patch.tvkp", "Config.ini.tmp", "Tarvik Skin/knob.png.tmp"})
        EXPECT_FALSE(isFactoryFile(name)) << name;
    for (const char* name : {"Config.ini", "Tarvik Patches/Acid/Line.tvkp", "Tarvik Skin/knob.png"})
        EXPECT_TRUE(isFactoryFile(name)) << name;
}

const std::vector<FactoryFile>& factoryFiles() {
    static const std::vector<FactoryFile> files = [] {
        auto bytes = [](const std::string& text) { return std::vector<std::uint8_t>(text.begin(), text.end()); };
        return std::vector<FactoryFile>{{"Config.ini", bytes("MaxPolyphony = 6\n")},
                                        {"Tarvik Patches/Acid/Line.tvkp", bytes("factory line\n")},
                                        {"Tarvik.skn", bytes("BACKGROUND \"background.png\", 0, 0, 800, 600\n")},
                                        {"Tarvik Skin/knob.png", bytes("\x89PNG knob")},
                                        {"Tarvik Data/wtsaw.dat", bytes(std::string(4096, 's'))}};
    }();
    return files;
}

std::string factoryText(const std::string& name) {
    for (const FactoryFile& file : factoryFiles())
        if (file.name == name) return {file.bytes.begin(), file.bytes.end()};
    return {};
}

std::vector<std::string> allNames() {
    std::vector<std::string> names;
    for (const FactoryFile& file : factoryFiles()) names.push_back(file.name);
    return names;
}

// What the folder holds before an install, and what the install must do.
struct Scene {
    const char* name;
    std::function<void(const fs::path&)> prepare;
    std::set<std::string> written;
    std::set<std::string> failed;
    // Files whose text after the install is not the factory's.
    std::vector<std::pair<std::string, std::string>> kept;
    friend void PrintTo(const Scene& row, std::ostream* out) { *out << row.name; }
};

void put(const fs::path& folder, const std::string& name, const std::string& text) {
    fs::create_directories((folder / name).parent_path());
    test::writeWholeFile(folder / name, text);
}

// Every factory file in place, as an earlier install left them.
void installed(const fs::path& folder) {
    for (const FactoryFile& file : factoryFiles()) put(folder, file.name, factoryText(file.name));
}

std::set<std::string> allBut(std::initializer_list<std::string> left) {
    const std::vector<std::string> all = allNames();
    std::set<std::string> names(all.begin(), all.end());
    for (const std::string& name : left) names.erase(name);
    return names;
}

class FactoryInstallScene : public ::testing::TestWithParam<Scene> {
protected:
    test::ScopedDataFolder folder_;
};

TEST_P(FactoryInstallScene, WritesWhatIsMissingOrDamagedAndKeepsTheUsersFiles) {
    const Scene& scene = GetParam();
    scene.prepare(folder_.path());
    const std::vector<std::uint8_t> block = packFactoryFiles(factoryFiles());

    const FactoryInstall done = installFactoryFiles(FactoryPack(block), folder_.path().string() + "/");

    EXPECT_EQ(std::set<std::string>(done.written.begin(), done.written.end()), scene.written);
    EXPECT_EQ(std::set<std::string>(done.failed.begin(), done.failed.end()), scene.failed);
    for (const std::string& name : allNames()) {
        const fs::path path = folder_.path() / name;
        if (scene.failed.count(name)) continue;
        const auto kept = std::find_if(scene.kept.begin(), scene.kept.end(), [&](auto& k) { return k.first == name; });
        const std::string expected = kept == scene.kept.end() ? factoryText(name) : kept->second;
        if (fs::is_regular_file(path)) {
            EXPECT_EQ(test::readWholeFile(path), expected) << name;
        }
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder_.path()))
        EXPECT_NE(entry.path().extension(), ".tmp") << "no temporary file is left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FactoryInstallScene,
    ::testing::Values(
        Scene{"AnEmptyFolderGetsEveryFile", [](const fs::path&) {}, allBut({}), {}, {}},
        Scene{"AnIntactFolderIsLeftAlone", installed, {}, {}, {}},
        Scene{"TheUsersSettingsStay",
              [](const fs::path& f) {
                  installed(f);
                  put(f, "Config.ini", "MaxPolyphony = 1\n");
              },
              {}, {}, {{"Config.ini", "MaxPolyphony = 1\n"}}},
        Scene{"TheUsersChangedPatchStays",
              [](const fs::path& f) { put(f, "Tarvik Patches/Acid/Line.tvkp", "my line\n"); },
              allBut({"Tarvik Patches/Acid/Line.tvkp"}), {}, {{"Tarvik Patches/Acid/Line.tvkp", "my line\n"}}},
        Scene{"ADeletedPictureComesBack",
              [](const fs::path& f) {
                  installed(f);
                  fs::remove(f / "Tarvik Skin/knob.png");
              },
              {"Tarvik Skin/knob.png"}, {}, {}},
        Scene{"ADamagedPictureOfTheSameSizeComesBack",
              [](const fs::path& f) {
                  installed(f);
                  put(f, "Tarvik Skin/knob.png", "\x89PNG kn0b");
              },
              {"Tarvik Skin/knob.png"}, {}, {}},
        Scene{"ATruncatedWavetableComesBack",
              [](const fs::path& f) {
                  installed(f);
                  put(f, "Tarvik Data/wtsaw.dat", "ss");
              },
              {"Tarvik Data/wtsaw.dat"}, {}, {}},
        Scene{"AFolderNamedAsTheUsersFileIsTheUsers",
              [](const fs::path& f) {
                  installed(f);
                  fs::remove(f / "Config.ini");
                  fs::create_directories(f / "Config.ini" / "inside");
              },
              {}, {}, {}},
        Scene{"AFolderInThePlaceOfAProgramFileFailsAndStays",
              [](const fs::path& f) {
                  installed(f);
                  fs::remove(f / "Tarvik.skn");
                  fs::create_directories(f / "Tarvik.skn" / "inside");
              },
              {}, {"Tarvik.skn"}, {}},
        Scene{"AFileInThePlaceOfAFolderFailsForWhatLiesBelowIt",
              [](const fs::path& f) { put(f, "Tarvik Data", "not a folder"); }, allBut({"Tarvik Data/wtsaw.dat"}),
              {"Tarvik Data/wtsaw.dat"}, {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(FactoryInstallOnce, TheFirstInstanceOfAProcessInstallsAndLaterOnesFindItDone) {
    test::ScopedDataFolder folder;
    const test::ScopedEnv installs("TARVIK_NO_FACTORY_FILES", std::nullopt);
    const std::vector<std::uint8_t> block = packFactoryFiles(factoryFiles());
    const std::string path = folder.path().string() + "/";

    installFactoryFilesOnce(block, path);
    EXPECT_EQ(test::readWholeFile(folder.path() / "Tarvik.skn"), factoryText("Tarvik.skn"));
    fs::remove(folder.path() / "Tarvik.skn");
    installFactoryFilesOnce(block, path);
    EXPECT_FALSE(fs::exists(folder.path() / "Tarvik.skn")) << "until the next start of the host";
}

TEST(FactoryInstallOnce, ATestsBareFolderStaysBare) {
    test::ScopedDataFolder folder;  // asks for no factory files
    installFactoryFilesOnce(packFactoryFiles(factoryFiles()), folder.path().string() + "/");
    EXPECT_TRUE(fs::is_empty(folder.path()));
}

}  // namespace
}  // namespace tarvik
