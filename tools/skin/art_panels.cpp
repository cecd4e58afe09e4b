// The dialog panels' check box, close button, number field and rule. They
// sit on the panels' flat grey, so they are drawn flatter than the main
// panel's controls: a sunken field, an amber mark for "on".
#include <algorithm>
#include <cmath>

#include "tools/skin/art.h"

namespace tarvik::skin::art {

namespace {

constexpr Colour kFieldTop = rgb(18, 18, 19);
constexpr Colour kFieldBottom = rgb(32, 32, 34);
constexpr Colour kFieldEdge = rgb(86, 88, 92);
constexpr Colour kMark = rgb(226, 228, 231);
constexpr Colour kArrow = rgb(170, 173, 178);
constexpr Colour kLineDark = rgb(16, 16, 17);
constexpr Colour kLineLight = rgb(76, 78, 82);

// A sunken rounded field with a hairline edge.
void field(cairo_t* cr, double x, double y, double width, double height, double radius) {
    roundedRect(cr, x + 0.5, y + 0.5, width - 1.0, height - 1.0, radius);
    setVerticalGradient(cr, y, kFieldTop, y + height, kFieldBottom);
    cairo_fill_preserve(cr);
    setColour(cr, kFieldEdge);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void arrowHead(cairo_t* cr, double cx, double cy, double half, bool up) {
    const double tip = up ? -half * 0.6 : half * 0.6;
    cairo_move_to(cr, cx - half, cy - tip);
    cairo_line_to(cr, cx + half, cy - tip);
    cairo_line_to(cr, cx, cy + tip);
    cairo_close_path(cr);
    cairo_fill(cr);
}

}  // namespace

void checkBox(cairo_t* cr, double size, bool ticked) {
    const double box = std::round(size * 0.82);
    const double inset = std::floor((size - box) / 2.0);
    field(cr, inset, inset, box, box, 2.5);
    if (!ticked) return;
    // An amber tick with a soft glow behind it.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double l = inset + box * 0.24;
    const double r = inset + box * 0.78;
    cairo_move_to(cr, l, inset + box * 0.52);
    cairo_line_to(cr, inset + box * 0.43, inset + box * 0.72);
    cairo_line_to(cr, r, inset + box * 0.28);
    setColour(cr, palette::kAccent, 0.35);
    cairo_set_line_width(cr, 3.6);
    cairo_stroke_preserve(cr);
    setColour(cr, palette::kAccent);
    cairo_set_line_width(cr, 1.9);
    cairo_stroke(cr);
}

void closeButton(cairo_t* cr, double size, bool pressed) {
    const double c = size / 2.0;
    const double radius = size * 0.4;
    if (!pressed) softDisc(cr, c, c + 1.0, radius * 0.8, radius + 1.5, 0.5);
    cairo_arc(cr, c, c + (pressed ? 1.0 : 0.0), radius, 0.0, 2.0 * M_PI);
    if (pressed)
        setVerticalGradient(cr, c - radius, rgb(30, 31, 33), c + radius, rgb(58, 60, 64));
    else
        setVerticalGradient(cr, c - radius, rgb(92, 95, 100), c + radius, rgb(56, 58, 62));
    cairo_fill_preserve(cr);
    setColour(cr, kLineDark);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // The cross, amber while held.
    const double arm = radius * 0.42;
    const double cy = c + (pressed ? 1.0 : 0.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, c - arm, cy - arm);
    cairo_line_to(cr, c + arm, cy + arm);
    cairo_move_to(cr, c + arm, cy - arm);
    cairo_line_to(cr, c - arm, cy + arm);
    setColour(cr, pressed ? palette::kAccent : kMark);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
}

void spinBox(cairo_t* cr, double width, double height, double arrowWidth) {
    field(cr, 0.0, 0.0, width, height, 3.0);
    // The arrow strip, set off by a hairline.
    const double strip = width - arrowWidth;
    setColour(cr, kFieldEdge, 0.6);
    cairo_rectangle(cr, strip, 2.0, 1.0, height - 4.0);
    cairo_fill(cr);
    setColour(cr, kArrow);
    const double cx = strip + arrowWidth / 2.0;
    arrowHead(cr, cx, height * 0.3, arrowWidth * 0.24, true);
    arrowHead(cr, cx, height * 0.7, arrowWidth * 0.24, false);
}

void engravedLine(cairo_t* cr, double width, double height) {
    const double half = std::max(1.0, std::floor(height / 2.0));
    setColour(cr, kLineDark);
    cairo_rectangle(cr, 0.0, 0.0, width, half);
    cairo_fill(cr);
    setColour(cr, kLineLight);
    cairo_rectangle(cr, 0.0, half, width, height - half);
    cairo_fill(cr);
}

}  // namespace tarvik::skin::art
