#include "gui/editor/panel_effects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tarvik::gui {

namespace {

// How dark a pixel this far inside the edge gets, 0..1: a quadratic ease
// so the band has no visible inner border.
double edgeShade(int distance) {
    if (distance >= PanelEffects::kBand) return 0.0;
    const double t = 1.0 - static_cast<double>(distance) / PanelEffects::kBand;
    return t * t;
}

}  // namespace

void PanelEffects::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (!on) vignette_ = Bitmap{};
    invalid();
}

// Premultiplied black: only the alpha byte carries the shade. Corners take
// both edges' shade as two layers would, so they darken a little more.
void PanelEffects::makeVignette() {
    const int width = rect().width();
    const int height = rect().height();
    vignette_ = Bitmap(width, height);
    if (vignette_.empty()) return;
    for (int y = 0; y < height; ++y) {
        const double vertical = edgeShade(std::min(y, height - 1 - y));
        for (int x = 0; x < width; ++x) {
            const double horizontal = edgeShade(std::min(x, width - 1 - x));
            const double shade = 1.0 - (1.0 - vertical) * (1.0 - horizontal);
            const auto alpha = static_cast<std::uint32_t>(std::lround(shade * kDarkest * 255.0));
            vignette_.pixels()[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                alpha << 24;
        }
    }
}

void PanelEffects::draw(DrawContext& context) {
    if (!enabled_) return;
    if (vignette_.empty()) makeVignette();
    if (vignette_.empty()) return;
    const Rect& r = rect();
    const int band = std::min({kBand, r.width() / 2, r.height() / 2});
    const Rect bands[] = {
        {r.left, r.top, r.right, r.top + band},                     // top
        {r.left, r.bottom - band, r.right, r.bottom},               // bottom
        {r.left, r.top + band, r.left + band, r.bottom - band},     // left
        {r.right - band, r.top + band, r.right, r.bottom - band},   // right
    };
    for (const Rect& b : bands)
        if (!b.empty()) context.drawBitmap(vignette_, b, {b.left - r.left, b.top - r.top});
}

}  // namespace tarvik::gui
