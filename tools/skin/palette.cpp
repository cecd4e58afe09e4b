#include "tools/skin/palette.h"

#include <algorithm>
#include <cmath>

namespace tarvik::skin {

namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

double relativeLuminance(Colour colour) {
    return 0.2126 * linear(colour.r) + 0.7152 * linear(colour.g) + 0.0722 * linear(colour.b);
}

double contrastRatio(Colour a, Colour b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Colour grainLifted(Colour paper) {
    return {std::min(1.0, paper.r + palette::kGrain), std::min(1.0, paper.g + palette::kGrain),
            std::min(1.0, paper.b + palette::kGrain)};
}

}  // namespace tarvik::skin
