#include "dsp/wavetable_set.h"

#include <array>

#include "dsp/wavetable_file.h"

namespace tarvik {

namespace {

constexpr std::array<Wavetable WavetableSet::*, kWavetableKindCount> kMembers = {
    &WavetableSet::saw, &WavetableSet::square, &WavetableSet::triangle, &WavetableSet::modSaw,
    &WavetableSet::modSquare};

constexpr std::array<const char*, kWavetableKindCount> kFileNames = {"wtsaw.dat", "wtsquare.dat", "wttri.dat",
                                                                     "mgsaw.dat", "mgsqu.dat"};

}  // namespace

const Wavetable& WavetableSet::operator[](WavetableKind kind) const {
    return this->*kMembers[static_cast<std::size_t>(kind)];
}

Wavetable& WavetableSet::operator[](WavetableKind kind) { return this->*kMembers[static_cast<std::size_t>(kind)]; }

const char* wavetableFileName(WavetableKind kind) { return kFileNames[static_cast<std::size_t>(kind)]; }

WavetableSet loadWavetables(const std::string& folder) {
    WavetableSet set;
    for (int i = 0; i < kWavetableKindCount; ++i) {
        const auto kind = static_cast<WavetableKind>(i);
        const bool loaded = !folder.empty() && readWavetableFile(folder + wavetableFileName(kind), set[kind]);
        if (!loaded) set[kind] = generateWavetable(kind);
    }
    return set;
}

const WavetableSet& sharedWavetables(const std::string& folder) {
    // A function-local static: the language runs its initialiser exactly
    // once, and every other caller waits until it has finished.
    static const WavetableSet set = loadWavetables(folder);
    return set;
}

}  // namespace tarvik
