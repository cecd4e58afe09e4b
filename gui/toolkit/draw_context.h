// What views draw with. One implementation per drawing backend (Cairo on
// Linux, GDI+ on Windows), each painting into the frame's back buffer; views
// never see which one they have.
#pragma once

#include <string_view>

#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/geometry.h"
#include "gui/toolkit/graphics.h"

namespace tarvik::gui {

class DrawContext {
public:
    virtual ~DrawContext() = default;

    // The clip only narrows; restore() returns to the last save().
    virtual void save() = 0;
    virtual void restore() = 0;
    virtual void clip(const Rect& r) = 0;
    virtual void setGlobalAlpha(double alpha) = 0;

    virtual void fillRect(const Rect& r, Color c) = 0;
    virtual void frameRect(const Rect& r, Color c, double lineWidth) = 0;
    virtual void fillRoundedRect(const Rect& r, double radius, Color c) = 0;
    // Copies the part of `bitmap` that starts at `source` and has dest's size
    // to dest (one image of a stacked bitmap), blended by its alpha.
    virtual void drawBitmap(const Bitmap& bitmap, const Rect& dest, Point source) = 0;
    virtual void drawPolyline(const PointF* points, int count, double lineWidth, Color c, bool antialias) = 0;
    // One line of text inside r, vertically centred.
    virtual void drawText(std::string_view utf8, const Rect& r, const Font& font, Color c, TextAlign align) = 0;
    virtual double textWidth(std::string_view utf8, const Font& font) = 0;

    // Draws with the state saved and restored around it.
    template <typename F>
    void scoped(F&& draw) {
        save();
        draw();
        restore();
    }
};

}  // namespace tarvik::gui
