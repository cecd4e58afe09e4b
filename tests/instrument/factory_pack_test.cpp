#include "instrument/factory_pack.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace tarvik {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes textBytes(const std::string& text) { return {text.begin(), text.end()}; }

Bytes noise(std::size_t size) {
    std::mt19937 random(7);
    Bytes bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    return bytes;
}

std::vector<FactoryFile> sampleFiles() {
    std::string patch;
    for (int i = 0; i < 200; ++i) patch += "Step " + std::to_string(i % 16) + " = C2 accent\n";
    return {{"Tarvik Skin/knob.png", noise(3000)},
            {"Config.ini", textBytes("MaxPolyphony = 6\n")},
            {"Tarvik Patches/Acid/Line.tvkp", textBytes(patch)},
            {"StartupPatch.ini", {}}};
}

TEST(FactoryPack, FilesComeBackByteForByteInNameOrderCompressedWhereThatPays) {
    const std::vector<FactoryFile> files = sampleFiles();
    const Bytes block = packFactoryFiles(files);
    const FactoryPack pack(block);
    ASSERT_EQ(pack.entries().size(), files.size());

    const std::vector<std::string> names{"Config.ini", "StartupPatch.ini", "Tarvik Patches/Acid/Line.tvkp",
                                         "Tarvik Skin/knob.png"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const FactoryPack::Entry& entry = pack.entries()[i];
        EXPECT_EQ(entry.name, names[i]);
        const auto original = std::find_if(files.begin(), files.end(), [&](auto& f) { return f.name == entry.name; });
        EXPECT_EQ(FactoryPack::unpack(entry), original->bytes) << entry.name;
    }
    EXPECT_TRUE(pack.entries()[2].compressed) << "a patch's text shrinks";
    EXPECT_LT(pack.entries()[2].stored.size(), pack.entries()[2].size);
    EXPECT_FALSE(pack.entries()[3].compressed) << "noise does not, and is kept as it is";
    EXPECT_FALSE(pack.entries()[1].compressed) << "nor does an empty file";
}

TEST(FactoryPack, TheSameFilesInAnotherOrderMakeTheSameBlock) {
    std::vector<FactoryFile> reversed = sampleFiles();
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(packFactoryFiles(sampleFiles()), packFactoryFiles(reversed));
}

// A block written field by field, so that each field can be wrong on its own.
struct RawFile {
    std::string name;
    Bytes stored;
    std::uint32_t size;
    std::uint8_t storage = 0;
};

Bytes rawBlock(const std::vector<RawFile>& files, std::uint32_t count) {
    Bytes block = textBytes("TVKFPAK1");
    auto u16 = [&](std::uint32_t v) {
        block.push_back(static_cast<std::uint8_t>(v));
        block.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xffff);
        u16(v >> 16);
    };
    u32(count);
    for (const RawFile& file : files) {
        u16(static_cast<std::uint32_t>(file.name.size()));
        block.insert(block.end(), file.name.begin(), file.name.end());
        u32(file.size);
        u32(factoryChecksum(file.stored));
        u32(static_cast<std::uint32_t>(file.stored.size()));
        block.push_back(file.storage);
    }
    for (const RawFile& file : files) block.insert(block.end(), file.stored.begin(), file.stored.end());
    return block;
}

Bytes rawBlock(const std::vector<RawFile>& files) { return rawBlock(files, static_cast<std::uint32_t>(files.size())); }

Bytes oneFile(const std::string& name) { return rawBlock({{name, textBytes("abc"), 3}}); }

struct DamagedBlock {
    const char* name;
    std::function<Bytes()> make;
    friend void PrintTo(const DamagedBlock& row, std::ostream* out) { *out << row.name; }
};

class FactoryPackRefuses : public ::testing::TestWithParam<DamagedBlock> {};

TEST_P(FactoryPackRefuses, TheWholeBlock) {
    const Bytes block = GetParam().make();
    EXPECT_TRUE(FactoryPack(block).entries().empty());
}

Bytes cut(Bytes block, std::size_t size) {
    block.resize(size);
    return block;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FactoryPackRefuses,
    ::testing::Values(
        DamagedBlock{"Empty", [] { return Bytes{}; }},
        DamagedBlock{"AnotherMagic", [] { return textBytes("TVKFPAK2\0\0\0\0"); }},
        DamagedBlock{"CutInTheIndex", [] { return cut(oneFile("Config.ini"), 20); }},
        DamagedBlock{"CutInTheContents", [] { const Bytes b = oneFile("Config.ini"); return cut(b, b.size() - 1); }},
        DamagedBlock{"AByteTooMany", [] { Bytes b = oneFile("Config.ini"); b.push_back(0); return b; }},
        DamagedBlock{"MoreFilesThanAnyPackHolds", [] { return rawBlock({}, 1u << 20); }},
        DamagedBlock{"ANameClimbingOut", [] { return oneFile("Tarvik Skin/../../.bashrc"); }},
        DamagedBlock{"AnAbsoluteName", [] { return oneFile("/etc/passwd"); }},
        DamagedBlock{"ABackslash", [] { return oneFile("Tarvik Skin\\knob.png"); }},
        DamagedBlock{"ADrive", [] { return oneFile("C:evil.ini"); }},
        DamagedBlock{"AnEmptyFolderName", [] { return oneFile("Tarvik Skin//knob.png"); }},
        DamagedBlock{"AFolderAsAName", [] { return oneFile("Tarvik Skin/"); }},
        DamagedBlock{"AnEmptyName", [] { return oneFile(""); }},
        DamagedBlock{"AStoredFileOfAnotherSize", [] { return rawBlock({{"Config.ini", textBytes("abc"), 4}}); }},
        DamagedBlock{"AnUnknownStorage", [] { return rawBlock({{"Config.ini", textBytes("abc"), 3, 2}}); }},
        DamagedBlock{"AFileBeyondAnyFactoryFile", [] { return rawBlock({{"a.dat", textBytes("x"), 1u << 30, 1}}); }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(FactoryPack, BytesThatDoNotUnpackToTheirSizeAndChecksumAreRefused) {
    FactoryFile patch = sampleFiles()[2];
    Bytes block = packFactoryFiles({patch});
    const FactoryPack::Entry intact = FactoryPack(block).entries().at(0);
    ASSERT_TRUE(intact.compressed);

    FactoryPack::Entry wrongChecksum = intact;
    wrongChecksum.checksum ^= 1;
    FactoryPack::Entry wrongSize = intact;
    wrongSize.size -= 1;
    Bytes damaged(intact.stored.begin(), intact.stored.end());
    damaged[damaged.size() / 2] ^= 0xff;
    FactoryPack::Entry damagedStream = intact;
    damagedStream.stored = damaged;

    EXPECT_EQ(FactoryPack::unpack(intact), patch.bytes);
    EXPECT_FALSE(FactoryPack::unpack(wrongChecksum));
    EXPECT_FALSE(FactoryPack::unpack(wrongSize));
    EXPECT_FALSE(FactoryPack::unpack(damagedStream));
}

}  // namespace
}  // namespace tarvik
