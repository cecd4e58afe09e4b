#include "gui/toolkit/controls/spin_box.h"

#include <algorithm>
#include <cmath>

namespace tarvik::gui {

namespace {
const Font kFont{11.0, false};
constexpr Color kTextColour{240, 240, 240};
}  // namespace

SpinBox::SpinBox(const Rect& rect, ControlListener* listener, int tag, const Bitmap* picture)
    : Knob(rect, listener, tag, picture) {
    setMode(KnobMode::Linear);
    setDefaultValue(0.5f);
    Knob::setValue(0.5f);
    text_ = percentText(value());
}

void SpinBox::setUnits(int units) { units_ = std::max(1, units); }

// The upper half of the arrow strip counts up, the lower half down; the rest
// of the box drags as a knob.
MouseResult SpinBox::onMouseDown(const MouseEvent& event) {
    const Rect& r = rect();
    if ((event.buttons & button::kLeft) == 0 || event.where.x < r.right - kArrowWidth || (event.modifiers & modifier::kControl) != 0)
        return Knob::onMouseDown(event);
    step(event.where.y < r.centre().y ? 1 : -1);
    return MouseResult::Handled;
}

bool SpinBox::onWheel(const MouseEvent& /*event*/, double distance) {
    wheelRest_ += distance;
    const double whole = std::trunc(wheelRest_);
    wheelRest_ -= whole;
    if (whole != 0.0) step(static_cast<int>(whole));
    return true;
}

void SpinBox::step(int steps) {
    const float units = static_cast<float>(units_);
    const float unit = std::round(normalized() * units) + static_cast<float>(steps);
    const float target = minimum() + (maximum() - minimum()) * std::clamp(unit / units, 0.0f, 1.0f);
    if (target == value()) return;  // at an end: no gesture for the owner
    beginEdit();
    changeByUser(target);
    endEdit();
}

void SpinBox::setText(std::string text) {
    ownText_ = true;
    if (text == text_) return;
    text_ = std::move(text);
    invalid();
}

void SpinBox::showPercentage() {
    ownText_ = false;
    setValue(value());
}

void SpinBox::setValue(float value) {
    Knob::setValue(value);
    if (ownText_) return;
    std::string shown = percentText(normalized());
    if (shown == text_) return;
    text_ = std::move(shown);
    invalid();
}

std::string SpinBox::percentText(float value) {
    return formatted("%d %%", static_cast<int>(std::lround(value * 100.0f)));
}

std::string SpinBox::formatted(std::string_view format, int number) {
    std::string out;
    bool numberShown = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (format[i + 1] == 'd' && !numberShown) {
                out += std::to_string(number);
                numberShown = true;
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

void SpinBox::draw(DrawContext& context) {
    if (bitmap() && !bitmap()->empty()) context.drawBitmap(*bitmap(), rect(), {0, 0});
    const Rect& r = rect();
    context.drawText(text_, {r.left, r.top, r.right - kArrowWidth, r.bottom}, kFont, kTextColour, TextAlign::Centre);
}

}  // namespace tarvik::gui
