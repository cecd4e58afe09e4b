// A number drawn from ten stacked digit images (0 to 9, each as high as the
// display); the display is as many digits wide as its width holds. Dragging
// up raises the number by half a step per pixel (a tenth with Shift); the
// wheel moves it ten steps per notch, one with Shift.
#pragma once

#include "gui/toolkit/control.h"

namespace tarvik::gui {

class DigitDisplay : public Control {
public:
    static constexpr int kDigitImages = 10;

    using Control::Control;

    int digits() const;
    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    bool onWheel(const MouseEvent& event, double distance) override;

    // The value a drag from the press reaches after `rise` pixels upwards.
    static float dragged(float pressValue, int rise, int modifiers);
    // The value `distance` wheel notches move `value` to.
    static float wheeled(float value, double distance, int modifiers);

private:
    Point pressScreen_;
    float pressValue_ = 0.0f;
};

}  // namespace tarvik::gui
