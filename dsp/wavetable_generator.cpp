#include "dsp/wavetable_generator.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace tarvik {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kLevelMapLength = 24001;
constexpr int kMaxPartials = 2300;
constexpr int kMinLength = 1024;
constexpr int kMaxLength = 1 << 16;
constexpr double kImageEnergyLimit = 7.9e-9;  // -81 dB

constexpr double kSawPeak = 0.65;      // 1.3 × the ramp p − 0.5
constexpr double kSquareWidth = 0.45;  // the computed square's phase offset

// One partial: x(p) = cosine × cos(2πkp) + sine × sin(2πkp).
struct Partial {
    double cosine = 0.0;
    double sine = 0.0;
};

struct Recipe {
    double bandLimit;  // cycles per host-rate sample, at a level's shortest period
    int shortestPeriod;
    int levelsPerOctave;
    Partial (*partial)(int k);
};

// A rising ramp of peak A is −(2A/π) Σ sin(2πkp)/k.
Partial sawPartial(int k) { return {0.0, -2.0 * kSawPeak / (kPi * k)}; }

// (p − 0.5) − ((p + w) mod 1 − 0.5): both ramps' series, the second shifted by w.
Partial squarePartial(int k) {
    const double shift = 2.0 * kPi * k * kSquareWidth;
    return {std::sin(shift) / (kPi * k), -(1.0 - std::cos(shift)) / (kPi * k)};
}

Partial trianglePartial(int k) {
    if (k % 2 == 0) return {};
    const double sign = (k / 2) % 2 == 0 ? 1.0 : -1.0;
    return {0.0, sign * 8.0 / (kPi * kPi * k * k)};
}

Partial modSawPartial(int k) { return {0.0, 2.0 / (kPi * k)}; }

Partial modSquarePartial(int k) {
    if (k % 2 == 0) return {};
    return {0.0, -4.0 / (kPi * k)};
}

Recipe recipeFor(WavetableKind kind) {
    switch (kind) {
        case WavetableKind::Saw:
            return {0.9, 2, 1, sawPartial};
        case WavetableKind::Square:
            return {0.9, 2, 1, squarePartial};
        case WavetableKind::Triangle:
            return {0.9, 2, 1, trianglePartial};
        case WavetableKind::ModSaw:
            return {0.45, 4, 2, modSawPartial};
        case WavetableKind::ModSquare:
            return {0.45, 4, 2, modSquarePartial};
    }
    return {0.9, 2, 1, sawPartial};
}

double energy(const Partial& c) { return c.cosine * c.cosine + c.sine * c.sine; }

// The energy linear interpolation moves from a partial at x = k / length
// into its images, relative to the partial: the triangle kernel's sinc²
// summed over every image at m × length ± k.
double imageFraction(double x) {
    const double s = std::sin(kPi * x);
    const double sinc = s / (kPi * x);
    return std::max(0.0, 1.0 - 2.0 / 3.0 * s * s - sinc * sinc * sinc * sinc);
}

int tableLength(const std::vector<Partial>& partials, int top) {
    const double fundamental = energy(partials[1]);
    int length = kMinLength;
    while (length < 4 * top) length *= 2;
    for (; length < kMaxLength; length *= 2) {
        double images = 0.0;
        for (int k = 1; k <= top; ++k)
            images += energy(partials[static_cast<std::size_t>(k)]) * imageFraction(static_cast<double>(k) / length);
        if (images <= kImageEnergyLimit * fundamental) break;
    }
    return length;
}

// The twiddles of a transform of length n, e^(2πij/n) for j < n/2, each
// straight from sin and cos so that rounding does not pile up the way a
// rotated phasor's would. Shorter transforms step through them.
struct Twiddles {
    explicit Twiddles(int n) : cosine(static_cast<std::size_t>(n / 2)), sine(static_cast<std::size_t>(n / 2)) {
        for (std::size_t j = 0; j < cosine.size(); ++j) {
            const double angle = 2.0 * kPi * static_cast<double>(j) / n;
            cosine[j] = std::cos(angle);
            sine[j] = std::sin(angle);
        }
    }
    std::vector<double> cosine;
    std::vector<double> sine;
};

