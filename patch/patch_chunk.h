// The patch as the host stores it in its project (effGetChunk/effSetChunk):
// five blocks, each an 8-byte header (tag, data size; signed 32-bit,
// little-endian) followed by the region's bytes, in the order patterns (257),
// program record (258), states (261), cables (259), patch information
// (260). Chunks from big-endian machines carry the tags byte-reversed.
#pragma once

#include <cstddef>
#include <string>

#include "patch/patch.h"

namespace tarvik {

constexpr std::size_t kChunkSize = 25112;

// Writes exactly kChunkSize bytes. The chunk carries info.path, so the caller
// copies its current patch path there first.
void encodeChunk(const TarvikPatch& patch, unsigned char* out);

// Fills target, which must be a fresh patch, from the blocks of a chunk and
// repairs it (patch_validation.h). Never reads outside data[0, size): the walk
// ends at a truncated header, a negative size or a block running past the
// data (whose present bytes are still taken); a block larger than its region
// fills the region and the rest is skipped; unknown tags are skipped by their
// size. When a patch-information block was read, patchPath receives its path
// (at most 258 characters); otherwise patchPath is left alone.
// Answers true when at least one known block delivered data; false means the
// bytes held nothing of a patch and target is still fresh.
bool decodeChunk(TarvikPatch& target, const unsigned char* data, std::size_t size, std::string& patchPath);

}  // namespace tarvik
