// Push buttons, toggles, rockers, lever and slide switches, the patch name window.
#include <cmath>

#include "tools/skin/art.h"

namespace tarvik::skin::art {

namespace {

constexpr double kRadius = 3.0;
constexpr Colour kCapTop = rgb(138, 143, 151);
constexpr Colour kCapBottom = rgb(88, 92, 99);
constexpr Colour kCapPressedTop = rgb(72, 76, 82);
constexpr Colour kCapPressedBottom = rgb(102, 106, 113);
constexpr Colour kEdge = rgb(16, 17, 19);
constexpr Colour kInk = rgb(30, 31, 34);

// A button cap in its rest or pressed state; pressed caps sit one pixel lower
// with their shading reversed. Returns the vertical shift of the cap.
double cap(cairo_t* cr, double x, double y, double width, double height, bool pressed) {
    const double shift = pressed ? 1.0 : 0.0;
    const double w = width - 1.0;
    const double h = height - 2.0;
    if (!pressed) {
        setColour(cr, palette::kShadow, 0.6);
        roundedRect(cr, x + 0.5, y + 1.5, w, h, kRadius);
        cairo_fill(cr);
    }
    roundedRect(cr, x + 0.5, y + 0.5 + shift, w, h, kRadius);
    if (pressed)
        setVerticalGradient(cr, y + shift, kCapPressedTop, y + shift + h, kCapPressedBottom);
    else
        setVerticalGradient(cr, y, kCapTop, y + h, kCapBottom);
    cairo_fill_preserve(cr);
    setColour(cr, kEdge);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    if (pressed) {
        // Shadow of the bezel on the sunken cap.
        cairo_save(cr);
        roundedRect(cr, x + 1.0, y + 1.0 + shift, w - 1.0, h - 1.0, kRadius - 0.5);
        cairo_clip(cr);
        cairo_pattern_t* inner = cairo_pattern_create_linear(0.0, y + shift, 0.0, y + shift + 4.0);
        cairo_pattern_add_color_stop_rgba(inner, 0.0, 0.0, 0.0, 0.0, 0.45);
        cairo_pattern_add_color_stop_rgba(inner, 1.0, 0.0, 0.0, 0.0, 0.0);
        cairo_set_source(cr, inner);
        cairo_paint(cr);
        cairo_pattern_destroy(inner);
        cairo_restore(cr);
    } else {
        // Light catching the top edge.
        setColour(cr, rgb(255, 255, 255), 0.28);
        cairo_move_to(cr, x + kRadius, y + 1.5);
        cairo_line_to(cr, x + w - kRadius + 0.5, y + 1.5);
        cairo_stroke(cr);
    }
    return shift;
}

void triangle(cairo_t* cr, double cx, double cy, double size, Glyph glyph) {
    const double s = size / 2.0;
    switch (glyph) {
    case Glyph::DownTriangle:
        cairo_move_to(cr, cx - s, cy - s * 0.55);
        cairo_line_to(cr, cx + s, cy - s * 0.55);
        cairo_line_to(cr, cx, cy + s * 0.6);
        break;
    case Glyph::LeftTriangle:
        cairo_move_to(cr, cx + s * 0.55, cy - s);
        cairo_line_to(cr, cx + s * 0.55, cy + s);
        cairo_line_to(cr, cx - s * 0.6, cy);
        break;
    case Glyph::RightTriangle:
        cairo_move_to(cr, cx - s * 0.55, cy - s);
        cairo_line_to(cr, cx - s * 0.55, cy + s);
        cairo_line_to(cr, cx + s * 0.6, cy);
        break;
    case Glyph::None: return;
    }
    cairo_close_path(cr);
    cairo_fill(cr);
}

// A small window in a cap: dark when off, glowing when on.
void lamp(cairo_t* cr, double cx, double cy, double width, double height, bool on) {
    if (on) {
        cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, 1.0, cx, cy, width * 0.8);
        cairo_pattern_add_color_stop_rgba(halo, 0.0, palette::kAccent.r, palette::kAccent.g, palette::kAccent.b, 0.5);
        cairo_pattern_add_color_stop_rgba(halo, 1.0, palette::kAccent.r, palette::kAccent.g, palette::kAccent.b, 0.0);
        cairo_set_source(cr, halo);
        roundedRect(cr, cx - width * 0.8, cy - height * 1.6, width * 1.6, height * 3.2, height);
        cairo_fill(cr);
        cairo_pattern_destroy(halo);
    }
    roundedRect(cr, cx - width / 2.0, cy - height / 2.0, width, height, height / 2.0);
    if (on)
        setVerticalGradient(cr, cy - height / 2.0, rgb(255, 236, 200), cy + height / 2.0, palette::kAccent);
    else
        setVerticalGradient(cr, cy - height / 2.0, rgb(18, 18, 20), cy + height / 2.0, rgb(52, 42, 34));
    cairo_fill_preserve(cr);
    setColour(cr, palette::kShadow, 0.6);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

}  // namespace

void pushButton(cairo_t* cr, double width, double height, bool pressed, Glyph glyph) {
    const double shift = cap(cr, 0.0, 0.0, width, height, pressed);
    setColour(cr, kInk);
    triangle(cr, width / 2.0, (height - 1.0) / 2.0 + shift, std::min(width, height) * 0.36, glyph);
}

void toggleButton(cairo_t* cr, double width, double height, bool on) {
    const double shift = cap(cr, 0.0, 0.0, width, height, on);
    lamp(cr, width / 2.0, (height - 1.0) / 2.0 + shift, width * 0.45, 3.6, on);
}

void tripletButton(cairo_t* cr, double width, double height, bool lit) {
    const double shift = cap(cr, 0.0, 0.0, width, height, false);
    // A lens across the cap with three dots: a triplet.
    const double lensWidth = width * 0.62;
    const double lensHeight = height * 0.42;
    const double cx = width / 2.0;
    const double cy = (height - 1.0) / 2.0 + shift;
    lamp(cr, cx, cy, lensWidth, lensHeight, lit);
    setColour(cr, lit ? rgb(120, 52, 8) : rgb(150, 122, 96), lit ? 0.9 : 0.7);
    for (int i = -1; i <= 1; ++i) {
        cairo_arc(cr, cx + i * lensWidth * 0.25, cy, 1.4, 0.0, 2.0 * M_PI);
        cairo_fill(cr);
    }
}

void nameWindow(cairo_t* cr, double width, double height, bool pressed) {
    // A recessed display the editor prints the patch name on.
    roundedRect(cr, 0.5, 0.5, width - 1.0, height - 1.0, 3.0);
    setVerticalGradient(cr, 0.0, rgb(8, 9, 10), height, pressed ? rgb(34, 36, 40) : rgb(22, 23, 26));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_pattern_t* edge = cairo_pattern_create_linear(0.0, 0.0, 0.0, height);
    cairo_pattern_add_color_stop_rgba(edge, 0.0, 0.0, 0.0, 0.0, 0.9);
    cairo_pattern_add_color_stop_rgba(edge, 1.0, 1.0, 1.0, 1.0, 0.16);
    cairo_set_source(cr, edge);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);
    if (pressed) {
        setColour(cr, palette::kAccent, 0.55);
        roundedRect(cr, 1.5, 1.5, width - 3.0, height - 3.0, 2.5);
        cairo_stroke(cr);
    }
}

