// Paints the panel background: brushed grey, the section frames, collars
// around the sockets, bezels under displays and keys, and all printed text.
#pragma once

#include "tools/skin/canvas.h"
#include "tools/skin/plan.h"

namespace tarvik::skin {

void paintPanel(Canvas& canvas, const PanelPlan& plan, const Typesetter& type);

// The panel without its text: the paper every label is printed on.
void paintPanelSurface(Canvas& canvas, const PanelPlan& plan);

}  // namespace tarvik::skin
