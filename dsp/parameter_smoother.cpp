#include "dsp/parameter_smoother.h"

#include <algorithm>
#include <cstddef>

namespace tarvik {

namespace {

// Channels without a buffer write into this much scratch at a time.
constexpr int kChunk = 64;

}  // namespace

void ParameterSmoother::process(int sampleFrames) {
    // The four recursions are independent: run side by side they overlap in
    // the pipeline instead of each waiting for its own previous sample.
    float y[kChannels], d[kChannels], target[kChannels], c[kChannels];
    float* out[kChannels];
    for (int k = 0; k < kChannels; ++k) {
        const Channel& channel = channels[static_cast<std::size_t>(k)];
        y[k] = channel.value;
        d[k] = channel.dither;
        target[k] = channel.target;
        c[k] = channel.coefficient;
        out[k] = channel.output;
    }
    float sink[kChunk];
    for (int start = 0; start < sampleFrames; start += kChunk) {
        const int length = std::min(kChunk, sampleFrames - start);
        float* dst[kChannels];
        for (int k = 0; k < kChannels; ++k) dst[k] = out[k] != nullptr ? out[k] + start : sink;
        for (int i = 0; i < length; ++i) {
            for (int k = 0; k < kChannels; ++k) {
                y[k] += ((d[k] + target[k]) - y[k]) * c[k];
                d[k] = -d[k];
                dst[k][i] = y[k];
            }
        }
    }
    // A channel without a buffer is not in use: it keeps its state.
    for (int k = 0; k < kChannels; ++k) {
        if (out[k] == nullptr) continue;
        Channel& channel = channels[static_cast<std::size_t>(k)];
        channel.value = y[k];
        channel.dither = d[k];
    }
}

}  // namespace tarvik
