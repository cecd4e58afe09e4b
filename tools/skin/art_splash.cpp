// The splash screen shown over the panel when the editor opens.
#include <cmath>

#include "tools/skin/art.h"

namespace tarvik::skin::art {

namespace {

constexpr TextStyle kTitle{50.0, true, 12.0, palette::kHeadingText};
constexpr TextStyle kTagline{10.0, true, 2.0, palette::kText};
constexpr TextStyle kMaker{14.0, false, 1.0, palette::kHeadingText};
constexpr TextStyle kVersion{10.0, false, 0.5, palette::kText};

void centred(cairo_t* cr, const Typesetter& type, const char* text, const TextStyle& style, double width,
             double baseline) {
    type.draw(cr, text, style, std::round((width - type.width(text, style)) / 2.0), baseline);
}

}  // namespace

void splash(cairo_t* cr, double width, double height, const Typesetter& type) {
    roundedRect(cr, 0.5, 0.5, width - 1.0, height - 1.0, 10.0);
    setVerticalGradient(cr, 0.0, rgb(44, 47, 52), height, rgb(18, 19, 21));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, rgb(96, 101, 108));
    cairo_stroke(cr);
    // A faint glow behind the name.
    cairo_pattern_t* glow =
        cairo_pattern_create_radial(width / 2.0, height * 0.42, 0.0, width / 2.0, height * 0.42, width * 0.45);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, palette::kAccent.r, palette::kAccent.g, palette::kAccent.b, 0.12);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, palette::kAccent.r, palette::kAccent.g, palette::kAccent.b, 0.0);
    cairo_set_source(cr, glow);
    roundedRect(cr, 1.0, 1.0, width - 2.0, height - 2.0, 9.5);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);

    centred(cr, type, "TARVIK", kTitle, width, height * 0.46);
    setColour(cr, palette::kAccent);
    cairo_rectangle(cr, width / 2.0 - 40.0, height * 0.46 + 14.0, 80.0, 2.0);
    cairo_fill(cr);
    centred(cr, type, "BASS SYNTHESIZER \u00b7 STEP SEQUENCER", kTagline, width, height * 0.46 + 38.0);
    centred(cr, type, "Sonvarde", kMaker, width, height - 40.0);
    centred(cr, type, "Version 1.0", kVersion, width, height - 22.0);
}

}  // namespace tarvik::skin::art
