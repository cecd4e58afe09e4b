// The factory files (the default skin, the wavetables, the settings files and
// the patch bank) packed into one block of bytes that a front end's binary
// carries, so that copying the binary alone is a complete install.
//
// Layout, little-endian: the eight bytes "TVKFPAK1", the number of files
// (u32), then per file its name's length (u16), the name (UTF-8, "/"
// between folders, relative to the data folder), its size (u32), its CRC-32
// (u32), its stored size (u32) and how it is stored (u8: 0 as it is, 1 zlib);
// then the stored bytes of every file in the same order.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvik {

struct FactoryFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// The files packed in name order (the same files always make the same
// block), each compressed where that makes it smaller.
std::vector<std::uint8_t> packFactoryFiles(std::vector<FactoryFile> files);

// The checksum the pack keeps for each file (CRC-32, as zlib computes it).
std::uint32_t factoryChecksum(std::span<const std::uint8_t> bytes, std::uint32_t running = 0);

class FactoryPack {
public:
    struct Entry {
        std::string name;
        std::uint32_t size = 0;
        std::uint32_t checksum = 0;
        bool compressed = false;
        std::span<const std::uint8_t> stored;
    };

    // Reads the index of a block. A block that is not a whole, well-formed
    // pack (or a name that could reach outside the data folder) gives no
    // entries at all: a binary never installs half a damaged pack.
    explicit FactoryPack(std::span<const std::uint8_t> block);

    const std::vector<Entry>& entries() const { return entries_; }

    // A file's bytes; nothing when they do not unpack to the size and the
    // checksum the index gives.
    static std::optional<std::vector<std::uint8_t>> unpack(const Entry& entry);

private:
    std::vector<Entry> entries_;
};

// The pack this binary carries, made at build time from the build's data
// folder. Defined by the source the pack tool writes, which only the front
// ends' binaries link; others have no factory files to install.
std::span<const std::uint8_t> carriedFactoryFiles();

}  // namespace tarvik
