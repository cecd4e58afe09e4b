#include "instrument/factory_pack.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tarvik {

namespace {

constexpr char kMagic[8] = {'T', 'V', 'K', 'F', 'P', 'A', 'K', '1'};
// Far beyond any factory file; a larger number can only be damage.
constexpr std::uint32_t kMaxFiles = 4096;
constexpr std::uint32_t kMaxFileSize = 64u << 20;

enum Storage : std::uint8_t { kStored = 0, kZlib = 1 };

void putU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    putU16(out, value & 0xffffu);
    putU16(out, value >> 16);
}

// Reads the block front to back; every read past its end fails, and a
// failed reader stays failed.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> block) : block_(block) {}

    bool ok() const { return ok_; }
    std::size_t remaining() const { return block_.size() - position_; }

    std::span<const std::uint8_t> take(std::size_t count) {
        if (!ok_ || count > remaining()) {
            ok_ = false;
            return {};
        }
        const auto bytes = block_.subspan(position_, count);
        position_ += count;
        return bytes;
    }
    std::uint32_t u8() {
        const auto bytes = take(1);
        return ok_ ? bytes[0] : 0;
    }
    std::uint32_t u16() {
        const auto bytes = take(2);
        return ok_ ? bytes[0] | static_cast<std::uint32_t>(bytes[1]) << 8 : 0;
    }
    std::uint32_t u32() {
        const std::uint32_t low = u16();
        return low | u16() << 16;
    }

private:
    std::span<const std::uint8_t> block_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

// A relative name whose every part is a plain file or folder name: nothing
// absolute, no "..", no drive, no separator of another kind.
bool staysInsideTheFolder(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.back() == '/') return false;
    if (name.find_first_of(std::string_view("\\:\0", 3)) != std::string_view::npos) return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string_view part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

std::uint32_t factoryChecksum(std::span<const std::uint8_t> bytes, std::uint32_t running) {
    uLong crc = running;
    // zlib takes lengths as 32-bit numbers.
    while (!bytes.empty()) {
        const auto piece = static_cast<uInt>(std::min<std::size_t>(bytes.size(), 1u << 30));
        crc = crc32(crc, bytes.data(), piece);
        bytes = bytes.subspan(piece);
    }
    return static_cast<std::uint32_t>(crc);
}

std::vector<std::uint8_t> packFactoryFiles(std::vector<FactoryFile> files) {
    std::sort(files.begin(), files.end(), [](const FactoryFile& a, const FactoryFile& b) { return a.name < b.name; });
    std::vector<std::uint8_t> index(std::begin(kMagic), std::end(kMagic));
    std::vector<std::uint8_t> contents;
    putU32(index, static_cast<std::uint32_t>(files.size()));
    for (const FactoryFile& file : files) {
        std::vector<std::uint8_t> compressed(compressBound(static_cast<uLong>(file.bytes.size())));
        uLongf compressedSize = static_cast<uLongf>(compressed.size());
        const bool pays = compress2(compressed.data(), &compressedSize, file.bytes.data(),
                                    static_cast<uLong>(file.bytes.size()), Z_BEST_COMPRESSION) == Z_OK &&
                          compressedSize < file.bytes.size();
        const std::span<const std::uint8_t> stored =
            pays ? std::span<const std::uint8_t>(compressed.data(), compressedSize) : file.bytes;
        putU16(index, static_cast<std::uint32_t>(file.name.size()));
        index.insert(index.end(), file.name.begin(), file.name.end());
        putU32(index, static_cast<std::uint32_t>(file.bytes.size()));
        putU32(index, factoryChecksum(file.bytes));
        putU32(index, static_cast<std::uint32_t>(stored.size()));
        index.push_back(pays ? kZlib : kStored);
        contents.insert(contents.end(), stored.begin(), stored.end());
    }
    index.insert(index.end(), contents.begin(), contents.end());
    return index;
}

FactoryPack::FactoryPack(std::span<const std::uint8_t> block) {
    Reader reader(block);
    const auto magic = reader.take(sizeof kMagic);
    if (!reader.ok() || std::memcmp(magic.data(), kMagic, sizeof kMagic) != 0) return;
    const std::uint32_t count = reader.u32();
    if (count > kMaxFiles) return;

    std::vector<Entry> entries;
    std::vector<std::uint32_t> storedSizes;
    for (std::uint32_t i = 0; i < count && reader.ok(); ++i) {
        Entry entry;
        const auto name = reader.take(reader.u16());
        entry.name.assign(name.begin(), name.end());
        entry.size = reader.u32();
        entry.checksum = reader.u32();
        storedSizes.push_back(reader.u32());
        const std::uint32_t storage = reader.u8();
        entry.compressed = storage == kZlib;
        if (!staysInsideTheFolder(entry.name) || entry.size > kMaxFileSize || storage > kZlib) return;
        if (!entry.compressed && storedSizes.back() != entry.size) return;
        entries.push_back(std::move(entry));
    }
    for (std::size_t i = 0; i < entries.size() && reader.ok(); ++i) entries[i].stored = reader.take(storedSizes[i]);
    if (!reader.ok() || reader.remaining() != 0) return;
    entries_ = std::move(entries);
}

std::optional<std::vector<std::uint8_t>> FactoryPack::unpack(const Entry& entry) {
    std::vector<std::uint8_t> bytes;
    if (entry.compressed) {
        bytes.resize(entry.size);
        uLongf size = entry.size;
        if (uncompress(bytes.data(), &size, entry.stored.data(), static_cast<uLong>(entry.stored.size())) != Z_OK ||
            size != entry.size)
            return std::nullopt;
    } else {
        bytes.assign(entry.stored.begin(), entry.stored.end());
    }
    if (bytes.size() != entry.size || factoryChecksum(bytes) != entry.checksum) return std::nullopt;
    return bytes;
}

}  // namespace tarvik
