#include "tools/skin/canvas.h"

#include <cmath>
#include <stdexcept>

namespace tarvik::skin {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)) {
    if (cairo_surface_status(surface_.get()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot create a " + std::to_string(width) + " x " + std::to_string(height) +
                                 " picture");
    cr_.reset(cairo_create(surface_.get()));
    cairo_set_antialias(cr_.get(), CAIRO_ANTIALIAS_BEST);
}

void Canvas::writePng(const std::string& path) const {
    cairo_surface_flush(surface_.get());
    if (cairo_surface_write_to_png(surface_.get(), path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path);
}

void setColour(cairo_t* cr, Colour colour, double alpha) {
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
}

void roundedRect(cairo_t* cr, double x, double y, double width, double height, double radius) {
    const double r = std::min(radius, std::min(width, height) / 2.0);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - r, y + r, r, -M_PI / 2.0, 0.0);
    cairo_arc(cr, x + width - r, y + height - r, r, 0.0, M_PI / 2.0);
    cairo_arc(cr, x + r, y + height - r, r, M_PI / 2.0, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void setVerticalGradient(cairo_t* cr, double y0, Colour top, double y1, Colour bottom, double alpha) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0.0, y0, 0.0, y1);
    cairo_pattern_add_color_stop_rgba(gradient, 0.0, top.r, top.g, top.b, alpha);
    cairo_pattern_add_color_stop_rgba(gradient, 1.0, bottom.r, bottom.g, bottom.b, alpha);
    cairo_set_source(cr, gradient);
    cairo_pattern_destroy(gradient);
}

void softDisc(cairo_t* cr, double cx, double cy, double inner, double outer, double alpha) {
    cairo_pattern_t* shadow = cairo_pattern_create_radial(cx, cy, inner, cx, cy, outer);
    cairo_pattern_add_color_stop_rgba(shadow, 0.0, 0.0, 0.0, 0.0, alpha);
    cairo_pattern_add_color_stop_rgba(shadow, 0.5, 0.0, 0.0, 0.0, alpha * 0.35);
    cairo_pattern_add_color_stop_rgba(shadow, 1.0, 0.0, 0.0, 0.0, 0.0);
    cairo_set_source(cr, shadow);
    cairo_arc(cr, cx, cy, outer, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);
}

std::vector<std::string_view> characters(std::string_view text) {
    std::vector<std::string_view> result;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        length = std::min(length, text.size() - i);
        result.push_back(text.substr(i, length));
        i += length;
    }
    return result;
}

namespace {

// One tiny surface to measure text on.
cairo_t* measuringContext() {
    static cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    static cairo_t* cr = cairo_create(surface);
    return cr;
}

}  // namespace

void Typesetter::select(cairo_t* cr, const TextStyle& style) const {
    cairo_set_font_face(cr, fonts_.face(style.bold));
    cairo_set_font_size(cr, style.size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    // Unhinted advances keep every width the same whatever the position.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double Typesetter::width(std::string_view text, const TextStyle& style) const {
    cairo_t* cr = measuringContext();
    select(cr, style);
    double total = 0.0;
    const auto glyphs = characters(text);
    for (const std::string_view glyph : glyphs) {
        const std::string one(glyph);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, one.c_str(), &extents);
        total += extents.x_advance;
    }
    if (glyphs.size() > 1) total += style.tracking * static_cast<double>(glyphs.size() - 1);
    return total;
}

double Typesetter::ascent(const TextStyle& style) const {
    // The font's own ascent leaves room for accents the panel never prints;
    // DejaVu Sans capitals and ascenders reach about 0.73 em.
    return std::ceil(style.size * 0.76);
}

double Typesetter::descent(const TextStyle& style) const {
    cairo_t* cr = measuringContext();
    select(cr, style);
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    return std::ceil(extents.descent);
}

std::pair<double, double> Typesetter::inkRows(std::string_view text, const TextStyle& style) const {
    cairo_t* cr = measuringContext();
    select(cr, style);
    const std::string whole(text);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, whole.c_str(), &extents);
    return {extents.y_bearing, extents.y_bearing + extents.height};
}

void Typesetter::draw(cairo_t* cr, std::string_view text, const TextStyle& style, double x, double baseline) const {
    cairo_save(cr);
    select(cr, style);
    setColour(cr, style.ink);
    for (const std::string_view glyph : characters(text)) {
        const std::string one(glyph);
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, one.c_str());
        cairo_text_extents_t extents;
        cairo_text_extents(cr, one.c_str(), &extents);
        x += extents.x_advance + style.tracking;
    }
    // Text leaves a current point behind; the next arc must not start from it.
    cairo_new_path(cr);
    cairo_restore(cr);
}

}  // namespace tarvik::skin
