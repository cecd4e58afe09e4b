// Knobs, LEDs and segment digits.
#include <array>
#include <cmath>

#include "tools/skin/art.h"

namespace tarvik::skin::art {

namespace {

constexpr double kSweepStart = 120.0 * M_PI / 180.0;  // lower left, seen on screen
constexpr double kSweep = 300.0 * M_PI / 180.0;
constexpr double kTop = 270.0 * M_PI / 180.0;

struct CapColours {
    Colour skirtTop, skirtBottom, faceTop, faceBottom, pointer;
    double shine;
};
// Large knobs wear bright aluminium caps so that the bass section reads
// first; the others are graphite.
constexpr CapColours kAluminium{rgb(222, 225, 229), rgb(112, 116, 122), rgb(160, 164, 170),
                                rgb(232, 234, 237), rgb(28, 29, 32),    0.35};
constexpr CapColours kGraphite{rgb(96, 100, 107), rgb(34, 36, 40),    rgb(46, 49, 54),
                               rgb(82, 86, 93),   rgb(242, 243, 244), 0.12};

void arc(cairo_t* cr, double c, double radius, double from, double to) {
    cairo_new_path(cr);
    if (to >= from)
        cairo_arc(cr, c, c, radius, from, to);
    else
        cairo_arc_negative(cr, c, c, radius, from, to);
}

}  // namespace

void knob(cairo_t* cr, double size, double value, bool large, bool centred) {
    const double c = size / 2.0;
    const double arcRadius = size * 0.43;
    const double arcWidth = large ? 3.4 : 2.8;
    const double capRadius = size * (large ? 0.305 : 0.29);
    const CapColours& colours = large ? kAluminium : kGraphite;
    const double angle = kSweepStart + kSweep * value;

    // Groove for the value arc.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, arcWidth + 1.2);
    setColour(cr, palette::kShadow, 0.55);
    arc(cr, c, arcRadius, kSweepStart, kSweepStart + kSweep);
    cairo_stroke(cr);
    cairo_set_line_width(cr, arcWidth);
    setColour(cr, rgb(22, 23, 26));
    arc(cr, c, arcRadius, kSweepStart, kSweepStart + kSweep);
    cairo_stroke(cr);

    // The lit part, with a little glow.
    const double from = centred ? kTop : kSweepStart;
    if (std::fabs(angle - from) > 1e-6) {
        cairo_set_line_width(cr, arcWidth + 3.0);
        setColour(cr, palette::kAccent, 0.22);
        arc(cr, c, arcRadius, from, angle);
        cairo_stroke(cr);
        cairo_set_line_width(cr, arcWidth);
        setColour(cr, palette::kAccent);
        arc(cr, c, arcRadius, from, angle);
        cairo_stroke(cr);
    }

    // Drop shadow, skirt, face.
    softDisc(cr, c + 0.8, c + 2.0, capRadius * 0.75, capRadius + (large ? 5.0 : 4.0), 0.75);
    setVerticalGradient(cr, c - capRadius, colours.skirtTop, c + capRadius, colours.skirtBottom);
    cairo_arc(cr, c, c, capRadius, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::kShadow, 0.55);
    cairo_arc(cr, c, c, capRadius - 0.5, 0.0, 2.0 * M_PI);
    cairo_stroke(cr);

    const double faceRadius = capRadius * 0.78;
    setVerticalGradient(cr, c - faceRadius, colours.faceTop, c + faceRadius, colours.faceBottom);
    cairo_arc(cr, c, c, faceRadius, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    // A sheen on the upper left of the face.
    cairo_pattern_t* sheen =
        cairo_pattern_create_radial(c - faceRadius * 0.4, c - faceRadius * 0.5, 0.0, c, c, faceRadius);
    cairo_pattern_add_color_stop_rgba(sheen, 0.0, 1.0, 1.0, 1.0, colours.shine);
    cairo_pattern_add_color_stop_rgba(sheen, 1.0, 1.0, 1.0, 1.0, 0.0);
    cairo_set_source(cr, sheen);
    cairo_arc(cr, c, c, faceRadius, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(sheen);
    // The bevel between skirt and face catches the light at the top.
    cairo_set_line_width(cr, 1.0);
    cairo_pattern_t* bevel = cairo_pattern_create_linear(0.0, c - faceRadius, 0.0, c + faceRadius);
    cairo_pattern_add_color_stop_rgba(bevel, 0.0, 1.0, 1.0, 1.0, 0.45);
    cairo_pattern_add_color_stop_rgba(bevel, 0.5, 1.0, 1.0, 1.0, 0.0);
    cairo_pattern_add_color_stop_rgba(bevel, 1.0, 0.0, 0.0, 0.0, 0.35);
    cairo_set_source(cr, bevel);
    cairo_arc(cr, c, c, faceRadius + 0.5, 0.0, 2.0 * M_PI);
    cairo_stroke(cr);
    cairo_pattern_destroy(bevel);

    // Pointer from near the centre to the skirt's edge.
    const double dx = std::cos(angle);
    const double dy = std::sin(angle);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, large ? 3.2 : 2.4);
    setColour(cr, colours.pointer);
    cairo_move_to(cr, c + dx * capRadius * 0.28, c + dy * capRadius * 0.28);
    cairo_line_to(cr, c + dx * (capRadius - 2.0), c + dy * (capRadius - 2.0));
    cairo_stroke(cr);
}

void led(cairo_t* cr, double size, bool lit) {
    const double c = size / 2.0;
    const double bezel = size * 0.40;
    const double lens = size * 0.29;
    // Recessed bezel: darker at the top, where the panel shades it.
    setVerticalGradient(cr, c - bezel, rgb(8, 8, 9), c + bezel, rgb(70, 73, 78));
    cairo_arc(cr, c, c, bezel, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    if (lit) {
        cairo_pattern_t* halo = cairo_pattern_create_radial(c, c, lens * 0.6, c, c, c);
        cairo_pattern_add_color_stop_rgba(halo, 0.0, palette::kAccent.r, palette::kAccent.g, palette::kAccent.b, 0.7);
        cairo_pattern_add_color_stop_rgba(halo, 1.0, palette::kAccent.r, palette::kAccent.g, palette::kAccent.b, 0.0);
        cairo_set_source(cr, halo);
        cairo_paint(cr);
        cairo_pattern_destroy(halo);
    }
    cairo_pattern_t* glass = cairo_pattern_create_radial(c - lens * 0.25, c - lens * 0.3, 0.0, c, c, lens);
    if (lit) {
        cairo_pattern_add_color_stop_rgb(glass, 0.0, 1.0, 0.97, 0.88);
        cairo_pattern_add_color_stop_rgb(glass, 0.45, palette::kAccent.r, palette::kAccent.g, palette::kAccent.b);
        cairo_pattern_add_color_stop_rgb(glass, 1.0, palette::kAccentDeep.r, palette::kAccentDeep.g,
                                         palette::kAccentDeep.b);
    } else {
        cairo_pattern_add_color_stop_rgb(glass, 0.0, 128 / 255.0, 78 / 255.0, 36 / 255.0);
        cairo_pattern_add_color_stop_rgb(glass, 1.0, 56 / 255.0, 32 / 255.0, 14 / 255.0);
    }
    cairo_set_source(cr, glass);
    cairo_arc(cr, c, c, lens, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
    // Specular spot.
    setColour(cr, rgb(255, 255, 255), lit ? 0.75 : 0.35);
    cairo_arc(cr, c - lens * 0.35, c - lens * 0.4, lens * 0.28, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
}

namespace {

// Segments a b c d e f g, clockwise from the top, g across the middle; for
// 0 to 9, then none: the glass of a display that is off.
constexpr std::array<unsigned, 11> kSegments = {0b0111111, 0b0000110, 0b1011011, 0b1001111, 0b1100110, 0b1101101,
                                                0b1111101, 0b0000111, 0b1111111, 0b1101111, 0b0000000};

void segmentPath(cairo_t* cr, int segment, double left, double right, double top, double middle, double bottom) {
    const double inset = 1.6;
    switch (segment) {
    case 0:
        cairo_move_to(cr, left + inset, top);
        cairo_line_to(cr, right - inset, top);
        break;
    case 1:
        cairo_move_to(cr, right, top + inset);
        cairo_line_to(cr, right, middle - inset);
        break;
    case 2:
        cairo_move_to(cr, right, middle + inset);
        cairo_line_to(cr, right, bottom - inset);
        break;
    case 3:
        cairo_move_to(cr, left + inset, bottom);
        cairo_line_to(cr, right - inset, bottom);
        break;
    case 4:
        cairo_move_to(cr, left, middle + inset);
        cairo_line_to(cr, left, bottom - inset);
        break;
    case 5:
        cairo_move_to(cr, left, top + inset);
        cairo_line_to(cr, left, middle - inset);
        break;
    default:
        cairo_move_to(cr, left + inset, middle);
        cairo_line_to(cr, right - inset, middle);
        break;
    }
}

}  // namespace

void digit(cairo_t* cr, double width, double height, int value) {
    // The display glass; the bezel around it is printed on the panel.
    setVerticalGradient(cr, 0.0, rgb(14, 10, 8), height, rgb(24, 17, 13));
    cairo_rectangle(cr, 0.0, 0.0, width, height);
    cairo_fill(cr);
    const double left = width * 0.25;
    const double right = width * 0.75;
    const double top = height * 0.18;
    const double bottom = height * 0.82;
    const double middle = (top + bottom) / 2.0;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const unsigned lit = kSegments[static_cast<std::size_t>(value)];
    for (int pass = 0; pass < 3; ++pass) {
        for (int segment = 0; segment < 7; ++segment) {
            const bool on = (lit >> segment) & 1U;
            if (pass == 0 && on) continue;
            if (pass > 0 && !on) continue;
            segmentPath(cr, segment, left, right, top, middle, bottom);
            if (pass == 0) {
                cairo_set_line_width(cr, 2.4);
                setColour(cr, rgb(52, 32, 20));  // unlit segments stay faintly visible
            } else if (pass == 1) {
                cairo_set_line_width(cr, 5.0);
                setColour(cr, palette::kAccent, 0.25);
            } else {
                cairo_set_line_width(cr, 2.4);
                setColour(cr, mix(palette::kAccent, rgb(255, 240, 210), 0.25));
            }
            cairo_stroke(cr);
        }
    }
}

}  // namespace tarvik::skin::art
