#include "dsp/decimate.h"

#include <algorithm>

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
    HalfbandFir& fir = fir_;
    for (int k = 0; k < pairs; ++k) {
        // The output needs the even input only as history; the odd one
        // joins after the output is computed.
        fir.push(x[2 * k]);
        out[k] = static_cast<float>(kGain * fir.process(x[2 * k + 1]));
    }
}

}  // namespace tarvik
