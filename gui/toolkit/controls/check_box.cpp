#include "gui/toolkit/controls/check_box.h"

namespace tarvik::gui {

namespace {
constexpr int kImages = 2;  // empty, ticked
}  // namespace

CheckBox::CheckBox(const Rect& rect, ControlListener* listener, int tag, const Bitmap* box, std::string text)
    : Control(rect, listener, tag, box), text_(std::move(text)) {}

void CheckBox::setTextStyle(const Font& font, Color color) {
    font_ = font;
    color_ = color;
    invalid();
}

Rect CheckBox::boxRect() const {
    const Bitmap* box = bitmap();
    if (!box || box->empty()) return {};
    const int height = box->height() / kImages;
    return Rect::sized(rect().left, rect().top + (rect().height() - height) / 2, box->width(), height);
}

void CheckBox::draw(DrawContext& context) {
    const Rect box = boxRect();
    if (!box.empty()) context.drawBitmap(*bitmap(), box, {0, checked() ? box.height() : 0});
    const int textLeft = box.empty() ? rect().left : box.right + kTextGap;
    context.drawText(text_, {textLeft, rect().top, rect().right, rect().bottom}, font_, color_, TextAlign::Left);
}

MouseResult CheckBox::onMouseDown(const MouseEvent& event) {
    if ((event.buttons & button::kLeft) == 0) return MouseResult::Ignored;
    beginEdit();
    changeByUser(checked() ? minimum() : maximum());
    endEdit();
    return MouseResult::Handled;
}

}  // namespace tarvik::gui
