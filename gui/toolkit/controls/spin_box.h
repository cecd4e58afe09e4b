// A small number field of the panels: it behaves as a knob dragged up (or
// right) over 200 pixels for the whole range; its arrows and the wheel step
// it by one unit of what it counts (a percent, a voice, a semitone), and it
// is drawn as its picture with a text over it. The text is
// the value as a percentage ("50 %" at the start, the value starting at the
// middle) until the owner shows a text of its own, such as a count of
// voices; the owner then keeps that text up to date.
#pragma once

#include <string>
#include <string_view>

#include "gui/toolkit/controls/knob.h"

namespace tarvik::gui {

class SpinBox : public Knob {
public:
    // The picture's right edge holds the up and down arrows; the text is
    // centred in the rest.
    static constexpr int kArrowWidth = 12;

    SpinBox(const Rect& rect, ControlListener* listener, int tag, const Bitmap* picture);

    // The units across the range: 100 percent by default, 31 for 1..32
    // voices. The arrows and each wheel notch move the value by one unit, to
    // a whole unit.
    void setUnits(int units);

    const std::string& text() const { return text_; }
    // A text of the owner's: it stays until the owner shows another.
    void setText(std::string text);
    // Back to showing the value as a percentage.
    void showPercentage();
    void setValue(float value) override;

    // The value 0..1 as "%d %%" shows it, rounded to the nearest percent.
    static std::string percentText(float value);
    // `format` with its "%d" replaced by `number` and "%%" by "%", as the
    // panels write their texts ("%d", "+/- %d st").
    static std::string formatted(std::string_view format, int number);

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& event) override;
    bool onWheel(const MouseEvent& event, double distance) override;

private:
    // One unit up (+1) or down (-1) per step, as one gesture for the owner.
    void step(int steps);

    int units_ = 100;
    double wheelRest_ = 0.0;  // notches too small for a unit yet (touchpads)
    std::string text_;
    bool ownText_ = false;
};

}  // namespace tarvik::gui
