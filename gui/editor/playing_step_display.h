// The step the sequencer is playing, as a number on the skin's digit images
// (PLAYINGSTEPDISPLAY). Its value is the step number, counted from 1 as the
// STEP display counts, or 0 while the sequencer stands still: then every
// digit shows the picture's eleventh image, the unlit glass, or nothing
// when the picture has only the ten digits. It only shows: the mouse and
// the wheel pass it by.
#pragma once

#include "gui/toolkit/controls/digit_display.h"

namespace tarvik::gui {

class PlayingStepDisplay : public DigitDisplay {
public:
    static constexpr int kDarkImage = kDigitImages;  // the eleventh image

    PlayingStepDisplay(const Rect& rect, ControlListener* listener, int tag, const Bitmap* bitmap);

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& /*event*/) override { return MouseResult::Ignored; }
    bool onWheel(const MouseEvent& /*event*/, double /*distance*/) override { return false; }
};

}  // namespace tarvik::gui
