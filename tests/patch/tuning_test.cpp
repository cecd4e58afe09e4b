#include "patch/tuning.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tarvik {
namespace {

// A4 = 440 Hz, twelve equal steps per octave.
double equalTempered(int note) { return 440.0 * std::exp2((note - 69) / 12.0); }

NoteTable customOf(const NoteTables& tables) {
    NoteTable copy{};
    std::copy_n(tables.noteTableFor(0), kNoteTableSize, copy.begin());
    return copy;
}

// Just intonation C, D, E, G, A with the octave as period.
constexpr std::string_view kPentatonic = "Just pentatonic\n5\n9/8\n5/4\n3/2\n5/3\n2/1\n";
constexpr double kPentatonicRatios[] = {1.0, 9.0 / 8.0, 5.0 / 4.0, 3.0 / 2.0, 5.0 / 3.0};

class TuningFiles : public ::testing::Test {
protected:
    TuningFiles() {
        static std::atomic<int> counter{0};
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("tarvik-tuning-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(folder_);
    }
    ~TuningFiles() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string write(const std::string& name, std::string_view content) const {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
        return path.string();
    }

    // A scale file holding one ratio line, to read that line in isolation.
    std::optional<float> ratioOf(std::string_view line) const {
        const std::optional<Scale> scale = readScale(write("one.scl", "Single\n1\n" + std::string(line)));
        if (!scale || scale->entryCount() != 2) return std::nullopt;
        return scale->ratios[1];
    }

    std::filesystem::path folder_;
};

TEST(StandardNoteTable, IsEqualTemperedFromCMinusOne) {
    const NoteTable& table = standardNoteTable();
    EXPECT_EQ(table[0], 8.175798915636872f);
    for (int note = 0; note < kNotes; ++note)
        EXPECT_FLOAT_EQ(table[static_cast<std::size_t>(note)], static_cast<float>(equalTempered(note))) << note;
    EXPECT_FLOAT_EQ(table[69], 440.0f);
    EXPECT_EQ(table[kNotes], table[kNotes - 1]) << "the guard entry repeats the top note";
}

TEST(NoteTables, WithoutATuningFileTheCustomTableIsTheStandardOne) {
    NoteTables tables;
    EXPECT_FALSE(tables.loadTuning(""));
    EXPECT_EQ(customOf(tables), standardNoteTable());
    EXPECT_FLOAT_EQ(tables.noteTableFor(0)[69], 440.0f);
    EXPECT_NE(tables.noteTableFor(0), standardNoteTable().data()) << "TuningMode 0 plays the instance's own table";
}

TEST_F(TuningFiles, TuningModeSelectsTheTable) {
    NoteTables tables;
    ASSERT_TRUE(tables.loadTuning(write("pentatonic.scl", kPentatonic)));
    for (int mode : {1, 2, -1}) EXPECT_EQ(tables.noteTableFor(mode), standardNoteTable().data()) << mode;
    EXPECT_FLOAT_EQ(tables.noteTableFor(0)[1], standardNoteTable()[0] * 9.0f / 8.0f);

    const NoteTables other;
    EXPECT_EQ(customOf(other), standardNoteTable()) << "each instance has its own custom table";
}

TEST_F(TuningFiles, TwelveEqualStepsInCentsGiveTheStandardTable) {
    std::string content = "12-tone equal temperament\n 12\n! steps in cents\n";
    for (int step = 1; step <= 12; ++step) content += " " + std::to_string(step * 100) + ".0\n";
    NoteTables tables;
    ASSERT_TRUE(tables.loadTuning(write("12-edo.scl", content)));
    const NoteTable custom = customOf(tables);
    for (int note = 0; note < kNoteTableSize; ++note) {
        const auto k = static_cast<std::size_t>(note);
        EXPECT_FLOAT_EQ(custom[k], standardNoteTable()[k]) << note;
    }
}

TEST_F(TuningFiles, AFiveNoteScaleFillsEachOctaveWithFiveSteps) {
    NoteTables tables;
    ASSERT_TRUE(tables.loadTuning(write("pentatonic.scl", kPentatonic)));
    const NoteTable custom = customOf(tables);
    const double root = standardNoteTable()[0];
    for (std::size_t degree = 0; degree < 5; ++degree)
        EXPECT_FLOAT_EQ(custom[degree], static_cast<float>(root * kPentatonicRatios[degree])) << degree;
    EXPECT_FLOAT_EQ(custom[5], static_cast<float>(2 * root));
    EXPECT_FLOAT_EQ(custom[13], static_cast<float>(4 * root * 3.0 / 2.0));
    // 127 = 25 periods of 5 + degree 2.
    EXPECT_FLOAT_EQ(custom[127], static_cast<float>(root * std::exp2(25) * 5.0 / 4.0));
    EXPECT_EQ(custom[kNotes], custom[kNotes - 1]);
}

TEST_F(TuningFiles, RatioLineForms) {
    const std::string tooSmallForADouble = "0." + std::string(400, '0') + "1\n";
    const struct {
        std::string_view line;
        double ratio;
    } cases[] = {
        {"3/2\n", 1.5},
        {" 3 / 2\n", 1.5},
        {" \t 3/2\n", 1.5},
        {"3 /2 ! perfect fifth\n", 1.5},
        {"+5/4\n", 1.25},
        {"701.955\n", std::exp2(701.955 / 1200)},
        {"  701.955 cents\n", std::exp2(701.955 / 1200)},
        {"1200.\n", 2.0},
        {"-100.0\n", std::exp2(-100.0 / 1200)},
        {tooSmallForADouble, 1.0},  // zero cents, the nearest a double holds
        {"2\n", 2.0},
        {"2 \r\n", 2.0},
        {"7/4", 1.75},  // last line without a line end
    };
    for (const auto& c : cases) {
        const std::optional<float> ratio = ratioOf(c.line);
        ASSERT_TRUE(ratio) << c.line;
        EXPECT_FLOAT_EQ(*ratio, static_cast<float>(c.ratio)) << c.line;
    }
}

TEST_F(TuningFiles, CommentsAreSkippedAnywhereAndTheDescriptionKeepsItsLineEnd) {
    const std::optional<Scale> scale = readScale(write(
        "commented.scl",
        "! commented.scl\n!\n \t! indented comment\nMy scale\n! the count\n 3\n! first\n9/8\n  ! second\n5/4\n!\n2/1\n!"));
    ASSERT_TRUE(scale);
    EXPECT_EQ(scale->description, "My scale\n");
    EXPECT_EQ(scale->ratios, (std::vector<float>{1.0f, 1.125f, 1.25f, 2.0f}));

    const std::optional<Scale> unnamed = readScale(write("unnamed.scl", "!\n\n1\n2/1\n"));
    ASSERT_TRUE(unnamed);
    EXPECT_EQ(unnamed->description, "\n") << "an empty description line is still the description";
}

TEST_F(TuningFiles, LongLinesAreCutNotSplit) {
    const std::string longDescription(3000, 'd');
    const std::optional<Scale> scale = readScale(write(
        "long.scl", longDescription + "\n2\n! " + std::string(5000, 'x') + "\n9/8 " + std::string(3000, 'y') + "\n2/1\n"));
    ASSERT_TRUE(scale);
    EXPECT_EQ(scale->description, longDescription.substr(0, kMaxScaleLineLength));
    EXPECT_EQ(scale->ratios, (std::vector<float>{1.0f, 1.125f, 2.0f}));
}

TEST_F(TuningFiles, AnUnknownRatioLineIsReportedAndFailsTheLoad) {
    NoteTables tables;
    const std::string path = write("bad.scl", "Bad\n3\n9/8\nfifth\n2/1\n");
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(tables.loadTuning(path));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "unknown line format\n fifth\n");
    EXPECT_EQ(customOf(tables), standardNoteTable());
}

// A note count larger than the file holds would leave degrees without a
// ratio: the scale is reported and refused, the table untouched.
TEST_F(TuningFiles, ATruncatedScaleWarnsAndIsRefused) {
    const std::string path = write("short.scl", "Short\n4\n9/8\n5/4\n");
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(readScale(path));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Warning could not read all the notes.\nFile truncated?\n");

    NoteTables tables;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(tables.loadTuning(path));
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(customOf(tables), standardNoteTable());
}

TEST_F(TuningFiles, TheNoteCountLimitIsInclusive) {
    auto scaleOf = [](int notes) {
        std::string text = "Large\n" + std::to_string(notes) + "\n";
        for (int i = 0; i < notes; ++i) text += "3/2\n";
        return text;
    };
    ::testing::internal::CaptureStdout();
    const std::optional<Scale> largest = readScale(write("largest.scl", scaleOf(1024)));
    const std::optional<Scale> tooLarge = readScale(write("too-large.scl", scaleOf(1025)));
    ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->entryCount(), kMaxScaleNotes + 1);
    EXPECT_FALSE(tooLarge);
}

