#include "patch/patch_validation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "dsp/socket_table.h"

namespace tarvik {

namespace {

constexpr std::uint8_t kRepairedLength = 16;
constexpr std::uint8_t kMaxTimeMode = 3;

bool hasDirection(int socket, SocketDirection direction) {
    return socket >= 0 && socket < kNumSockets &&
           kSocketDefinitions[static_cast<std::size_t>(socket)].direction == direction;
}

// The render loop points each input at exactly one output; a second cable into
// an input, or a cable with a wrong or unknown end, would be undefined routing.
void repairCables(CableList& cables) {
    std::array<bool, kNumSockets> fed{};
    int kept = 0;
    for (int i = 0; i < cables.size(); ++i) {
        const Connection cable = cables.at(i);
        if (!hasDirection(cable.output, kSocketOutput) || !hasDirection(cable.input, kSocketInput)) continue;
        bool& inputFed = fed[static_cast<std::size_t>(cable.input)];
        if (inputFed) continue;
        inputFed = true;
        cables.set(kept++, cable);
    }
    for (int i = kept; i < kMaxCables; ++i) cables.set(i, {0, 0});
    cables.setSize(kept);
}

// A length the sequencer cannot play becomes a plain sixteen-step run of
// gated notes, so that a damaged pattern is audible as such.
void repairPattern(Pattern& pattern) {
    if (pattern.length == 0 || pattern.length > kMaxSteps) {
        pattern.flags &= static_cast<std::uint8_t>(~kTripletFlag);
        pattern.length = kRepairedLength;
        for (int i = 0; i < kRepairedLength; ++i) pattern.steps[i] = {0, step::kGate};
    }
    if (pattern.timeMode > kMaxTimeMode) pattern.timeMode = 0;
}

void repairParameters(TarvikPatch& patch) {
    for (int i = 0; i < kParameterRoom; ++i) {
        if (std::isfinite(patch.parameter(i))) continue;
        patch.setParameter(i, i < kNumParameters ? kParameterTable[static_cast<std::size_t>(i)].defaultValue : 0.0f);
    }
}

template <std::size_t N>
void terminate(char (&text)[N]) {
    if (!std::memchr(text, 0, N)) text[N - 1] = 0;
}

}  // namespace

void repairPatch(TarvikPatch& patch) {
    repairCables(patch.cables);
    patch.setState(state::CurrentPattern, std::clamp(patch.state(state::CurrentPattern), 0, kNumPatterns - 1));
    for (Pattern& pattern : patch.patterns) repairPattern(pattern);
    repairParameters(patch);
    terminate(patch.program.name);
    terminate(patch.info.text);
    terminate(patch.info.path);
}

}  // namespace tarvik
