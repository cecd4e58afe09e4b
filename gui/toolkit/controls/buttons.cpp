#include "gui/toolkit/controls/buttons.h"

namespace tarvik::gui {

void KickButton::draw(DrawContext& context) { drawImage(context, value() > minimum() ? 1 : 0); }

MouseResult KickButton::onMouseDown(const MouseEvent& event) {
    if ((event.buttons & button::kLeft) == 0) return MouseResult::Ignored;
    beginEdit();
    changeByUser(maximum());
    return MouseResult::Captured;
}

void KickButton::onMouseMoved(const MouseEvent& event) {
    changeByUser(rect().contains(event.where) ? maximum() : minimum());
}

void KickButton::onMouseUp(const MouseEvent& /*event*/) {
    changeByUser(minimum());
    endEdit();
}

void OnOffButton::draw(DrawContext& context) { drawImage(context, value() > minimum() ? 1 : 0); }

MouseResult OnOffButton::onMouseDown(const MouseEvent& event) {
    if ((event.buttons & button::kLeft) == 0) return MouseResult::Ignored;
    beginEdit();
    changeByUser(value() > minimum() ? minimum() : maximum());
    endEdit();
    return MouseResult::Handled;
}

}  // namespace tarvik::gui
