#include "dsp/filter_tables.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace tarvik {
namespace {

struct Breakpoint {
    int index;
    double value;
};

// Measured compensation curves, kept as their corners: the tables are
// straight lines between consecutive breakpoints, from entry 0 to the last.
constexpr Breakpoint kResonanceBreakpoints[] = {
    {0, 0.719616}, {11, 0.803475}, {12, 0.824978}, {17, 0.936531}, {18, 0.948061}, {22, 0.959216},
    {23, 0.973337}, {26, 1.01935}, {27, 1.02675}, {30, 0.978947}, {31, 0.96804}, {34, 1.00151},
    {35, 1.01207}, {41, 1.04857}, {42, 1.05186}, {44, 1.05633}, {45, 1.06739}, {47, 1.09342},
    {48, 1.10423}, {59, 1.17435}, {60, 1.18093}, {63, 1.20483}, {64, 1.21254}, {67, 1.2237},
    {68, 1.23008}, {72, 1.26355}, {73, 1.27052}, {79, 1.31171}, {80, 1.31843}, {90, 1.38301},
    {91, 1.39044}, {98, 1.45651}, {99, 1.46424}, {108, 1.5292}, {109, 1.53496}, {111, 1.54612},
    {112, 1.55291}, {119, 1.61298}, {120, 1.62137}, {128, 1.68831}, {129, 1.69684}, {133, 1.73155},
    {134, 1.74102}, {135, 1.75217}, {136, 1.76118}, {142, 1.8058}, {143, 1.81549}, {149, 1.88242},
    {150, 1.89279}, {154, 1.93245}, {155, 1.94159}, {158, 1.9655}, {159, 1.97452}, {169, 2.08607},
    {170, 2.09601}, {173, 2.1253}, {174, 2.13537}, {187, 2.28039}, {188, 2.29181}, {201, 2.44944},
    {202, 2.4622}, {212, 2.59048}, {213, 2.60378}, {230, 2.85032}, {231, 2.86581}, {254, 3.22623},
    {255, 3.24226}, {267, 3.44015}, {268, 3.45667}, {283, 3.71077}, {284, 3.71552}, {298, 3.50528},
    {299, 3.48993}, {319, 3.16482}, {320, 3.14524}, {324, 3.06591}, {325, 3.04546}, {332, 2.90043},
    {333, 2.88371}, {337, 2.82918}, {338, 2.81494}, {345, 2.70681}, {346, 2.69413}, {362, 2.50375},
    {363, 2.49409}, {402, 2.28295}, {511, 2.28295}
};

constexpr Breakpoint kLevelBreakpoints[] = {
    {0, 0.821718}, {11, 1.41841}, {12, 1.40223}, {17, 1.30081}, {18, 1.29366}, {22, 1.3076},
    {23, 1.28276}, {26, 1.19909}, {27, 1.17727}, {30, 1.16532}, {31, 1.16355}, {34, 1.18746},
    {35, 1.19538}, {41, 1.24102}, {42, 1.24311}, {72, 1.24311}, {73, 1.25698}, {79, 1.34708},
    {80, 1.35656}, {98, 1.35656}, {99, 1.37175}, {108, 1.54892}, {109, 1.55105}, {138, 1.55105},
    {139, 1.55734}, {142, 1.7665}, {143, 1.79417}, {163, 1.79417}, {164, 1.81317}, {169, 1.95261},
    {170, 1.95624}, {180, 1.95624}, {181, 1.98821}, {187, 2.21989}, {188, 2.24797}, {201, 2.24797},
    {202, 2.25682}, {212, 2.35443}, {213, 2.36748}, {230, 2.73095}, {231, 2.75335}, {254, 3.2726},
    {255, 3.28898}, {267, 3.39084}, {268, 3.39923}, {283, 3.50768}, {284, 3.51216}, {298, 3.51216},
    {299, 3.50264}, {319, 2.80145}, {320, 2.83076}, {324, 2.96711}, {325, 2.98987}, {332, 3.11537},
    {333, 3.13717}, {337, 3.23633}, {338, 3.23778}, {345, 2.92242}, {346, 2.90161}, {362, 2.67851},
    {363, 2.67078}, {402, 2.83073}, {511, 2.83073}
};

template <std::size_t Size>
void fillPiecewiseLinear(std::array<float, Size>& table, std::span<const Breakpoint> corners) {
    for (std::size_t n = 0; n + 1 < corners.size(); ++n) {
        const Breakpoint& from = corners[n];
        const Breakpoint& to = corners[n + 1];
        const double slope = (to.value - from.value) / (to.index - from.index);
        for (int i = from.index; i <= to.index; ++i) {
            table[static_cast<std::size_t>(i)] = static_cast<float>(from.value + slope * (i - from.index));
        }
    }
}

}  // namespace

CutoffTable::CutoffTable() {
    for (int i = 0; i < kSize; ++i) {
        const double f = std::exp(5.0 + 5.0 * i / 1024.0) / 22050.0 - 0.0027;
        values_[static_cast<std::size_t>(i)] = static_cast<float>(std::clamp(f, 0.0, 1.0));
    }
}

const CutoffTable& CutoffTable::instance() {
    static const CutoffTable table;
    return table;
}

ResonanceTable::ResonanceTable() { fillPiecewiseLinear(values_, kResonanceBreakpoints); }

const ResonanceTable& ResonanceTable::instance() {
    static const ResonanceTable table;
    return table;
}

LevelTable::LevelTable() { fillPiecewiseLinear(values_, kLevelBreakpoints); }

const LevelTable& LevelTable::instance() {
    static const LevelTable table;
    return table;
}

}  // namespace tarvik
