#include "tests/fuzz/patch_invariants.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dsp/socket_table.h"

namespace tarvik::fuzz {

namespace {

constexpr int kMaxTimeMode = 3;

bool hasDirection(int socket, SocketDirection direction) {
    return socket >= 0 && socket < kNumSockets &&
           kSocketDefinitions[static_cast<std::size_t>(socket)].direction == direction;
}

template <std::size_t N>
bool terminated(const char (&text)[N]) {
    return std::memchr(text, 0, N) != nullptr;
}

// The raw count, not size(): size() clamps, and would hide a count the
// repair left out of range.
void requireCables(const CableList& cables) {
    require(cables.count >= 0 && cables.count <= kMaxCables, "cable count within 0..128");
    std::array<bool, kNumSockets> fed{};
    for (int i = 0; i < cables.count; ++i) {
        const Connection cable = cables.at(i);
        require(hasDirection(cable.output, kSocketOutput), "every cable starts at a registered output");
        require(hasDirection(cable.input, kSocketInput), "every cable ends at a registered input");
        bool& inputFed = fed[static_cast<std::size_t>(cable.input)];
        require(!inputFed, "at most one cable into each input");
        inputFed = true;
    }
    for (int i = cables.count; i < kMaxCables; ++i)
        require(cables.at(i) == Connection{0, 0}, "unused cable pairs are zero");
}

}  // namespace

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

void requireRepaired(const TarvikPatch& patch) {
    requireCables(patch.cables);
    const int current = patch.state(state::CurrentPattern);
    require(current >= 0 && current < kNumPatterns, "CurrentPattern within 0..127");
    for (const Pattern& pattern : patch.patterns) {
        require(pattern.length >= 1 && pattern.length <= kMaxSteps, "every pattern length within 1..64");
        require(pattern.timeMode <= kMaxTimeMode, "every time mode within 0..3");
    }
    for (int i = 0; i < kParameterRoom; ++i) require(std::isfinite(patch.parameter(i)), "every parameter finite");
    require(terminated(patch.program.name), "program name ends within its room");
    require(terminated(patch.info.text), "patch text ends within its room");
    require(terminated(patch.info.path), "patch path ends within its room");
}

}  // namespace tarvik::fuzz