TEST_F(TuningFiles, UnusableScalesLeaveTheCustomTableAsItWas) {
    using namespace std::string_literals;
    const struct {
        std::string_view name;
        std::string content;
        std::string_view diagnostic;
    } cases[] = {
        {"empty file", "", ""},
        {"only comments", "! a\n! b\n", ""},
        {"no count", "Description only\n! no count follows\n", ""},
        {"count not a number", "D\nfive\n9/8\n", ""},
        {"negative count", "D\n-5\n9/8\n", ""},
        {"zero count", "D\n0\n", ""},
        {"absurd count", "D\n2000000000\n9/8\n", ""},
        {"count beyond int", "D\n99999999999\n9/8\n", ""},
        {"ratio zero", "D\n2\n0\n2/1\n", "unknown line format\n 0\n"},
        {"negative ratio", "D\n2\n-3/2\n2/1\n", "unknown line format\n -3/2\n"},
        {"zero denominator", "D\n2\n3/0\n2/1\n", "unknown line format\n 3/0\n"},
        {"zero over zero", "D\n2\n0/0\n2/1\n", "unknown line format\n 0/0\n"},
        {"numerator beyond int", "D\n2\n3000000000/2\n2/1\n", "unknown line format\n 3000000000/2\n"},
        {"cents too high", "D\n2\n1000000.0\n2/1\n", "unknown line format\n 1000000.0\n"},
        {"cents too low", "D\n2\n-1000000.0\n2/1\n", "unknown line format\n -1000000.0\n"},
        {"blank line among ratios", "D\n2\n\n2/1\n", "unknown line format\n \n"},
        {"one-note scale overflows the top notes", "D\n1\n2/1\n", ""},
        {"binary garbage", "\x7f" "ELF\x02\x01\x01\0\0\0\n\xff\xfe\x01\n"s, ""},
        {"garbage ratio", "D\n2\n\xff\xfe\x01\n"s, "unknown line format\n \xff\xfe\x01\n"},
    };
    NoteTables tables;
    ASSERT_TRUE(tables.loadTuning(write("pentatonic.scl", kPentatonic)));
    const NoteTable before = customOf(tables);
    for (const auto& c : cases) {
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(tables.loadTuning(write("bad.scl", c.content))) << c.name;
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.diagnostic) << c.name;
        EXPECT_EQ(customOf(tables), before) << c.name;
    }
    std::filesystem::create_directory(folder_ / "folder.scl");
    for (const std::filesystem::path& path : {folder_ / "missing.scl", folder_ / "folder.scl"}) {
        EXPECT_FALSE(tables.loadTuning(path.string())) << path;
        EXPECT_EQ(customOf(tables), before) << path;
    }
}

