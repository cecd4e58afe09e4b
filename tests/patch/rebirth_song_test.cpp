// ReBirth song files built here chunk by chunk, with the sizes they declare
// set by hand where a case needs them wrong.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "patch/pattern_files.h"
#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik {

static void PrintTo(const Step& s, std::ostream* os) {
    *os << "{note " << int{s.note} << ", flags 0x" << std::hex << int{s.flags} << std::dec << "}";
}

namespace {

using namespace step;
using Bytes = std::string;

constexpr std::size_t kUnitSize = 1097;

Bytes bigEndian(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

// A chunk declaring the size given, whatever data follows.
Bytes chunkClaiming(const char* id, std::uint32_t size, const Bytes& data) { return id + bigEndian(size) + data; }

Bytes chunk(const char* id, const Bytes& data) {
    Bytes bytes = chunkClaiming(id, static_cast<std::uint32_t>(data.size()), data);
    if (data.size() % 2) bytes += '\0';
    return bytes;
}

Bytes cat(const char* type, const Bytes& contents) { return chunk("CAT ", type + contents); }

struct UnitPattern {
    int length;
    std::vector<std::pair<int, int>> pairs;  // note byte, flag byte
};

// A TB-303 unit's data: pattern number, six sound bytes, patterns at 10 + 34 p.
// Patterns not given are all zero bytes, so length 0.
Bytes unit(int patternNumber, const std::vector<int>& sound, const std::map<int, UnitPattern>& patterns,
           std::size_t size = kUnitSize) {
    Bytes data(std::max(size, kUnitSize + 200), '\0');
    data[1] = static_cast<char>(patternNumber);
    for (std::size_t k = 0; k < sound.size(); ++k) data[2 + k] = static_cast<char>(sound[k]);
    for (const auto& [p, pattern] : patterns) {
        std::size_t at = 10 + 34 * static_cast<std::size_t>(p);
        data[at++] = static_cast<char>(pattern.length);
        for (const auto& [note, flags] : pattern.pairs) {
            data[at++] = static_cast<char>(note);
            data[at++] = static_cast<char>(flags);
        }
    }
    data.resize(size);
    return data;
}

Bytes unitChunk(const Bytes& data) { return chunk("303 ", data); }

// Every step something an import never writes (flag bits 5..7), every
// pattern a length no case uses, so whatever an import leaves alone shows.
std::unique_ptr<TarvikPatch> markedPatch() {
    auto patch = std::make_unique<TarvikPatch>();
    for (int p = 0; p < kNumPatterns; ++p) {
        Pattern& pattern = patch->patterns[p];
        pattern.flags = 0x41;
        pattern.timeMode = 2;
        pattern.length = 9;
        for (int i = 0; i < kMaxSteps; ++i)
            pattern.steps[i] = Step{static_cast<std::uint8_t>(p + i), static_cast<std::uint8_t>(0xE0 | (i & 0x1F))};
    }
    patch->setState(state::CurrentPattern, 77);
    return patch;
}

bool samePattern(const Pattern& a, const Pattern& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class RebirthSong : public ::testing::Test {
protected:
    std::string write(const Bytes& bytes) const {
        const std::string path = (folder_.path() / "song.rbs").string();
        test::writeWholeFile(path, bytes);
        return path;
    }

    // Reads and applies the song as the editor does; false when it was not read.
    bool import(const Bytes& bytes) {
        if (!readRebirthSong(write(bytes), song_)) return false;
        applyRebirthPatterns(song_, *after_);
        return true;
    }

    void expectPattern(int p, int length, const std::vector<Step>& steps) const {
        const Pattern& pattern = after_->patterns[p];
        const Pattern& was = before_->patterns[p];
        EXPECT_EQ(pattern.length, length) << "pattern " << p;
        EXPECT_EQ(pattern.flags, was.flags) << "pattern " << p;
        EXPECT_EQ(pattern.timeMode, was.timeMode) << "pattern " << p;
        for (int i = 0; i < kMaxSteps; ++i) {
            const bool imported = i < static_cast<int>(steps.size());
            EXPECT_EQ(pattern.steps[i], imported ? steps[static_cast<std::size_t>(i)] : was.steps[i])
                << "pattern " << p << " step " << i;
        }
    }

    void expectUntouched(int from, int to) const {
        for (int p = from; p < to; ++p) EXPECT_TRUE(samePattern(after_->patterns[p], before_->patterns[p])) << "pattern " << p;
    }

    void expectNothingChanged() const {
        expectUntouched(0, kNumPatterns);
        EXPECT_EQ(after_->state(state::CurrentPattern), 77);
    }

    test::ScopedDataFolder folder_;
    std::unique_ptr<const TarvikPatch> before_ = markedPatch();
    std::unique_ptr<TarvikPatch> after_ = markedPatch();
    SongImport song_;
};

TEST_F(RebirthSong, NestedListWithTwoUnitsGivesPatternsSelectionAndSound) {
    const Bytes first = unit(5, {127, 0, 64, 32, 100, 1},
                             {{0, {3, {{5, 0x00}, {7, 0x03}, {12, 0x14}}}},
                              {31, {16, std::vector<std::pair<int, int>>(16, {11, 0x08})}}});
    const Bytes second = unit(9, {1, 1, 1, 1, 1, 1}, {{0, {2, {{0, 0x04}, {3, 0x12}}}}});
    const Bytes third = unit(0, {}, {{0, {1, {{1, 0}}}}});
    // An odd-sized chunk with its pad byte before the list, a mixer chunk
    // between the units, and a third unit that is not read.
    ASSERT_TRUE(import(cat("RB40", chunk("HEAD", "abc") +
                                       cat("SONG", unitChunk(first) + chunk("MIXR", Bytes(7, 'm')) + unitChunk(second) +
                                                       unitChunk(third)))));

    EXPECT_EQ(after_->state(state::CurrentPattern), 5);
    expectPattern(0, 3, {{5, kGate}, {7, kGate | kSlide | kAccent}, {12, kUp}});
    expectPattern(1, 1, {});
    expectPattern(31, 16, std::vector<Step>(16, Step{11, kDown | kGate}));
    expectPattern(32, 2, {{0, kUp | kGate}, {3, kAccent}});
    expectUntouched(64, kNumPatterns);

    const std::pair<int, float> sound[] = {{param::MasterTuning, 1.0f},
                                           {param::FilterCutoff, 0.0f},
                                           {param::FilterResonance, static_cast<float>(64 / 127.0)},
                                           {param::EnvelopeMod, static_cast<float>(32 / 127.0)},
                                           {param::VcfDecay, static_cast<float>(100 / 127.0)},
                                           {param::AccentAmount, static_cast<float>(1 / 127.0)}};
    for (std::size_t k = 0; k < song_.parameters.size(); ++k) {
        EXPECT_EQ(song_.parameters[k].index, sound[k].first) << "parameter " << k;
        EXPECT_EQ(song_.parameters[k].value, sound[k].second) << "parameter " << k;
    }
}

TEST_F(RebirthSong, OnlyOneUnitLeavesTheUpperPatternsAlone) {
    ASSERT_TRUE(import(unitChunk(unit(3, {}, {{4, {1, {{2, 0}}}}}))));
    expectPattern(4, 1, {{2, kGate}});
    expectUntouched(32, kNumPatterns);
    EXPECT_EQ(after_->state(state::CurrentPattern), 3);
}

struct FlagCase {
    const char* name;
    int flagByte;
    std::uint8_t flags;
};

void PrintTo(const FlagCase& c, std::ostream* out) { *out << c.name; }

class RebirthFlags : public RebirthSong, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(RebirthFlags, BecomeTarvikStepFlags) {
    const FlagCase& c = GetParam();
    ASSERT_TRUE(import(unitChunk(unit(0, {}, {{0, {1, {{7, c.flagByte}}}}}))));
    expectPattern(0, 1, {{7, c.flags}});
}

INSTANTIATE_TEST_SUITE_P(Cases, RebirthFlags,
                         ::testing::Values(FlagCase{"PlainNote", 0x00, kGate}, FlagCase{"RestBitIsGateOff", 0x10, 0},
                                           FlagCase{"SlideAndAccent", 0x03, kGate | kSlide | kAccent},
                                           FlagCase{"Up", 0x04, kGate | kUp}, FlagCase{"Down", 0x08, kGate | kDown},
                                           FlagCase{"EveryBit", 0xFF, kSlide | kAccent | kUp | kDown},
                                           FlagCase{"HighBitsIgnored", 0xE0, kGate}),
                         [](const auto& row) { return std::string(row.param.name); });

struct LengthCase {
    const char* name;
    int storedLength;
    int pairCount;  // pairs of note 1, no flags
    int length;
    std::vector<Step> steps;
};

void PrintTo(const LengthCase& c, std::ostream* out) { *out << c.name; }

class RebirthLengths : public RebirthSong, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(RebirthLengths, LimitTheLengthAndTheStepsRead) {
    const LengthCase& c = GetParam();
    // Pattern 1 holds notes 50.. so that a length reading on past 16 pairs shows.
    std::vector<std::pair<int, int>> next;
    for (int j = 0; j < 16; ++j) next.push_back({50 + j, 0x10});
    const UnitPattern pattern{c.storedLength, std::vector<std::pair<int, int>>(static_cast<std::size_t>(c.pairCount), {1, 0})};
    ASSERT_TRUE(import(unitChunk(unit(0, {}, {{0, pattern}, {1, {0x44, next}}}))));
    expectPattern(0, c.length, c.steps);
}

// Pattern 0's spare byte and pattern 1's length byte (0x44: up, no rest)
// make step 16, then pattern 1's own pairs follow.
std::vector<Step> readOnIntoPatternOne() {
    std::vector<Step> steps(16, Step{1, kGate});
    steps.push_back(Step{0, kGate | kUp});
    steps.push_back(Step{50, 0});
    steps.push_back(Step{51, 0});
    return steps;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RebirthLengths,
    ::testing::Values(LengthCase{"ZeroIsOneWithTheStepsKept", 0, 1, 1, {}},
                      LengthCase{"SixteenIsAWholeUnitPattern", 16, 16, 16, std::vector<Step>(16, Step{1, kGate})},
                      LengthCase{"BeyondSixteenReadsOnInTheUnit", 19, 16, 19, readOnIntoPatternOne()}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(RebirthSong, ALengthAboveSixtyFourGivesSixtyFourSteps) {
    std::vector<std::pair<int, int>> pairs(64, {4, 0x01});
    ASSERT_TRUE(import(unitChunk(unit(0, {}, {{0, {200, pairs}}}))));
    expectPattern(0, 64, std::vector<Step>(64, Step{4, kGate | kSlide}));
}

TEST_F(RebirthSong, ByteValuesAboveTheirRangeAreLimited) {
    ASSERT_TRUE(import(unitChunk(unit(200, {255, 128, 127, 0, 0, 0}, {}))));
    EXPECT_EQ(after_->state(state::CurrentPattern), kNumPatterns - 1);
    EXPECT_EQ(song_.parameters[0].value, 1.0f);
    EXPECT_EQ(song_.parameters[1].value, 1.0f);
    EXPECT_EQ(song_.parameters[2].value, 1.0f);
}

// 10 header bytes, pattern 0 (34 bytes), then pattern 1's length byte and
// the pairs that follow it.
TEST_F(RebirthSong, AShortUnitGivesThePatternsThatFitWhole) {
    const std::map<int, UnitPattern> patterns = {{0, {16, std::vector<std::pair<int, int>>(16, {3, 0})}},
                                                 {1, {2, {{6, 0}, {8, 0}}}},
                                                 {2, {1, {{9, 0}}}}};
    ASSERT_TRUE(import(unitChunk(unit(0, {}, patterns, 10 + 34 + 5))));
    expectPattern(0, 16, std::vector<Step>(16, Step{3, kGate}));
    expectPattern(1, 2, {{6, kGate}, {8, kGate}});
    expectUntouched(2, kNumPatterns);
}

TEST_F(RebirthSong, APatternCutShortIsNotTaken) {
    const std::map<int, UnitPattern> patterns = {{1, {3, {{6, 0}, {8, 0}, {10, 0}}}}};
    ASSERT_TRUE(import(unitChunk(unit(0, {}, patterns, 10 + 34 + 5))));
    expectPattern(0, 1, {});
    expectUntouched(1, kNumPatterns);
}

TEST_F(RebirthSong, ASecondUnitShorterThanItsHeaderGivesNoPatterns) {
    ASSERT_TRUE(import(unitChunk(unit(0, {}, {})) + unitChunk("xy")));
    expectUntouched(32, kNumPatterns);
}

struct RefusedCase {
    const char* name;
    std::function<Bytes()> file;
};

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.name; }

class RefusedSong : public RebirthSong, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedSong, ChangesNothing) {
    song_.currentPattern = 99;
    EXPECT_FALSE(import(GetParam().file()));
    EXPECT_EQ(song_.currentPattern, 99) << "the song record is not filled";
    expectNothingChanged();
}

Bytes nestedLists(int depth, const Bytes& inside) {
    Bytes bytes = inside;
    for (int i = 0; i < depth; ++i) bytes = cat("LIST", bytes);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedSong,
    ::testing::Values(
        RefusedCase{"EmptyFile", [] { return Bytes(); }},
        RefusedCase{"NotAChunkList", [] { return Bytes("This is a letter, not a song at all.\n"); }},
        RefusedCase{"NoUnit", [] { return cat("RB40", chunk("HEAD", "abcd") + cat("SONG", chunk("MIXR", "xy"))); }},
        RefusedCase{"ChunkSizePastTheEndOfTheFile",
                    [] { return unitChunk(unit(0, {}, {})) + chunkClaiming("MIXR", 4000, Bytes(10, 'm')); }},
        RefusedCase{"UnitSizePastTheEndOfTheFile",
                    [] { return chunkClaiming("303 ", kUnitSize, unit(0, {}, {}, kUnitSize - 1)); }},
        RefusedCase{"ListClaimsMoreThanItsParent",
                    [] {
                        // The inner list reaches into the chunk after the outer
                        // one: inside the file, outside its parent.
                        const Bytes inner = chunkClaiming("CAT ", 4 + kUnitSize + 8 + 8, "SONG" + unitChunk(unit(0, {}, {})));
                        return cat("RB40", inner) + chunk("TAIL", "12345678");
                    }},
        RefusedCase{"ListTooShortForItsType", [] { return chunkClaiming("CAT ", 2, "RB") + unitChunk(unit(0, {}, {})); }},
        RefusedCase{"NestedTooDeep", [] { return nestedLists(17, unitChunk(unit(0, {}, {}))); }},
        RefusedCase{"FirstUnitTooShortForItsSound", [] { return unitChunk("\x01\x02\x03\x04\x05\x06\x07"); }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(RebirthSong, NestingAsDeepAsAllowedIsRead) {
    ASSERT_TRUE(import(nestedLists(16, unitChunk(unit(6, {}, {})))));
    EXPECT_EQ(after_->state(state::CurrentPattern), 6);
}

TEST_F(RebirthSong, AMissingFileOrAFolderChangesNothing) {
    EXPECT_FALSE(readRebirthSong((folder_.path() / "missing.rbs").string(), song_));
    std::filesystem::create_directories(folder_.path() / "folder.rbs");
    EXPECT_FALSE(readRebirthSong((folder_.path() / "folder.rbs").string(), song_));
}

}  // namespace
}  // namespace tarvik
