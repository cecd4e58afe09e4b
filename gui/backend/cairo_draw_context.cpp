#include "gui/backend/cairo_draw_context.h"

#include <string>

namespace tarvik::gui {

namespace {

cairo_surface_t* wrap(const Bitmap& bitmap) {
    auto* data = reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(bitmap.pixels()));
    return cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, bitmap.width(), bitmap.height(),
                                               bitmap.strideBytes());
}

// The bitmap's own Cairo surface, made once and kept with it.
cairo_surface_t* cachedSurface(const Bitmap& bitmap) {
    return static_cast<cairo_surface_t*>(bitmap.native([&] {
        return std::shared_ptr<void>(wrap(bitmap), [](void* s) { cairo_surface_destroy(static_cast<cairo_surface_t*>(s)); });
    }));
}

}  // namespace

cairo_surface_t* surfaceOf(Bitmap& bitmap) { return wrap(bitmap); }

CairoDrawContext::CairoDrawContext(cairo_surface_t* target) : cr_(cairo_create(target)) {}

CairoDrawContext::~CairoDrawContext() { cairo_destroy(cr_); }

void CairoDrawContext::save() {
    cairo_save(cr_);
    savedAlpha_.push_back(alpha_);
}

void CairoDrawContext::restore() {
    cairo_restore(cr_);
    if (!savedAlpha_.empty()) {
        alpha_ = savedAlpha_.back();
        savedAlpha_.pop_back();
    }
}

void CairoDrawContext::clip(const Rect& r) {
    cairo_rectangle(cr_, r.left, r.top, r.width(), r.height());
    cairo_clip(cr_);
}

void CairoDrawContext::setColor(Color c) {
    cairo_set_source_rgba(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0 * alpha_);
}

void CairoDrawContext::fillRect(const Rect& r, Color c) {
    setColor(c);
    cairo_rectangle(cr_, r.left, r.top, r.width(), r.height());
    cairo_fill(cr_);
}

void CairoDrawContext::frameRect(const Rect& r, Color c, double lineWidth) {
    setColor(c);
    cairo_set_line_width(cr_, lineWidth);
    // Lines on the pixel grid: a 1-pixel line sits inside the rectangle.
    const double half = lineWidth / 2.0;
    cairo_rectangle(cr_, r.left + half, r.top + half, r.width() - lineWidth, r.height() - lineWidth);
    cairo_stroke(cr_);
}

void CairoDrawContext::fillRoundedRect(const Rect& r, double radius, Color c) {
    const double x = r.left;
    const double y = r.top;
    const double w = r.width();
    const double h = r.height();
    constexpr double kQuarter = 1.5707963267948966;
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x + w - radius, y + radius, radius, -kQuarter, 0.0);
    cairo_arc(cr_, x + w - radius, y + h - radius, radius, 0.0, kQuarter);
    cairo_arc(cr_, x + radius, y + h - radius, radius, kQuarter, 2.0 * kQuarter);
    cairo_arc(cr_, x + radius, y + radius, radius, 2.0 * kQuarter, 3.0 * kQuarter);
    cairo_close_path(cr_);
    setColor(c);
    cairo_fill(cr_);
}

void CairoDrawContext::drawBitmap(const Bitmap& bitmap, const Rect& dest, Point source) {
    if (bitmap.empty() || dest.empty()) return;
    cairo_save(cr_);
    cairo_rectangle(cr_, dest.left, dest.top, dest.width(), dest.height());
    cairo_clip(cr_);
    cairo_set_source_surface(cr_, cachedSurface(bitmap), dest.left - source.x, dest.top - source.y);
    if (alpha_ >= 1.0)
        cairo_paint(cr_);
    else
        cairo_paint_with_alpha(cr_, alpha_);
    cairo_restore(cr_);
}

void CairoDrawContext::drawPolyline(const PointF* points, int count, double lineWidth, Color c, bool antialias) {
    if (count < 2) return;
    cairo_save(cr_);
    cairo_set_antialias(cr_, antialias ? CAIRO_ANTIALIAS_FAST : CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cr_, lineWidth);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr_, points[0].x, points[0].y);
    for (int i = 1; i < count; ++i) cairo_line_to(cr_, points[i].x, points[i].y);
    setColor(c);
    cairo_stroke(cr_);
    cairo_restore(cr_);
}

void CairoDrawContext::setFont(const Font& font) {
    cairo_select_font_face(cr_, kPanelFontFamily, CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, font.size);
}

void CairoDrawContext::drawText(std::string_view utf8, const Rect& r, const Font& font, Color c, TextAlign align) {
    if (utf8.empty()) return;
    const std::string text(utf8);
    cairo_save(cr_);
    clip(r);
    setFont(font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, text.c_str(), &extents);
    cairo_font_extents_t metrics;
    cairo_font_extents(cr_, &metrics);
    double x = r.left - extents.x_bearing;
    if (align == TextAlign::Centre) x = r.left + (r.width() - extents.x_advance) / 2.0;
    if (align == TextAlign::Right) x = r.right - extents.x_advance;
    const double y = r.top + (r.height() + metrics.ascent - metrics.descent) / 2.0;
    cairo_move_to(cr_, x, y);
    setColor(c);
    cairo_show_text(cr_, text.c_str());
    cairo_restore(cr_);
}

double CairoDrawContext::textWidth(std::string_view utf8, const Font& font) {
    const std::string text(utf8);
    cairo_save(cr_);
    setFont(font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, text.c_str(), &extents);
    cairo_restore(cr_);
    return extents.x_advance;
}

}  // namespace tarvik::gui
