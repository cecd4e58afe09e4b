#include "instrument/controller_map_file.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "patch/parameters.h"
#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

constexpr int kNone = ControllerMap::kUnassigned;

class ControllerMapFile : public ::testing::Test {
protected:
    void write(const std::string& text) const { test::writeWholeFile(path_, text); }
    std::string contents() const { return test::readWholeFile(path_); }

    // Reads text into map, a default one unless the test changed it.
    void readText(const std::string& text, ControllerMap& map) const {
        write(text);
        EXPECT_TRUE(readControllerMap(map, path_));
    }

    test::ScopedDataFolder folder_;
    std::string path_ = (folder_.path() / "MidiCC.ini").string();
};

std::array<int, kNumParameters> controllersOf(const ControllerMap& map) {
    std::array<int, kNumParameters> controllers{};
    for (int p = 0; p < kNumParameters; ++p) controllers[static_cast<std::size_t>(p)] = map.controllerFor(p);
    return controllers;
}

// The file a map with these assignments (parameter → controller) should
// give, every other parameter unassigned.
std::string expectedFile(const std::map<int, int>& assignments) {
    std::string text = ";Value of -1 means not assigned\n";
    for (int p = 0; p < kNumParameters; ++p) {
        std::string name = kParameterTable[static_cast<std::size_t>(p)].name;
        for (char& c : name)
            if (c == ' ') c = '_';
        const auto found = assignments.find(p);
        text += "MidiCC." + name + " = " + std::to_string(found == assignments.end() ? -1 : found->second) + "\n";
    }
    return text;
}

TEST_F(ControllerMapFile, TheDefaultMapWritesTheDocumentedAssignments) {
    ASSERT_TRUE(writeControllerMap(ControllerMap{}, path_));
    const std::map<int, int> defaults = {{8, 7},  {10, 70}, {0, 71}, {1, 74}, {2, 76}, {3, 77},
                                         {4, 78}, {5, 79},  {11, 80}, {7, 91}, {6, 92}};
    const std::string text = contents();
    EXPECT_EQ(text, expectedFile(defaults));
    EXPECT_NE(text.find("\nMidiCC.Filter_Cutoff = 74\n"), std::string::npos);
    EXPECT_NE(text.find("\nMidiCC.VCO-1&2_Shaper = 91\n"), std::string::npos);
    EXPECT_NE(text.find("\nMidiCC.Sync_2->1 = -1\n"), std::string::npos);
}

TEST_F(ControllerMapFile, EachLineMovesItsParameterToItsController) {
    struct Case {
        const char* file;
        int filterCutoff;  // its controller after reading, 74 before
    };
    const Case cases[] = {
        {"MidiCC.Filter_Cutoff = 20", 20},
        {"MidiCC.Filter_Cutoff = -1", kNone},
        {"MidiCC.Filter_Cutoff = 128", kNone},
        {"MidiCC.Filter_Cutoff = 99999999999", kNone},
        {"MidiCC.Filter_Cutoff = -99999999999", kNone},
        {"MidiCC.Filter_Cutoff = 0x10", 16},
        {"MidiCC.Filter_Cutoff = 010", 8},
        {"MidiCC.Filter_Cutoff = none", 0},  // a word that is not a number reads as 0
        {"MidiCC.Filter_Cutoff = 20\nMidiCC.Filter_Cutoff = 21", 21},
        {"\r\n ; a comment\r\n\tMidiCC.Filter_Cutoff = 20 ; moved\r\n", 20},
        // Not an entry for the parameter: the map keeps its 74.
        {"MidiCC.Filter_Cutoff=20", 74},
        {"MidiCC.Filter_Cutoff =", 74},
        {"midicc.filter_cutoff = 20", 74},
        {"MidiCC.Filter Cutoff = 20", 74},
        {";MidiCC.Filter_Cutoff = 20", 74},
    };
    for (const Case& c : cases) {
        ControllerMap map;
        readText(c.file, map);
        EXPECT_EQ(map.controllerFor(param::FilterCutoff), c.filterCutoff) << c.file;
        EXPECT_EQ(map.parameterFor(74), c.filterCutoff == 74 ? param::FilterCutoff : kNone) << c.file;
    }
}

TEST_F(ControllerMapFile, AControllerTakenByALineLeavesItsOldParameter) {
    ControllerMap map;
    readText("MidiCC.Filter_Cutoff = 7\n", map);
    EXPECT_EQ(map.parameterFor(7), param::FilterCutoff);
    EXPECT_EQ(map.controllerFor(param::MasterVolume), kNone);
}

