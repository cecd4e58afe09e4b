// Everything that makes up a sound and its sequence, laid out exactly as the
// five blocks of a host chunk so that saving and restoring is a copy.
//
// The editor and the host write parameters and states while the audio thread
// reads them; each value is one aligned 32-bit word accessed atomically
// (relaxed), so a reader sees either the old or the new value and no lock is
// ever taken.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

#include "dsp/connection.h"
#include "patch/parameters.h"

namespace tarvik {

static_assert(std::endian::native == std::endian::little, "the chunk layout is little-endian");

struct ProgramRecord {
    char name[24];
    float parameters[kParameterRoom];
    std::uint8_t reserved[5224];
};
static_assert(sizeof(ProgramRecord) == 5760);

struct Step {
    std::uint8_t note;  // semitones above the sequencer's base C
    std::uint8_t flags;
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
};
static_assert(sizeof(Pattern) == 132);

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

    ProgramRecord program;
    std::int32_t states[kStateRoom];
    ConnectionList connections;
    Pattern patterns[kNumPatterns];
    PatchInfo info;

private:
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
