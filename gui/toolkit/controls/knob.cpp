#include "gui/toolkit/controls/knob.h"

#include <cmath>

namespace tarvik::gui {

namespace {
constexpr float kWheelStep = 0.01f;  // of the range per notch; a tenth with Shift
}  // namespace

void Knob::draw(DrawContext& context) {
    const int images = imageCount();
    if (images == 0) return;
    drawImage(context, static_cast<int>(std::lround(shownValue() * static_cast<float>(images - 1))));
}

MouseResult Knob::onMouseDown(const MouseEvent& event) {
    if ((event.buttons & button::kLeft) == 0) return MouseResult::Ignored;
    if ((event.modifiers & modifier::kControl) != 0) {
        beginEdit();
        changeByUser(defaultValue());
        endEdit();
        return MouseResult::Handled;
    }
    // The knob's centre in screen coordinates, for the circular modes.
    const Point centre = rect().centre();
    const Point screenCentre = {centre.x + event.screen.x - event.where.x, centre.y + event.screen.y - event.where.y};
    const float pressed = drag_.begin(event.screen, screenCentre, value(), minimum(), maximum(), mode_,
                                       event.modifiers);
    beginEdit();
    changeByUser(pressed);
    return MouseResult::Captured;
}

void Knob::onMouseMoved(const MouseEvent& event) { changeByUser(drag_.move(event.screen, event.modifiers)); }

void Knob::onMouseUp(const MouseEvent& /*event*/) { endEdit(); }

bool Knob::onWheel(const MouseEvent& event, double distance) {
    const float step = (maximum() - minimum()) * kWheelStep * ((event.modifiers & modifier::kShift) != 0 ? 0.1f : 1.0f);
    beginEdit();
    changeByUser(value() + static_cast<float>(distance) * step);
    endEdit();
    return true;
}

}  // namespace tarvik::gui
