#include "dsp/inverter.h"

#include <algorithm>

namespace tarvik {

void Inverter::process(int sampleFrames) {
    float* out = outputs[kOutput];
    if (out == nullptr || sampleFrames <= 0) return;
    const float* x = inputs[kInput];
    if (x == nullptr) {
        std::fill_n(out, sampleFrames, 0.0f);
    } else if (mode == 0) {
        for (int i = 0; i < sampleFrames; ++i) out[i] = -x[i];
    } else {
        for (int i = 0; i < sampleFrames; ++i) out[i] = std::clamp(1.0f - x[i], 0.0f, 1.0f);
    }
}

}  // namespace tarvik
