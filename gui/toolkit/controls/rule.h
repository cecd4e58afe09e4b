// A horizontal rule between a panel's sections: its picture repeated across
// its width, so one picture serves rules of any length.
#pragma once

#include <algorithm>

#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/view.h"

namespace tarvik::gui {

class Rule : public View {
public:
    Rule(const Rect& rect, const Bitmap* line) : View(rect), line_(line) {}

    // A rule never takes the pointer.
    bool hitTest(Point) const override { return false; }

    void draw(DrawContext& context) override {
        if (!line_ || line_->empty()) return;
        const Rect& r = rect();
        const int height = std::min(r.height(), line_->height());
        for (int x = r.left; x < r.right; x += line_->width())
            context.drawBitmap(*line_, {x, r.top, std::min(r.right, x + line_->width()), r.top + height}, {0, 0});
    }

private:
    const Bitmap* line_;
};

}  // namespace tarvik::gui
