#include "gui/toolkit/controls/knob_drag.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "gui/toolkit/events.h"

namespace tarvik::gui {

namespace {
constexpr double kFineRelative = 0.1;  // Shift in relative circular mode
}  // namespace

float KnobDrag::begin(Point screen, Point centre, float value, float minimum, float maximum, KnobMode mode,
                      int modifiers, double zoom) {
    mode_ = mode;
    zoom_ = zoom > 0.0 ? zoom : 1.0;
    centre_ = centre;
    min_ = minimum;
    max_ = maximum;
    restart(screen, value, modifiers);
    // A circular drag follows the pointer's angle itself (the circular mode,
    // and Alt in the linear mode) until the modifiers change; only the
    // relative circular mode moves by the change of angle.
    absolute_ = !linear_ && mode_ != KnobMode::RelativeCircular;
    if (absolute_) value_ = min_ + angleValue(screen) * (max_ - min_);
    return value_;
}

void KnobDrag::restart(Point screen, float value, int modifiers) {
    const bool alt = (modifiers & modifier::kAlt) != 0;
    linear_ = (mode_ == KnobMode::Linear) != alt;
    absolute_ = false;
    start_ = screen;
    startValue_ = value;
    value_ = value;
    modifiers_ = modifiers;
    const double pixels = kLinearPixels * ((modifiers & modifier::kShift) != 0 ? zoom_ : 1.0);
    perPixel_ = (max_ - min_) / pixels;
    lastDegrees_ = degrees(screen);
}

// The pointer's angle around the centre: 0 straight up, clockwise positive.
double KnobDrag::degrees(Point screen) const {
    return std::atan2(screen.x - centre_.x, -(screen.y - centre_.y)) * 180.0 / std::numbers::pi;
}

// The angle as a fraction of the sweep: 0 at the lower left end, 1 at the
// lower right; inside the gap, the nearer end.
float KnobDrag::angleValue(Point screen) const {
    const double fraction = (degrees(screen) + kSweepDegrees / 2.0) / kSweepDegrees;
    return static_cast<float>(std::clamp(fraction, 0.0, 1.0));
}

float KnobDrag::move(Point screen, int modifiers) {
    if (modifiers != modifiers_) restart(screen, value_, modifiers);
    const double range = max_ - min_;
    if (linear_) {
        const double moved = (screen.x - start_.x) - (screen.y - start_.y);
        value_ = static_cast<float>(std::clamp(startValue_ + moved * perPixel_, double{min_}, double{max_}));
        return value_;
    }
    if (absolute_) {
        float next = min_ + angleValue(screen) * static_cast<float>(range);
        // A jump of more than half the range is the pointer crossing the
        // gap: the knob stays at the end it was heading for.
        if (std::fabs(next - value_) > range * 0.5) next = value_ > min_ + range * 0.5 ? max_ : min_;
        value_ = next;
        return value_;
    }
    // By the change of angle, taken the short way round, so that passing
    // the gap is a small move like any other.
    double turned = degrees(screen) - lastDegrees_;
    if (turned > 180.0) turned -= 360.0;
    if (turned < -180.0) turned += 360.0;
    lastDegrees_ = degrees(screen);
    const double fine = (modifiers & modifier::kShift) != 0 ? kFineRelative : 1.0;
    value_ = static_cast<float>(std::clamp(value_ + turned / kSweepDegrees * range * fine, double{min_}, double{max_}));
    return value_;
}

}  // namespace tarvik::gui
