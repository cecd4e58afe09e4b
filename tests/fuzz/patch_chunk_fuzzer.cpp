// Decodes each input as a chunk a host hands over from its project, checks
// the promises of the repaired patch, then saves and restores it: a project
// saved after loading a damaged chunk must bring back the very same patch.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "patch/patch_chunk.h"
#include "tests/fuzz/patch_invariants.h"

namespace {

using tarvik::TarvikPatch;
using tarvik::fuzz::require;

template <typename Region>
bool sameBytes(const Region& a, const Region& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool samePatch(const TarvikPatch& a, const TarvikPatch& b) {
    return sameBytes(a.program, b.program) && sameBytes(a.states, b.states) && sameBytes(a.cables, b.cables) &&
           sameBytes(a.patterns, b.patterns) && sameBytes(a.info, b.info);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TarvikPatch fresh;
    // Longer than any path the decoder gives, so it shows whether one was given.
    static const std::string untouched(sizeof(tarvik::PatchInfo::path) + 1, '?');

    TarvikPatch patch;
    std::string path = untouched;
    const bool delivered = tarvik::decodeChunk(patch, data, size, path);
    tarvik::fuzz::requireRepaired(patch);
    require(delivered || samePatch(patch, fresh), "a chunk that delivers nothing leaves the patch fresh");
    require(path == untouched || path == patch.info.path, "the path handed back is the patch's own");

    std::vector<unsigned char> saved(tarvik::kChunkSize);
    tarvik::encodeChunk(patch, saved.data());
    TarvikPatch restored;
    std::string restoredPath;
    require(tarvik::decodeChunk(restored, saved.data(), saved.size(), restoredPath), "a saved chunk delivers a patch");
    require(samePatch(restored, patch), "a saved chunk restores the same patch");
    require(restoredPath == patch.info.path, "a saved chunk hands back its path");
    return 0;
}
