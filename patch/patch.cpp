#include "patch/patch.h"

#include <atomic>
#include <cstring>

namespace tarvik {

namespace {
constexpr std::uint8_t kNewPatternLength = 16;
constexpr std::int32_t kDefaultFilterMode = 3;
}  // namespace

TarvikPatch::TarvikPatch() {
    std::memset(&program, 0, sizeof program);
    std::memset(states, 0, sizeof states);
    std::memset(&cables, 0, sizeof cables);
    std::memset(patterns, 0, sizeof patterns);
    std::memset(&info, 0, sizeof info);

    std::strcpy(program.name, "Default");
    for (int i = 0; i < kNumParameters; ++i) program.parameters[i] = kParameterTable[static_cast<std::size_t>(i)].defaultValue;
    states[state::FilterMode] = kDefaultFilterMode;
    for (Pattern& p : patterns) p.length = kNewPatternLength;
    std::strcpy(info.path, "Tarvik Patch");
}

Step loadStep(const Step& live) { return std::atomic_ref<Step>(const_cast<Step&>(live)).load(std::memory_order_relaxed); }

std::uint8_t loadPatternByte(const std::uint8_t& live) {
    return std::atomic_ref<std::uint8_t>(const_cast<std::uint8_t&>(live)).load(std::memory_order_relaxed);
}

Pattern loadPattern(const Pattern& live) {
    Pattern copy;
    copy.flags = loadPatternByte(live.flags);
    copy.timeMode = loadPatternByte(live.timeMode);
    copy.reserved = loadPatternByte(live.reserved);
    copy.length = loadPatternByte(live.length);
    for (int i = 0; i < kMaxSteps; ++i) copy.steps[i] = loadStep(live.steps[i]);
    return copy;
}

void publishPattern(Pattern& live, const Pattern& edited) {
    const auto store = [](auto& word, auto value) {
        if (std::atomic_ref(word).load(std::memory_order_relaxed) != value)
            std::atomic_ref(word).store(value, std::memory_order_relaxed);
    };
    for (int i = 0; i < kMaxSteps; ++i) store(live.steps[i], edited.steps[i]);
    store(live.flags, edited.flags);
    store(live.timeMode, edited.timeMode);
    store(live.reserved, edited.reserved);
    store(live.length, edited.length);
}

// One writer: the version is odd while it writes. Every word of the list is
// stored releasing and loaded acquiring, so a reader that takes any word of
// a replacement also sees the odd version stored before it, and fails.
void TarvikPatch::publishCables(const CableList& list) {
    std::atomic_ref<std::uint32_t> version(cablesVersion_);
    const std::uint32_t before = version.load(std::memory_order_relaxed);
    version.store(before + 1, std::memory_order_relaxed);
    for (int i = 0; i < kMaxCables; ++i) {
        const Connection c = list.at(i);
        std::atomic_ref<std::int32_t>(cables.pairs[i].output).store(c.output, std::memory_order_release);
        std::atomic_ref<std::int32_t>(cables.pairs[i].input).store(c.input, std::memory_order_release);
    }
    cables.setSize(list.size());
    version.store(before + 2, std::memory_order_release);
}

bool TarvikPatch::readCables(CableList& list) const {
    const std::uint32_t before = cablesVersion();
    if (before % 2 != 0) return false;
    auto load = [](const std::int32_t& word) {
        return std::atomic_ref<std::int32_t>(const_cast<std::int32_t&>(word)).load(std::memory_order_acquire);
    };
    for (int i = 0; i < kMaxCables; ++i) list.set(i, {load(cables.pairs[i].output), load(cables.pairs[i].input)});
    list.setSize(cables.size());
    return std::atomic_ref<std::uint32_t>(const_cast<std::uint32_t&>(cablesVersion_)).load(std::memory_order_relaxed) ==
           before;
}

std::uint32_t TarvikPatch::cablesVersion() const {
    return std::atomic_ref<std::uint32_t>(const_cast<std::uint32_t&>(cablesVersion_)).load(std::memory_order_acquire);
}

}  // namespace tarvik
