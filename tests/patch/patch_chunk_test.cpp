#include "patch/patch_chunk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "dsp/socket_table.h"
#include "patch/patch_validation.h"

namespace tarvik {
namespace {

using Bytes = std::vector<unsigned char>;

template <typename Region>
bool sameBytes(const Region& a, const Region& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectSamePatch(const TarvikPatch& expected, const TarvikPatch& actual) {
    EXPECT_TRUE(sameBytes(expected.program, actual.program)) << "program record";
    EXPECT_TRUE(sameBytes(expected.states, actual.states)) << "states";
    EXPECT_TRUE(sameBytes(expected.cables, actual.cables)) << "cables";
    EXPECT_TRUE(sameBytes(expected.patterns, actual.patterns)) << "patterns";
    EXPECT_TRUE(sameBytes(expected.info, actual.info)) << "patch information";
}

bool isOutput(int s) {
    return s >= 0 && s < kNumSockets && kSocketDefinitions[static_cast<std::size_t>(s)].direction == kSocketOutput;
}
bool isInput(int s) {
    return s >= 0 && s < kNumSockets && kSocketDefinitions[static_cast<std::size_t>(s)].direction == kSocketInput;
}

// What the engine relies on in every patch it is handed.
void expectRepaired(const TarvikPatch& patch) {
    const CableList& cables = patch.cables;
    ASSERT_GE(cables.count, 0);
    ASSERT_LE(cables.count, kMaxCables);
    std::vector<bool> fed(kNumSockets, false);
    for (int i = 0; i < cables.count; ++i) {
        const Connection cable = cables.at(i);
        EXPECT_TRUE(isOutput(cable.output) && isInput(cable.input)) << cable.output << ", " << cable.input;
        if (isInput(cable.input)) {
            EXPECT_FALSE(fed[static_cast<std::size_t>(cable.input)]) << "second cable into " << cable.input;
            fed[static_cast<std::size_t>(cable.input)] = true;
        }
    }
    const int current = patch.state(state::CurrentPattern);
    EXPECT_TRUE(current >= 0 && current < kNumPatterns) << current;
    for (const Pattern& pattern : patch.patterns) {
        EXPECT_TRUE(pattern.length >= 1 && pattern.length <= kMaxSteps) << int{pattern.length};
        EXPECT_LE(pattern.timeMode, 3);
    }
    for (int i = 0; i < kParameterRoom; ++i) EXPECT_TRUE(std::isfinite(patch.parameter(i))) << i;
    EXPECT_TRUE(std::memchr(patch.program.name, 0, sizeof patch.program.name));
    EXPECT_TRUE(std::memchr(patch.info.text, 0, sizeof patch.info.text));
    EXPECT_TRUE(std::memchr(patch.info.path, 0, sizeof patch.info.path));
}

// Random contents in every byte, kept to what the repair leaves as it is.
TarvikPatch randomPatch(std::uint32_t seed) {
    std::mt19937 random(seed);
    const auto below = [&random](std::size_t n) { return static_cast<int>(random() % n); };
    const auto fill = [&random](auto& region) {
        auto* bytes = reinterpret_cast<unsigned char*>(&region);
        for (std::size_t i = 0; i < sizeof region; ++i) bytes[i] = static_cast<unsigned char>(random());
    };
    TarvikPatch patch;
    fill(patch.program);
    fill(patch.states);
    fill(patch.patterns);
    fill(patch.info);
    std::uniform_real_distribution<float> value(-2.0f, 2.0f);
    for (int i = 0; i < kParameterRoom; ++i) patch.setParameter(i, value(random));
    patch.program.name[below(sizeof patch.program.name)] = 0;
    patch.info.text[below(sizeof patch.info.text)] = 0;
    patch.info.path[below(sizeof patch.info.path)] = 0;
    patch.setState(state::CurrentPattern, below(kNumPatterns));
    for (Pattern& pattern : patch.patterns) {
        pattern.length = static_cast<std::uint8_t>(1 + below(kMaxSteps));
        pattern.timeMode = static_cast<std::uint8_t>(below(4));
    }
    std::vector<int> inputs, outputs;
    for (int s = 0; s < kNumSockets; ++s) (isInput(s) ? inputs : outputs).push_back(s);
    std::shuffle(inputs.begin(), inputs.end(), random);
    const int cables = 1 + below(inputs.size());
    for (int i = 0; i < cables; ++i)
        patch.cables.set(
            i, {outputs[static_cast<std::size_t>(below(outputs.size()))], inputs[static_cast<std::size_t>(i)]});
    patch.cables.setSize(cables);
    return patch;
}

Bytes chunkOf(const TarvikPatch& patch) {
    Bytes chunk(kChunkSize);
    encodeChunk(patch, chunk.data());
    return chunk;
}

struct Decoded {
    TarvikPatch patch;
    std::string path = "previous path";
    bool answer = false;
};

// From a heap block of exactly the chunk's size, so that the address
// sanitizer sees any read past its end.
Decoded decode(const Bytes& chunk) {
    Decoded result;
    const auto exact = std::make_unique<unsigned char[]>(std::max<std::size_t>(chunk.size(), 1));
    std::copy(chunk.begin(), chunk.end(), exact.get());
    result.answer = decodeChunk(result.patch, chunk.empty() ? nullptr : exact.get(), chunk.size(), result.path);
    return result;
}

std::uint32_t wordAt(const Bytes& bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 | std::uint32_t{bytes[at + 2]} << 16 |
           std::uint32_t{bytes[at + 3]} << 24;
}

void reverseWord(Bytes& bytes, std::size_t at) {
    std::reverse(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + 4));
}

void appendWord(Bytes& bytes, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(word >> (8 * i)));
}

// size as the header's four bytes read little-endian
void appendBlock(Bytes& bytes, std::uint32_t tag, std::uint32_t size, const Bytes& data) {
    appendWord(bytes, tag);
    appendWord(bytes, size);
    bytes.insert(bytes.end(), data.begin(), data.end());
}

Bytes statesData(int filterMode, int count = kStateRoom) {
    Bytes data;
    for (int i = 0; i < count; ++i)
        appendWord(data, static_cast<std::uint32_t>(i == state::FilterMode  ? filterMode
                                                    : i == state::BendRange ? 7
                                                                            : 0));
    return data;
}

// How a big-endian machine writes the same chunk: every header word, and
// every number inside the blocks, with its bytes the other way round.
Bytes bigEndianOf(Bytes chunk) {
    std::size_t at = 0;
    while (at < chunk.size()) {
        const std::uint32_t tag = wordAt(chunk, at);
        const std::size_t size = wordAt(chunk, at + 4);
        reverseWord(chunk, at);
        reverseWord(chunk, at + 4);
        const std::size_t data = at + 8;
        std::size_t first = 0;  // the numbers: after the name, all words, or the integer
        std::size_t last = 0;
        if (tag == 258) {
            first = 24;
            last = size;
        } else if (tag == 259 || tag == 261) {
            last = size;
        } else if (tag == 260) {
            first = 1024;
            last = 1028;
        }
        for (std::size_t word = first; word < last; word += 4) reverseWord(chunk, data + word);
        at = data + size;
    }
    return chunk;
}

TEST(PatchChunk, IsFiveLittleEndianBlocksInTheirOrder) {
    const Bytes chunk = chunkOf(TarvikPatch());
    ASSERT_EQ(chunk.size(), 25112u);
    struct Header {
        std::size_t at;
        Bytes bytes;
    };
    const Header headers[] = {
        {0, {0x01, 0x01, 0, 0, 0x00, 0x42, 0, 0}},      // 257: 16896 pattern bytes
        {16904, {0x02, 0x01, 0, 0, 0x80, 0x16, 0, 0}},  // 258: 5760 program bytes
        {22672, {0x05, 0x01, 0, 0, 0x64, 0x00, 0, 0}},  // 261: 100 state bytes
        {22780, {0x03, 0x01, 0, 0, 0x04, 0x04, 0, 0}},  // 259: 1028 cable bytes
        {23816, {0x04, 0x01, 0, 0, 0x08, 0x05, 0, 0}},  // 260: 1288 information bytes
    };
    for (const Header& h : headers)
        EXPECT_TRUE(std::equal(h.bytes.begin(), h.bytes.end(), chunk.begin() + static_cast<std::ptrdiff_t>(h.at)))
            << h.at;

    EXPECT_EQ(chunk[8 + 3], 16) << "pattern 0 has 16 steps";
    EXPECT_STREQ(reinterpret_cast<const char*>(&chunk[16912]), "Default");
    EXPECT_EQ(wordAt(chunk, 16912 + 24), 0x3F000000u) << "Master Tuning 0.5";
    EXPECT_EQ(wordAt(chunk, 22680 + 7 * 4), 3u) << "FilterMode";
    EXPECT_EQ(wordAt(chunk, 22788), 0u) << "no cables";
    EXPECT_STREQ(reinterpret_cast<const char*>(&chunk[23824 + 1029]), "Tarvik Patch");
}

TEST(PatchChunk, RoundTripRestoresThePatchAndItsPath) {
    TarvikPatch original = randomPatch(1303);
    std::strcpy(original.info.path, "C:\\Music\\Patches\\Bassline.tvkp");
    const Decoded back = decode(chunkOf(original));
    EXPECT_TRUE(back.answer);
    expectSamePatch(original, back.patch);
    EXPECT_EQ(back.path, "C:\\Music\\Patches\\Bassline.tvkp");
}

TEST(PatchChunk, ABigEndianChunkLoadsAlike) {
    const TarvikPatch original = randomPatch(2600);
    const Decoded back = decode(bigEndianOf(chunkOf(original)));
    EXPECT_TRUE(back.answer);
    expectSamePatch(original, back.patch);
    EXPECT_EQ(back.path, std::string(original.info.path));
}

TEST(PatchChunk, ThePathIsCutToItsRoom) {
    TarvikPatch patch;
    Bytes chunk = chunkOf(patch);
    std::fill_n(chunk.begin() + 23824 + 1029, 259, 'p');  // no terminator
    const Decoded back = decode(chunk);
    EXPECT_EQ(back.path, std::string(258, 'p'));
    EXPECT_EQ(back.patch.info.path[258], 0);

    Bytes withoutInfo;
    appendBlock(withoutInfo, 261, 100, statesData(1));
    EXPECT_EQ(decode(withoutInfo).path, "previous path") << "no information block, no new path";
}

TEST(PatchChunk, HostileChunksNeverReadPastTheirEnd) {
    struct Case {
        const char* name;
        std::function<Bytes()> bytes;
        std::optional<bool> answer;  // none where the bytes are random
        std::function<void(const Decoded&)> check;
    };
    const auto staysFresh = [](const Decoded& d) { expectSamePatch(TarvikPatch(), d.patch); };
    const auto filterModeIs = [](int mode) {
        return [mode](const Decoded& d) { EXPECT_EQ(d.patch.state(state::FilterMode), mode); };
    };
    const Case cases[] = {
        {"empty", [] { return Bytes{}; }, false, staysFresh},
        {"three bytes",
         [] {
             return Bytes{0x05, 0x01, 0};
         },
         false, staysFresh},
        {"truncated header after a block",
         [] {
             Bytes b;
             appendBlock(b, 261, 100, statesData(1));
             b.insert(b.end(), {0x02, 0x01, 0, 0, 0x80});
             return b;
         },
         true, filterModeIs(1)},
        {"negative size",
         [] {
             Bytes b;
             appendBlock(b, 261, 0xFFFFFFFF, statesData(1));
             return b;
         },
         false, staysFresh},
        {"size beyond the data keeps what is there",
         [] {
             Bytes b;
             appendBlock(b, 261, 1000, statesData(1, 8));
             return b;
         },
         true,
         [](const Decoded& d) {
             EXPECT_EQ(d.patch.state(state::FilterMode), 1);
             EXPECT_EQ(d.patch.state(state::BendRange), 7);
         }},
        {"size zero",
         [] {
             Bytes b;
             appendBlock(b, 261, 0, {});
             appendBlock(b, 260, 0, {});
             return b;
         },
         false, [](const Decoded& d) { EXPECT_EQ(d.path, "Tarvik Patch"); }},
        {"unknown tags are skipped by their size",
         [] {
             Bytes b;
             appendBlock(b, 999, 4, {1, 2, 3, 4});
             appendBlock(b, 0, 0, {});
             appendBlock(b, 0x7FFFFFFF, 3, {0x05, 0x01, 0});
             appendBlock(b, 261, 100, statesData(1));
             return b;
         },
         true, filterModeIs(1)},
        {"blocks larger than their regions",
         [] {
             // Each region is filled before the one in front of it in the
             // patch, so that an overrun would spoil a region already read.
             const TarvikPatch fresh;
             const auto withExcess = [](const auto& region, std::size_t excess, unsigned char filler) {
                 const auto* bytes = reinterpret_cast<const unsigned char*>(&region);
                 Bytes data(bytes, bytes + sizeof region);
                 data.resize(data.size() + excess, filler);
                 return data;
             };
             PatchInfo info = fresh.info;
             std::strcpy(info.path, "Oversized");
             Bytes states = statesData(1);
             states.resize(300, 0xFF);
             Bytes b;
             appendBlock(b, 260, 1388, withExcess(info, 100, 'x'));
             appendBlock(b, 261, 300, states);
             appendBlock(b, 257, 16996, withExcess(fresh.patterns, 100, 'E'));
             appendBlock(b, 258, 5860, withExcess(fresh.program, 100, 0x01));
             appendBlock(b, 259, 1160, withExcess(fresh.cables, 132, 0x07));
             appendBlock(b, 258, 5, Bytes{'L', 'o', 'n', 'g', 0});
             return b;
         },
         true,
         [](const Decoded& d) {
             const TarvikPatch fresh;
             EXPECT_EQ(d.path, "Oversized");
             EXPECT_TRUE(sameBytes(d.patch.info.text, fresh.info.text));
             EXPECT_EQ(d.patch.state(state::RunStop), 0);
             EXPECT_EQ(d.patch.state(state::FilterMode), 1);
             EXPECT_TRUE(sameBytes(d.patch.patterns, fresh.patterns));
             EXPECT_STREQ(d.patch.program.name, "Long") << "the walk goes on after each block";
         }},
        {"a big-endian block larger than its region",
         [] {
             Bytes data = statesData(1);
             for (std::size_t i = 0; i < data.size(); i += 4)
                 std::reverse(data.begin() + static_cast<std::ptrdiff_t>(i),
                              data.begin() + static_cast<std::ptrdiff_t>(i + 4));
             data.resize(2000, 0xFF);
             Bytes b;
             appendBlock(b, 0x05010000, 0xD0070000, data);  // 2000, byte-reversed
             return b;
         },
         true,
         [](const Decoded& d) {
             EXPECT_EQ(d.patch.state(state::FilterMode), 1);
             EXPECT_TRUE(sameBytes(d.patch.patterns, TarvikPatch().patterns)) << "only the states' words are turned";
         }},
        {"many tiny blocks",
         [] {
             Bytes b;
             for (int i = 0; i < 20000; ++i)
                 appendBlock(b, static_cast<std::uint32_t>(1000 + i % 3), i % 2,
                             Bytes(static_cast<std::size_t>(i % 2), 0xAB));
             appendBlock(b, 261, 100, statesData(1));
             return b;
         },
         true, filterModeIs(1)},
        {"damaged regions are repaired",
         [] {
             Bytes program(5760, 0xFF);  // every parameter a NaN, the name unterminated
             Bytes cables;
             appendWord(cables, 1000);
             for (int i = 0; i < 256; ++i) appendWord(cables, 17);
             Bytes b;
             appendBlock(b, 258, 5760, program);
             appendBlock(b, 259, 1028, cables);
             return b;
         },
         true,
         [](const Decoded& d) {
             EXPECT_EQ(d.patch.parameter(param::MasterVolume), 0.75f);
             EXPECT_EQ(d.patch.cables.size(), 0);
         }},
        {"random bytes",
         [] {
             std::mt19937 random(99);
             Bytes b(kChunkSize);
             for (unsigned char& byte : b) byte = static_cast<unsigned char>(random());
             return b;
         },
         std::nullopt, [](const Decoded&) {}},
        {"random blocks",
         [] {
             std::mt19937 random(100);
             Bytes b;
             for (int i = 0; i < 200; ++i) {
                 const std::uint32_t tags[] = {257,        258,        259,        260,        261,
                                               0x01010000, 0x02010000, 0x03010000, 0x04010000, 0x05010000};
                 const std::uint32_t tag = tags[random() % 10];
                 const std::size_t size = random() % 2000;
                 Bytes data(size);
                 for (unsigned char& byte : data) byte = static_cast<unsigned char>(random());
                 const bool big = tag > 0xFFFF;
                 const auto word = static_cast<std::uint32_t>(size);
                 appendBlock(b, tag, big ? (word >> 8 & 0xFF) << 16 | (word & 0xFF) << 24 : word, data);
             }
             return b;
         },
         std::nullopt, [](const Decoded&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded d = decode(c.bytes());
        if (c.answer) {
            EXPECT_EQ(d.answer, *c.answer);
        }
        expectRepaired(d.patch);
        c.check(d);
    }
}

TEST(RepairPatch, MakesDamagedPatchesSafeAndKeepsTheRest) {
    struct Case {
        const char* name;
        std::function<void(TarvikPatch&)> damage;
        std::function<void(const TarvikPatch&)> check;
    };
    const auto cablesAre = [](std::vector<Connection> expected) {
        return [expected](const TarvikPatch& p) {
            ASSERT_EQ(p.cables.size(), static_cast<int>(expected.size()));
            for (std::size_t i = 0; i < expected.size(); ++i)
                EXPECT_EQ(p.cables.at(static_cast<int>(i)), expected[i]) << i;
            for (int i = p.cables.size(); i < kMaxCables; ++i) EXPECT_EQ(p.cables.at(i), (Connection{0, 0})) << i;
        };
    };
    const auto withCables = [](int count, std::vector<std::pair<int, Connection>> cables) {
        return [count, cables](TarvikPatch& p) {
            for (const auto& [at, cable] : cables) p.cables.set(at, cable);
            p.cables.count = count;
        };
    };
    const auto currentIs = [](int value, int expected) {
        return Case{
            "CurrentPattern", [value](TarvikPatch& p) { p.setState(state::CurrentPattern, value); },
            [expected](const TarvikPatch& p) { EXPECT_EQ(p.state(state::CurrentPattern), expected) << expected; }};
    };
    const auto lengthIs = [](int length, int expected) {
        return Case{"pattern length",
                    [length](TarvikPatch& p) {
                        p.patterns[5].length = static_cast<std::uint8_t>(length);
                        p.patterns[5].flags = 0x81;
                        p.patterns[5].steps[3] = {12, 0x18};
                    },
                    [length, expected](const TarvikPatch& p) {
                        EXPECT_EQ(p.patterns[5].length, expected) << length;
                        const bool repaired = expected != length;
                        EXPECT_EQ(p.patterns[5].flags, repaired ? 0x01 : 0x81) << length;
                        EXPECT_EQ(p.patterns[5].steps[3].note, repaired ? 0 : 12) << length;
                        EXPECT_EQ(p.patterns[5].steps[3].flags, repaired ? step::kGate : 0x18) << length;
                    }};
    };
    const Case cases[] = {
        {"cables",
         withCables(8, {{0, {4, 17}},
                        {1, {17, 4}},
                        {2, {4, 17}},
                        {3, {11, 17}},
                        {4, {50, 3}},
                        {5, {-1, 3}},
                        {6, {4, 11}},
                        {7, {12, 16}}}),
         cablesAre({{4, 17}, {12, 16}})},
        {"count above the room", withCables(500, {{0, {4, 17}}, {127, {20, 21}}}), cablesAre({{4, 17}, {20, 21}})},
        {"negative count", withCables(-5, {{0, {4, 17}}}), cablesAre({})},
        currentIs(-1, 0),
        currentIs(128, 127),
        currentIs(1 << 30, 127),
        currentIs(77, 77),
        lengthIs(0, 16),
        lengthIs(65, 16),
        lengthIs(255, 16),
        lengthIs(64, 64),
        lengthIs(1, 1),
        {"time modes",
         [](TarvikPatch& p) {
             p.patterns[0].timeMode = 3;
             p.patterns[1].timeMode = 4;
             p.patterns[2].timeMode = 200;
         },
         [](const TarvikPatch& p) {
             EXPECT_EQ(p.patterns[0].timeMode, 3);
             EXPECT_EQ(p.patterns[1].timeMode, 0);
             EXPECT_EQ(p.patterns[2].timeMode, 0);
         }},
        {"parameters",
         [](TarvikPatch& p) {
             p.setParameter(param::FilterCutoff, std::numeric_limits<float>::quiet_NaN());
             p.setParameter(param::MasterVolume, std::numeric_limits<float>::infinity());
             p.setParameter(param::VcaDecay, -std::numeric_limits<float>::infinity());
             p.setParameter(100, std::numeric_limits<float>::quiet_NaN());
             p.setParameter(param::Tempo, 1.5f);
         },
         [](const TarvikPatch& p) {
             EXPECT_EQ(p.parameter(param::FilterCutoff), 0.5f);
             EXPECT_EQ(p.parameter(param::MasterVolume), 0.75f);
             EXPECT_EQ(p.parameter(param::VcaDecay), 1.0f);
             EXPECT_EQ(p.parameter(100), 0.0f);
             EXPECT_EQ(p.parameter(param::Tempo), 1.5f) << "a host tempo above 250 BPM is a finite value";
         }},
        {"texts",
         [](TarvikPatch& p) {
             std::memset(p.program.name, 'n', sizeof p.program.name);
             std::memset(p.info.text, 't', sizeof p.info.text);
             std::memset(p.info.path, 'p', sizeof p.info.path);
         },
         [](const TarvikPatch& p) {
             EXPECT_EQ(std::string(p.program.name), std::string(23, 'n'));
             EXPECT_EQ(std::string(p.info.text), std::string(1023, 't'));
             EXPECT_EQ(std::string(p.info.path), std::string(258, 'p'));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarvikPatch patch;
        c.damage(patch);
        repairPatch(patch);
        expectRepaired(patch);
        c.check(patch);
    }
}

TEST(RepairPatch, LeavesASoundPatchAsItIs) {
    const TarvikPatch original = randomPatch(42);
    TarvikPatch patch = original;
    repairPatch(patch);
    expectSamePatch(original, patch);
}

}  // namespace
}  // namespace tarvik
