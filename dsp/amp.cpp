#include "dsp/amp.h"

#include <algorithm>

namespace tarvik {

void Amp::process(int sampleFrames) {
    float* out = outputs[kOutput];
    if (out == nullptr || sampleFrames <= 0) return;
    const float* x = inputs[kSignalInput];
    const float* gain = inputs[kGainInput];
    if (x == nullptr || gain == nullptr) {
        std::fill_n(out, sampleFrames, 0.0f);
        return;
    }
    for (int i = 0; i < sampleFrames; ++i) out[i] = x[i] * gain[i];
}

}  // namespace tarvik
