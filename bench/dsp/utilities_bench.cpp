// Delay line, decimator, attenuator, inverter and parameter smoother, one
// host block per iteration.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "bench/dsp/block_bench.h"
#include "dsp/attenuator.h"
#include "dsp/decimate.h"
#include "dsp/delay_line.h"
#include "dsp/inverter.h"
#include "dsp/parameter_smoother.h"

namespace {

using tarvik::bench::kBlockFrames;
using tarvik::bench::reportBlocks;

std::vector<float> tone(std::size_t n) {
    std::vector<float> x(n);
    for (std::size_t i = 0; i < n; ++i) x[i] = static_cast<float>(std::sin(static_cast<double>(i) * 0.07));
    return x;
}

// One channel of the stereo delay with its time gliding, as after a knob move.
void BM_DelayLine(benchmark::State& state) {
    const std::vector<float> in = tone(kBlockFrames);
    std::vector<float> out(kBlockFrames);
    auto line = std::make_unique<tarvik::DelayLine>();
    line->feedback = 0.6f;
    line->position = 0.5;
    line->targetPosition = 0.8;
    for (auto _ : state) {
        for (int i = 0; i < kBlockFrames; ++i)
            out[static_cast<std::size_t>(i)] = in[static_cast<std::size_t>(i)] + line->tick(in[static_cast<std::size_t>(i)]);
        benchmark::DoNotOptimize(out.data());
        line->targetPosition = line->targetPosition > 0.6 ? 0.5 : 0.8;
    }
    reportBlocks(state);
}
BENCHMARK(BM_DelayLine);

// 512 twice-rate samples in, one host block out.
void BM_Decimate(benchmark::State& state) {
    std::vector<float> in = tone(2 * kBlockFrames);
    std::vector<float> out(kBlockFrames);
    tarvik::Decimate decimate;
    decimate.inputs[tarvik::Decimate::kInput] = in.data();
    decimate.outputs[tarvik::Decimate::kOutput] = out.data();
    for (auto _ : state) {
        decimate.process(2 * kBlockFrames);
        benchmark::DoNotOptimize(out.data());
    }
    reportBlocks(state);
}
BENCHMARK(BM_Decimate);

void BM_Attenuator(benchmark::State& state) {
    std::vector<float> in = tone(kBlockFrames);
    std::vector<std::vector<float>> out(4, std::vector<float>(kBlockFrames));
    tarvik::Attenuator att;
    att.setSampleRate(tarvik::bench::kSampleRate);
    att.lagMode = static_cast<std::int32_t>(state.range(0));
    att.lagTime = 0.4f;
    att.inputs[tarvik::Attenuator::kInput] = in.data();
    for (std::size_t k = 0; k < out.size(); ++k) att.outputs[k] = out[k].data();
    for (auto _ : state) {
        att.process(kBlockFrames);
        for (std::vector<float>& o : out) benchmark::DoNotOptimize(o.data());
    }
    reportBlocks(state);
}
BENCHMARK(BM_Attenuator)->ArgName("lagMode")->Arg(0)->Arg(1);

void BM_Inverter(benchmark::State& state) {
    std::vector<float> in = tone(kBlockFrames);
    std::vector<float> out(kBlockFrames);
    tarvik::Inverter inv;
    inv.mode = static_cast<std::int32_t>(state.range(0));
    inv.inputs[tarvik::Inverter::kInput] = in.data();
    inv.outputs[tarvik::Inverter::kOutput] = out.data();
    for (auto _ : state) {
        inv.process(kBlockFrames);
        benchmark::DoNotOptimize(out.data());
    }
    reportBlocks(state);
}
BENCHMARK(BM_Inverter)->ArgName("mode")->Arg(0)->Arg(1);

// All four channels moving toward new targets.
void BM_ParameterSmoother(benchmark::State& state) {
    std::vector<std::vector<float>> out(tarvik::ParameterSmoother::kChannels, std::vector<float>(kBlockFrames));
    tarvik::ParameterSmoother smoother;
    for (std::size_t k = 0; k < out.size(); ++k) {
        smoother.channels[k].output = out[k].data();
        smoother.channels[k].coefficient = 0.0007f;
    }
    float target = 1.0f;
    for (auto _ : state) {
        for (auto& channel : smoother.channels) channel.target = target;
        smoother.process(kBlockFrames);
        for (std::vector<float>& o : out) benchmark::DoNotOptimize(o.data());
        target = -target;
    }
    reportBlocks(state);
}
BENCHMARK(BM_ParameterSmoother);

}  // namespace
