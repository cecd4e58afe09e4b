// Wavetable data files: little-endian, no padding.
//
//   offset  size            field
//   0       4               magic, the ASCII bytes "tvkp"
//   4       4               levelCount, int32
//   8       4               tableCount, int32
//   12      levelCount      levelMap, one byte per period
//   ...     4 × tableCount  offsets, int32 each
//   ...     4 × tableCount  lengths, int32 each
//   ...     4 × Σ lengths   samples, float32 each
//
// The files come from the user's data folder and may be damaged or hostile:
// the reader checks everything the oscillators rely on before it accepts a
// table, and never reads past what it was given.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dsp/wavetable.h"

namespace tarvik {

// Limits far beyond any table the generator makes, so that a file cannot
// make the reader allocate without bound.
constexpr std::int32_t kMaxWavetableLevelCount = 1 << 20;
constexpr std::int32_t kMaxWavetableTableCount = 256;  // levelMap entries are bytes
constexpr std::int32_t kMaxWavetableLength = 1 << 20;
constexpr std::int64_t kMaxWavetableFileBytes = 64 << 20;

// True when the oscillators can read every level of the table safely: at
// least one period and one level, each levelMap entry names a level, each
// level has more than one sample and lies inside samples, samples holds
// exactly the sum of the lengths, every sample is finite, and every count is
// within the limits above.
bool isValidWavetable(const Wavetable& table);

std::vector<std::uint8_t> serializeWavetable(const Wavetable& table);

// Fills table from the bytes of a whole file and answers true, or answers
// false and leaves table as it was.
bool parseWavetable(std::span<const std::uint8_t> bytes, Wavetable& table);

// False, with table unchanged, when the file cannot be opened or read or is
// rejected by parseWavetable.
bool readWavetableFile(const std::string& path, Wavetable& table);

// Refuses (false, nothing written) a table that isValidWavetable rejects;
// false also when the file cannot be written completely.
bool writeWavetableFile(const std::string& path, const Wavetable& table);

}  // namespace tarvik
