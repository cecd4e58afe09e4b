#include "patch/patch_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "dsp/socket_table.h"
#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

template <typename Region>
bool sameBytes(const Region& a, const Region& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectSameRegions(const TarvikPatch& expected, const TarvikPatch& actual) {
    EXPECT_TRUE(sameBytes(expected.program, actual.program)) << "program record";
    EXPECT_TRUE(sameBytes(expected.states, actual.states)) << "states";
    EXPECT_TRUE(sameBytes(expected.cables, actual.cables)) << "cables";
    EXPECT_TRUE(sameBytes(expected.patterns, actual.patterns)) << "patterns";
    EXPECT_TRUE(sameBytes(expected.info, actual.info)) << "patch information";
}

// Lower-case hexadecimal, 16 bytes a line: how a pattern or patch
// information section is laid out.
std::string hexLines(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::string text;
    char digits[3];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        text += digits;
        if (i % 16 == 15 || i + 1 == size) text += '\n';
    }
    return text;
}

// Everything a patch file carries, drawn at random: the program name,
// the reserved bytes, parameters 73..127 and states 12..24 are not in the
// file and keep their fresh values.
TarvikPatch randomFilePatch(std::uint32_t seed) {
    std::mt19937 random(seed);
    const auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    TarvikPatch patch;
    // k/256 has at most eight decimals, so "%.8f" carries it exactly.
    for (int i = 0; i < kNumParameters; ++i) patch.setParameter(i, static_cast<float>(below(257)) / 256.0f);
    for (int i = 0; i < kNumStates; ++i) patch.setState(i, static_cast<std::int32_t>(random()));
    patch.setState(state::CurrentPattern, below(kNumPatterns));

    // Every input fed at most once, by any output, in a random order.
    std::vector<int> inputs, outputs;
    for (int s = 0; s < kNumSockets; ++s)
        (kSocketDefinitions[static_cast<std::size_t>(s)].direction == kSocketInput ? inputs : outputs).push_back(s);
    std::shuffle(inputs.begin(), inputs.end(), random);
    const int cables = 1 + below(static_cast<int>(inputs.size()));
    for (int i = 0; i < cables; ++i)
        patch.cables.set(i, {outputs[static_cast<std::size_t>(below(static_cast<int>(outputs.size())))],
                             inputs[static_cast<std::size_t>(i)]});
    patch.cables.setSize(cables);

    for (Pattern& pattern : patch.patterns) {
        auto* bytes = reinterpret_cast<unsigned char*>(&pattern);
        for (std::size_t i = 0; i < sizeof pattern; ++i) bytes[i] = static_cast<unsigned char>(random());
        pattern.length = static_cast<std::uint8_t>(1 + below(kMaxSteps));
        pattern.timeMode = static_cast<std::uint8_t>(below(4));
    }
    auto* info = reinterpret_cast<unsigned char*>(&patch.info);
    for (std::size_t i = 0; i < sizeof patch.info; ++i) info[i] = static_cast<unsigned char>(random());
    patch.info.text[below(sizeof patch.info.text)] = 0;
    patch.info.path[below(sizeof patch.info.path)] = 0;
    return patch;
}

