// Sockets, the cable plug and its shadow, and the small pictures around them.
#include <cmath>

#include "tools/skin/art.h"

namespace tarvik::skin::art {

void socket(cairo_t* cr, double size, bool lit) {
    const double c = size / 2.0;
    const double ring = size * 0.44;
    const double hole = size * 0.21;
    softDisc(cr, c + 0.5, c + 1.2, ring * 0.8, ring + 2.0, 0.6);
    // Threaded metal ring, lit from the upper left.
    cairo_pattern_t* metal = cairo_pattern_create_linear(c - ring, c - ring, c + ring, c + ring);
    cairo_pattern_add_color_stop_rgb(metal, 0.0, 0.88, 0.89, 0.90);
    cairo_pattern_add_color_stop_rgb(metal, 0.55, 0.58, 0.60, 0.63);
    cairo_pattern_add_color_stop_rgb(metal, 1.0, 0.34, 0.36, 0.39);
    cairo_set_source(cr, metal);
    cairo_arc(cr, c, c, ring, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(metal);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::kShadow, 0.6);
    cairo_arc(cr, c, c, ring - 0.5, 0.0, 2.0 * M_PI);
    cairo_stroke(cr);
    // Inner collar, then the hole.
    setVerticalGradient(cr, c - hole - 2.0, rgb(60, 62, 66), c + hole + 2.0, rgb(170, 173, 178));
    cairo_arc(cr, c, c, hole + 2.0, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    cairo_pattern_t* depth = cairo_pattern_create_radial(c, c + 1.0, 0.0, c, c, hole);
    cairo_pattern_add_color_stop_rgb(depth, 0.0, 0.0, 0.0, 0.0);
    cairo_pattern_add_color_stop_rgb(depth, 0.8, 0.03, 0.03, 0.035);
    cairo_pattern_add_color_stop_rgb(depth, 1.0, 0.16, 0.16, 0.17);
    cairo_set_source(cr, depth);
    cairo_arc(cr, c, c, hole, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(depth);
    if (lit) {
        // The drop target: the ring glows in the accent colour.
        cairo_set_line_width(cr, 2.4);
        setColour(cr, palette::kAccent, 0.9);
        cairo_arc(cr, c, c, ring - 1.6, 0.0, 2.0 * M_PI);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 1.2);
        setColour(cr, rgb(255, 236, 200), 0.8);
        cairo_arc(cr, c, c, ring - 1.6, 0.0, 2.0 * M_PI);
        cairo_stroke(cr);
    }
}

void cablePlug(cairo_t* cr, double size) {
    const double c = size / 2.0;
    const double body = size * 0.44;
    // Rubber grip seen from above, a metal sleeve in the middle.
    cairo_pattern_t* rubber = cairo_pattern_create_radial(c - body * 0.35, c - body * 0.4, 0.0, c, c, body);
    cairo_pattern_add_color_stop_rgb(rubber, 0.0, 0.52, 0.54, 0.58);
    cairo_pattern_add_color_stop_rgb(rubber, 1.0, 0.13, 0.13, 0.15);
    cairo_set_source(cr, rubber);
    cairo_arc(cr, c, c, body, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(rubber);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::kShadow, 0.8);
    cairo_arc(cr, c, c, body - 0.5, 0.0, 2.0 * M_PI);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 0.8);
    for (double r = body * 0.62; r < body - 1.0; r += body * 0.16) {
        setColour(cr, rgb(255, 255, 255), 0.16);
        cairo_arc(cr, c, c, r, 0.0, 2.0 * M_PI);
        cairo_stroke(cr);
    }
    const double sleeve = body * 0.42;
    setVerticalGradient(cr, c - sleeve, rgb(232, 234, 237), c + sleeve, rgb(110, 114, 120));
    cairo_arc(cr, c, c, sleeve, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    setColour(cr, palette::kShadow, 0.5);
    cairo_arc(cr, c, c, sleeve * 0.45, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
}

void plugShadow(cairo_t* cr, double size) {
    const double c = size / 2.0;
    softDisc(cr, c, c, size * 0.12, size * 0.48, 0.6);
}

void smallArrow(cairo_t* cr, double size, int frame, int frames) {
    // A chevron that bobs gently; the motion is small so that it never flashes.
    const double phase = 2.0 * M_PI * frame / frames;
    const double c = size / 2.0;
    const double y = c + 1.5 * std::sin(phase) - 1.0;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 2.0);
    setColour(cr, palette::kText, 0.65 + 0.2 * std::sin(phase));
    cairo_move_to(cr, c - size * 0.28, y - size * 0.14);
    cairo_line_to(cr, c, y + size * 0.14);
    cairo_line_to(cr, c + size * 0.28, y - size * 0.14);
    cairo_stroke(cr);
}

void displayBox(cairo_t* cr, double width, double height) {
    roundedRect(cr, 0.5, 0.5, width - 1.0, height - 1.0, 5.0);
    setVerticalGradient(cr, 0.0, rgb(30, 32, 35), height, rgb(16, 17, 19), 0.96);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, rgb(104, 110, 118));
    cairo_stroke(cr);
    setColour(cr, rgb(255, 255, 255), 0.07);
    cairo_move_to(cr, 5.0, 1.5);
    cairo_line_to(cr, width - 5.0, 1.5);
    cairo_stroke(cr);
}

void scrollArrow(cairo_t* cr, double size) {
    roundedRect(cr, 0.5, 0.5, size - 1.0, size - 1.0, 3.0);
    setVerticalGradient(cr, 0.0, rgb(70, 74, 80), size, rgb(36, 38, 42));
    cairo_fill_preserve(cr);
    setColour(cr, palette::kShadow, 0.7);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    const double c = size / 2.0;
    cairo_set_line_width(cr, 2.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setColour(cr, palette::kText);
    cairo_move_to(cr, c - size * 0.25, c + size * 0.1);
    cairo_line_to(cr, c, c - size * 0.15);
    cairo_line_to(cr, c + size * 0.25, c + size * 0.1);
    cairo_stroke(cr);
}

void bunnyBug(cairo_t* cr, double size) {
    // The editor's little mascot: a beetle with long ears.
    const double s = size / 32.0;
    cairo_save(cr);
    cairo_scale(cr, s, s);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, rgb(40, 42, 46));
    cairo_set_line_width(cr, 1.4);
    for (int side = -1; side <= 1; side += 2)
        for (int leg = 0; leg < 3; ++leg) {
            cairo_move_to(cr, 16.0 + side * 5.0, 17.0 + leg * 4.0);
            cairo_line_to(cr, 16.0 + side * 10.0, 15.0 + leg * 5.0);
        }
    cairo_stroke(cr);
    for (int side = -1; side <= 1; side += 2) {
        cairo_save(cr);
        cairo_translate(cr, 16.0 + side * 3.0, 6.0);
        cairo_rotate(cr, side * 0.25);
        cairo_scale(cr, 1.6, 5.0);
        cairo_arc(cr, 0.0, 0.0, 1.0, 0.0, 2.0 * M_PI);
        cairo_restore(cr);
        setColour(cr, rgb(200, 204, 210));
        cairo_fill(cr);
    }
    cairo_save(cr);
    cairo_translate(cr, 16.0, 21.0);
    cairo_scale(cr, 7.0, 8.5);
    cairo_arc(cr, 0.0, 0.0, 1.0, 0.0, 2.0 * M_PI);
    cairo_restore(cr);
    setVerticalGradient(cr, 12.0, palette::kAccent, 30.0, palette::kAccentDeep);
    cairo_fill(cr);
    setColour(cr, rgb(30, 20, 12));
    cairo_rectangle(cr, 15.5, 13.0, 1.0, 16.0);
    cairo_fill(cr);
    for (const double spot : {-3.5, 3.5}) {
        cairo_arc(cr, 16.0 + spot, 21.0, 1.5, 0.0, 2.0 * M_PI);
        cairo_fill(cr);
    }
    setColour(cr, rgb(220, 224, 230));
    cairo_arc(cr, 16.0, 12.5, 4.0, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    setColour(cr, rgb(20, 20, 22));
    for (const double eye : {-1.6, 1.6}) {
        cairo_arc(cr, 16.0 + eye, 12.0, 0.9, 0.0, 2.0 * M_PI);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

}  // namespace tarvik::skin::art