TEST_F(TuningFiles, AnyPathContainingSclInAnyCaseIsAScale) {
    for (const char* name : {"Just.SCL", "just.scl.txt"}) {
        NoteTables tables;
        EXPECT_TRUE(tables.loadTuning(write(name, kPentatonic))) << name;
        EXPECT_FLOAT_EQ(tables.noteTableFor(0)[1], standardNoteTable()[0] * 9.0f / 8.0f) << name;
    }
}

class FrequencyLists : public TuningFiles {
protected:
    // Frequencies 100 Hz + note, with assorted separators.
    static std::string list(int count) {
        std::string text;
        for (int k = 0; k < count; ++k) text += std::to_string(100 + k) + (k % 3 == 0 ? "\n" : k % 3 == 1 ? " \t" : "  ");
        return text;
    }
};

TEST_F(FrequencyLists, AFullListReplacesEveryNote) {
    NoteTables tables;
    EXPECT_TRUE(tables.loadTuning(write("full.txt", "+" + list(kNotes) + "999 998\n")));
    const NoteTable custom = customOf(tables);
    for (int k = 0; k < kNotes; ++k) EXPECT_EQ(custom[static_cast<std::size_t>(k)], 100.0f + k) << k;
    EXPECT_EQ(custom[kNotes], custom[kNotes - 1]);
    EXPECT_FLOAT_EQ(standardNoteTable()[69], 440.0f) << "the shared table is never written";
}

TEST_F(FrequencyLists, AShortListFailsButKeepsTheNotesItReached) {
    NoteTables tables;
    EXPECT_FALSE(tables.loadTuning(write("short.txt", list(100))));
    const NoteTable custom = customOf(tables);
    for (int k = 0; k < kNoteTableSize; ++k) {
        const auto i = static_cast<std::size_t>(k);
        EXPECT_EQ(custom[i], k < 100 ? 100.0f + k : standardNoteTable()[i]) << k;
    }
}

TEST_F(FrequencyLists, ReadingStopsAtTheFirstUnusableValue) {
    const std::string tooLong(100, '1');
    const std::string_view words[] = {"nan", "-440", "0",   "1e39", "1e400", "inf", "1e-42", "1e-400",
                                      "A4",  "440Hz", "+-5", std::string_view("\0\xff", 2), tooLong};
    for (const std::string_view word : words) {
        NoteTables tables;
        EXPECT_FALSE(tables.loadTuning(write("list.txt", list(10) + std::string(word) + " 500 600\n"))) << word;
        const NoteTable custom = customOf(tables);
        for (int k = 0; k < kNoteTableSize; ++k) {
            const auto i = static_cast<std::size_t>(k);
            EXPECT_EQ(custom[i], k < 10 ? 100.0f + k : standardNoteTable()[i]) << word << " note " << k;
        }
    }
}

TEST_F(FrequencyLists, MissingOrEmptyFilesChangeNothing) {
    std::filesystem::create_directory(folder_ / "folder");
    for (const std::string& path : {(folder_ / "missing.txt").string(), write("empty.txt", ""),
                                   write("blank.txt", " \n\t\n"), (folder_ / "folder").string()}) {
        NoteTables tables;
        EXPECT_FALSE(tables.loadTuning(path)) << path;
        EXPECT_EQ(customOf(tables), standardNoteTable()) << path;
    }
}

}  // namespace
}  // namespace tarvik
