#include "instrument/configuration.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

class ConfigurationFile : public ::testing::Test {
protected:
    void write(const std::string& text) const { test::writeWholeFile(path_, text); }
    std::string contents() const { return test::readWholeFile(path_); }

    // The configuration a fresh plug-in ends up with after reading text.
    Configuration readText(const std::string& text) const {
        write(text);
        Configuration configuration;
        EXPECT_TRUE(readConfiguration(configuration, path_));
        return configuration;
    }

    test::ScopedDataFolder folder_;
    std::string path_ = (folder_.path() / "Config.ini").string();
};

// Every field away from its default; the read-only ones stay at theirs
// because the file never carries them.
Configuration everythingChanged() {
    Configuration c;
    c.maxPolyphony = 12;
    c.bendRange = 24;
    c.retrigger = 1;
    c.autoRun = 0;
    c.filterMode = 5;
    c.syncMode = 1;
    c.midiMode = 2;
    c.tuningMode = 0;
    c.bassBoost = 0.25f;
    c.oscModel = 0;
    c.clearNotes = 0;
    c.accentVelocity = 90;
    c.parameterSmoothing = 65535;
    c.clockSync = 1;
    c.activeClocks = 48000;
    c.guiKnobMode = 1;
    c.midiOutput = 1;
    c.midiOutputChannel = 3;
    c.tuning = "C:/My Scales/just 5.scl";
    c.startupPatch = "Acid Line.tvkp";
    return c;
}

constexpr const char* kEverythingChangedText =
    "; Tarvik Configuration\n"
    "MaxPolyphony = 12\n"
    "BendRange = 24\n"
    "Retrigger = 1\n"
    "AutoRun = 0\n"
    "FilterMode = 5\n"
    "SyncMode = 1\n"
    "MidiMode = 2\n"
    "TuningMode = 0\n"
    "BassBoost = 0.250000\n"
    "OscModel = 0\n"
    "ClearNotes = 0\n"
    "AccentVelocity = 90\n"
    "ParameterSmoothing = 65535\n"
    "ClockSync = 1\n"
    "ActiveClocks = 48000\n"
    "GuiKnobMode = 1\n"
    "MidiOutput = 1\n"
    "MidiOutputChannel = 4\n"
    "Tuning = \"C:/My Scales/just 5.scl\"\n"
    "StartupPatch = \"Acid Line.tvkp\"\n";

TEST(Configuration, StartsWithTheDocumentedDefaults) {
    const Configuration expected{.maxPolyphony = 6,
                                 .bendRange = 12,
                                 .retrigger = 0,
                                 .autoRun = 1,
                                 .filterMode = 3,
                                 .syncMode = 0,
                                 .midiMode = 0,
                                 .tuningMode = 1,
                                 .bassBoost = 0.0f,
                                 .oscModel = 1,
                                 .clearNotes = 1,
                                 .accentVelocity = 100,
                                 .parameterSmoothing = 1048575,
                                 .clockSync = 0,
                                 .activeClocks = 44100,
                                 .guiKnobMode = 2,
                                 .midiOutput = 0,
                                 .midiOutputChannel = 0,
                                 .tuning = "",
                                 .startupPatch = "",
                                 .envmodKnob = 1,
                                 .resonanceKnob = 0,
                                 .filterTuning = 0};
    EXPECT_EQ(Configuration{}, expected);
}

TEST_F(ConfigurationFile, NothingToReadChangesNothing) {
    const std::optional<std::string> files[] = {std::nullopt, "", "; only a comment", "\n \t\r\n\n"};
    for (const auto& file : files) {
        if (file) write(*file);
        Configuration configuration = everythingChanged();
        EXPECT_TRUE(readConfiguration(configuration, path_)) << file.value_or("(missing)");
        EXPECT_EQ(configuration, everythingChanged()) << file.value_or("(missing)");
    }
}

