// Drawing with Cairo into an image surface (the frame's back buffer, or any
// picture a test or the screenshot tool renders).
#pragma once

#include <cairo.h>

#include <vector>

#include "gui/toolkit/draw_context.h"

namespace tarvik::gui {

class CairoDrawContext : public DrawContext {
public:
    // Draws on `target` (not owned) through a context of its own.
    explicit CairoDrawContext(cairo_surface_t* target);
    ~CairoDrawContext() override;
    CairoDrawContext(const CairoDrawContext&) = delete;
    CairoDrawContext& operator=(const CairoDrawContext&) = delete;

    void save() override;
    void restore() override;
    void clip(const Rect& r) override;
    void setGlobalAlpha(double alpha) override { alpha_ = alpha; }

    void fillRect(const Rect& r, Color c) override;
    void frameRect(const Rect& r, Color c, double lineWidth) override;
    void fillRoundedRect(const Rect& r, double radius, Color c) override;
    void drawBitmap(const Bitmap& bitmap, const Rect& dest, Point source) override;
    void drawPolyline(const PointF* points, int count, double lineWidth, Color c, bool antialias) override;
    void drawText(std::string_view utf8, const Rect& r, const Font& font, Color c, TextAlign align) override;
    double textWidth(std::string_view utf8, const Font& font) override;

private:
    void setColor(Color c);
    void setFont(const Font& font);

    cairo_t* cr_;
    double alpha_ = 1.0;
    std::vector<double> savedAlpha_;
};

// A Cairo surface over a bitmap's pixels (no copy); the caller destroys it.
cairo_surface_t* surfaceOf(Bitmap& bitmap);

// The font family the panel's text uses.
inline constexpr const char* kPanelFontFamily = "DejaVu Sans";

}  // namespace tarvik::gui
