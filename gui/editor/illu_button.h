// An illuminated push button: a kick button whose light the editor switches
// (TRIPLETBUTTON shows the pattern's triplet flag). Images: unlit, lit; a
// press shows as a one-pixel shift of the face.
#pragma once

#include "gui/toolkit/controls/buttons.h"

namespace tarvik::gui {

class IlluButton : public KickButton {
public:
    using KickButton::KickButton;

    bool lit() const { return lit_; }
    void setLit(bool lit) {
        if (lit == lit_) return;
        lit_ = lit;
        invalid();
    }

    void draw(DrawContext& context) override {
        const int images = imageCount();
        if (images == 0) return;
        const int image = lit_ && images > 1 ? 1 : 0;
        const int shift = value() > minimum() ? 1 : 0;
        context.scoped([&] {
            context.clip(rect());
            context.drawBitmap(*bitmap(), rect().offset(shift, shift), {0, image * rect().height()});
        });
    }

private:
    bool lit_ = false;
};

}  // namespace tarvik::gui
