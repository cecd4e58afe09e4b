#include "gui/toolkit/controls/click_button.h"

namespace tarvik::gui {

namespace {

constexpr double kCorner = 4.0;
const Font kFont{11.0, true};
constexpr Color kBorder{110, 110, 110};
constexpr Color kFace{66, 66, 66};
constexpr Color kFacePressed{30, 30, 30};
constexpr Color kHighlight{255, 255, 255, 28};
constexpr Color kLabel{240, 240, 240};

}  // namespace

void ClickButton::setDown(bool down) {
    if (down == down_) return;
    down_ = down;
    invalid();
}

MouseResult ClickButton::onMouseDown(const MouseEvent& event) {
    if ((event.buttons & button::kLeft) == 0) return MouseResult::Ignored;
    setDown(true);
    return MouseResult::Captured;
}

void ClickButton::onMouseMoved(const MouseEvent& event) { setDown(rect().contains(event.where)); }

void ClickButton::onMouseUp(const MouseEvent& event) {
    setDown(false);
    if (!rect().contains(event.where)) return;
    beginEdit();
    changeByUser(maximum());
    setValue(minimum());
    endEdit();
}

TextButton::TextButton(const Rect& rect, ControlListener* listener, int tag, std::string text)
    : ClickButton(rect, listener, tag), text_(std::move(text)) {}

void TextButton::draw(DrawContext& context) {
    const Rect& r = rect();
    const int shift = isDown() ? 1 : 0;
    context.fillRoundedRect(r, kCorner, kBorder);
    context.fillRoundedRect(r.inset(1), kCorner - 1.0, isDown() ? kFacePressed : kFace);
    if (!isDown()) context.fillRect({r.left + 3, r.top + 1, r.right - 3, r.top + 2}, kHighlight);
    context.drawText(text_, r.offset(shift, shift), kFont, kLabel, TextAlign::Centre);
}

}  // namespace tarvik::gui
