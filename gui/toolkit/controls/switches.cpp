#include "gui/toolkit/controls/switches.h"

#include <algorithm>
#include <cmath>

namespace tarvik::gui {

RockerSwitch::RockerSwitch(const Rect& rect, ControlListener* listener, int tag, const Bitmap* bitmap)
    : Control(rect, listener, tag, bitmap) {
    setRange(-1.0f, 1.0f);
    setValue(0.0f);
    setDefaultValue(0.0f);
}

void RockerSwitch::draw(DrawContext& context) {
    drawImage(context, value() < 0.0f ? 0 : (value() > 0.0f ? 2 : 1));
}

MouseResult RockerSwitch::onMouseDown(const MouseEvent& event) {
    if ((event.buttons & button::kLeft) == 0) return MouseResult::Ignored;
    beginEdit();
    changeByUser(event.where.y < rect().centre().y ? minimum() : maximum());
    return MouseResult::Captured;
}

void RockerSwitch::onMouseUp(const MouseEvent& /*event*/) {
    changeByUser(0.0f);
    endEdit();
}

PositionSwitch::PositionSwitch(const Rect& rect, ControlListener* listener, int tag, const Bitmap* bitmap,
                               Direction direction)
    : Control(rect, listener, tag, bitmap), direction_(direction) {}

int PositionSwitch::positions() const { return std::max(2, imageCount()); }

int PositionSwitch::position() const {
    return static_cast<int>(std::lround(normalized() * static_cast<float>(positions() - 1)));
}

void PositionSwitch::draw(DrawContext& context) { drawImage(context, position()); }

void PositionSwitch::pick(Point where) {
    const int n = positions();
    const double along = direction_ == Direction::Vertical
                             ? static_cast<double>(where.y - rect().top) / std::max(1, rect().height())
                             : static_cast<double>(where.x - rect().left) / std::max(1, rect().width());
    const int chosen = std::clamp(static_cast<int>(along * n), 0, n - 1);
    changeByUser(minimum() + (maximum() - minimum()) * static_cast<float>(chosen) / static_cast<float>(n - 1));
}

MouseResult PositionSwitch::onMouseDown(const MouseEvent& event) {
    if ((event.buttons & button::kLeft) == 0) return MouseResult::Ignored;
    beginEdit();
    pick(event.where);
    return MouseResult::Captured;
}

void PositionSwitch::onMouseMoved(const MouseEvent& event) { pick(event.where); }

void PositionSwitch::onMouseUp(const MouseEvent& /*event*/) { endEdit(); }

}  // namespace tarvik::gui
