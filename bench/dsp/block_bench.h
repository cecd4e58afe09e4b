// What every signal-module benchmark reports: each iteration renders one
// host block of 256 frames at 44100 Hz, and the counters give the cost per
// sample and how many seconds of audio one second of CPU renders.
#pragma once

#include <benchmark/benchmark.h>

namespace tarvik::bench {

constexpr double kSampleRate = 44100.0;
constexpr int kBlockFrames = 256;

inline void reportBlocks(benchmark::State& state) {
    const double samples = static_cast<double>(state.iterations()) * kBlockFrames;
    state.counters["ns_per_sample"] =
        benchmark::Counter(samples * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["realtime_x"] = benchmark::Counter(samples / kSampleRate, benchmark::Counter::kIsRate);
}

}  // namespace tarvik::bench
