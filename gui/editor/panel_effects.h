// The overlay added last over the whole frame. It never takes the pointer.
// By default it draws nothing, so a quiet panel stays quiet. With the
// "Antialiasing and FX" preference on it lays a soft vignette along the
// panel's edges: a faint darkening that fades to nothing within a band of
// kBand pixels, which frames the panel without touching its controls.
//
// Cost: the vignette is computed once into a picture the size of the frame
// (on the first paint after it is switched on); each repaint then only
// blends the parts of the four edge bands that meet the repainted area.
// It never asks for a repaint by itself, except once when switched.
#pragma once

#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/view.h"

namespace tarvik::gui {

class PanelEffects : public View {
public:
    static constexpr int kBand = 28;          // pixels from each edge
    static constexpr double kDarkest = 0.18;  // opacity of black at the very edge

    explicit PanelEffects(const Rect& frameArea) : View(frameArea) {}

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);

    bool hitTest(Point) const override { return false; }
    void draw(DrawContext& context) override;

private:
    void makeVignette();

    bool enabled_ = false;
    Bitmap vignette_;
};

}  // namespace tarvik::gui