TEST_F(ConfigurationFile, ReadsEachIntegerLine) {
    struct Case {
        const char* line;
        int Configuration::*field;
        int expected;
    };
    const Case cases[] = {
        {"MaxPolyphony = 8", &Configuration::maxPolyphony, 8},
        {"MaxPolyphony = 0", &Configuration::maxPolyphony, 1},
        {"MaxPolyphony = -5", &Configuration::maxPolyphony, 1},
        {"MaxPolyphony = 1000", &Configuration::maxPolyphony, 32},
        {"AccentVelocity = 300", &Configuration::accentVelocity, 127},
        {"AccentVelocity = -4", &Configuration::accentVelocity, 0},
        {"ParameterSmoothing = On", &Configuration::parameterSmoothing, 65535},
        {"ParameterSmoothing = Off", &Configuration::parameterSmoothing, 0},
        {"ParameterSmoothing = 12", &Configuration::parameterSmoothing, 12},
        {"ParameterSmoothing = on", &Configuration::parameterSmoothing, 0},  // not a number
        {"MidiOutputChannel = 10", &Configuration::midiOutputChannel, 9},
        {"MidiOutputChannel = 1", &Configuration::midiOutputChannel, 0},
        {"MidiOutputChannel = 0", &Configuration::midiOutputChannel, 0},
        {"MidiOutputChannel = -3", &Configuration::midiOutputChannel, 0},
        {"MidiOutputChannel = 17", &Configuration::midiOutputChannel, 15},
        {"MidiOutputChannel = -2147483648", &Configuration::midiOutputChannel, 0},
        {"TM5 = 1", &Configuration::filterTuning, 1},
        {"FilterTuning = 1", &Configuration::filterTuning, 1},
        {"ResonanceKnob = 5", &Configuration::resonanceKnob, 5},
        {"ActiveClocks = 5", &Configuration::activeClocks, 44100},
        // Automatic base, as C's "%i": the digits of the base, then stop.
        {"FilterMode = 0x2", &Configuration::filterMode, 2},
        {"FilterMode = 0X1f", &Configuration::filterMode, 31},
        {"FilterMode = 010", &Configuration::filterMode, 8},
        {"FilterMode = 08", &Configuration::filterMode, 0},
        {"FilterMode = -0x10", &Configuration::filterMode, -16},
        {"FilterMode = +7", &Configuration::filterMode, 7},
        {"FilterMode = 7voices", &Configuration::filterMode, 7},
        {"FilterMode = 0x", &Configuration::filterMode, 0},
        {"FilterMode = abc", &Configuration::filterMode, 0},
        {"FilterMode = -", &Configuration::filterMode, 0},
        {"FilterMode =2", &Configuration::filterMode, 2},
        {"  FilterMode\t=\t2  ", &Configuration::filterMode, 2},
        // Not an entry: no blank before "=", a different letter case, nothing after "=".
        {"FilterMode=2", &Configuration::filterMode, 3},
        {"FilterMode= 2", &Configuration::filterMode, 3},
        {"filtermode = 2", &Configuration::filterMode, 3},
        {"FilterMode 2", &Configuration::filterMode, 3},
        {"FilterMode =", &Configuration::filterMode, 3},
        // Beyond the int range: the nearest int, never a wrapped value.
        {"BendRange = 2147483647", &Configuration::bendRange, INT_MAX},
        {"BendRange = 99999999999999999999999", &Configuration::bendRange, INT_MAX},
        {"BendRange = 0xFFFFFFFFFF", &Configuration::bendRange, INT_MAX},
        {"BendRange = -2147483648", &Configuration::bendRange, INT_MIN},
        {"BendRange = -99999999999", &Configuration::bendRange, INT_MIN},
        {"MaxPolyphony = 4294967297", &Configuration::maxPolyphony, 32},
    };
    for (const Case& c : cases) EXPECT_EQ(readText(c.line).*c.field, c.expected) << c.line;
}