TEST_F(ControllerMapFile, ChannelModeControllersAreKeptButHarmless) {
    ControllerMap map;
    readText("MidiCC.Filter_Cutoff = 120\nMidiCC.VCO_Boost = 127\n", map);
    EXPECT_EQ(map.parameterFor(120), param::FilterCutoff);
    EXPECT_EQ(map.parameterFor(127), param::VcoBoost);
    EXPECT_EQ(map.parameterFor(74), kNone);
    ASSERT_TRUE(writeControllerMap(map, path_));
    ControllerMap reread;
    ASSERT_TRUE(readControllerMap(reread, path_));
    EXPECT_EQ(controllersOf(reread), controllersOf(map));
}

TEST_F(ControllerMapFile, TheTwoOutputVariableLinesGoToTheirOwnParameters) {
    struct Case {
        const char* file;
        int first;   // parameter 62, controller 20 before reading
        int second;  // parameter 64, controller 21 before reading
    };
    const Case cases[] = {
        {"MidiCC.Output_Variable = 30\nMidiCC.Output_Variable = 31\n", 30, 31},
        {"MidiCC.Output_Variable = -1\nMidiCC.Output_Variable = 31\n", kNone, 31},
        {"MidiCC.Output_Variable = 30\nMidiCC.Output_Variable = -1\n", 30, kNone},
        {"MidiCC.Output_Variable = 30\n", 30, 21},
        {"MidiCC.Output_Variable = 30\nMidiCC.Output_Variable = 31\nMidiCC.Output_Variable = 32\n", 30, 32},
    };
    for (const Case& c : cases) {
        ControllerMap map;
        map.assign(20, param::OutputVariable1);
        map.assign(21, param::OutputVariable2);
        readText(c.file, map);
        EXPECT_EQ(map.controllerFor(param::OutputVariable1), c.first) << c.file;
        EXPECT_EQ(map.controllerFor(param::OutputVariable2), c.second) << c.file;
    }
}

TEST_F(ControllerMapFile, WritingAndReadingBackKeepsEveryAssignment) {
    ControllerMap map;
    map.unassignParameter(param::FilterCutoff);
    map.assign(74, param::VcoBoost);
    map.assign(20, param::OutputVariable1);
    map.assign(0, param::Inverter2Mode);
    ASSERT_TRUE(writeControllerMap(map, path_));
    const std::string written = contents();
    EXPECT_EQ(written, expectedFile({{8, 7}, {10, 70}, {0, 71}, {2, 76}, {3, 77}, {4, 78}, {5, 79}, {11, 80},
                                     {7, 91}, {6, 74}, {62, 20}, {72, 0}}));

    ControllerMap reread;
    ASSERT_TRUE(readControllerMap(reread, path_));
    EXPECT_EQ(controllersOf(reread), controllersOf(map));
    ASSERT_TRUE(writeControllerMap(reread, path_));
    EXPECT_EQ(contents(), written);
}

TEST_F(ControllerMapFile, AMissingFileLeavesTheMapAsItWas) {
    ControllerMap map;
    map.assign(20, param::Tempo);
    const auto before = controllersOf(map);
    EXPECT_FALSE(readControllerMap(map, (folder_.path() / "none.map").string()));
    EXPECT_EQ(controllersOf(map), before);
}

TEST_F(ControllerMapFile, DamagedLinesNeverTakeTheNextOneWithThem) {
    std::mt19937 random(7);
    std::string garbage(4096, '\0');
    for (char& byte : garbage) byte = static_cast<char>(random() & 0xFF);
    const std::string cases[] = {
        garbage,
        "MidiCC.Filter_Cutoff\n",
        "MidiCC.Filter_Cutoff 5\n",
        "MidiCC.Filter_Cutoff=5\n",
        "MidiCC.VCO_Boost = \"5\n",
        std::string(100000, 'K') + " = 5\n",
        "MidiCC.Filter_Cutoff = " + std::string(100000, '5') + "\n",
    };
    for (const std::string& damage : cases) {
        ControllerMap map;
        readText(damage + "\nMidiCC.Tempo = 20\n", map);
        EXPECT_EQ(map.controllerFor(param::Tempo), 20) << damage.substr(0, 40);
        EXPECT_EQ(map.controllerFor(param::FilterCutoff), 74) << damage.substr(0, 40);
    }
}

TEST_F(ControllerMapFile, AFailedWriteKeepsWhatWasThere) {
    const fs::path blocked = folder_.path() / "blocked.map";
    fs::create_directories(blocked / "inside");
    EXPECT_FALSE(writeControllerMap(ControllerMap{}, blocked.string()));
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_FALSE(writeControllerMap(ControllerMap{}, (folder_.path() / "no-such-folder" / "x.map").string()));
}

}  // namespace
}  // namespace tarvik
