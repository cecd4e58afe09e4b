// The three-octave note keyboard of the sequencer.
#include "tools/skin/art.h"
#include "tools/skin/layout.h"

namespace tarvik::skin::art {

namespace {

void whiteKey(cairo_t* cr, double x, double height, bool pressed) {
    const double width = kWhiteKeyWidth - 1.0;  // one dark pixel between keys
    // A pressed key tips down: its front lip shrinks and its top shades.
    const double lip = pressed ? 3.0 : 6.0;
    roundedRect(cr, x, -3.0, width, height + 3.0 - 0.5, 2.0);
    setVerticalGradient(cr, 0.0, pressed ? rgb(196, 192, 183) : rgb(228, 225, 216), height - lip,
                        pressed ? rgb(222, 219, 210) : rgb(250, 248, 243));
    cairo_fill(cr);
    cairo_rectangle(cr, x, height - lip, width, lip - 0.5);
    setVerticalGradient(cr, height - lip, rgb(206, 202, 192), height, rgb(170, 166, 157));
    cairo_fill(cr);
}

void blackKey(cairo_t* cr, double x, bool pressed) {
    const double width = kBlackKeyWidth;
    const double depth = kBlackKeyDepth;
    setColour(cr, palette::kShadow, 0.45);
    cairo_rectangle(cr, x + 1.0, 0.0, width, depth + 2.0);
    cairo_fill(cr);
    roundedRect(cr, x, -3.0, width, depth + 3.0, 1.5);
    setColour(cr, rgb(14, 14, 16));
    cairo_fill(cr);
    const double front = pressed ? 4.0 : 8.0;
    // Top face, then the bevelled front.
    roundedRect(cr, x + 1.5, -3.0, width - 3.0, depth + 3.0 - front, 1.0);
    setVerticalGradient(cr, 0.0, pressed ? rgb(28, 28, 31) : rgb(40, 40, 44), depth - front,
                        pressed ? rgb(44, 44, 48) : rgb(66, 66, 72));
    cairo_fill(cr);
    cairo_rectangle(cr, x + 1.5, depth - front, width - 3.0, front - 1.5);
    setVerticalGradient(cr, depth - front, rgb(80, 80, 86), depth, rgb(34, 34, 38));
    cairo_fill(cr);
}

}  // namespace

void keyboard(cairo_t* cr, double width, double height, bool pressed) {
    // The key bed shows through the gaps.
    setColour(cr, rgb(10, 10, 11));
    cairo_rectangle(cr, 0.0, 0.0, width, height);
    cairo_fill(cr);
    const int whiteKeys = kKeyboardOctaves * 7;
    for (int key = 0; key < whiteKeys; ++key) whiteKey(cr, key * kWhiteKeyWidth, height, pressed);
    for (int octave = 0; octave < kKeyboardOctaves; ++octave)
        for (const int left : kBlackKeyLeft) blackKey(cr, octave * kOctaveWidth + left, pressed);
    // The panel's edge shades the far end of the keys.
    cairo_pattern_t* shade = cairo_pattern_create_linear(0.0, 0.0, 0.0, 7.0);
    cairo_pattern_add_color_stop_rgba(shade, 0.0, 0.0, 0.0, 0.0, 0.5);
    cairo_pattern_add_color_stop_rgba(shade, 1.0, 0.0, 0.0, 0.0, 0.0);
    cairo_set_source(cr, shade);
    cairo_rectangle(cr, 0.0, 0.0, width, 7.0);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
}

}  // namespace tarvik::skin::art
