#include "dsp/attenuator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvik {

namespace {

constexpr float kEighth = 0.125f;
constexpr float kHalf = 0.5f;
// Lag times run exponentially from e^-8 s at 0 to e^4 s at 1.
constexpr double kLagLogShortest = -8.0;
constexpr double kLagLogLongest = 4.0;

void scale(const float* x, float* out, float gain, float offset, int sampleFrames) {
    if (out == nullptr) return;
    for (int i = 0; i < sampleFrames; ++i) out[i] = x[i] * gain + offset;
}

}  // namespace

void Attenuator::setSampleRate(double rate) {
    if (rate > 0.0 && !std::isinf(rate)) sampleRate_ = rate;
}

void Attenuator::process(int sampleFrames) {
    const float* x = inputs[kInput];
    if (x == nullptr) {
        for (int k = kEighthOutput; k <= kFourthOutput; ++k)
            if (outputs[k] != nullptr) std::fill_n(outputs[k], std::max(sampleFrames, 0), 0.0f);
        return;
    }
    scale(x, outputs[kEighthOutput], kEighth, 0.0f, sampleFrames);
    scale(x, outputs[kHalfOutput], kHalf, 0.0f, sampleFrames);
    scale(x, outputs[kVariableOutput], variable, 0.0f, sampleFrames);
    if (lagMode != 0) {
        writeLag(x, outputs[kFourthOutput], sampleFrames);
    } else if (bias >= 0.5f) {
        // Upper half: -1..1 becomes a 0..1 swing that rises with the bias.
        scale(x, outputs[kFourthOutput], kHalf, bias, sampleFrames);
    } else {
        // Lower half: the signal doubled and pushed down, (x - (0.5 - bias)) * 2.
        scale(x, outputs[kFourthOutput], 2.0f, -2.0f * (0.5f - bias), sampleFrames);
    }
}

void Attenuator::writeLag(const float* x, float* out, int sampleFrames) {
    if (out == nullptr) return;
    const double t = std::fmin(std::fmax(static_cast<double>(lagTime), 0.0), 1.0);
    const double seconds = std::exp(kLagLogLongest * t + kLagLogShortest * (1.0 - t));
    // At very low sample rates the shortest lag would ask for more than the
    // whole distance in one sample; a coefficient above 1 would ring.
    const auto c = static_cast<float>(std::min(std::numbers::ln10 / (seconds * sampleRate_), 1.0));
    float y = lagValue_;
    float d = lagDither_;
    for (int i = 0; i < sampleFrames; ++i) {
        y += ((d + x[i]) - y) * c;
        d = -d;
        out[i] = y;
    }
    lagValue_ = y;
    lagDither_ = d;
}

}  // namespace tarvik
