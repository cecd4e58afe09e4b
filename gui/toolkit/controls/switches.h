// Switches drawn from stacked images.
#pragma once

#include "gui/toolkit/control.h"

namespace tarvik::gui {

// A rocker: pressing its upper half gives the minimum (-1 by default), the
// lower half the maximum (+1); it springs back to the middle on release.
// Images: upper half pressed, rest, lower half pressed.
class RockerSwitch : public Control {
public:
    RockerSwitch(const Rect& rect, ControlListener* listener, int tag, const Bitmap* bitmap);

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
};

// A switch with as many positions as its bitmap has images, laid out down
// (vertical) or across (horizontal) the control; a press or a drag picks the
// position under the pointer. The value runs from minimum to maximum in
// equal steps.
class PositionSwitch : public Control {
public:
    enum class Direction { Vertical, Horizontal };

    PositionSwitch(const Rect& rect, ControlListener* listener, int tag, const Bitmap* bitmap, Direction direction);

    int positions() const;
    int position() const;
    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;

private:
    void pick(Point where);

    Direction direction_;
};

}  // namespace tarvik::gui
