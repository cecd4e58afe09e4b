// Real-time factors of the whole plug-in: seconds of audio rendered per
// second of CPU, measured through processReplacing of the built binary.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tools/host/hosted_plugin.h"

namespace {

constexpr double kSampleRate = 44100.0;
constexpr int kBlockFrames = 256;

using tarvik::host::HostedPlugin;
using tarvik::host::TimedMidi;

// A note on every beat and controller moves in between, as a bass line sends.
std::vector<TimedMidi> beatEvents(long block) {
    std::vector<TimedMidi> events;
    const long beatBlocks = static_cast<long>(kSampleRate * 0.5 / kBlockFrames);
    const auto key = static_cast<std::uint8_t>(36 + block / beatBlocks % 12);
    if (block % beatBlocks == 0) events.push_back({0, {0x90, key, 100}});
    if (block % beatBlocks == beatBlocks / 2) events.push_back({10, {0x80, key, 0}});
    if (block % 4 == 0) events.push_back({100, {0xB0, 74, static_cast<std::uint8_t>(block % 128)}});
    return events;
}

void BM_PluginBlocksWithEvents(benchmark::State& state) {
    ::setenv("TARVIK_DATA_DIR", "/nonexistent-tarvik-bench", 1);
    tarvik::host::HostSettings settings;
    settings.sampleRate = kSampleRate;
    settings.blockSize = kBlockFrames;
    HostedPlugin host(settings);
    std::string error;
    if (!host.load(TARVIK_PLUGIN_PATH, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    host.start();
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    float* out[2] = {left.data(), right.data()};
    long block = 0;
    for (auto _ : state) {
        state.PauseTiming();
        host.sendEvents(beatEvents(block++));
        state.ResumeTiming();
        host.process(nullptr, out, kBlockFrames);
        benchmark::DoNotOptimize(left.data());
    }
    const double audioSeconds = static_cast<double>(state.iterations()) * kBlockFrames / kSampleRate;
    state.counters["realtime_x"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PluginBlocksWithEvents);

}  // namespace
