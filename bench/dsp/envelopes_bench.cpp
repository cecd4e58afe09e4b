// Envelope and envelope follower, one host block per iteration.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

#include "bench/dsp/block_bench.h"
#include "dsp/envelope.h"
#include "dsp/envelope_follower.h"

namespace {

using tarvik::bench::kBlockFrames;
using tarvik::bench::kSampleRate;
using tarvik::bench::reportBlocks;

float rateFor(double seconds) { return static_cast<float>(std::numbers::ln10 / (seconds * kSampleRate)); }

// Sixteenth notes at 120 BPM with every other one accented, as the sequencer
// drives the filter envelope: gate, trigger and accent all patched.
void BM_EnvelopeSequencedNotes(benchmark::State& state) {
    constexpr int kNoteFrames = 5512;
    const int blocks = kNoteFrames * 4 / kBlockFrames + 1;
    std::vector<float> gate(static_cast<std::size_t>(blocks * kBlockFrames));
    std::vector<float> trigger(gate.size()), accent(gate.size());
    for (std::size_t i = 0; i < gate.size(); ++i) {
        const std::size_t inNote = i % kNoteFrames;
        gate[i] = inNote < kNoteFrames / 2 ? 1.0f : 0.0f;
        trigger[i] = inNote == 0 ? 1.0f : 0.0f;
        accent[i] = (i / kNoteFrames) % 2 == 0 ? 1.0f : 0.0f;
    }
    std::vector<float> out(kBlockFrames);
    tarvik::Envelope env;
    env.attackStep = static_cast<float>(1.0 / (0.003 * kSampleRate));
    env.decayRate = rateFor(0.3);
    env.accentDecayRate = rateFor(0.1);
    env.releaseRate = rateFor(0.05);
    env.sustain = 0.2f;
    env.outputs[tarvik::Envelope::kOutput] = out.data();
    int block = 0;
    for (auto _ : state) {
        const std::size_t at = static_cast<std::size_t>(block) * kBlockFrames;
        env.inputs[tarvik::Envelope::kGateInput] = gate.data() + at;
        env.inputs[tarvik::Envelope::kTriggerInput] = trigger.data() + at;
        env.inputs[tarvik::Envelope::kAccentInput] = accent.data() + at;
        env.process(kBlockFrames);
        benchmark::DoNotOptimize(out.data());
        block = (block + 1) % blocks;
    }
    reportBlocks(state);
}
BENCHMARK(BM_EnvelopeSequencedNotes);

void BM_EnvelopeFollower(benchmark::State& state) {
    std::vector<float> in(kBlockFrames), out(kBlockFrames);
    for (int i = 0; i < kBlockFrames; ++i)
        in[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(i * 0.3) * (i < kBlockFrames / 2 ? 1.0 : 0.1));
    tarvik::EnvelopeFollower follower;
    follower.setSampleRate(kSampleRate);
    follower.inputs[tarvik::EnvelopeFollower::kInput] = in.data();
    follower.outputs[tarvik::EnvelopeFollower::kOutput] = out.data();
    for (auto _ : state) {
        follower.process(kBlockFrames);
        benchmark::DoNotOptimize(out.data());
    }
    reportBlocks(state);
}
BENCHMARK(BM_EnvelopeFollower);

}  // namespace
