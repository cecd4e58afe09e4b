// Draws a control picture: all its frames, stacked top to bottom.
#pragma once

#include "tools/skin/canvas.h"
#include "tools/skin/layout.h"

namespace tarvik::skin {

// The canvas is frameWidth wide and frames x frameHeight tall. The
// background is painted by the panel painter instead.
void drawFrames(Picture picture, Canvas& canvas, int frameWidth, int frameHeight, const Typesetter& type);

}  // namespace tarvik::skin
