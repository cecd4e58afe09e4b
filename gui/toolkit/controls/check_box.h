// A box with its text beside it, as the panels list their settings: a press
// anywhere on the box or its text toggles between minimum and maximum. The
// picture stacks two images of the box, empty over ticked; the box sits at
// the left, centred in the height, and the text follows it.
#pragma once

#include <string>

#include "gui/toolkit/control.h"

namespace tarvik::gui {

class CheckBox : public Control {
public:
    static constexpr int kTextGap = 5;  // between the box and the text

    CheckBox(const Rect& rect, ControlListener* listener, int tag, const Bitmap* box, std::string text);

    const std::string& text() const { return text_; }
    bool checked() const { return value() > minimum(); }
    void setChecked(bool on) { setValue(on ? maximum() : minimum()); }
    void setTextStyle(const Font& font, Color color);

    // Where the box is drawn (empty without a picture).
    Rect boxRect() const;

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& event) override;

private:
    std::string text_;
    Font font_;
    Color color_{240, 240, 240};
};

}  // namespace tarvik::gui
