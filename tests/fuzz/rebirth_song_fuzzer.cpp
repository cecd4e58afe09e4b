// Reads each input as a ReBirth song and puts it into a patch whose patterns
// hold what no import writes, then checks the reader's promises: lengths in
// 1..64, steps only from the file's own (note, flag) byte pairs, nothing
// beyond the steps a pattern announces, and nothing outside patterns 0..63
// and the pattern selection.
#include <bitset>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "patch/pattern_files.h"
#include "tests/fuzz/input_file.h"
#include "tests/fuzz/patch_invariants.h"

namespace {

using tarvik::fuzz::require;
using tarvik::kMaxSteps;
using tarvik::Step;
using tarvik::TarvikPatch;

constexpr int kMarkedSelection = 99;

void markPatterns(TarvikPatch& patch) {
    for (int p = 0; p < tarvik::kNumPatterns; ++p) {
        tarvik::Pattern& pattern = patch.patterns[p];
        pattern.flags = 0x42;
        pattern.timeMode = 3;
        pattern.length = 9;
        for (int i = 0; i < kMaxSteps; ++i) pattern.steps[i] = Step{static_cast<std::uint8_t>(i), 0xE0};
    }
    patch.setState(tarvik::state::CurrentPattern, kMarkedSelection);
}

// A unit's flag byte, from the step flags it gives (bits 5..7 of the byte are
// not carried, so they are left 0).
unsigned unitFlags(std::uint8_t flags) {
    unsigned byte = 0;
    if (!(flags & tarvik::step::kGate)) byte |= 0x10;
    if (flags & tarvik::step::kUp) byte |= 0x04;
    if (flags & tarvik::step::kDown) byte |= 0x08;
    if (flags & tarvik::step::kSlide) byte |= 0x01;
    if (flags & tarvik::step::kAccent) byte |= 0x02;
    return byte;
}

// Every (note byte, low five bits of the next byte) the input holds.
using PairSet = std::bitset<256 * 32>;

std::unique_ptr<PairSet> pairsIn(const std::uint8_t* data, std::size_t size) {
    auto pairs = std::make_unique<PairSet>();
    for (std::size_t i = 0; i + 1 < size; ++i) pairs->set(data[i] * 32u + (data[i + 1] & 0x1Fu));
    return pairs;
}

void requirePromises(const tarvik::SongImport& song, const TarvikPatch& patch, const TarvikPatch& before,
                     const PairSet& pairs) {
    require(song.currentPattern >= 0 && song.currentPattern < tarvik::kNumPatterns, "the selection within the bank");
    require(patch.state(tarvik::state::CurrentPattern) == song.currentPattern, "the song's pattern is selected");
    for (const tarvik::SongParameter& parameter : song.parameters)
        require(std::isfinite(parameter.value) && parameter.value >= 0.0f && parameter.value <= 1.0f,
                "sound parameters within 0..1");
    for (int p = 0; p < tarvik::kNumPatterns; ++p) {
        const tarvik::Pattern& pattern = patch.patterns[p];
        const tarvik::Pattern& was = before.patterns[p];
        require(pattern.flags == was.flags && pattern.timeMode == was.timeMode, "only lengths and steps change");
        const bool present = p < tarvik::kSongPatterns && song.patterns[static_cast<std::size_t>(p)].present;
        if (!present) {
            require(std::memcmp(&pattern, &was, sizeof pattern) == 0, "patterns the song lacks stay as they were");
            continue;
        }
        const int steps = song.patterns[static_cast<std::size_t>(p)].stepCount;
        require(pattern.length >= 1 && pattern.length <= kMaxSteps, "the length within 1..64");
        require(steps >= 0 && steps <= pattern.length, "no more steps than the length announces");
        for (int i = 0; i < kMaxSteps; ++i) {
            const Step& s = pattern.steps[i];
            if (i >= steps) {
                require(s.note == was.steps[i].note && s.flags == was.steps[i].flags,
                        "steps beyond those read keep their contents");
                continue;
            }
            require((s.flags & 0xE0) == 0, "flag bits 5..7 are never set");
            require(pairs.test(s.note * 32u + unitFlags(s.flags)), "a step comes from a byte pair of the file");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tarvik::fuzz::InputFile input;
    static const auto before = [] {
        auto patch = std::make_unique<TarvikPatch>();
        markPatterns(*patch);
        return patch;
    }();

    tarvik::SongImport song;
    song.currentPattern = kMarkedSelection;
    if (!tarvik::readRebirthSong(input.holding(data, size), song)) {
        require(song.currentPattern == kMarkedSelection, "a song that is not read leaves the record alone");
        return 0;
    }
    auto patch = std::make_unique<TarvikPatch>(*before);
    tarvik::applyRebirthPatterns(song, *patch);
    requirePromises(song, *patch, *before, *pairsIn(data, size));
    return 0;
}
