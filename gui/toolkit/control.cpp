#include "gui/toolkit/control.h"

#include <algorithm>
#include <cmath>

namespace tarvik::gui {

Control::Control(const Rect& rect, ControlListener* listener, int tag, const Bitmap* bitmap)
    : View(rect), listener_(listener), tag_(tag), bitmap_(bitmap) {}

void Control::setValue(float value) {
    // A NaN from a damaged patch or a host shows as the minimum.
    const float limited = std::isnan(value) ? min_ : std::clamp(value, min_, max_);
    if (limited == value_) return;
    value_ = limited;
    invalid();
}

void Control::setRange(float minimum, float maximum) {
    min_ = std::min(minimum, maximum);
    max_ = std::max(minimum, maximum);
    setValue(value_);
}

float Control::normalized() const { return max_ > min_ ? (value_ - min_) / (max_ - min_) : 0.0f; }

int Control::imageCount() const {
    if (!bitmap_ || bitmap_->empty() || rect().height() <= 0) return 0;
    return std::max(1, bitmap_->height() / rect().height());
}

void Control::changeByUser(float value) {
    const float before = value_;
    setValue(value);
    if (value_ != before && listener_) listener_->valueChanged(*this);
}

void Control::beginEdit() {
    if (listener_) listener_->beginEdit(*this);
}

void Control::endEdit() {
    if (listener_) listener_->endEdit(*this);
}

void Control::drawImage(DrawContext& context, int index) const {
    const int images = imageCount();
    if (images == 0) return;
    const int image = std::clamp(index, 0, images - 1);
    context.drawBitmap(*bitmap_, rect(), {0, image * rect().height()});
}

}  // namespace tarvik::gui
