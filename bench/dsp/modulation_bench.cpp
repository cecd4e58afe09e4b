// Modulation generator per wave and noise generator, one host block per
// iteration.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "bench/dsp/block_bench.h"
#include "dsp/mod_gen.h"
#include "dsp/noise_osc.h"
#include "dsp/wavetable.h"

namespace {

using tarvik::bench::kBlockFrames;
using tarvik::bench::kSampleRate;
using tarvik::bench::reportBlocks;

// Eight levels of 2048 samples, each serving a range of periods, so that
// the reads land on realistic table sizes.
tarvik::Wavetable sineLevels() {
    tarvik::Wavetable t;
    constexpr int kLength = 2048;
    constexpr int kLevels = 8;
    t.levelMap.resize(4096);
    for (std::size_t p = 0; p < t.levelMap.size(); ++p)
        t.levelMap[p] = static_cast<std::uint8_t>(std::min<std::size_t>(kLevels - 1, p / 512));
    for (int level = 0; level < kLevels; ++level) {
        t.offsets.push_back(level * kLength);
        t.lengths.push_back(kLength);
        for (int i = 0; i < kLength; ++i)
            t.samples.push_back(static_cast<float>(std::sin(2.0 * std::numbers::pi * i / kLength)));
    }
    return t;
}

// Frequency and amount patched, as a voice with the MG routed to its
// destinations runs it; with and without the audio output.
void BM_ModGen(benchmark::State& state) {
    static const tarvik::Wavetable table = sineLevels();
    std::vector<float> frequency(kBlockFrames), amount(kBlockFrames, 0.8f), control(kBlockFrames),
        audio(kBlockFrames);
    for (int i = 0; i < kBlockFrames; ++i) frequency[static_cast<std::size_t>(i)] = 5.0f + 0.01f * static_cast<float>(i);
    tarvik::ModGen mg;
    mg.setSampleRate(kSampleRate);
    mg.sawTable = mg.squareTable = mg.triangleTable = &table;
    mg.setWave(static_cast<int>(state.range(0)));
    mg.setAudioOutput(state.range(1) != 0);
    mg.setFrequencyInput(frequency.data());
    mg.inputs[tarvik::ModGen::kAmountInput] = amount.data();
    mg.outputs[tarvik::ModGen::kControlOutput] = control.data();
    mg.outputs[tarvik::ModGen::kAudioOutput] = audio.data();
    for (auto _ : state) {
        mg.process(kBlockFrames);
        benchmark::DoNotOptimize(control.data());
        benchmark::DoNotOptimize(audio.data());
    }
    reportBlocks(state);
}
BENCHMARK(BM_ModGen)
    ->ArgNames({"wave", "audio"})
    ->ArgsProduct({{tarvik::ModGen::kSaw, tarvik::ModGen::kSquare, tarvik::ModGen::kTriangle,
                    tarvik::ModGen::kSampleHold, tarvik::ModGen::kDecay},
                   {0, 1}});

void BM_NoiseOsc(benchmark::State& state) {
    std::vector<float> cv(kBlockFrames), out(kBlockFrames);
    for (int i = 0; i < kBlockFrames; ++i) cv[static_cast<std::size_t>(i)] = std::sin(static_cast<float>(i) * 0.05f);
    tarvik::NoiseOsc noise;
    noise.setColor(0.6f);
    noise.inputs[tarvik::NoiseOsc::kColorInput] = state.range(0) != 0 ? cv.data() : nullptr;
    noise.outputs[tarvik::NoiseOsc::kOutput] = out.data();
    for (auto _ : state) {
        noise.process(kBlockFrames);
        benchmark::DoNotOptimize(out.data());
    }
    reportBlocks(state);
}
BENCHMARK(BM_NoiseOsc)->ArgName("cv")->Arg(0)->Arg(1);

}  // namespace
