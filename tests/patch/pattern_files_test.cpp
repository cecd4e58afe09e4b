#include "patch/pattern_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik {

// Internal linkage, still found by argument-dependent lookup from gtest and std.
static void PrintTo(const Step& s, std::ostream* os) {
    *os << "{note " << int{s.note} << ", flags 0x" << std::hex << int{s.flags} << std::dec << "}";
}

namespace {

namespace fs = std::filesystem;
using namespace step;

// Notes above 12 and the tie flag: nothing an import writes, so every step
// an import leaves alone shows.
Pattern untouchedPattern() {
    Pattern p{};
    p.flags = 0x85;
    p.timeMode = 3;
    p.reserved = 0x5A;
    p.length = 9;
    for (int i = 0; i < kMaxSteps; ++i) p.steps[i] = Step{static_cast<std::uint8_t>(40 + i), kTie};
    return p;
}

bool samePattern(const Pattern& a, const Pattern& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class PatternFiles : public ::testing::Test {
protected:
    std::string file(const std::string& name) const { return (folder_.path() / name).string(); }
    std::string write(const std::string& name, const std::string& text) const {
        test::writeWholeFile(file(name), text);
        return file(name);
    }

    test::ScopedDataFolder folder_;
};

// --- export ------------------------------------------------------------------

struct ExportCase {
    const char* name;
    int length;
    std::vector<Step> steps;
    const char* text;
};

void PrintTo(const ExportCase& c, std::ostream* out) { *out << c.name; }

class CorvallExport : public PatternFiles, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(CorvallExport, WritesOneLinePerPlayedStep) {
    const ExportCase& c = GetParam();
    Pattern pattern = untouchedPattern();
    pattern.length = static_cast<std::uint8_t>(c.length);
    for (std::size_t i = 0; i < c.steps.size(); ++i) pattern.steps[i] = c.steps[i];

    ASSERT_TRUE(exportCorvallPattern(pattern, file("out.pat")));
    EXPECT_EQ(test::readWholeFile(file("out.pat")), c.text);
    EXPECT_FALSE(fs::exists(file("out.pat.tmp")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CorvallExport,
    ::testing::Values(
        ExportCase{"LengthOneIsOneLine", 1, {{0, kGate}}, "c-3 1 0 0\n"},
        ExportCase{"GateSlideAccent", 3, {{2, kGate | kSlide}, {3, kAccent}, {7, kGate | kSlide | kAccent}},
                   "d-3 1 1 0\nd#3 0 0 1\ng-3 1 1 1\n"},
        ExportCase{"OctaveFlagsMoveTheDigit", 3, {{11, kUp}, {4, kDown | kGate}, {1, kUp | kDown | kGate}},
                   "b-4 0 0 0\ne-2 1 0 0\nc#3 1 0 0\n"},
        ExportCase{"UpperCWithUpIsOctaveFive", 1, {{12, kUp | kGate}}, "c-5 1 0 0\n"},
        ExportCase{"UpperCWithoutUpIsAPlainC", 2, {{12, kGate}, {12, kDown}}, "c-3 1 0 0\nc-2 0 0 0\n"},
        ExportCase{"NoteAboveTwelveLosesItsOctave", 3, {{24, kGate}, {24, kUp}, {26, kDown}},
                   "c-3 1 0 0\nc-4 0 0 0\nd-2 0 0 0\n"},
        ExportCase{"TieIsNotWritten", 1, {{5, kGate | kTie}}, "f-3 1 0 0\n"},
        ExportCase{"DamagedLengthZeroWritesTheStepPlayed", 0, {{9, kGate}}, "a-3 1 0 0\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PatternFiles, ExportWritesAllSixtyFourStepsOfAFullPattern) {
    Pattern pattern = untouchedPattern();
    pattern.length = kMaxSteps;
    for (Step& s : pattern.steps) s = Step{6, kGate};
    ASSERT_TRUE(exportCorvallPattern(pattern, file("full.pat")));
    std::string expected;
    for (int i = 0; i < kMaxSteps; ++i) expected += "f#3 1 0 0\n";
    EXPECT_EQ(test::readWholeFile(file("full.pat")), expected);
}

TEST_F(PatternFiles, AFailedExportKeepsTheOldFile) {
    const std::string target = write("old.pat", "e-3 1 0 0\n");
    // A folder where the temporary file would go: the write cannot start.
    fs::create_directories(target + ".tmp");
    Pattern pattern = untouchedPattern();
    EXPECT_FALSE(exportCorvallPattern(pattern, target));
    EXPECT_EQ(test::readWholeFile(target), "e-3 1 0 0\n");
}

TEST_F(PatternFiles, ExportIntoAMissingFolderFails) {
    EXPECT_FALSE(exportCorvallPattern(untouchedPattern(), file("no-such-folder/out.pat")));
}

// --- import ------------------------------------------------------------------

struct ImportCase {
    const char* name;
    std::string text;
    int length;
    std::vector<Step> steps;  // the imported steps; every later one keeps its contents
};

void PrintTo(const ImportCase& c, std::ostream* out) { *out << c.name; }

std::string repeatedLines(const std::string& line, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line;
    return text;
}

std::vector<ImportCase> importCases() {
    return {
        {"GateSlideAccent", "c-3 1 0 0\nd#3 0 1 0\ng-3 1 0 1\nb-3 1 1 1\n", 4,
         {{0, kGate}, {3, kSlide}, {7, kGate | kAccent}, {11, kGate | kSlide | kAccent}}},
        {"OctaveDigits", "e-2 1 0 0\ne-4 1 0 0\ne-0 0 0 0\ne-9 0 0 0\n", 4,
         {{4, kDown | kGate}, {4, kUp | kGate}, {4, kDown}, {4, kUp}}},
        {"DAtOctaveFiveIsTheUpperC", "d-5 1 0 0\n", 1, {{12, kUp | kGate}}},
        {"AnUnknownNameKeepsTheNoteBefore", "a-3 1 0 0\nC-3 0 0 0\nd-5 1 0 0\nxx3 1 0 0\n", 4,
         {{9, kGate}, {9, 0}, {12, kUp | kGate}, {12, kGate}}},
        {"AnUnknownFirstNameIsC", "zz4 1 0 1\n", 1, {{0, kUp | kGate | kAccent}}},
        {"FlagCharactersByTheirLowestBit", "c-3 a b c\n", 1, {{0, kGate | kAccent}}},
        {"BlanksTabsAndCrLf", "c-3\t1  0 0\r\n\r\n   d-3 0 0 1\r\n", 2, {{0, kGate}, {2, kAccent}}},
        {"NoLineEndAtTheEnd", "c-3 1 0 0\ne-3 1 0 0", 2, {{0, kGate}, {4, kGate}}},
        {"UnreadableFirstLineKeepsEveryStep", "c-3 1\nd-3 1 0 0\n", 1, {}},
        {"EmptyFileKeepsEveryStep", "", 1, {}},
        {"ATruncatedLineEndsTheImport", "g-3 1 0 0\nd-3 1 0\ne-3 1 0 0\n", 1, {{7, kGate}}},
        {"ALineCutInsideItsNote", "c-3 1 0 0\nd-\n", 1, {{0, kGate}}},
        {"AVeryLongLineIsOneLine", "c-3 1 0 0" + std::string(200000, 'x') + "\nd-3 1 0 0\n", 2,
         {{0, kGate}, {2, kGate}}},
        {"BinaryGarbage", std::string("\0\xff\x80\x01 \x02 \x03\n", 9), 1, {{0, kDown | kGate | kAccent}}},
        {"SeventyLinesFillSixtyFourSteps", repeatedLines("f-4 1 0 0\n", 70), 64,
         std::vector<Step>(kMaxSteps, Step{5, kUp | kGate})},
    };
}

class CorvallImport : public PatternFiles, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(CorvallImport, ReadsTheLinesIntoTheFirstSteps) {
    const ImportCase& c = GetParam();
    const Pattern before = untouchedPattern();
    Pattern pattern = before;
    ASSERT_TRUE(importCorvallPattern(pattern, write("in.pat", c.text)));

    EXPECT_EQ(pattern.length, c.length);
    EXPECT_EQ(pattern.flags, before.flags);
    EXPECT_EQ(pattern.timeMode, before.timeMode);
    EXPECT_EQ(pattern.reserved, before.reserved);
    for (int i = 0; i < kMaxSteps; ++i) {
        const bool imported = i < static_cast<int>(c.steps.size());
        EXPECT_EQ(pattern.steps[i], imported ? c.steps[static_cast<std::size_t>(i)] : before.steps[i]) << "step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CorvallImport, ::testing::ValuesIn(importCases()),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PatternFiles, ImportOfAMissingFileChangesNothing) {
    const Pattern before = untouchedPattern();
    Pattern pattern = before;
    EXPECT_FALSE(importCorvallPattern(pattern, file("missing.pat")));
    EXPECT_TRUE(samePattern(pattern, before));
}

TEST_F(PatternFiles, ImportOfAFolderChangesNothing) {
    fs::create_directories(file("folder.pat"));
    const Pattern before = untouchedPattern();
    Pattern pattern = before;
    EXPECT_FALSE(importCorvallPattern(pattern, file("folder.pat")));
    EXPECT_TRUE(samePattern(pattern, before));
}

struct RoundTripCase {
    const char* name;
    Step exported;
    Step imported;
};

void PrintTo(const RoundTripCase& c, std::ostream* out) { *out << c.name; }

class CorvallRoundTrip : public PatternFiles, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(CorvallRoundTrip, GivesTheStepTheFormatCanCarry) {
    const RoundTripCase& c = GetParam();
    Pattern pattern = untouchedPattern();
    pattern.length = 1;
    pattern.steps[0] = c.exported;
    ASSERT_TRUE(exportCorvallPattern(pattern, file("trip.pat")));
    Pattern back = untouchedPattern();
    ASSERT_TRUE(importCorvallPattern(back, file("trip.pat")));
    EXPECT_EQ(back.length, 1);
    EXPECT_EQ(back.steps[0], c.imported);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CorvallRoundTrip,
    ::testing::Values(RoundTripCase{"UpperCWithUp", {12, kUp | kGate}, {12, kUp | kGate}},
                      RoundTripCase{"UpperCWithoutUpComesBackAsC", {12, kGate | kSlide}, {0, kGate | kSlide}},
                      RoundTripCase{"UpperCWithDownComesBackAsCDown", {12, kDown}, {0, kDown}},
                      RoundTripCase{"BWithUpAndAccent", {11, kUp | kAccent}, {11, kUp | kAccent}},
                      RoundTripCase{"FSharpDown", {6, kDown | kGate | kSlide}, {6, kDown | kGate | kSlide}},
                      RoundTripCase{"BothOctaveFlagsCancel", {3, kUp | kDown | kGate}, {3, kGate}},
                      RoundTripCase{"TieIsDropped", {8, kGate | kTie}, {8, kGate}},
                      RoundTripCase{"NoteAboveTwelveKeepsItsName", {21, kGate}, {9, kGate}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tarvik
