#include "gui/editor/illu_button.h"

#include <cmath>

namespace tarvik::gui {

void IlluButton::setLit(bool lit, bool animate) {
    lit_ = lit;
    if (!animate && fade_ != (lit ? 1.0f : 0.0f)) {
        fade_ = lit ? 1.0f : 0.0f;
        invalid();
    }
}

bool IlluButton::step() {
    const float target = lit_ ? 1.0f : 0.0f;
    const float remaining = target - fade_;
    if (remaining == 0.0f) return false;
    if (std::fabs(remaining) <= kSettled)
        fade_ = target;
    else
        fade_ += remaining * kFadeRate;
    invalid();
    return fade_ != target;
}

void IlluButton::draw(DrawContext& context) {
    const int images = imageCount();
    if (images == 0) return;
    const int shift = value() > minimum() ? 1 : 0;
    const Rect face = rect().offset(shift, shift);
    const int height = rect().height();
    context.scoped([&] {
        context.clip(rect());
        if (images == 1 || fade_ < 1.0f) context.drawBitmap(*bitmap(), face, {0, 0});
        if (images > 1 && fade_ > 0.0f) {
            context.setGlobalAlpha(fade_);
            context.drawBitmap(*bitmap(), face, {0, height});
        }
    });
}

}  // namespace tarvik::gui
