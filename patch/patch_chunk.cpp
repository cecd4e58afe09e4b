#include "patch/patch_chunk.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "patch/patch_validation.h"

namespace tarvik {

namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kWordSize = 4;

enum BlockTag : std::int32_t {
    kPatternsTag = 257,
    kProgramTag = 258,
    kCablesTag = 259,
    kInfoTag = 260,
    kStatesTag = 261,
};

static_assert(5 * kHeaderSize + sizeof(TarvikPatch::patterns) + sizeof(ProgramRecord) + sizeof(TarvikPatch::states) +
                  sizeof(CableList) + sizeof(PatchInfo) ==
              kChunkSize);

std::uint32_t reversed(std::uint32_t word) {
    return (word >> 24) | ((word >> 8) & 0xFF00u) | ((word << 8) & 0xFF0000u) | (word << 24);
}

std::uint32_t readWord(const unsigned char* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

class ChunkWriter {
public:
    explicit ChunkWriter(unsigned char* out) : out_(out) {}

    void header(BlockTag tag, std::size_t size) {
        word(static_cast<std::uint32_t>(tag));
        word(static_cast<std::uint32_t>(size));
    }
    void bytes(const void* data, std::size_t size) {
        std::memcpy(out_, data, size);
        out_ += size;
    }
    void word(std::uint32_t value) {
        for (std::size_t i = 0; i < kWordSize; ++i) *out_++ = static_cast<unsigned char>(value >> (8 * i));
    }
    void integer(std::int32_t value) { word(static_cast<std::uint32_t>(value)); }
    void real(float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        word(bits);
    }

private:
    unsigned char* out_;
};

// Where a block's bytes go, and which of them are 32-bit numbers that a
// big-endian machine wrote in its own byte order.
struct Region {
    BlockTag tag;
    unsigned char* bytes;
    std::size_t size;
    std::size_t numbersBegin;
    std::size_t numbersEnd;
};

std::array<Region, 5> regionsOf(TarvikPatch& patch) {
    const auto bytesOf = [](auto& region) { return reinterpret_cast<unsigned char*>(&region); };
    return {{
        {kPatternsTag, bytesOf(patch.patterns), sizeof patch.patterns, 0, 0},
        {kProgramTag, bytesOf(patch.program), sizeof patch.program, sizeof patch.program.name, sizeof patch.program},
        {kStatesTag, bytesOf(patch.states), sizeof patch.states, 0, sizeof patch.states},
        {kCablesTag, bytesOf(patch.cables), sizeof patch.cables, 0, sizeof patch.cables},
        {kInfoTag, bytesOf(patch.info), sizeof patch.info, offsetof(PatchInfo, value),
         offsetof(PatchInfo, value) + sizeof patch.info.value},
    }};
}

const Region* regionFor(const std::array<Region, 5>& regions, std::uint32_t tag) {
    const auto found = std::find_if(regions.begin(), regions.end(),
                                    [tag](const Region& r) { return static_cast<std::uint32_t>(r.tag) == tag; });
    return found == regions.end() ? nullptr : &*found;
}

void reverseNumbers(const Region& region, std::size_t copied) {
    const std::size_t end = std::min(region.numbersEnd, copied);
    for (std::size_t at = region.numbersBegin; at + kWordSize <= end; at += kWordSize) {
        std::uint32_t word = 0;
        std::memcpy(&word, region.bytes + at, kWordSize);
        word = reversed(word);
        std::memcpy(region.bytes + at, &word, kWordSize);
    }
}

}  // namespace

void encodeChunk(const TarvikPatch& patch, unsigned char* out) {
    // Parameters, states and cables may change on other threads meanwhile;
    // each word is read the way those threads write it.
    ChunkWriter chunk(out);
    chunk.header(kPatternsTag, sizeof patch.patterns);
    chunk.bytes(patch.patterns, sizeof patch.patterns);

    chunk.header(kProgramTag, sizeof patch.program);
    chunk.bytes(patch.program.name, sizeof patch.program.name);
    for (int i = 0; i < kParameterRoom; ++i) chunk.real(patch.parameter(i));
    chunk.bytes(patch.program.reserved, sizeof patch.program.reserved);

    chunk.header(kStatesTag, sizeof patch.states);
    for (int i = 0; i < kStateRoom; ++i) chunk.integer(patch.state(i));

    chunk.header(kCablesTag, sizeof patch.cables);
    chunk.integer(patch.cables.size());
    for (int i = 0; i < kMaxCables; ++i) {
        const Connection cable = patch.cables.at(i);
        chunk.integer(cable.output);
        chunk.integer(cable.input);
    }

    chunk.header(kInfoTag, sizeof patch.info);
    chunk.bytes(&patch.info, sizeof patch.info);
}

bool decodeChunk(TarvikPatch& target, const unsigned char* data, std::size_t size, std::string& patchPath) {
    const std::array<Region, 5> regions = regionsOf(target);
    bool delivered = false;
    bool pathFound = false;
    std::size_t position = 0;
    while (size - position >= kHeaderSize) {
        const std::uint32_t tag = readWord(data + position);
        std::uint32_t declared = readWord(data + position + kWordSize);
        const Region* region = regionFor(regions, tag);
        const bool bigEndian = !region && (region = regionFor(regions, reversed(tag))) != nullptr;
        if (bigEndian) declared = reversed(declared);
        if (static_cast<std::int32_t>(declared) < 0) break;

        const std::size_t dataStart = position + kHeaderSize;
        const std::size_t present = std::min<std::size_t>(declared, size - dataStart);
        if (region) {
            const std::size_t copied = std::min(present, region->size);
            std::memcpy(region->bytes, data + dataStart, copied);
            if (bigEndian) reverseNumbers(*region, copied);
            delivered = delivered || copied > 0;
            pathFound = pathFound || region->tag == kInfoTag;
        }
        if (present < declared) break;
        position = dataStart + present;
    }
    repairPatch(target);
    if (pathFound) patchPath = target.info.path;
    return delivered;
}

}  // namespace tarvik
