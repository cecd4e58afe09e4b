#include "dsp/wavetable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <complex>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "dsp/wavetable_file.h"
#include "dsp/wavetable_generator.h"
#include "dsp/wavetable_set.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik {
namespace {

constexpr double kPi = std::numbers::pi;

// An in-place radix-2 DFT with e^(-2πikn/N), so that the tables are checked
// by a transform other than the one that built them.
void fft(std::vector<std::complex<double>>& x) {
    const std::size_t n = x.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (std::size_t size = 2; size <= n; size *= 2) {
        const std::complex<double> unit = std::polar(1.0, -2.0 * kPi / static_cast<double>(size));
        for (std::size_t start = 0; start < n; start += size) {
            std::complex<double> w = 1.0;
            for (std::size_t k = 0; k < size / 2; ++k) {
                const std::complex<double> t = w * x[start + k + size / 2];
                x[start + k + size / 2] = x[start + k] - t;
                x[start + k] += t;
                w *= unit;
            }
        }
    }
}

// Energy of each harmonic 0 .. N/2 of one cycle given as N samples.
std::vector<double> harmonicEnergies(const std::vector<double>& cycle) {
    std::vector<std::complex<double>> x(cycle.begin(), cycle.end());
    fft(x);
    std::vector<double> energy(x.size() / 2 + 1);
    for (std::size_t k = 0; k < energy.size(); ++k) energy[k] = std::norm(x[k]);
    return energy;
}

std::vector<double> levelCycle(const Wavetable& table, int level) {
    const auto i = static_cast<std::size_t>(level);
    const float* first = table.samples.data() + table.offsets[i];
    return {first, first + table.lengths[i]};
}

// What each set has to meet. The oscillators run at twice the host rate:
// their partials stay below 0.45 of that rate, 0.9 cycles per host sample,
// and every note keeps the audible band up to 0.45 cycles per host sample.
// The modulation generator runs at the host rate, up to a quarter of it.
struct SetCase {
    WavetableKind kind;
    const char* name;
    double bandLimit;    // cycles per host sample
    int shortestPeriod;  // the shortest period the set's reader can ask for
    double keptBand;     // every note keeps its partials up to here
};

constexpr SetCase kSets[] = {
    {WavetableKind::Saw, "wtsaw", 0.9, 2, 0.45},       {WavetableKind::Square, "wtsquare", 0.9, 2, 0.45},
    {WavetableKind::Triangle, "wttri", 0.9, 2, 0.45},  {WavetableKind::ModSaw, "mgsaw", 0.45, 4, 0.3},
    {WavetableKind::ModSquare, "mgsqu", 0.45, 4, 0.3},
};

// 18.8 kHz above MIDI note 0 (8.18 Hz): more partials than that are
// inaudible for any note.
constexpr int kAudiblePartials = 2300;

const Wavetable& generated(WavetableKind kind) {
    static const std::vector<Wavetable> sets = [] {
        std::vector<Wavetable> all;
        for (const SetCase& set : kSets) all.push_back(generateWavetable(set.kind));
        return all;
    }();
    return sets[static_cast<std::size_t>(kind)];
}

// The shortest period in [shortestPeriod, levelCount) that reads each level;
// -1 for a level no such period reads.
std::vector<int> shortestPeriods(const Wavetable& table, int shortestPeriod) {
    std::vector<int> shortest(static_cast<std::size_t>(table.tableCount()), -1);
    for (int period = table.levelCount() - 1; period >= shortestPeriod; --period)
        shortest[table.levelMap[static_cast<std::size_t>(period)]] = period;
    return shortest;
}

TEST(GeneratedWavetables, AreValidAndServeEveryPeriodUpToTheLowestNoteAt192kHz) {
    for (const SetCase& set : kSets) {
        SCOPED_TRACE(set.name);
        const Wavetable& table = generated(set.kind);
        EXPECT_TRUE(isValidWavetable(table));
        EXPECT_GE(table.levelCount(), 192000 / 8 + 1);
        // Longer periods read the last entry, so it must be the richest level.
        EXPECT_EQ(table.levelMap.back(), table.tableCount() - 1);
        const std::vector<int> shortest = shortestPeriods(table, set.shortestPeriod);
        for (int level = 0; level < table.tableCount(); ++level)
            EXPECT_GE(shortest[static_cast<std::size_t>(level)], 0) << "level " << level << " is never read";
    }
}

TEST(GeneratedWavetables, NoLevelHasAPartialAtOrAboveItsBandLimit) {
    for (const SetCase& set : kSets) {
        const Wavetable& table = generated(set.kind);
        const std::vector<int> shortest = shortestPeriods(table, set.shortestPeriod);
        for (int level = 0; level < table.tableCount(); ++level) {
            SCOPED_TRACE(std::string(set.name) + " level " + std::to_string(level));
            const std::vector<double> energy = harmonicEnergies(levelCycle(table, level));
            const double limit = set.bandLimit * shortest[static_cast<std::size_t>(level)];
            double above = 0.0;
            for (auto k = static_cast<std::size_t>(std::ceil(limit)); k < energy.size(); ++k) above += energy[k];
            ASSERT_GT(energy[1], 0.0);
            EXPECT_LT(above, 1e-12 * energy[1]) << "limit " << limit << " partials";  // -120 dB
        }
    }
}

TEST(GeneratedWavetables, EveryNoteKeepsItsAudiblePartials) {
    for (const SetCase& set : kSets) {
        SCOPED_TRACE(set.name);
        const Wavetable& table = generated(set.kind);
        std::vector<int> highest(static_cast<std::size_t>(table.tableCount()));
        for (int level = 0; level < table.tableCount(); ++level) {
            const std::vector<double> energy = harmonicEnergies(levelCycle(table, level));
            for (std::size_t k = 1; k < energy.size(); ++k)
                if (energy[k] > 1e-15 * energy[1]) highest[static_cast<std::size_t>(level)] = static_cast<int>(k);
        }
        for (int period = set.shortestPeriod; period < table.levelCount(); ++period) {
            const int wanted = std::min(static_cast<int>(set.keptBand * period), kAudiblePartials);
            const int level = table.levelMap[static_cast<std::size_t>(period)];
            // Two short of the wanted partial: odd-only waves and the square's
            // missing 20th, 40th ... harmonics may lack the very last one.
            ASSERT_GE(highest[static_cast<std::size_t>(level)], wanted - 2) << "period " << period;
        }
    }
}

TEST(GeneratedWavetables, TriangleLevelZeroIsAPureSineOfTheTrianglesFundamental) {
    const Wavetable& table = generated(WavetableKind::Triangle);
    const int level = table.levelMap[0];
    const std::vector<double> cycle = levelCycle(table, level);
    const std::vector<double> energy = harmonicEnergies(cycle);
    double others = energy[0];
    for (std::size_t k = 2; k < energy.size(); ++k) others += energy[k];
    EXPECT_LT(others, 1e-12 * energy[1]);
    // A triangle of peak 1 has the fundamental 8/π² sin(2πp): the sine joins
    // the triangle's short-period levels without a jump in level.
    const double amplitude = 2.0 * std::sqrt(energy[1]) / static_cast<double>(cycle.size());
    EXPECT_NEAR(amplitude, 8.0 / (kPi * kPi), 1e-6);
    EXPECT_NEAR(cycle[0], 0.0, 1e-6);
    EXPECT_GT(cycle[cycle.size() / 4], 0.8);
}

TEST(GeneratedWavetables, RichestLevelsDrawTheirWaveforms) {
    struct Point {
        WavetableKind kind;
        float phase;
        float value;
    };
    // Away from the edges, where the band limit leaves the ideal shape alone:
    // the computed model's saw 1.3 (p − 0.5) and square (−0.45 until 0.55,
    // then +0.55), a sine-phase triangle of peak 1, and the modulation
    // generator's falling saw and low-then-high square of peak 1.
    const Point points[] = {
        {WavetableKind::Saw, 0.25f, -0.325f},    {WavetableKind::Saw, 0.5f, 0.0f},
        {WavetableKind::Saw, 0.75f, 0.325f},     {WavetableKind::Square, 0.25f, -0.45f},
        {WavetableKind::Square, 0.5f, -0.45f},   {WavetableKind::Square, 0.8f, 0.55f},
        {WavetableKind::Triangle, 0.125f, 0.5f}, {WavetableKind::Triangle, 0.25f, 1.0f},
        {WavetableKind::Triangle, 0.75f, -1.0f}, {WavetableKind::ModSaw, 0.25f, 0.5f},
        {WavetableKind::ModSaw, 0.75f, -0.5f},   {WavetableKind::ModSquare, 0.25f, -1.0f},
        {WavetableKind::ModSquare, 0.75f, 1.0f},
    };
    for (const Point& point : points) {
        const Wavetable& table = generated(point.kind);
        SCOPED_TRACE(std::string(kSets[static_cast<int>(point.kind)].name) + " at " + std::to_string(point.phase));
        EXPECT_NEAR(wavetableReadLevel(table, table.tableCount() - 1, point.phase), point.value, 0.005);
    }
    for (const SetCase& set : kSets) {
        const Wavetable& table = generated(set.kind);
        for (int level = 0; level < table.tableCount(); ++level) {
            const std::vector<double> cycle = levelCycle(table, level);
            double sum = 0.0;
            for (const double x : cycle) sum += x;
            EXPECT_NEAR(sum / static_cast<double>(cycle.size()), 0.0, 1e-6) << set.name << " level " << level;
        }
    }
}

// Linear interpolation between table samples adds images of each partial
// around every multiple of the table length; read through the real lookup at
// eight points per sample, all that lies above the table's own Nyquist
// harmonic is such an image. A read that divides the table evenly like this
// one folds the images seven and nine lengths away onto the first ones, in
// phase: the worst case for the images' energy, which must still stay below
// -80 dB.
TEST(GeneratedWavetables, LinearInterpolationImagesStayBelowMinus80dB) {
    for (const SetCase& set : kSets) {
        const Wavetable& table = generated(set.kind);
        for (int level = 0; level < table.tableCount(); ++level) {
            SCOPED_TRACE(std::string(set.name) + " level " + std::to_string(level));
            const int length = table.lengths[static_cast<std::size_t>(level)];
            const int points = 8 * length;
            std::vector<double> read(static_cast<std::size_t>(points));
            for (int n = 0; n < points; ++n)
                read[static_cast<std::size_t>(n)] =
                    wavetableReadLevel(table, level, static_cast<float>(n) / static_cast<float>(points));
            const std::vector<double> energy = harmonicEnergies(read);
            double images = 0.0;
            for (auto k = static_cast<std::size_t>(length / 2); k < energy.size(); ++k) images += energy[k];
            EXPECT_LT(images, 1e-8 * energy[1]);
        }
    }
}

// Three levels of two samples each, every sample of level k equal to k + 1.
Wavetable steppedTable() {
    Wavetable table;
    table.levelMap = {0, 1, 2};
    table.lengths = {2, 2, 2};
    table.offsets = {0, 2, 4};
    table.samples = {1, 1, 2, 2, 3, 3};
    return table;
}

TEST(WavetableRead, LevelMapClampsThePeriod) {
    const Wavetable table = steppedTable();
    const struct {
        int period;
        float value;
    } cases[] = {{INT_MIN, 1}, {-5, 1}, {0, 1}, {1, 2}, {2, 3}, {3, 3}, {99, 3}, {INT_MAX, 3}};
    for (const auto& c : cases) EXPECT_EQ(wavetableRead(table, c.period, 0.3f), c.value) << "period " << c.period;
}

TEST(WavetableRead, LastSampleInterpolatesTowardTheFirst) {
    Wavetable table;
    table.levelMap = {0};
    table.lengths = {4};
    table.offsets = {0};
    table.samples = {0, 1, 2, 3};
    const struct {
        float phase;
        float value;
        float tolerance;
    } cases[] = {
        {0.625f, 2.5f, 0.0f},
        // Halfway from the last sample back to the first.
        {0.875f, 1.5f, 0.0f},
        {0.96875f, 0.375f, 0.0f},
        {std::nextafter(1.0f, 0.0f), 0.0f, 1e-5f},
        {1.0f, 0.0f, 0.0f},
    };
    for (const auto& c : cases) EXPECT_NEAR(wavetableRead(table, 0, c.phase), c.value, c.tolerance) << c.phase;
}

bool sameTable(const Wavetable& a, const Wavetable& b) {
    return a.levelMap == b.levelMap && a.lengths == b.lengths && a.offsets == b.offsets &&
           a.samples.size() == b.samples.size() &&
           std::memcmp(a.samples.data(), b.samples.data(), a.samples.size() * sizeof(float)) == 0;
}

TEST(WavetableFile, WriterAndReaderRoundTripEveryField) {
    test::ScopedDataFolder folder;
    for (const SetCase& set : kSets) {
        SCOPED_TRACE(set.name);
        const std::string path = (folder.path() / set.name).string();
        ASSERT_TRUE(writeWavetableFile(path, generated(set.kind)));
        Wavetable read;
        ASSERT_TRUE(readWavetableFile(path, read));
        EXPECT_TRUE(sameTable(read, generated(set.kind)));
    }
}

TEST(WavetableFile, LayoutIsLittleEndianWithoutPadding) {
    const std::vector<std::uint8_t> bytes = serializeWavetable(steppedTable());
    // clang-format off
    const std::vector<std::uint8_t> expected = {
        't', 'v', 'k', 'p',                 // magic
        3, 0, 0, 0,                         // levelCount
        3, 0, 0, 0,                         // tableCount
        0, 1, 2,                            // levelMap
        0, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, // offsets
        2, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, // lengths
        0, 0, 0x80, 0x3f, 0, 0, 0x80, 0x3f, // 1.0f, 1.0f
        0, 0, 0, 0x40, 0, 0, 0, 0x40,       // 2.0f, 2.0f
        0, 0, 0x40, 0x40, 0, 0, 0x40, 0x40, // 3.0f, 3.0f
    };
    // clang-format on
    EXPECT_EQ(bytes, expected);
}

void putI32(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

TEST(WavetableFile, RejectsDamagedFilesAndKeepsTheTable) {
    // steppedTable's file: header 0..11, levelMap 12..14, offsets 15..26,
    // lengths 27..38, samples 39..62.
    const std::vector<std::uint8_t> good = serializeWavetable(steppedTable());
    ASSERT_EQ(good.size(), 63u);
    using Damage = std::function<void(std::vector<std::uint8_t>&)>;
    const struct {
        const char* name;
        Damage damage;
    } cases[] = {
        {"bad magic", [](auto& b) { b[3] = 'q'; }},
        {"empty file", [](auto& b) { b.clear(); }},
        {"one byte too many", [](auto& b) { b.push_back(0); }},
        {"levelCount zero", [](auto& b) { putI32(b, 4, 0); }},
        {"levelCount negative", [](auto& b) { putI32(b, 4, -3); }},
        {"levelCount beyond the limit", [](auto& b) { putI32(b, 4, kMaxWavetableLevelCount + 1); }},
        {"levelCount larger than the file", [](auto& b) { putI32(b, 4, 1000); }},
        {"levelCount at int32's limit", [](auto& b) { putI32(b, 4, INT_MAX); }},
        {"tableCount zero", [](auto& b) { putI32(b, 8, 0); }},
        {"tableCount negative", [](auto& b) { putI32(b, 8, INT_MIN); }},
        {"tableCount beyond a byte's levels", [](auto& b) { putI32(b, 8, 257); }},
        {"levelMap names a missing level", [](auto& b) { b[14] = 3; }},
        {"offset negative", [](auto& b) { putI32(b, 19, -1); }},
        {"offset past the samples", [](auto& b) { putI32(b, 23, 5); }},
        {"offset far past the samples", [](auto& b) { putI32(b, 23, INT_MAX); }},
        {"length one", [](auto& b) { putI32(b, 27, 1); }},
        {"length zero", [](auto& b) { putI32(b, 27, 0); }},
        {"length negative", [](auto& b) { putI32(b, 31, -2); }},
        {"lengths sum beyond the file", [](auto& b) { putI32(b, 35, 1 << 20); }},
        {"length beyond the limit", [](auto& b) { putI32(b, 31, kMaxWavetableLength + 1); }},
        {"NaN sample", [](auto& b) { putI32(b, 43, std::bit_cast<std::int32_t>(std::nanf(""))); }},
        {"infinite sample", [](auto& b) { putI32(b, 59, std::bit_cast<std::int32_t>(INFINITY)); }},
    };
    const Wavetable sentinel = steppedTable();
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        c.damage(bytes);
        Wavetable table = sentinel;
        EXPECT_FALSE(parseWavetable(bytes, table)) << c.name;
        EXPECT_TRUE(sameTable(table, sentinel)) << c.name;
    }
    // Cut anywhere: inside the header, the map, the offsets, the lengths or
    // the samples.
    for (std::size_t size = 0; size < good.size(); ++size) {
        Wavetable table = sentinel;
        EXPECT_FALSE(parseWavetable(std::span(good.data(), size), table)) << "cut at " << size;
    }
    Wavetable table;
    EXPECT_TRUE(parseWavetable(good, table));
    EXPECT_TRUE(sameTable(table, sentinel));
}

TEST(WavetableFile, MissingFileAndInvalidTablesAreRefused) {
    test::ScopedDataFolder folder;
    const Wavetable sentinel = steppedTable();
    Wavetable table = sentinel;
    EXPECT_FALSE(readWavetableFile((folder.path() / "absent.dat").string(), table));
    EXPECT_FALSE(readWavetableFile(folder.path().string(), table));  // a folder, not a file
    EXPECT_TRUE(sameTable(table, sentinel));

    Wavetable broken = steppedTable();
    broken.samples[2] = std::nanf("");
    const auto path = folder.path() / "broken.dat";
    EXPECT_FALSE(writeWavetableFile(path.string(), broken));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(writeWavetableFile((folder.path() / "no-such-folder" / "x.dat").string(), steppedTable()));
}

TEST(WavetableSet, WithoutFilesEveryTableIsGenerated) {
    test::ScopedDataFolder folder;
    for (const std::string& folderText : {folder.path().string() + "/", std::string()}) {
        const WavetableSet set = loadWavetables(folderText);
        for (const SetCase& c : kSets) EXPECT_TRUE(sameTable(set[c.kind], generated(c.kind))) << c.name;
    }
}

TEST(WavetableSet, ReadsSoundFilesAndGeneratesForRejectedOnes) {
    test::ScopedDataFolder folder;
    const auto tables = folder.path() / "Tarvik Data";
    std::filesystem::create_directories(tables);
    // A sound file is taken as it is, even when it differs from the generator.
    ASSERT_TRUE(writeWavetableFile((tables / wavetableFileName(WavetableKind::Saw)).string(), steppedTable()));
    std::ofstream(tables / wavetableFileName(WavetableKind::Square), std::ios::binary) << "tvkp garbage";
    std::ofstream(tables / wavetableFileName(WavetableKind::Triangle), std::ios::binary) << "nope";

    const WavetableSet set = loadWavetables(tables.string() + "/");
    EXPECT_TRUE(sameTable(set.saw, steppedTable()));
    for (const WavetableKind kind :
         {WavetableKind::Square, WavetableKind::Triangle, WavetableKind::ModSaw, WavetableKind::ModSquare})
        EXPECT_TRUE(sameTable(set[kind], generated(kind))) << wavetableFileName(kind);
}

TEST(WavetableSet, FileNamesAreTheDataFoldersOwn) {
    const struct {
        WavetableKind kind;
        const char* name;
    } cases[] = {{WavetableKind::Saw, "wtsaw.dat"},
                 {WavetableKind::Square, "wtsquare.dat"},
                 {WavetableKind::Triangle, "wttri.dat"},
                 {WavetableKind::ModSaw, "mgsaw.dat"},
                 {WavetableKind::ModSquare, "mgsqu.dat"}};
    for (const auto& c : cases) EXPECT_STREQ(wavetableFileName(c.kind), c.name);
}

TEST(WavetableSet, SharedSetIsBuiltOnceForInstancesStartingTogether) {
    test::ScopedDataFolder folder;
    const WavetableSet* seen[2] = {};
    const std::string tables = folder.path().string() + "/";
    std::thread first([&] { seen[0] = &sharedWavetables(tables); });
    std::thread second([&] { seen[1] = &sharedWavetables(tables); });
    first.join();
    second.join();
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], &sharedWavetables(""));
    for (const SetCase& c : kSets) EXPECT_TRUE(isValidWavetable((*seen[0])[c.kind])) << c.name;
}

}  // namespace
}  // namespace tarvik
