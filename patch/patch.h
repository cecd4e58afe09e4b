// Everything that makes up a sound and its sequence, laid out exactly as the
// five blocks of a host chunk so that saving and restoring is a copy.
//
// The current patch is shared: the control side (the editor and the host's
// calls) changes it while the audio thread plays it, and no lock is ever
// taken. Each kind of data has one way of being read and written live:
// - parameters and states: one aligned 32-bit word each, loaded and stored
//   atomically, so a reader sees the old or the new value;
// - patterns: a step (note and flags together) and each header byte are
//   loaded and stored atomically; an edit is published as a changed copy
//   (publishPattern), so a step is never heard half written;
// - cables: the list is replaced as a whole (publishCables) and read
//   as a whole (readCables), so a block never routes a mixture of two
//   lists.
// A patch that is not shared yet (being read from a file or a chunk) is
// plain data.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

#include "dsp/cable.h"
#include "patch/parameters.h"

namespace tarvik {

static_assert(std::endian::native == std::endian::little, "the chunk layout is little-endian");

struct ProgramRecord {
    char name[24];
    float parameters[kParameterRoom];
    std::uint8_t reserved[5224];
};
static_assert(sizeof(ProgramRecord) == 5760);

// Aligned as one 16-bit word, so that a step is loaded and stored whole.
struct alignas(2) Step {
    std::uint8_t note;  // semitones above the sequencer's base C
    std::uint8_t flags;

    friend bool operator==(const Step&, const Step&) = default;
};

namespace step {
constexpr std::uint8_t kGate = 1 << 0;
constexpr std::uint8_t kUp = 1 << 1;
constexpr std::uint8_t kDown = 1 << 2;
constexpr std::uint8_t kSlide = 1 << 3;
constexpr std::uint8_t kAccent = 1 << 4;
constexpr std::uint8_t kTie = 1 << 5;
}  // namespace step

constexpr int kMaxSteps = 64;
constexpr int kNumPatterns = 128;
constexpr std::uint8_t kTripletFlag = 0x80;

struct Pattern {
    std::uint8_t flags;  // bit 7: triplet; the other bits are carried unchanged
    std::uint8_t timeMode;
    std::uint8_t reserved;
    std::uint8_t length;
    Step steps[kMaxSteps];

    friend bool operator==(const Pattern&, const Pattern&) = default;
};
static_assert(sizeof(Pattern) == 132);
static_assert(std::atomic_ref<Step>::is_always_lock_free);

// A live pattern's step and header bytes, read as the sequencer reads them.
Step loadStep(const Step& live);
std::uint8_t loadPatternByte(const std::uint8_t& live);
// A copy of a live pattern, each step and byte read whole.
Pattern loadPattern(const Pattern& live);
// Makes an edited copy of a pattern live: the changed steps first, then the
// header (its length last), so that a longer pattern never plays steps it
// has not got yet. Only the control side's one writer calls it.
void publishPattern(Pattern& live, const Pattern& edited);

struct PatchInfo {
    char text[1024];
    std::int32_t value;  // carried unchanged
    std::uint8_t showOnLoad;
    char path[259];
};
static_assert(sizeof(PatchInfo) == 1288);

class TarvikPatch {
public:
    TarvikPatch();  // a fresh patch: default parameters and states, new patterns

    float parameter(int index) const { return load(program.parameters[index], std::memory_order_relaxed); }
    void setParameter(int index, float value) { store(program.parameters[index], value, std::memory_order_relaxed); }
    // States publish what was written before them: a sequencer reset
    // requested before RunStop becomes 1 is seen by whoever sees the 1.
    std::int32_t state(int index) const { return load(states[index], std::memory_order_acquire); }
    void setState(int index, std::int32_t value) { store(states[index], value, std::memory_order_release); }

    // Replaces the cables as a whole; only the control side's one writer
    // calls it. A reader that overlaps it sees its list fail to read, never
    // a list that is partly old and partly new.
    void publishCables(const CableList& list);
    // A consistent copy of the cables into `list`: false, with `list`
    // partly written, while a replacement is under way. Lock-free; the audio
    // thread keeps routing the last list it read until this succeeds.
    bool readCables(CableList& list) const;
    // Changes with every replacement: a reader that saw this number has
    // nothing new to read.
    std::uint32_t cablesVersion() const;

    ProgramRecord program;
    std::int32_t states[kStateRoom];
    CableList cables;
    Pattern patterns[kNumPatterns];
    PatchInfo info;

private:
    // Odd while publishCables writes: a sequence lock of one writer.
    std::uint32_t cablesVersion_ = 0;

    template <typename T>
    static T load(const T& word, std::memory_order order) {
        return std::atomic_ref<T>(const_cast<T&>(word)).load(order);
    }
    template <typename T>
    static void store(T& word, T value, std::memory_order order) {
        std::atomic_ref<T>(word).store(value, order);
    }
};

}  // namespace tarvik
