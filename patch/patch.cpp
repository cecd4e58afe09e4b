#include "patch/patch.h"

#include <cstring>

namespace tarvik {

namespace {
constexpr std::uint8_t kNewPatternLength = 16;
constexpr std::int32_t kDefaultFilterMode = 3;
}  // namespace

TarvikPatch::TarvikPatch() {
    std::memset(&program, 0, sizeof program);
    std::memset(states, 0, sizeof states);
    std::memset(&connections, 0, sizeof connections);
    std::memset(patterns, 0, sizeof patterns);
    std::memset(&info, 0, sizeof info);

    std::strcpy(program.name, "Default");
    for (int i = 0; i < kNumParameters; ++i) program.parameters[i] = kParameterTable[static_cast<std::size_t>(i)].defaultValue;
    states[state::FilterMode] = kDefaultFilterMode;
    for (Pattern& p : patterns) p.length = kNewPatternLength;
    std::strcpy(info.path, "Tarvik Patch");
}

}  // namespace tarvik
