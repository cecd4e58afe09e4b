// A knob drawn from a filmstrip: image i of n shows the value i / (n - 1).
// Ctrl-click sets the default value.
#pragma once

#include "gui/toolkit/control.h"
#include "gui/toolkit/controls/knob_drag.h"

namespace tarvik::gui {

class Knob : public Control {
public:
    using Control::Control;

    void setMode(KnobMode mode) { mode_ = mode; }
    KnobMode mode() const { return mode_; }

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    bool onWheel(const MouseEvent& event, double distance) override;

protected:
    // The value the filmstrip shows (the editor's knobs may glide it).
    virtual float shownValue() const { return normalized(); }

private:
    KnobMode mode_ = KnobMode::Circular;
    KnobDrag drag_;
};

}  // namespace tarvik::gui