void rocker(cairo_t* cr, double width, double height, int pressed) {
    // Housing.
    roundedRect(cr, 0.5, 0.5, width - 1.0, height - 1.0, 4.0);
    setColour(cr, rgb(12, 12, 14));
    cairo_fill_preserve(cr);
    setColour(cr, rgb(255, 255, 255), 0.10);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // Two halves of one rocker; a pressed half sinks and darkens, the other tilts up.
    const double inset = 3.0;
    const double half = (height - 2.0 * inset) / 2.0;
    for (int side = 0; side < 2; ++side) {
        const double y = inset + side * half;
        const bool down = (side == 0 && pressed < 0) || (side == 1 && pressed > 0);
        const bool raised = pressed != 0 && !down;
        Colour top = raised ? rgb(150, 155, 163) : kCapTop;
        Colour bottom = raised ? rgb(104, 108, 115) : kCapBottom;
        if (down) {
            top = kCapPressedTop;
            bottom = kCapPressedBottom;
        }
        roundedRect(cr, inset, y + (side == 1 ? 0.5 : 0.0), width - 2.0 * inset, half - 0.5, 2.5);
        setVerticalGradient(cr, y, top, y + half, bottom);
        cairo_fill(cr);
        setColour(cr, kInk, down ? 0.75 : 1.0);
        const double shift = down ? 1.0 : 0.0;
        triangle(cr, width / 2.0, y + half / 2.0 + shift, width * 0.36, side == 0 ? Glyph::None : Glyph::DownTriangle);
        if (side == 0) {
            // An upward triangle: the down glyph mirrored.
            cairo_save(cr);
            cairo_translate(cr, width / 2.0, y + half / 2.0 + shift);
            cairo_scale(cr, 1.0, -1.0);
            triangle(cr, 0.0, 0.0, width * 0.36, Glyph::DownTriangle);
            cairo_restore(cr);
        }
    }
    // The pivot line.
    setColour(cr, palette::kShadow, 0.8);
    cairo_rectangle(cr, inset, height / 2.0 - 0.5, width - 2.0 * inset, 1.0);
    cairo_fill(cr);
}