TEST_F(ConfigurationFile, ReadsBassBoostAsAFractionOfOne) {
    const std::pair<const char*, float> cases[] = {
        {"0.5", 0.5f}, {"+0.25", 0.25f}, {"2", 1.0f},       {"-1", 0.0f},    {"abc", 0.0f},
        {"nan", 0.0f}, {"inf", 1.0f},    {"0.75dB", 0.75f}, {"1e999", 1.0f}, {"-1e999", 0.0f},
    };
    for (const auto& [word, expected] : cases)
        EXPECT_EQ(readText(std::string("BassBoost = ") + word).bassBoost, expected) << word;
}

TEST_F(ConfigurationFile, KeepsOnlyTheLowByteOfEnvmodKnob) {
    EXPECT_EQ(readText("EnvmodKnob = 300").envmodKnob, 44);
    EXPECT_EQ(readText("EnvmodKnob = -1").envmodKnob, 255);
}

TEST_F(ConfigurationFile, ReadsTexts) {
    const std::string longest(255, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"Tuning = \"C:/My Scales/a b.scl\"", "C:/My Scales/a b.scl"},
        {"Tuning = \"\"", ""},
        {"Tuning = \"" + longest + "\"", longest},
        {"Tuning = \"" + longest + "y\"", "previous"},  // 256 characters: ignored
        // Hand-edited forms: no opening quote, or no closing one.
        {"Tuning = C:/My Scales/a b.scl  \t", "C:/My Scales/a b.scl"},
        {"Tuning = \"C:/My Scales/a b.scl\nMaxPolyphony = 9", "C:/My Scales/a b.scl"},
        {"Tuning = \"C:/cut at the end", "C:/cut at the end"},
        {"Tuning = \"C:/x.scl\"\r\n", "C:/x.scl"},
    };
    for (const auto& [file, expected] : cases) {
        write(file);
        Configuration configuration;
        configuration.tuning = "previous";
        EXPECT_TRUE(readConfiguration(configuration, path_));
        EXPECT_EQ(configuration.tuning, expected) << file;
    }
    EXPECT_EQ(readText("StartupPatch = \"My Acid; 2.tvkp\"").startupPatch, "My Acid; 2.tvkp");
    EXPECT_EQ(readText("Tuning = \"a.scl\nMaxPolyphony = 9\n").maxPolyphony, 9)
        << "a missing closing quote costs only its own line";
}

TEST_F(ConfigurationFile, CommentsRunToTheEndOfTheirLine) {
    const Configuration c = readText(
        "; Tarvik Configuration\n"
        "  ; MaxPolyphony = 20\n"
        "MaxPolyphony = 7 ; was 6, FilterMode = 1\n"
        ";FilterMode = 0\r\n"
        "BendRange = 5\n"
        "; the last line has no line end: AutoRun = 0");
    EXPECT_EQ(c.maxPolyphony, 7);
    EXPECT_EQ(c.filterMode, 3);
    EXPECT_EQ(c.bendRange, 5);
    EXPECT_EQ(c.autoRun, 1);
}

TEST_F(ConfigurationFile, ADamagedLineNeverTakesTheNextOneWithIt) {
    const std::string cases[] = {
        "MaxPolyphony=9\n",
        "MaxPolyphony 9\n",
        "MaxPolyphony =\n",
        "MaxPolyphony\n= 9\n",
        "Unknown = 4 5 6\n",
        "= = =\n",
        std::string(100000, 'K') + " = 1\n",
        "FilterMode = " + std::string(100000, '7') + "\n",
        "Tuning = \"" + std::string(100000, 'p') + "\"\n",
        "StartupPatch = " + std::string(100000, 'p') + "\n",
    };
    for (const std::string& damage : cases) {
        const Configuration c = readText(damage + "BendRange = 5\n");
        EXPECT_EQ(c.bendRange, 5) << damage.substr(0, 40);
        EXPECT_EQ(c.maxPolyphony, 6) << damage.substr(0, 40);
        EXPECT_EQ(c.filterMode, 3) << damage.substr(0, 40);
        EXPECT_EQ(c.tuning, "") << damage.substr(0, 40);
        EXPECT_EQ(c.startupPatch, "") << damage.substr(0, 40);
    }
}

