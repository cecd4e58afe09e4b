#include "dsp/wavetable_file.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>

namespace tarvik {

namespace {

constexpr char kMagic[4] = {'t', 'v', 'k', 'p'};
constexpr std::size_t kHeaderBytes = 12;

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t getU32(const std::uint8_t* in) {
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

std::int32_t getI32(const std::uint8_t* in) { return static_cast<std::int32_t>(getU32(in)); }

}  // namespace

bool isValidWavetable(const Wavetable& table) {
    const auto levelCount = table.levelMap.size();
    const auto tableCount = table.lengths.size();
    if (levelCount < 1 || levelCount > static_cast<std::size_t>(kMaxWavetableLevelCount)) return false;
    if (tableCount < 1 || tableCount > static_cast<std::size_t>(kMaxWavetableTableCount)) return false;
    if (table.offsets.size() != tableCount) return false;
    for (const std::uint8_t level : table.levelMap)
        if (level >= tableCount) return false;
    std::int64_t total = 0;
    for (const std::int32_t length : table.lengths) {
        if (length < 2 || length > kMaxWavetableLength) return false;
        total += length;
    }
    if (static_cast<std::int64_t>(table.samples.size()) != total) return false;
    for (std::size_t i = 0; i < tableCount; ++i) {
        const std::int64_t offset = table.offsets[i];
        if (offset < 0 || offset + table.lengths[i] > total) return false;
    }
    return std::all_of(table.samples.begin(), table.samples.end(), [](float x) { return std::isfinite(x); });
}

std::vector<std::uint8_t> serializeWavetable(const Wavetable& table) {
    std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
    out.reserve(kHeaderBytes + table.levelMap.size() + 8 * table.lengths.size() + 4 * table.samples.size());
    putU32(out, static_cast<std::uint32_t>(table.levelMap.size()));
    putU32(out, static_cast<std::uint32_t>(table.lengths.size()));
    out.insert(out.end(), table.levelMap.begin(), table.levelMap.end());
    for (const std::int32_t offset : table.offsets) putU32(out, static_cast<std::uint32_t>(offset));
    for (const std::int32_t length : table.lengths) putU32(out, static_cast<std::uint32_t>(length));
    for (const float sample : table.samples) putU32(out, std::bit_cast<std::uint32_t>(sample));
    return out;
}

bool parseWavetable(std::span<const std::uint8_t> bytes, Wavetable& table) {
    if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return false;
    const std::int32_t levelCount = getI32(bytes.data() + 4);
    const std::int32_t tableCount = getI32(bytes.data() + 8);
    if (levelCount < 1 || levelCount > kMaxWavetableLevelCount) return false;
    if (tableCount < 1 || tableCount > kMaxWavetableTableCount) return false;
    // Every size is known from the counts and the lengths before a sample is
    // read, so a file that is short or too long is refused before any copy.
    const auto levels = static_cast<std::size_t>(levelCount);
    const auto tables = static_cast<std::size_t>(tableCount);
    const std::size_t offsetsAt = kHeaderBytes + levels;
    const std::size_t lengthsAt = offsetsAt + 4 * tables;
    const std::size_t samplesAt = lengthsAt + 4 * tables;
    if (bytes.size() < samplesAt) return false;
    std::int64_t sampleCount = 0;
    for (std::size_t i = 0; i < tables; ++i) {
        const std::int32_t length = getI32(bytes.data() + lengthsAt + 4 * i);
        if (length < 2 || length > kMaxWavetableLength) return false;
        sampleCount += length;
    }
    if (static_cast<std::int64_t>(bytes.size() - samplesAt) != 4 * sampleCount) return false;

    Wavetable parsed;
    parsed.levelMap.assign(bytes.begin() + static_cast<std::ptrdiff_t>(kHeaderBytes),
                           bytes.begin() + static_cast<std::ptrdiff_t>(offsetsAt));
    parsed.offsets.resize(tables);
    parsed.lengths.resize(tables);
    for (std::size_t i = 0; i < tables; ++i) {
        parsed.offsets[i] = getI32(bytes.data() + offsetsAt + 4 * i);
        parsed.lengths[i] = getI32(bytes.data() + lengthsAt + 4 * i);
    }
    parsed.samples.resize(static_cast<std::size_t>(sampleCount));
    for (std::size_t i = 0; i < parsed.samples.size(); ++i)
        parsed.samples[i] = std::bit_cast<float>(getU32(bytes.data() + samplesAt + 4 * i));
    if (!isValidWavetable(parsed)) return false;
    table = std::move(parsed);
    return true;
}

bool readWavetableFile(const std::string& path, Wavetable& table) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamoff size = file.tellg();
    if (size < 0 || size > kMaxWavetableFileBytes) return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) return false;
    return parseWavetable(bytes, table);
}

bool writeWavetableFile(const std::string& path, const Wavetable& table) {
    if (!isValidWavetable(table)) return false;
    const std::vector<std::uint8_t> bytes = serializeWavetable(table);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

}  // namespace tarvik