void leverSwitch(cairo_t* cr, double width, double height, bool down) {
    // Slot.
    const double slotWidth = width * 0.42;
    roundedRect(cr, (width - slotWidth) / 2.0, 2.0, slotWidth, height - 4.0, slotWidth / 2.0);
    setVerticalGradient(cr, 2.0, rgb(4, 4, 5), height - 2.0, rgb(40, 42, 46));
    cairo_fill_preserve(cr);
    setColour(cr, rgb(255, 255, 255), 0.12);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // Lever cap at the chosen end.
    const double capHeight = width * 0.78;
    const double capWidth = width - 2.0;
    const double y = down ? height - capHeight - 1.0 : 1.0;
    setColour(cr, palette::kShadow, 0.5);
    roundedRect(cr, 1.0, y + 1.0, capWidth, capHeight, 3.0);
    cairo_fill(cr);
    roundedRect(cr, 1.0, y, capWidth, capHeight, 3.0);
    setVerticalGradient(cr, y, rgb(226, 229, 233), y + capHeight, rgb(128, 132, 139));
    cairo_fill_preserve(cr);
    setColour(cr, kEdge);
    cairo_stroke(cr);
    setColour(cr, rgb(0, 0, 0), 0.35);
    for (int i = -1; i <= 1; ++i) {
        cairo_rectangle(cr, 3.5, y + capHeight / 2.0 + i * 2.5 - 0.5, capWidth - 5.0, 1.0);
        cairo_fill(cr);
    }
}

void slideSwitch(cairo_t* cr, double width, double height, int position, int positions) {
    const double step = width / positions;
    const double cy = height / 2.0;
    // Slot across the positions, with a detent mark at each.
    roundedRect(cr, step / 2.0 - 4.0, cy - 3.0, width - step + 8.0, 6.0, 3.0);
    setVerticalGradient(cr, cy - 3.0, rgb(4, 4, 5), cy + 3.0, rgb(40, 42, 46));
    cairo_fill(cr);
    setColour(cr, palette::kText, 0.55);
    for (int i = 0; i < positions; ++i) {
        cairo_rectangle(cr, step * (i + 0.5) - 0.5, 1.0, 1.0, 3.0);
        cairo_rectangle(cr, step * (i + 0.5) - 0.5, height - 4.0, 1.0, 3.0);
    }
    cairo_fill(cr);
    // The slider cap over the chosen position.
    const double capWidth = 18.0;
    const double capHeight = height - 8.0;
    const double x = step * (position + 0.5) - capWidth / 2.0;
    const double y = (height - capHeight) / 2.0;
    setColour(cr, palette::kShadow, 0.55);
    roundedRect(cr, x, y + 1.0, capWidth, capHeight, 2.5);
    cairo_fill(cr);
    roundedRect(cr, x, y, capWidth, capHeight, 2.5);
    setVerticalGradient(cr, y, rgb(226, 229, 233), y + capHeight, rgb(128, 132, 139));
    cairo_fill_preserve(cr);
    setColour(cr, kEdge);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    setColour(cr, kInk);
    cairo_rectangle(cr, x + capWidth / 2.0 - 1.0, y + 2.0, 2.0, capHeight - 4.0);
    cairo_fill(cr);
}

}  // namespace tarvik::skin::art
