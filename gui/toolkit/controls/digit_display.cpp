#include "gui/toolkit/controls/digit_display.h"

#include <cmath>

namespace tarvik::gui {

namespace {
constexpr float kPixelStep = 0.5f;
constexpr float kFinePixelStep = 0.1f;
constexpr float kWheelSteps = 10.0f;
}  // namespace

int DigitDisplay::digits() const {
    const Bitmap* b = bitmap();
    if (!b || b->empty()) return 0;
    return std::max(1, rect().width() / b->width());
}

void DigitDisplay::draw(DrawContext& context) {
    const Bitmap* b = bitmap();
    const int count = digits();
    if (count == 0) return;
    const int digitWidth = b->width();
    const int digitHeight = rect().height();
    long number = std::lround(std::max(0.0f, value()));
    // Right to left: the lowest digit sits at the right edge.
    for (int i = count - 1; i >= 0; --i) {
        const int digit = static_cast<int>(number % 10);
        number /= 10;
        const Rect place = Rect::sized(rect().right - (count - i) * digitWidth, rect().top, digitWidth, digitHeight);
        context.drawBitmap(*b, place, {0, digit * digitHeight});
    }
}

float DigitDisplay::dragged(float pressValue, int rise, int modifiers) {
    const float step = (modifiers & modifier::kShift) != 0 ? kFinePixelStep : kPixelStep;
    return pressValue + static_cast<float>(rise) * step;
}

float DigitDisplay::wheeled(float value, double distance, int modifiers) {
    const float steps = (modifiers & modifier::kShift) != 0 ? 1.0f : kWheelSteps;
    return value + static_cast<float>(distance) * steps;
}

MouseResult DigitDisplay::onMouseDown(const MouseEvent& event) {
    if ((event.buttons & button::kLeft) == 0) return MouseResult::Ignored;
    pressScreen_ = event.screen;
    pressValue_ = value();
    beginEdit();
    return MouseResult::Captured;
}

void DigitDisplay::onMouseMoved(const MouseEvent& event) {
    // Whole numbers only: a fraction would show as the next digit up.
    changeByUser(std::floor(dragged(pressValue_, pressScreen_.y - event.screen.y, event.modifiers)));
}

void DigitDisplay::onMouseUp(const MouseEvent& /*event*/) { endEdit(); }

bool DigitDisplay::onWheel(const MouseEvent& event, double distance) {
    beginEdit();
    changeByUser(std::round(wheeled(value(), distance, event.modifiers)));
    endEdit();
    return true;
}

}  // namespace tarvik::gui
