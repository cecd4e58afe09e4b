#include "gui/editor/playing_step_display.h"

#include "patch/patch.h"

namespace tarvik::gui {

PlayingStepDisplay::PlayingStepDisplay(const Rect& rect, ControlListener* listener, int tag, const Bitmap* bitmap)
    : DigitDisplay(rect, listener, tag, bitmap) {
    setRange(0.0f, static_cast<float>(kMaxSteps));
}

void PlayingStepDisplay::draw(DrawContext& context) {
    if (value() >= 1.0f) {
        DigitDisplay::draw(context);
        return;
    }
    const Bitmap* b = bitmap();
    const int count = digits();
    const int height = rect().height();
    if (count == 0 || b->height() < (kDarkImage + 1) * height) return;
    // Placed as the digits are, from the right edge.
    for (int i = 1; i <= count; ++i)
        context.drawBitmap(*b, Rect::sized(rect().right - i * b->width(), rect().top, b->width(), height),
                           {0, kDarkImage * height});
}

}  // namespace tarvik::gui
