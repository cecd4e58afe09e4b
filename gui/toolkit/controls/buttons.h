// Push buttons drawn from two stacked images (rest, pressed or off, on).
#pragma once

#include "gui/toolkit/control.h"

namespace tarvik::gui {

// Holds its maximum while pressed with the pointer over it and falls back to
// the minimum on release; the listener hears both.
class KickButton : public Control {
public:
    using Control::Control;

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
};

// Toggles between minimum and maximum on each press.
class OnOffButton : public Control {
public:
    using Control::Control;

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& event) override;
};

}  // namespace tarvik::gui
