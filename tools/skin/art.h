// The drawing of each kind of picture, one frame at a time, at the origin of
// the given context. Frames are stacked by the caller.
#pragma once

#include <cairo.h>

#include "tools/skin/canvas.h"

namespace tarvik::skin::art {

// A knob showing `value` (0..1) on a 300-degree sweep with the gap at the
// bottom. Centred knobs light their arc from the top, outwards.
void knob(cairo_t* cr, double size, double value, bool large, bool centred);
void led(cairo_t* cr, double size, bool lit);
// One digit 0..9 of a segment display, or with 10 (kDarkDigit) none lit.
void digit(cairo_t* cr, double width, double height, int value);

enum class Glyph { None, DownTriangle, LeftTriangle, RightTriangle };
void pushButton(cairo_t* cr, double width, double height, bool pressed, Glyph glyph);
void toggleButton(cairo_t* cr, double width, double height, bool on);
void tripletButton(cairo_t* cr, double width, double height, bool lit);
void nameWindow(cairo_t* cr, double width, double height, bool pressed);
// `pressed`: -1 upper half, 0 none, +1 lower half.
void rocker(cairo_t* cr, double width, double height, int pressed);
void leverSwitch(cairo_t* cr, double width, double height, bool down);
void slideSwitch(cairo_t* cr, double width, double height, int position, int positions);

// Image 0 of the keyboard shows every key at rest, image 1 every key pressed.
void keyboard(cairo_t* cr, double width, double height, bool pressed);

void socket(cairo_t* cr, double size, bool lit);
void cablePlug(cairo_t* cr, double size);
void plugShadow(cairo_t* cr, double size);
void smallArrow(cairo_t* cr, double size, int frame, int frames);
void displayBox(cairo_t* cr, double width, double height);
void splash(cairo_t* cr, double width, double height, const Typesetter& type);
void scrollArrow(cairo_t* cr, double size);
void bunnyBug(cairo_t* cr, double size);

// The program's own pictures for the editor's dialog panels, drawn for the
// panel grey (40, 40, 40).
void checkBox(cairo_t* cr, double size, bool ticked);
void closeButton(cairo_t* cr, double size, bool pressed);
// A number field with its up and down arrows in a strip at the right.
void spinBox(cairo_t* cr, double width, double height, double arrowWidth);
// An engraved line: a dark row over a light one.
void engravedLine(cairo_t* cr, double width, double height);

}  // namespace tarvik::skin::art