// In-place radix-2 transform with the positive exponent, unscaled: turns the
// spectrum of one cycle into its samples. Real and imaginary parts live in
// separate arrays, which the compiler keeps in registers far better than
// std::complex pairs.
void inverseFft(std::vector<double>& re, std::vector<double>& im, const Twiddles& twiddles) {
    const std::size_t n = re.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j |= bit;
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    // This length's own twiddles side by side, so that the butterflies do
    // not stride through the longest transform's table.
    const std::size_t step = 2 * twiddles.cosine.size() / n;
    std::vector<double> wr(n / 2), wi(n / 2);
    for (std::size_t j = 0; j < n / 2; ++j) {
        wr[j] = twiddles.cosine[j * step];
        wi[j] = twiddles.sine[j * step];
    }
    for (std::size_t size = 2; size <= n; size *= 2) {
        const std::size_t half = size / 2;
        const std::size_t stride = n / size;
        for (std::size_t start = 0; start < n; start += size) {
            for (std::size_t j = 0; j < half; ++j) {
                const double c = wr[j * stride];
                const double s = wi[j * stride];
                const std::size_t a = start + j;
                const std::size_t b = a + half;
                const double vr = re[b] * c - im[b] * s;
                const double vi = re[b] * s + im[b] * c;
                const double ur = re[a];
                const double ui = im[a];
                re[a] = ur + vr;
                im[a] = ui + vi;
                re[b] = ur - vr;
                im[b] = ui - vi;
            }
        }
    }
}

// One level: its partials 1..top and its table length.
struct Level {
    int top = 0;
    int length = 0;
};

void appendLevel(Wavetable& table, const std::vector<Partial>& partials, const Level& level, const Twiddles& twiddles) {
    const auto length = static_cast<std::size_t>(level.length);
    std::vector<double> re(length), im(length);
    for (std::size_t k = 1; k <= static_cast<std::size_t>(level.top); ++k) {
        const Partial& c = partials[k];
        re[k] = re[length - k] = 0.5 * c.cosine;
        im[k] = -0.5 * c.sine;
        im[length - k] = 0.5 * c.sine;
    }
    inverseFft(re, im, twiddles);
    table.offsets.push_back(static_cast<std::int32_t>(table.samples.size()));
    table.lengths.push_back(level.length);
    for (const double value : re) table.samples.push_back(static_cast<float>(value));
}

}  // namespace

Wavetable generateWavetable(WavetableKind kind) {
    const Recipe recipe = recipeFor(kind);
    Wavetable table;
    table.levelMap.assign(kLevelMapLength, 0);
    std::vector<Partial> partials{Partial{}};  // index 0 is the (absent) DC term
    std::vector<Level> levels;
    int previousPeriod = 0;
    for (int index = 0;; ++index) {
        // Rounded up so that no level's shortest period falls below the
        // octave fraction it stands for.
        const double ideal = recipe.shortestPeriod * std::exp2(static_cast<double>(index) / recipe.levelsPerOctave);
        const int shortest = std::max(previousPeriod + 1, static_cast<int>(std::ceil(ideal - 1e-9)));
        previousPeriod = shortest;
        Level level;
        level.top = std::min(static_cast<int>(std::ceil(recipe.bandLimit * shortest)) - 1, kMaxPartials);
        while (static_cast<int>(partials.size()) <= level.top)
            partials.push_back(recipe.partial(static_cast<int>(partials.size())));
        level.length = tableLength(partials, level.top);
        levels.push_back(level);
        if (index > 0)
            std::fill(table.levelMap.begin() + std::min(shortest, kLevelMapLength), table.levelMap.end(),
                      static_cast<std::uint8_t>(index));
        if (level.top == kMaxPartials || shortest >= kLevelMapLength) break;
    }
    int longest = 0;
    for (const Level& level : levels) longest = std::max(longest, level.length);
    const Twiddles twiddles(longest);
    for (const Level& level : levels) appendLevel(table, partials, level, twiddles);
    return table;
}

}  // namespace tarvik
