#include "dsp/parameter_smoother.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tarvik {

namespace {

// A channel this close to its target (relative to the target's size) has
// arrived and holds the target exactly instead of recursing. A slow float
// one-pole stalls short of its target anyway, where one step is less than
// half a rounding unit: about 4e-5 for a target near 1 at the render loop's
// slowest coefficient. 1e-4 is a tenth of a cent of tuning.
constexpr float kArrived = 1e-4f;

bool arrived(float value, float target) { return std::fabs(value - target) <= kArrived * std::max(1.0f, std::fabs(target)); }

}  // namespace

void ParameterSmoother::process(int sampleFrames) {
    for (Channel& channel : channels) {
        float* out = channel.output;
        if (out == nullptr) continue;  // not in use: it keeps its state
        const float target = channel.target;
        if (arrived(channel.value, target)) {
            channel.value = target;
            std::fill_n(out, sampleFrames, target);
            continue;
        }
        // y += (target + d - y) c as a multiply-add on the state's own chain.
        // Arrival is tested at every sample, not once per block: where the
        // host's blocks fall must not decide when a channel snaps.
        const float c = channel.coefficient;
        const float keep = 1.0f - c;
        float y = channel.value;
        float d = channel.dither;
        int i = 0;
        while (i < sampleFrames) {
            y = y * keep + (target + d) * c;
            d = -d;
            out[i++] = y;
            if (arrived(y, target)) {
                y = target;
                std::fill(out + i, out + sampleFrames, target);
                break;
            }
        }
        channel.value = y;
        channel.dither = d;
    }
}

}  // namespace tarvik
