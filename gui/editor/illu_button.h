// An illuminated push button: a kick button whose light the editor switches
// (TRIPLETBUTTON shows the pattern's triplet flag). Images: unlit, lit. The
// light does not snap: the editor's idle steps a fade between the two
// images, and the button repaints only while the fade is still visibly
// moving. A press shows as a one-pixel shift of the face.
#pragma once

#include "gui/toolkit/controls/buttons.h"

namespace tarvik::gui {

class IlluButton : public KickButton {
public:
    // Each step covers this part of the remaining way, so the light settles
    // in about a dozen idle calls (a fifth of a second at 60 Hz).
    static constexpr float kFadeRate = 0.35f;
    // Below this remaining difference the fade snaps to its end and stops.
    static constexpr float kSettled = 0.01f;

    using KickButton::KickButton;

    bool lit() const { return lit_; }
    // With `animate` the light moves over the next steps; without it (a panel
    // being built) it is there at once.
    void setLit(bool lit, bool animate = true);
    // One idle's move of the fade; answers whether the button still moves.
    bool step();
    // How far the lit image shows, 0 (unlit) to 1 (lit).
    float fade() const { return fade_; }

    void draw(DrawContext& context) override;

private:
    bool lit_ = false;
    float fade_ = 0.0f;
};

}  // namespace tarvik::gui
