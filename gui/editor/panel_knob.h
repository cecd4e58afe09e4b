// The panel's knob: a filmstrip knob whose picture can glide to a new value
// (after a patch load every knob swings to its place instead of jumping).
#pragma once

#include <cmath>

#include "gui/toolkit/controls/knob.h"

namespace tarvik::gui {

class PanelKnob : public Knob {
public:
    using Knob::Knob;

    // Starts or ends the glide; while it runs, each step() moves the shown
    // value half way to the value.
    void setGliding(bool gliding) {
        gliding_ = gliding;
        if (!gliding_) snap();
    }
    void step() {
        if (shown_ == normalized()) return;
        if (!gliding_ || std::fabs(shown_ - normalized()) < kSnapDistance) {
            snap();
            return;
        }
        shown_ += (normalized() - shown_) * 0.5f;
        invalid();
    }

    void setValue(float value) override {
        Knob::setValue(value);
        if (!gliding_) shown_ = normalized();
    }

protected:
    float shownValue() const override { return shown_; }

private:
    static constexpr float kSnapDistance = 0.05f;

    void snap() {
        if (shown_ == normalized()) return;
        shown_ = normalized();
        invalid();
    }

    float shown_ = 0.0f;
    bool gliding_ = false;
};

}  // namespace tarvik::gui
