#include "dsp/noise_osc.h"

#include <atomic>
#include <chrono>
#include <cmath>

namespace tarvik {

namespace {

constexpr float kRandomRange = 10923.0f;
constexpr float kRandomScale = 1.0f / 32767.0f;
constexpr float kRandomMax = 32767.0f;
constexpr std::uint32_t kRandomMultiplier = 1664525u;
constexpr std::uint32_t kRandomIncrement = 1013904223u;
constexpr float kCvDepth = 0.5f;

// The low bits of a power-of-two congruential generator repeat with short
// periods; its top bits are the good ones.
int nextRandom(std::uint32_t& state) {
    state = state * kRandomMultiplier + kRandomIncrement;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

// Instances built in the same clock tick still differ by their serial number;
// the mixing spreads neighbouring seeds over the whole state.
std::uint32_t freshSeed() {
    static std::atomic<std::uint32_t> serial{0};
    std::uint64_t x = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                      (static_cast<std::uint64_t>(serial.fetch_add(1, std::memory_order_relaxed)) << 32);
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>(x ^ (x >> 31));
}

float unitClamp(float x) { return std::fmin(std::fmax(x, 0.0f), 1.0f); }

}  // namespace

NoiseOsc::NoiseOsc() : random_(freshSeed()) {}

void NoiseOsc::setColor(float color) { color_ = unitClamp(color); }

void NoiseOsc::process(int sampleFrames) {
    float* out = outputs[kOutput];
    if (out == nullptr) return;
    const float* colorIn = inputs[kColorInput];
    if (colorIn != nullptr)
        render<true>(colorIn, out, sampleFrames);
    else
        render<false>(colorIn, out, sampleFrames);
}

template <bool kModulated>
void NoiseOsc::render(const float* colorIn, float* out, int sampleFrames) {
    const float color = color_;
    std::uint32_t random = random_;
    double y1 = low_;
    double d1 = lowDither_;
    double y2 = lower_;
    double d2 = lowerDither_;
    for (int i = 0; i < sampleFrames; ++i) {
        double c = color;
        if constexpr (kModulated) c = unitClamp(color + colorIn[i] * kCvDepth);
        const float u = kRandomRange * (static_cast<float>(nextRandom(random)) / kRandomMax);
        const double white = ((u + u + u) * 2.0f - (kRandomRange - 1.0f) * 3.0f) * kRandomScale;
        y1 += ((white + d1) - y1) * c;
        d1 = -d1;
        y2 += ((y1 + d2) - y2) * c;
        d2 = -d2;
        out[i] = static_cast<float>(y2);
    }
    random_ = random;
    low_ = y1;
    lowDither_ = d1;
    lower_ = y2;
    lowerDither_ = d2;
}

}  // namespace tarvik