class PatchFiles : public ::testing::Test {
protected:
    std::string write(std::string_view content, const std::string& name = "patch.tvkp") const {
        const fs::path path = folder_.path() / name;
        std::ofstream(path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
        return path.string();
    }

    std::string contents(const std::string& path) const { return test::readWholeFile(path); }

    TarvikPatch read(std::string_view content) const {
        TarvikPatch patch;
        EXPECT_TRUE(readPatchFile(patch, write(content)));
        return patch;
    }

    TarvikPatch roundTrip(const TarvikPatch& patch) const {
        const std::string path = (folder_.path() / "round.tvkp").string();
        EXPECT_TRUE(writePatchFile(patch, path));
        TarvikPatch back;
        EXPECT_TRUE(readPatchFile(back, path));
        return back;
    }

    test::ScopedDataFolder folder_;
};

TEST_F(PatchFiles, AFreshPatchReadsBackUnchanged) { expectSameRegions(TarvikPatch(), roundTrip(TarvikPatch())); }

TEST_F(PatchFiles, ARandomPatchReadsBackExceptWhatTheFileDoesNotCarry) {
    TarvikPatch original = randomFilePatch(20240611);
    std::strcpy(original.program.name, "Acid Line");
    for (std::uint8_t& byte : original.program.reserved) byte = 0x5A;
    for (int i = kNumParameters; i < kParameterRoom; ++i) original.setParameter(i, 0.25f);
    for (int i = kNumStates; i < kStateRoom; ++i) original.setState(i, 77);

    TarvikPatch expected = original;
    std::memcpy(expected.program.name, TarvikPatch().program.name, sizeof expected.program.name);
    std::memset(expected.program.reserved, 0, sizeof expected.program.reserved);
    for (int i = kNumParameters; i < kParameterRoom; ++i) expected.setParameter(i, 0.0f);
    for (int i = kNumStates; i < kStateRoom; ++i) expected.setState(i, 0);
    expectSameRegions(expected, roundTrip(original));
}

TEST_F(PatchFiles, AWrittenFileHasTheDocumentedLines) {
    TarvikPatch patch;
    patch.setParameter(param::AccentAmount, 1.7f);
    patch.cables.set(0, {socket::MgCvOutput, socket::MgAmountCv});
    patch.cables.setSize(1);
    const std::string path = (folder_.path() / "fresh.tvkp").string();
    ASSERT_TRUE(writePatchFile(patch, path));
    const std::string text = contents(path);

    EXPECT_TRUE(
        text.starts_with("Version: 1.04\n"
                         "[73 Parameters]\n"
                         "\"Master Tuning\" = 0.50000000\n"
                         "\"Filter Cutoff\" = 0.50000000\n"
                         "\"Filter Resonance\" = 0.00000000\n"
                         "\"Envelope Mod\" = 0.20000000\n"))
        << text.substr(0, 200);
    // 1.7 is not a float: its nearest one prints as 1.70000005.
    for (const char* excerpt :
         {"\"Accent Amount\" = 1.70000005\n", "\"Tempo\" = 0.42222223\n",
          "\"Inverter 2 Mode\" = 0.00000000\n[42 Sockets]\nSocket 0: \"VCO-1 CV Input\"\n",
          "Socket 41: \"Channel Pressure\"\n[1 Connections]\n4, 17\n[12 States]\nRunStop = 0\n", "FilterMode = 3\n",
          "PatternWriteProtect = 0\n[128 Patterns]\n00000010000000000000000000000000\n",
          "[1288 PatchInfo]\n00000000000000000000000000000000\n",
          // Bytes 1024..1055: the integer, the flag, then "Tarvik Patch".
          "\n000000000054617276696b2050617463\n68000000000000000000000000000000\n"})
        EXPECT_NE(text.find(excerpt), std::string::npos) << excerpt;
    const std::string_view ending = "00000000000000000000000000000000\n0000000000000000\n";
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending) << "1288 bytes end with a line of eight";

    EXPECT_EQ(roundTrip(patch).parameter(param::AccentAmount), 1.0f);
}

