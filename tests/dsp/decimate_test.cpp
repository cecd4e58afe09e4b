#include "dsp/decimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace tarvik {
namespace {

constexpr double kTwiceRate = 88200.0;  // the oscillators' rate for a 44100 Hz host

std::vector<float> decimate(Decimate& d, std::vector<float> in) {
    std::vector<float> out(in.size() / 2 + 1, -99.0f);
    d.inputs[Decimate::kInput] = in.data();
    d.outputs[Decimate::kOutput] = out.data();
    d.process(static_cast<int>(in.size()));
    return out;
}

double rms(const std::vector<float>& x, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

// Gain of a sine at the twice rate, relative to the decimator's DC gain of 2.
double relativeGain(double hz) {
    Decimate d;
    const std::size_t n = 16384;
    std::vector<float> in(n);
    for (std::size_t i = 0; i < n; ++i) in[i] = static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * i / kTwiceRate));
    const std::vector<float> out = decimate(d, in);
    return rms(out, 64, n / 2) / (2.0 * rms(in, 128, n));
}

TEST(Decimate, ConstantHalfSettlesToOne) {
    Decimate d;
    const std::vector<float> out = decimate(d, std::vector<float>(128, 0.5f));
    for (std::size_t i = 20; i < 64; ++i) EXPECT_NEAR(out[i], 1.0f, 1e-6f) << i;
}

struct ToneCase {
    double hz;
    double minGain;
    double maxGain;
    friend void PrintTo(const ToneCase& row, std::ostream* out) { *out << row.hz << " Hz"; }
};

class DecimateTone : public ::testing::TestWithParam<ToneCase> {};

// Flat through the audio band; what would fold back below the host's
// Nyquist frequency (22050 Hz) is removed.
TEST_P(DecimateTone, PassesTheAudioBandAndRemovesWhatWouldAlias) {
    const ToneCase& c = GetParam();
    const double gain = relativeGain(c.hz);
    EXPECT_GE(gain, c.minGain) << c.hz;
    EXPECT_LE(gain, c.maxGain) << c.hz;
}

INSTANTIATE_TEST_SUITE_P(Tones, DecimateTone,
                         ::testing::Values(ToneCase{100.0, 0.995, 1.005}, ToneCase{1000.0, 0.995, 1.005},
                                           ToneCase{10000.0, 0.995, 1.005},
                                           ToneCase{26000.0, 0.0, 0.03},   // below -30 dB
                                           ToneCase{28000.0, 0.0, 0.003},  // below -50 dB
                                           ToneCase{35000.0, 0.0, 0.003}),
                         [](const auto& row) { return std::to_string(static_cast<int>(row.param.hz)) + "Hz"; });

// Whole pairs only: an odd last sample is neither read nor answered.
TEST(Decimate, OddCountUsesOnlyWholePairs) {
    Decimate d;
    std::vector<float> in(5, 0.5f);
    std::vector<float> out(3, -99.0f);
    d.inputs[Decimate::kInput] = in.data();
    d.outputs[Decimate::kOutput] = out.data();
    d.process(5);
    EXPECT_NE(out[1], -99.0f);
    EXPECT_EQ(out[2], -99.0f);
}

// The block form computes each kept output with the half-band filter's own
// products in its own order: the same floats as pushing the even sample and
// filtering the odd one, block after block whatever their sizes.
TEST(Decimate, GivesExactlyWhatTheHalfBandFilterGives) {
    Decimate d;
    HalfbandFir reference;
    unsigned state = 12345;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return static_cast<float>(static_cast<int>((state >> 8) & 0xFFFF) - 32768) / 32768.0f;
    };
    for (int frames : {2, 130, 7, 1, 512, 300, 129, 64}) {
        std::vector<float> in(static_cast<std::size_t>(frames));
        for (float& v : in) v = next();
        const std::vector<float> out = decimate(d, in);
        for (int k = 0; k < frames / 2; ++k) {
            reference.push(in[static_cast<std::size_t>(2 * k)]);
            const auto expected = static_cast<float>(2.0 * reference.process(in[static_cast<std::size_t>(2 * k + 1)]));
            ASSERT_EQ(out[static_cast<std::size_t>(k)], expected) << "block of " << frames << ", output " << k;
        }
    }
}

TEST(Decimate, UnpatchedInputIsSilence) {
    Decimate d;
    std::vector<float> out(4, -99.0f);
    d.outputs[Decimate::kOutput] = out.data();
    d.process(8);
    EXPECT_EQ(out, std::vector<float>(4, 0.0f));
}

}  // namespace
}  // namespace tarvik