TEST_F(ConfigurationFile, BinaryGarbageKeepsEveryValueInItsRange) {
    std::mt19937 random(20240611);
    for (int file = 0; file < 20; ++file) {
        std::string garbage(4096, '\0');
        for (char& byte : garbage) byte = static_cast<char>(random() & 0xFF);
        // Make the scanner meet keys and quotes inside the noise as well.
        garbage += " MaxPolyphony = \xFF\x01 Tuning = \"\x02\x80 AccentVelocity = 0x7FFFFFFFF BassBoost = 1e999";
        const Configuration c = readText(garbage + "\nClockSync = 3\n");
        EXPECT_GE(c.maxPolyphony, 1);
        EXPECT_LE(c.maxPolyphony, kMaxPolyphony);
        EXPECT_GE(c.accentVelocity, 0);
        EXPECT_LE(c.accentVelocity, 127);
        EXPECT_GE(c.midiOutputChannel, 0);
        EXPECT_LE(c.midiOutputChannel, 15);
        EXPECT_GE(c.bassBoost, 0.0f);
        EXPECT_LE(c.bassBoost, 1.0f);
        EXPECT_LE(c.tuning.size(), kMaxTuningPathLength);
        EXPECT_EQ(c.clockSync, 3) << "the line after the garbage is still read";
    }
}

TEST_F(ConfigurationFile, WritesExactlyTheDocumentedLines) {
    Configuration c = everythingChanged();
    c.envmodKnob = 9;  // read-only values are never written
    c.resonanceKnob = 9;
    c.filterTuning = 9;
    ASSERT_TRUE(writeConfiguration(c, path_));
    EXPECT_EQ(contents(), kEverythingChangedText);
}

TEST_F(ConfigurationFile, WritingAndReadingBackKeepsEveryValue) {
    ASSERT_TRUE(writeConfiguration(everythingChanged(), path_));
    Configuration read;
    ASSERT_TRUE(readConfiguration(read, path_));
    Configuration expected = everythingChanged();
    expected.activeClocks = Configuration{}.activeClocks;  // written only
    EXPECT_EQ(read, expected);
}

TEST_F(ConfigurationFile, WritesBackTheNumbersThatWereRead) {
    Configuration c = readText("MidiOutputChannel = 10\nParameterSmoothing = On\n");
    ASSERT_TRUE(writeConfiguration(c, path_));
    const std::string text = contents();
    EXPECT_NE(text.find("\nMidiOutputChannel = 10\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nParameterSmoothing = 65535\n"), std::string::npos) << text;
}

TEST_F(ConfigurationFile, RefusesTextsThatWouldNotReadBackAndKeepsTheOldFile) {
    write("the user's old file\n");
    Configuration quote, lineBreak, tooLong;
    quote.tuning = "C:/\"quoted\".scl";
    lineBreak.startupPatch = "Acid\nMaxPolyphony = 32";
    tooLong.tuning = std::string(kMaxTuningPathLength + 1, 't');
    for (const Configuration* c : {&quote, &lineBreak, &tooLong}) {
        EXPECT_FALSE(writeConfiguration(*c, path_));
        EXPECT_EQ(contents(), "the user's old file\n");
    }
}

TEST_F(ConfigurationFile, AFailedWriteKeepsTheOldFile) {
    fs::create_directories(folder_.path() / "Config.ini.d" / "inside");
    EXPECT_FALSE(writeConfiguration(everythingChanged(), (folder_.path() / "Config.ini.d").string()));
    EXPECT_TRUE(fs::is_directory(folder_.path() / "Config.ini.d" / "inside"));
}

}  // namespace
}  // namespace tarvik
