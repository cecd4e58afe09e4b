// A cairo image surface with the few drawing helpers every picture shares,
// and the typesetter that prints the panel's text.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/skin/fonts.h"
#include "tools/skin/palette.h"

namespace tarvik::skin {

class Canvas {
public:
    Canvas(int width, int height);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_.get(); }
    cairo_surface_t* surface() const { return surface_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Throws std::runtime_error when the file cannot be written.
    void writePng(const std::string& path) const;

private:
    struct SurfaceRelease {
        void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
    };
    struct ContextRelease {
        void operator()(cairo_t* c) const { cairo_destroy(c); }
    };
    int width_;
    int height_;
    std::unique_ptr<cairo_surface_t, SurfaceRelease> surface_;
    std::unique_ptr<cairo_t, ContextRelease> cr_;
};

void setColour(cairo_t* cr, Colour colour, double alpha = 1.0);
void roundedRect(cairo_t* cr, double x, double y, double width, double height, double radius);
// Sets a vertical linear gradient from `top` at y0 to `bottom` at y1 as the source.
void setVerticalGradient(cairo_t* cr, double y0, Colour top, double y1, Colour bottom, double alpha = 1.0);
// A soft round shadow: black fading from `alpha` at `inner` to nothing at `outer`.
void softDisc(cairo_t* cr, double cx, double cy, double inner, double outer, double alpha);

// UTF-8 text split into whole characters, so that tracking spaces characters
// rather than bytes.
std::vector<std::string_view> characters(std::string_view text);

class Typesetter {
public:
    explicit Typesetter(const PanelFonts& fonts) : fonts_(fonts) {}

    double width(std::string_view text, const TextStyle& style) const;
    // Distance from the baseline up to the top of the tallest glyphs, and down
    // to the lowest descender.
    double ascent(const TextStyle& style) const;
    double descent(const TextStyle& style) const;
    // Top and bottom of the ink of `text`, relative to its baseline (top negative).
    std::pair<double, double> inkRows(std::string_view text, const TextStyle& style) const;
    // Draws with the baseline at y, starting at x.
    void draw(cairo_t* cr, std::string_view text, const TextStyle& style, double x, double baseline) const;

private:
    void select(cairo_t* cr, const TextStyle& style) const;
    const PanelFonts& fonts_;
};

}  // namespace tarvik::skin
