// Oscillator cost per oversampled sample for each model and waveform, as the
// render loop runs it: blocks of 256 frames at 44.1 kHz, 512 samples at twice
// the rate, with the phase and period scratch wired. Also the time to build
// the five wavetable sets when their files are missing.
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "dsp/oscillator.h"
#include "dsp/wavetable_generator.h"
#include "dsp/wavetable_set.h"

namespace {

using tarvik::Oscillator;

constexpr double kSampleRate = 44100.0;
constexpr int kBlockFrames = 256;
constexpr int kBlockSamples = 2 * kBlockFrames;

const tarvik::WavetableSet& tables() {
    static const tarvik::WavetableSet set = tarvik::loadWavetables("");
    return set;
}

void runOscillator(benchmark::State& state, int waveform, bool wavetables) {
    std::array<float, kBlockFrames> frequency{};
    std::array<float, kBlockFrames> width{};
    std::array<float, kBlockSamples> audio{};
    std::array<float, kBlockSamples> phases{};
    std::array<float, kBlockSamples> periods{};
    // A bass note with a slight glide, so the wavetable level and the
    // differentiator's period change as they do in play.
    for (int f = 0; f < kBlockFrames; ++f) {
        frequency[static_cast<std::size_t>(f)] = 110.0f + 0.1f * static_cast<float>(f);
        width[static_cast<std::size_t>(f)] = 0.3f;
    }
    Oscillator osc;
    osc.setSampleRate(kSampleRate);
    osc.sawTable = &tables().saw;
    osc.squareTable = &tables().square;
    osc.triangleTable = &tables().triangle;
    osc.useWavetables = wavetables;
    osc.boost = wavetables ? 0.5f : 0.0f;
    osc.waveform = waveform;
    osc.resetWaveform();
    osc.inputs[0] = frequency.data();
    osc.setPulseWidthInput(width.data());
    osc.outputs[0] = audio.data();
    osc.outputs[2] = phases.data();
    osc.outputs[3] = periods.data();
    for (auto _ : state) {
        osc.process(kBlockSamples);
        benchmark::DoNotOptimize(audio.data());
        benchmark::ClobberMemory();
    }
    const auto blocks = static_cast<double>(state.iterations());
    // Samples per second, inverted: seconds per sample, shown in ns.
    state.counters["ns_per_sample"] =
        benchmark::Counter(blocks * kBlockSamples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["realtime_x"] = benchmark::Counter(blocks * kBlockFrames / kSampleRate, benchmark::Counter::kIsRate);
}

[[maybe_unused]] const bool kRegistered = [] {
    const char* const waves[] = {"saw", "square", "pulse", "triangle", "sine"};
    for (const bool wavetables : {false, true}) {
        for (int waveform = Oscillator::kSaw; waveform <= Oscillator::kSine; ++waveform) {
            const std::string name =
                std::string("BM_Oscillator/") + (wavetables ? "wavetable/" : "computed/") + waves[waveform];
            benchmark::RegisterBenchmark(name.c_str(), runOscillator, waveform, wavetables);
        }
    }
    return true;
}();

void BM_GenerateAllWavetables(benchmark::State& state) {
    for (auto _ : state) {
        for (int kind = 0; kind < tarvik::kWavetableKindCount; ++kind) {
            tarvik::Wavetable table = tarvik::generateWavetable(static_cast<tarvik::WavetableKind>(kind));
            benchmark::DoNotOptimize(table.samples.data());
        }
    }
}
BENCHMARK(BM_GenerateAllWavetables)->Unit(benchmark::kMillisecond);

}  // namespace
