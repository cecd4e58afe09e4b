// The plug-in binary copied alone into a home without a data folder, as a
// user who copies one file (or a distribution's package) installs it: its
// first instance writes the data folder, plays a factory pattern and opens
// its editor drawn, and the folder it wrote is the one ./run.sh installs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "patch/patch_chunk.h"
#include "tests/gui/file_dialog_fixtures.h"
#include "tests/support/file_text.h"
#include "tools/host/editor_window_host.h"
#include "tools/host/hosted_plugin.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

using gui::test::ScopedEnv;
using gui::test::TempFolder;

// Every file below a folder with its bytes, by its name there.
std::map<std::string, std::string> filesBelow(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files[fs::relative(entry.path(), folder).generic_string()] = test::readWholeFile(entry.path());
    return files;
}

class BareInstall : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under scripts/with-xvfb.sh"; }

    // A fresh copy of the binary, as the next start of a host loads it: the
    // once-per-process install runs again.
    std::string copyOfTheBinary() {
        const fs::path copy = home_.path() / ("Tarvik-" + std::to_string(copies_++) + ".so");
        fs::copy_file(TARVIK_PLUGIN_PATH, copy);
        return copy.string();
    }

    // The root mean square of the first seconds the plug-in plays with key
    // 0 held: in the factory settings the key runs pattern 0 of the start-up
    // patch.
    static double playPatternZero(host::HostedPlugin& plugin) {
        plugin.sendEvents({{0, {0x90, 0, 100}}});
        std::vector<float> left(512), right(512);
        float* out[2] = {left.data(), right.data()};
        double sum = 0.0;
        constexpr int kBlocks = 172;  // two seconds
        for (int block = 0; block < kBlocks; ++block) {
            plugin.process(nullptr, out, 512);
            for (float sample : left) sum += static_cast<double>(sample) * sample;
        }
        return std::sqrt(sum / (kBlocks * 512.0));
    }

    TempFolder home_;
    const ScopedEnv homeVariable_{"HOME", home_.path().string()};
    const ScopedEnv noConfigHome_{"XDG_CONFIG_HOME", std::nullopt};
    const ScopedEnv noOverride_{"TARVIK_DATA_DIR", std::nullopt};
    const ScopedEnv installs_{"TARVIK_NO_FACTORY_FILES", std::nullopt};
    const fs::path data_ = home_.path() / "Documents" / "Sonvarde" / "Tarvik";
    int copies_ = 0;
};

TEST_F(BareInstall, TheBinaryAloneWritesItsDataFolderPlaysAFactoryPatternAndOpensItsEditorDrawn) {
    std::map<std::string, std::string> written;
    {
        host::HostedPlugin plugin;
        std::string error;
        ASSERT_TRUE(plugin.load(copyOfTheBinary(), error)) << error;
        written = filesBelow(data_);
        plugin.start();

        void* chunk = nullptr;
        const auto size = plugin.dispatch(vst::effGetChunk, 0, 0, &chunk);
        TarvikPatch patch;
        std::string path;
        ASSERT_TRUE(decodeChunk(patch, static_cast<const unsigned char*>(chunk), static_cast<std::size_t>(size), path));
        EXPECT_EQ(fs::path(path).filename(), "Acid Line 1.tvkp") << "the start-up patch the factory settings name";
        host::EditorWindowHost window(plugin);
        ASSERT_TRUE(window.open(error)) << error;
        EXPECT_TRUE(window.settle());
        EXPECT_EQ(window.shownMessage(), "") << "the panel, not a message";
        EXPECT_GT(window.width(), 1000);
        window.close();
        EXPECT_GT(playPatternZero(plugin), 0.01);
    }

    // What ./run.sh installs: the data component of this build.
    const TempFolder staged;
    const std::string install = "DESTDIR='" + staged.path().string() + "' '" CMAKE_COMMAND "' --install '" +
                                PROJECT_BINARY_DIR + "' --component data >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0) << install;
    EXPECT_EQ(written, filesBelow(staged.path() / fs::path(TARVIK_DATA_INSTALL_DIR).relative_path()));
    EXPECT_EQ(written, filesBelow(TARVIK_BUILD_DATA_DIR)) << "every file of the build's data folder, byte for byte";
}

TEST_F(BareInstall, TheNextStartKeepsTheUsersSettingsAndBringsBackTheProgramsFiles) {
    {
        host::HostedPlugin first;
        std::string error;
        ASSERT_TRUE(first.load(copyOfTheBinary(), error)) << error;
    }
    const std::string settings = "; mine\nMaxPolyphony = 1\nAutoRun = 0\n";
    test::writeWholeFile(data_ / "Config.ini", settings);
    test::writeWholeFile(data_ / "Tarvik Patches" / "Acid" / "Acid Line 1.tvkp", "my own line");
    fs::remove(data_ / "Tarvik Skin" / "knob_large.png");
    fs::resize_file(data_ / "Tarvik Data" / "wtsaw.dat", 100);

    host::HostedPlugin next;
    std::string error;
    ASSERT_TRUE(next.load(copyOfTheBinary(), error)) << error;
    EXPECT_EQ(test::readWholeFile(data_ / "Config.ini"), settings);
    EXPECT_EQ(test::readWholeFile(data_ / "Tarvik Patches" / "Acid" / "Acid Line 1.tvkp"), "my own line");
    const fs::path build = TARVIK_BUILD_DATA_DIR;
    for (const char* file : {"Tarvik Skin/knob_large.png", "Tarvik Data/wtsaw.dat"})
        EXPECT_EQ(test::readWholeFile(data_ / file), test::readWholeFile(build / file)) << file;
}

}  // namespace
}  // namespace tarvik
