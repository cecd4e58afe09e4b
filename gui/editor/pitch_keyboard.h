// The sequencer panel's three-octave note keyboard. Its geometry is fixed
// (skins draw their keyboard pictures to it): white keys 19 pixels wide, an
// octave 133 pixels, black keys 69 pixels deep. The value is the pressed key
// + 1, or 0 when none is pressed; the editor asks for the key itself.
// Images: every key at rest, every key pressed (and two more the panel does
// not use).
#pragma once

#include <array>

#include "gui/toolkit/control.h"

namespace tarvik::gui {

class PitchKeyboard : public Control {
public:
    static constexpr int kKeys = 36;
    static constexpr int kWhiteWidth = 19;
    static constexpr int kOctaveWidth = 7 * kWhiteWidth;
    static constexpr int kBlackDepth = 69;
    static constexpr int kImages = 4;

    PitchKeyboard(const Rect& rect, ControlListener* listener, int tag, const Bitmap* bitmap);

    // The key (0..35) at a point relative to the keyboard's corner; -1
    // beyond the keys.
    static int keyAt(int x, int y);
    // Where key k lies relative to the keyboard's corner.
    static Rect keyArea(int key, int height);
    static bool isBlack(int key);

    // The key under the pointer while pressed, else -1.
    int key() const { return key_; }

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;

private:
    void pressKey(int key);
    int imageHeight() const;

    int key_ = -1;
};

}  // namespace tarvik::gui
