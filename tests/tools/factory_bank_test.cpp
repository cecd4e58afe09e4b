// The factory content that the build wrote into its data folder, read back
// as the plug-in reads it and played through the built plug-in binary with
// tarvik-render, patch by patch. The patches are found by walking the
// folder, so a new one is checked without touching this file.
#include <fcntl.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dsp/socket_table.h"
#include "patch/parameters.h"
#include "patch/patch_file.h"
#include "instrument/configuration.h"
#include "tests/support/scoped_data_folder.h"

extern char** environ;

namespace tarvik::render {
namespace {

namespace fs = std::filesystem;

const fs::path kDataFolder = TARVIK_FACTORY_DATA_DIR;
const fs::path kPatchFolder = kDataFolder / "Tarvik Patches";

constexpr int kMinPatches = 16;
constexpr int kMinStyles = 4;
constexpr int kLinesPerPatch = 4;  // patterns 0..3 hold lines
constexpr int kHighestStepNote = 35;
constexpr std::int32_t kBendRange = 12;

// Short renders at a low rate keep the whole bank within seconds; the low
// rate is also where resonant patches peak highest.
constexpr int kRenderRate = 22050;
constexpr const char* kRenderSeconds = "3.5";
constexpr double kAudibleRms = 0.01;  // -40 dBFS over the whole render
const std::vector<std::string> kMonoPhrase = {"--note", "C2,0,0.8", "--note", "G2,0.6,0.8",
                                              "--note", "C3,1.6,1.0", "--note", "D#2,2.8,0.5"};
const std::vector<std::string> kPolyChord = {"--note", "C3,0,2.5", "--note", "D#3,0,2.5",
                                             "--note", "G3,0,2.5", "--note", "A#3,0,2.5"};

std::vector<fs::path> factoryPatches() {
    std::vector<fs::path> patches;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(kPatchFolder, error); !error && it != fs::end(it);
         it.increment(error))
        if (it->is_regular_file() && it->path().extension() == ".tvkp") patches.push_back(it->path());
    std::sort(patches.begin(), patches.end());
    return patches;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<TarvikPatch> readBack(const fs::path& path) {
    auto patch = std::make_unique<TarvikPatch>();
    return readPatchFile(*patch, path.string()) ? std::move(patch) : nullptr;
}

// The cables as the file states them, before the reader's repairs.
std::vector<Connection> cablesInFile(const fs::path& path) {
    std::istringstream text(readText(path));
    std::string line;
    while (std::getline(text, line) && line.find(" Connections]") == std::string::npos) {
    }
    std::vector<Connection> cables;
    int count = 0;
    if (std::sscanf(line.c_str(), "[%d Connections]", &count) != 1) return cables;
    for (int i = 0; i < count && std::getline(text, line); ++i) {
        Connection cable{};
        if (std::sscanf(line.c_str(), "%d, %d", &cable.output, &cable.input) == 2) cables.push_back(cable);
    }
    return cables;
}

bool hasGatedStep(const Pattern& pattern) {
    for (int i = 0; i < pattern.length && i < kMaxSteps; ++i)
        if (pattern.steps[i].flags & step::kGate) return true;
    return false;
}

struct Sound {
    bool read = false;
    float peak = 0.0f;
    double rms = 0.0;
    bool finite = true;
};

Sound listen(const fs::path& wav) {
    SF_INFO info{};
    SNDFILE* file = sf_open(wav.c_str(), SFM_READ, &info);
    if (!file) return {};
    std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t frames = sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    Sound sound{frames == info.frames && !samples.empty()};
    double sum = 0.0;
    for (const float x : samples) {
        sound.finite = sound.finite && std::isfinite(x);
        sound.peak = std::max(sound.peak, std::fabs(x));
        sum += static_cast<double>(x) * x;
    }
    if (!samples.empty()) sound.rms = std::sqrt(sum / static_cast<double>(samples.size()));
    return sound;
}

std::string testName(const fs::path& patch) {
    std::string name;
    for (const char c : fs::relative(patch, kPatchFolder).replace_extension().string())
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
        else if (c == '/')
            name += '_';
    return name;
}

TEST(FactoryBank, HoldsEnoughPatchesInStyleFolders) {
    const std::vector<fs::path> patches = factoryPatches();
    std::set<fs::path> styles;
    for (const fs::path& patch : patches) {
        EXPECT_EQ(patch.parent_path().parent_path(), kPatchFolder) << patch << " is not in a style folder";
        styles.insert(patch.parent_path());
    }
    EXPECT_GE(patches.size(), static_cast<std::size_t>(kMinPatches));
    EXPECT_GE(styles.size(), static_cast<std::size_t>(kMinStyles));
}

TEST(FactoryBank, CoversEveryWayOfPlayingAndPatching) {
    std::set<std::pair<int, int>> modes;
    int patched = 0;
    for (const fs::path& path : factoryPatches()) {
        const auto patch = readBack(path);
        ASSERT_TRUE(patch) << path;
        const int midiMode = patch->state(state::MidiMode);
        modes.insert({midiMode, midiMode == 0 ? 0 : patch->state(state::NoteMode)});
        patched += patch->cables.size() > 0 ? 1 : 0;
    }
    EXPECT_EQ(modes, (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {1, 1}})) << "sequenced, mono and poly";
    EXPECT_GE(patched, 1);
}

TEST(FactoryBank, StartsWithOneOfItsPatches) {
    const std::string text = readText(kDataFolder / "StartupPatch.ini");
    ASSERT_TRUE(text.starts_with('"')) << text;
    const std::string name = text.substr(1, text.find('"', 1) - 1);
    EXPECT_TRUE(readBack(kPatchFolder / name)) << name;
}

TEST(FactoryBank, ConfigurationHoldsTheDefaults) {
    const std::string startup = readText(kDataFolder / "StartupPatch.ini");
    Configuration defaults;
    defaults.startupPatch = startup.substr(1, startup.find('"', 1) - 1);
    const tarvik::test::ScopedDataFolder scratch;
    const fs::path expected = scratch.path() / "Config.ini";
    ASSERT_TRUE(writeConfiguration(defaults, expected.string()));
    EXPECT_EQ(readText(kDataFolder / "Config.ini"), readText(expected));
}

class FactoryPatch : public ::testing::TestWithParam<fs::path> {
protected:
    // Plays the patch as its MIDI mode asks: a held key per sequencer
    // line, a legato phrase for one voice, a chord for several.
    Sound render(const TarvikPatch& patch, const std::vector<std::string>& play) const {
        const fs::path wav = dataFolder_.path() / "render.wav";
        std::vector<std::string> words{TARVIK_RENDER_PATH, "--patch", GetParam().string(), "--rate",
                                       std::to_string(kRenderRate), "--length", kRenderSeconds};
        words.insert(words.end(), play.begin(), play.end());
        if (patch.state(state::MidiMode) != 0)
            words.insert(words.end(), {"--mode", patch.state(state::NoteMode) == 1 ? "poly" : "mono"});
        words.push_back(wav.string());
        if (!run(words)) return {};
        return listen(wav);
    }

private:
    bool run(std::vector<std::string>& words) const {
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t child = 0;
        const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        return spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // The renderer's plug-in reads its settings from here, not from the user's folder.
    tarvik::test::ScopedDataFolder dataFolder_;
};

TEST_P(FactoryPatch, ReadsBackWithItsCablesTextAndLines) {
    const auto patch = readBack(GetParam());
    ASSERT_TRUE(patch);
    EXPECT_GT(std::strlen(patch->info.text), 0u);
    EXPECT_EQ(patch->info.showOnLoad, 1);
    EXPECT_EQ(patch->state(state::BendRange), kBendRange);

    const std::vector<Connection> written = cablesInFile(GetParam());
    ASSERT_EQ(patch->cables.size(), static_cast<int>(written.size())) << "the reader dropped a cable";
    std::set<int> inputs;
    for (int i = 0; i < patch->cables.size(); ++i) {
        const Connection cable = patch->cables.at(i);
        EXPECT_EQ(cable, written[static_cast<std::size_t>(i)]);
        EXPECT_EQ(kSocketDefinitions[static_cast<std::size_t>(cable.output)].direction, kSocketOutput);
        EXPECT_EQ(kSocketDefinitions[static_cast<std::size_t>(cable.input)].direction, kSocketInput);
        EXPECT_TRUE(inputs.insert(cable.input).second) << "two cables into socket " << cable.input;
    }

    for (int line = 0; line < kLinesPerPatch; ++line) {
        const Pattern& pattern = patch->patterns[line];
        EXPECT_TRUE(hasGatedStep(pattern)) << "pattern " << line << " is silent";
        for (int i = 0; i < pattern.length; ++i) EXPECT_LE(pattern.steps[i].note, kHighestStepNote);
    }
}

TEST_P(FactoryPatch, SoundsWithoutClipping) {
    const auto patch = readBack(GetParam());
    ASSERT_TRUE(patch);
    std::vector<std::vector<std::string>> plays;
    if (patch->state(state::MidiMode) == 0)
        for (int line = 0; line < kLinesPerPatch; ++line) plays.push_back({"--pattern", std::to_string(line)});
    else
        plays.push_back(patch->state(state::NoteMode) == 1 ? kPolyChord : kMonoPhrase);

    for (const std::vector<std::string>& play : plays) {
        SCOPED_TRACE(play.front() + " " + play[1]);
        const Sound sound = render(*patch, play);
        ASSERT_TRUE(sound.read) << "tarvik-render wrote no sound";
        EXPECT_TRUE(sound.finite);
        EXPECT_LE(sound.peak, 1.0f);
        EXPECT_GT(sound.rms, kAudibleRms);
    }
}

INSTANTIATE_TEST_SUITE_P(Bank, FactoryPatch, ::testing::ValuesIn(factoryPatches()),
                         [](const auto& row) { return testName(row.param); });

}  // namespace
}  // namespace tarvik::render
