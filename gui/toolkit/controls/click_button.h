// Buttons that act when released over themselves, as a dialog's buttons do:
// a button looks pressed while it is held down with the pointer over it, and
// a press that ends elsewhere does nothing. Each click tells the listener
// once, with the button's maximum as its value; the button then shows its
// minimum again without telling, so that a listener only ever hears clicks.
#pragma once

#include <string>

#include "gui/toolkit/control.h"

namespace tarvik::gui {

class ClickButton : public Control {
public:
    using Control::Control;

    bool isDown() const { return down_; }

    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;

private:
    void setDown(bool down);

    bool down_ = false;
};

// Its text on a rounded face that the toolkit draws; pressed, the face
// darkens and the text moves one pixel down and right.
class TextButton : public ClickButton {
public:
    TextButton(const Rect& rect, ControlListener* listener, int tag, std::string text);

    const std::string& text() const { return text_; }
    void draw(DrawContext& context) override;

private:
    std::string text_;
};

// A picture of two stacked images, at rest over pressed (a close button).
class ImageButton : public ClickButton {
public:
    using ClickButton::ClickButton;

    void draw(DrawContext& context) override { drawImage(context, isDown() ? 1 : 0); }
};

}  // namespace tarvik::gui
