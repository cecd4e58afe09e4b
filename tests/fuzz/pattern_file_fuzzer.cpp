// Imports each input as a Corvall pattern file into a pattern holding what
// no import writes, checks the reader's promises, then exports the result
// and imports that again: what came from a file must survive the trip, but
// for the one step the format cannot carry, the upper C without the up flag
// (a line naming no note after an octave-5 line), which comes back as C.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "patch/pattern_files.h"
#include "tests/fuzz/input_file.h"
#include "tests/fuzz/patch_invariants.h"

namespace {

using tarvik::fuzz::require;
using tarvik::kMaxSteps;
using tarvik::Pattern;

constexpr int kUpperC = 12;
constexpr std::uint8_t kImportedFlags = tarvik::step::kGate | tarvik::step::kUp | tarvik::step::kDown |
                                        tarvik::step::kSlide | tarvik::step::kAccent;

// Notes above the upper C and flag bits 5..7: any step an import wrote shows.
Pattern markedPattern() {
    Pattern p{};
    p.flags = 0xA5;
    p.timeMode = 1;
    p.reserved = 0x3C;
    p.length = 17;
    for (int i = 0; i < kMaxSteps; ++i) p.steps[i] = tarvik::Step{static_cast<std::uint8_t>(100 + i), 0xE0};
    return p;
}

bool sameStep(const tarvik::Step& a, const tarvik::Step& b) { return a.note == b.note && a.flags == b.flags; }

// The length is 1..64; below it every step is one the file gave (notes 0..12
// and the five flags of the format), except a length of 1 with nothing read;
// from it on, every step is as it was; the pattern's other bytes stay.
// Answers whether the file gave any step.
bool requirePromises(const Pattern& read, const Pattern& before) {
    require(read.length >= 1 && read.length <= kMaxSteps, "the length within 1..64");
    require(read.flags == before.flags && read.timeMode == before.timeMode && read.reserved == before.reserved,
            "only the steps and the length change");
    const bool imported = !sameStep(read.steps[0], before.steps[0]);
    require(imported || read.length == 1, "a pattern with no line read has length 1");
    for (int i = 0; i < kMaxSteps; ++i) {
        const tarvik::Step& s = read.steps[i];
        if (i >= read.length || !imported) {
            require(sameStep(s, before.steps[i]), "steps beyond the lines read keep their contents");
            continue;
        }
        require(s.note <= kUpperC, "notes 0..12 only");
        require((s.flags & ~kImportedFlags) == 0, "only the format's five flags");
    }
    return imported;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tarvik::fuzz::InputFile input;
    static const tarvik::fuzz::InputFile written;
    const Pattern before = markedPattern();

    Pattern read = before;
    require(tarvik::importCorvallPattern(read, input.holding(data, size)), "a regular file is always read");
    if (!requirePromises(read, before)) return 0;

    const std::string text = tarvik::corvallPatternText(read);
    Pattern again = before;
    require(tarvik::importCorvallPattern(again, written.holding(text.data(), text.size())), "the written file reads");
    Pattern expected = read;
    for (int i = 0; i < read.length; ++i) {
        tarvik::Step& s = expected.steps[i];
        if (s.note == kUpperC && !(s.flags & tarvik::step::kUp)) s.note = 0;
    }
    require(again.length == read.length, "the length comes back");
    require(std::memcmp(again.steps, expected.steps, sizeof expected.steps) == 0, "the imported steps come back");
    return 0;
}
