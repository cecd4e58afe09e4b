#include "dsp/decimate.h"

#include <algorithm>
#include <cstddef>

namespace tarvik {

namespace {

constexpr double kGain = 2.0;

}  // namespace

void Decimate::process(int sampleFrames) {
    float* out = outputs[kOutput];
    if (out == nullptr || sampleFrames < 2) return;
    const int pairs = sampleFrames / 2;
    const float* x = inputs[kInput];
    if (x == nullptr) {
        std::fill_n(out, pairs, 0.0f);
        return;
    }
    // Each stream with its history in front: output k of a chunk reads the
    // even sample k - 8 (the centre) and the odd ones k - 16 ... k - 1.
    double even[kEvenHistory + kChunk];
    double odd[kOddHistory + kChunk];
    for (int done = 0; done < pairs; done += kChunk) {
        const int n = std::min(kChunk, pairs - done);
        std::copy(even_.begin(), even_.end(), even);
        std::copy(odd_.begin(), odd_.end(), odd);
        for (int k = 0; k < n; ++k) {
            even[kEvenHistory + k] = x[2 * (done + k)];
            odd[kOddHistory + k] = x[2 * (done + k) + 1];
        }
        for (int k = 0; k < n; ++k) {
            double y = HalfbandFir::kCentre * even[k];
            // Tap 2t + 1 and its mirror 31 - 2t: the odd samples t + 1 and
            // 16 - t pairs back. The inner loop unrolls, so each output
            // stays in a register through all its taps.
            for (int t = 0; t < HalfbandFir::kSideTaps; ++t)
                y += HalfbandFir::kSide[t] * (odd[kOddHistory - 1 - t + k] + odd[t + k]);
            out[done + k] = static_cast<float>(kGain * y);
        }
        std::copy(even + n, even + n + kEvenHistory, even_.begin());
        std::copy(odd + n, odd + n + kOddHistory, odd_.begin());
    }
}

}  // namespace tarvik
