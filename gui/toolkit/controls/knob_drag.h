// How a pointer drag turns into a knob value, apart from any drawing, so the
// arithmetic can be checked on its own.
//
// Linear: 200 pixels of upward or rightward movement cover the whole range
// (Shift divides the speed by the zoom factor). Circular: the value follows
// the pointer's angle around the knob, over 300 degrees with the gap at the
// bottom, and never jumps across the gap. Relative circular: the change of
// angle moves the value. Alt makes the circular modes linear and the linear
// mode circular (by the pointer's angle), and a change of modifiers
// mid-drag restarts from where the knob is, so the value never jumps.
#pragma once

#include "gui/toolkit/geometry.h"

namespace tarvik::gui {

enum class KnobMode { Circular = 0, RelativeCircular = 1, Linear = 2 };

class KnobDrag {
public:
    static constexpr double kLinearPixels = 200.0;
    static constexpr double kDefaultZoom = 10.0;
    static constexpr double kSweepDegrees = 300.0;

    // A drag from `screen` of a knob centred at `centre` (screen
    // coordinates) holding `value` in minimum..maximum. Answers the value
    // after the press: a circular knob jumps to the pointer's angle.
    float begin(Point screen, Point centre, float value, float minimum, float maximum, KnobMode mode, int modifiers,
               double zoom = kDefaultZoom);
    // The value for the pointer at `screen` with `modifiers` held.
    float move(Point screen, int modifiers);

    bool linear() const { return linear_; }

private:
    void restart(Point screen, float value, int modifiers);
    double degrees(Point screen) const;
    float angleValue(Point screen) const;

    KnobMode mode_ = KnobMode::Linear;
    bool linear_ = true;
    bool absolute_ = false;
    double zoom_ = kDefaultZoom;
    Point centre_;
    Point start_;
    float startValue_ = 0.0f;
    float value_ = 0.0f;
    float min_ = 0.0f;
    float max_ = 1.0f;
    double perPixel_ = 0.0;
    int modifiers_ = 0;
    double lastDegrees_ = 0.0;
};

}  // namespace tarvik::gui
