// A 33-tap symmetric half-band low-pass at twice the host rate: it keeps the
// audio band and removes what lies above the host's Nyquist frequency before
// the signal comes back to the host rate. Every even tap but the centre is
// zero, so one output costs nine multiplications.
#pragma once

#include <array>

namespace tarvik {

class HalfbandFir {
public:
    static constexpr int kTaps = 33;

    // Output from the inputs before x (one sample of extra delay), then x
    // joins the history.
    double process(double x) {
        const double* h = history_.data() + newest_;
        double y = kCentre * h[16];
        for (int k = 0; k < kSideTaps; ++k) {
            const int j = 2 * k + 1;  // taps 1, 3, ... 15 and their mirrors 31, 29, ... 17
            y += kSide[k] * (h[j] + h[kTaps - 1 - j]);
        }
        push(x);
        return y;
    }

    // Adds x to the history without computing an output.
    void push(double x) {
        newest_ = newest_ == 0 ? kTaps - 1 : newest_ - 1;
        // Each sample is kept twice, so the window of the last 33 inputs is
        // always contiguous and no index wraps inside the loop.
        history_[static_cast<std::size_t>(newest_)] = x;
        history_[static_cast<std::size_t>(newest_ + kTaps)] = x;
    }

    void reset() {
        history_.fill(0.0);
        newest_ = 0;
    }

    static constexpr int kSideTaps = 8;
    static constexpr double kCentre = 0.500705786852609;
    // Taps 1, 3, ... 15 (tap 16 is the centre).
    static constexpr double kSide[kSideTaps] = {-0.00188787839582,  0.003862478304199, -0.008242466596548,
                                                0.015947113970594,  -0.028676559233976, 0.050718561562229,
                                                -0.098015907472862, 0.315941764435879};

private:
    std::array<double, 2 * kTaps> history_{};
    int newest_ = 0;
};

}  // namespace tarvik
