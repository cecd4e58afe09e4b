// Cost of the filter in each mode: 256-frame blocks at 44.1 kHz of a bright
// saw-like input, the cutoff swept down by a decaying envelope on every
// sixteenth note, resonance 0.7.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "dsp/filter.h"

namespace {

constexpr double kSampleRate = 44100.0;
constexpr int kBlockFrames = 256;
constexpr int kBlocks = 64;  // the signals repeat after this many blocks
constexpr float kResonance = 0.7f;

struct ModeCase {
    std::int32_t mode;
    const char* label;
};

constexpr ModeCase kModes[] = {
    {tarvik::Filter::kTb303LowPass24, "303 LP 24dB"},     {tarvik::Filter::kTb303LowPass18, "303 LP 18dB"},
    {tarvik::Filter::kLowPass18, "202 LP 18dB"},          {tarvik::Filter::kLowPass24Saturated, "LP 24dB"},
    {tarvik::Filter::kBandPassEuler, "BP Euler"},         {tarvik::Filter::kLowPass24Oversampled, "LP 24dB 2x"},
    {tarvik::Filter::kHighPass, "HP"},                    {tarvik::Filter::kBandStop, "BS"},
    {tarvik::Filter::kHighToLowMorph, "HP->LP"},          {tarvik::Filter::kBandToLowMorph, "BP->LP"},
    {tarvik::Filter::kLowPass4Pole, "LP 4-Pole"},         {tarvik::Filter::kBandPass4Pole, "BP 4-Pole"},
    {tarvik::Filter::kHighPass4Pole, "HP 4-Pole"},        {tarvik::Filter::kHighToLowMorph4Pole, "HP->LP 4-Pole"},
    {tarvik::Filter::kLowToHighMorph4Pole, "LP->HP 4-Pole"},
};

void BM_Filter(benchmark::State& state, ModeCase mode) {
    constexpr int kTotal = kBlocks * kBlockFrames;
    const int stepFrames = static_cast<int>(kSampleRate * 0.125);  // sixteenth notes at 120 BPM
    std::vector<float> audio(kTotal), cutoff(kTotal);
    for (int i = 0; i < kTotal; ++i) {
        const double phase = std::fmod(i * 55.0 / kSampleRate, 1.0);
        audio[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * (2.0 * phase - 1.0));
        const double sinceStep = (i % stepFrames) / kSampleRate;
        cutoff[static_cast<std::size_t>(i)] = static_cast<float>(0.25 + 0.6 * std::exp(-sinceStep / 0.05));
    }
    std::vector<float> scratch(4 * kBlockFrames), resonance(kBlockFrames, kResonance), out(kBlockFrames);

    tarvik::Filter filter;
    filter.mode = mode.mode;
    filter.resonance = kResonance;
    for (int s = 0; s < 4; ++s) filter.inputs[static_cast<std::size_t>(2 + s)] = scratch.data() + s * kBlockFrames;
    filter.inputs[6] = resonance.data();
    filter.outputs[0] = out.data();

    int block = 0;
    for (auto _ : state) {
        // The filter never writes its audio or cutoff inputs: point into the
        // long signals instead of copying.
        const std::size_t offset = static_cast<std::size_t>(block) * kBlockFrames;
        filter.inputs[0] = audio.data() + offset;
        filter.inputs[1] = cutoff.data() + offset;
        filter.process(kBlockFrames);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
        block = (block + 1) % kBlocks;
    }
    const double samples = static_cast<double>(state.iterations()) * kBlockFrames;
    state.SetLabel(mode.label);
    state.counters["ns_per_sample"] =
        benchmark::Counter(samples * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["realtime_x"] = benchmark::Counter(samples / kSampleRate, benchmark::Counter::kIsRate);
}

[[maybe_unused]] const bool kRegistered = [] {
    for (const ModeCase& mode : kModes) {
        benchmark::RegisterBenchmark(("BM_Filter/mode:" + std::to_string(mode.mode)).c_str(), BM_Filter, mode);
    }
    return true;
}();

}  // namespace
