// A picture that shows one of its stacked images by value: LEDs (off, on)
// and any other display that only follows a value.
#pragma once

#include <cmath>

#include "gui/toolkit/control.h"

namespace tarvik::gui {

class MovieBitmap : public Control {
public:
    using Control::Control;

    void draw(DrawContext& context) override {
        const int images = imageCount();
        if (images > 0) drawImage(context, static_cast<int>(std::lround(normalized() * static_cast<float>(images - 1))));
    }
};

}  // namespace tarvik::gui