TEST_F(PatchFiles, WritingWhereNoFileCanBeMadeFails) {
    const fs::path path = folder_.path() / "missing folder" / "patch.tvkp";
    EXPECT_FALSE(writePatchFile(TarvikPatch(), path.string()));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(PatchFiles, OnlyAnUnopenableFileFails) {
    fs::create_directories(folder_.path() / "a folder");
    for (const fs::path& path : {folder_.path() / "no such patch.tvkp", folder_.path() / "a folder"}) {
        TarvikPatch patch;
        EXPECT_FALSE(readPatchFile(patch, path.string())) << path;
        expectSameRegions(TarvikPatch(), patch);
    }
}

TEST_F(PatchFiles, CrLfFilesReadLikeLfFiles) {
    const std::string path = (folder_.path() / "lf.tvkp").string();
    ASSERT_TRUE(writePatchFile(randomFilePatch(7), path));
    const std::string lf = contents(path);
    std::string crlf;
    for (const char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

    TarvikPatch fromLf;
    ASSERT_TRUE(readPatchFile(fromLf, path));
    expectSameRegions(fromLf, read(crlf));
}

TEST_F(PatchFiles, ParametersGoByLineNotByName) {
    const TarvikPatch patch = read(
        "Version: 1.04\n[3 Parameters]\n"
        "\"Filter Resonance\" = 0.25000000\n"
        "\"Master Tuning\" = 0.12500000\n"
        "\"Nonsense\" = 0.75000000\n");
    EXPECT_EQ(patch.parameter(0), 0.25f);
    EXPECT_EQ(patch.parameter(1), 0.125f);
    EXPECT_EQ(patch.parameter(2), 0.75f);
    EXPECT_EQ(patch.parameter(3), 0.2f) << "lines not in the file keep their defaults";
}

TEST_F(PatchFiles, ParameterValuesAreClampedAndUnreadableOnesEndTheSection) {
    struct Case {
        const char* text;
        float expected;  // Master Tuning, 0.5 by default
        bool readable;   // an unreadable value ends the section
    };
    const Case cases[] = {
        {"0.25", 0.25f, true},    {"1.70000005", 1.0f, true}, {"-0.5", 0.0f, true},  {"+0.75", 0.75f, true},
        {"1e300", 1.0f, true},    {"-1e300", 0.0f, true},     {"2e-50", 0.0f, true}, {"inf", 1.0f, true},
        {"-inf", 0.0f, true},     {"nan", 0.5f, true},        {"abc", 0.5f, false},  {"0.5.5", 0.5f, false},
        {"1e999999", 1.0f, true}, {"-1e999999", 0.0f, true},  {"", 0.5f, false},
    };
    for (const Case& c : cases) {
        const TarvikPatch patch =
            read(std::string("[2 Parameters]\n\"Master Tuning\" = ") + c.text + "\n\"Filter Cutoff\" = 0.25\n");
        EXPECT_EQ(patch.parameter(0), c.expected) << c.text;
        EXPECT_EQ(patch.parameter(1), c.readable ? 0.25f : 0.5f) << c.text << ": the line after";
    }
}

TEST_F(PatchFiles, OldVersionsOpenMgAmountForACableIntoItsInput) {
    struct Case {
        const char* version;
        const char* cable;
        float mgAmount;
    };
    const Case cases[] = {
        {"Version: 1.02\n", "4, 17", 1.0f},
        {"Version: 1.00\n", "11, 17", 1.0f},
        {"Version:1.1\n", "4, 17", 1.0f},
        {"Version: 1.04\n", "4, 17", 0.0f},
        {"", "4, 17", 0.0f},
        {"Version: 1\n", "4, 17", 0.0f},
        {"Version: 2.01\n", "4, 17", 0.0f},
        {"Version: 1.02\n", "4, 16", 0.0f},
        {"Version: 1.02\n", "17, 17", 0.0f},  // not a cable the engine would play
    };
    for (const Case& c : cases) {
        const TarvikPatch patch = read(std::string(c.version) + "[1 Connections]\n" + c.cable + "\n");
        EXPECT_EQ(patch.parameter(param::MgAmount), c.mgAmount) << c.version << c.cable;
    }
}

TEST_F(PatchFiles, StatesGoByName) {
    const char* sections[] = {
        "[3 States]\nFilterMode = 1\nBendRange = 7\nRunStop = 0\n",
        "[3 States]\nRunStop = 0\nBendRange = 7\nFilterMode = 1\n",
        "[5 States]\nBendRange = 7\nNoSuchState = 9\nfiltermode = 2\nFilterMode = 1\nSyncMode = x\n",
        "[1 States]\nBendRange = 7\n[1 States]\nFilterMode = 1\n",
    };
    for (const char* section : sections) {
        const TarvikPatch patch = read(std::string("Version: 1.04\n") + section);
        EXPECT_EQ(patch.state(state::FilterMode), 1) << section;
        EXPECT_EQ(patch.state(state::BendRange), 7) << section;
        EXPECT_EQ(patch.state(state::SyncMode), 0) << section;
    }
}

TEST_F(PatchFiles, UnplayablePatternsLoadAsSixteenGatedSteps) {
    Pattern patterns[3] = {};
    for (Pattern& pattern : patterns) {
        pattern.flags = 0x85;
        pattern.timeMode = 7;
        for (Step& s : pattern.steps) s = {9, 0x12};
    }
    patterns[0].length = 0;
    patterns[1].length = 65;
    patterns[2].length = 64;
    patterns[2].timeMode = 3;
    const TarvikPatch patch = read("[3 Patterns]\n" + hexLines(patterns, sizeof patterns));

    for (int p : {0, 1}) {
        const Pattern& pattern = patch.patterns[p];
        EXPECT_EQ(pattern.flags, 0x05) << p << ": triplet cleared, the other flags kept";
        EXPECT_EQ(pattern.timeMode, 0) << p;
        EXPECT_EQ(pattern.length, 16) << p;
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(pattern.steps[i].note, 0) << p << " step " << i;
            EXPECT_EQ(pattern.steps[i].flags, step::kGate) << p << " step " << i;
        }
        EXPECT_EQ(pattern.steps[16].note, 9) << p;
    }
    EXPECT_TRUE(sameBytes(patch.patterns[2], patterns[2])) << "a playable pattern stays as it is";
    EXPECT_TRUE(sameBytes(patch.patterns[3], TarvikPatch().patterns[3]));
}

TEST_F(PatchFiles, HexadecimalLinesStandForSixteenBytesEach) {
    const TarvikPatch patch = read(
        "[1 Patterns]\n"
        "0A030C05FFEE0000000000000000000\n"  // upper case; the odd last digit is no byte
        "0102\n"                             // short: the rest of its line stays
        "12g4ffff\n"                         // a stray character ends the word's bytes
        "[1 States]\nFilterMode = 1\n");     // not hexadecimal: ends the section unread
    const auto* bytes = reinterpret_cast<const unsigned char*>(patch.patterns);
    const unsigned char lines[3][16] = {{0x0A, 0x03, 0x0C, 0x05, 0xFF, 0xEE}, {0x01, 0x02}, {0x12}};
    for (int line = 0; line < 3; ++line) EXPECT_EQ(std::memcmp(bytes + 16 * line, lines[line], 16), 0) << line;
    EXPECT_EQ(patch.state(state::FilterMode), 1);
}

TEST_F(PatchFiles, SectionsBeyondTheRoomAreCutAndReadThrough) {
    // 128 cables fill the room; the two valid ones after them are dropped.
    std::string cables = "[130 Connections]\n";
    for (int i = 0; i < kMaxCables; ++i) cables += "0, 0\n";
    cables += "4, 17\n4, 16\n";
    Pattern patterns[130] = {};
    for (Pattern& pattern : patterns) pattern.length = 5;
    PatchInfo info = {};
    std::strcpy(info.text, "Acid");
    unsigned char longInfo[2000] = {};
    std::memcpy(longInfo, &info, sizeof info);
    std::memset(longInfo + sizeof info, 0xEE, sizeof longInfo - sizeof info);

    // In the patch the cables lie just before the patterns, and the patterns
    // just before the information: each section is read after the one an
    // overrun would spoil.
    const TarvikPatch patch = read("[2000 PatchInfo]\n" + hexLines(longInfo, sizeof longInfo) + "[130 Patterns]\n" +
                                   hexLines(patterns, sizeof patterns) + cables + "[1 States]\nFilterMode = 1\n");
    EXPECT_EQ(patch.cables.size(), 0);
    EXPECT_EQ(patch.patterns[0].length, 5) << "cables beyond the room must not run into the patterns";
    EXPECT_EQ(patch.patterns[127].length, 5);
    EXPECT_STREQ(patch.info.text, "Acid") << "patterns beyond the room must not run into the information";
    EXPECT_EQ(patch.state(state::FilterMode), 1) << "the section after the long ones is read";
}

TEST_F(PatchFiles, PatchInformationSections) {
    PatchInfo info = {};
    std::strcpy(info.text, "Squelch");
    info.showOnLoad = 1;
    std::strcpy(info.path, "C:\\Patches\\Squelch.tvkp");
    const std::string lines = hexLines(&info, sizeof info);

    const TarvikPatch plain = read("[1288 PatchInfo]\n" + lines);
    EXPECT_TRUE(sameBytes(plain.info, info));
    EXPECT_TRUE(sameBytes(read("[1288 Patch] Info\n" + lines).info, info)) << "the older section word";

    // A count of 0 resets the information and leaves its lines unread,
    // which ends reading.
    const TarvikPatch reset =
        read("[1288 PatchInfo]\n" + lines + "[0 PatchInfo]\n" + lines + "[1 States]\nFilterMode = 1\n");
    EXPECT_TRUE(sameBytes(reset.info, TarvikPatch().info));
    EXPECT_EQ(reset.state(state::FilterMode), 3);
}

TEST_F(PatchFiles, UnknownSectionsArePassedOver) {
    const std::string longWord(100000, 'Z');
    const TarvikPatch patch = read("Version: 1.05\n[2 Macros]\nfirst = 1\n  second line\n[0 Sockets]\n[1 " + longWord +
                                   "]\n\"x\" = 1\n[1 States]\nFilterMode = 1\n");
    EXPECT_EQ(patch.state(state::FilterMode), 1);
}

TEST_F(PatchFiles, GarbageWhereAHeaderBelongsEndsReadingWithDefaults) {
    const std::string texts[] = {
        "",
        std::string("\0\x01\xff\x7f garbage", 12),
        "Version: 1.04\nFilterMode = 1\n[1 States]\nFilterMode = 1\n",
        "Version: 1.04\n[73 Parameters]\nnot a value\n[1 States]\nFilterMode = 1\n",
        "Version: 1.04\n[5]\n[1 States]\nFilterMode = 1\n",
        "Version: 1.04\n[States]\nFilterMode = 1\n",
        "Version: 1.04\n[99999999999 States]\nFilterMode = 1\n",
        "[1 Connections]\n4 17\n",
        "[1 Parameters]\n\"" + std::string(100000, 'x'),
        "[1 Parameters]\n\"Master Tuning\" = 0." + std::string(100000, '1') + "\n",
        "[2 States]\n" + std::string(100000, 'X') + " = 4\nRunStop = " + std::string(100000, '9') + "\n",
    };
    for (const std::string& text : texts) expectSameRegions(TarvikPatch(), read(text));
}

}  // namespace
}  // namespace tarvik
