#include "gui/editor/floating_display.h"

#include <algorithm>
#include <cmath>

#include "gui/toolkit/frame.h"

namespace tarvik::gui {

namespace {

// Used when a skin gives neither a size nor a picture.
constexpr int kFallbackWidth = 120;
constexpr int kFallbackHeight = 34;
constexpr int kPadding = 4;
constexpr int kTextMargin = 8;  // each side of a text that widens the box

const Font kTitleFont{10.0, true};
const Font kValueFont{11.0, false};
constexpr Color kTitleColour{196, 204, 214};
constexpr Color kValueColour{244, 246, 248};
constexpr Color kPlateColour{28, 31, 36, 230};

Rect sizeOf(const Rect& element, const Bitmap* background) {
    if (!element.empty()) return Rect::sized(element.left, element.top, element.width(), element.height());
    if (background && !background->empty()) return Rect::sized(0, 0, background->width(), background->height());
    return Rect::sized(0, 0, kFallbackWidth, kFallbackHeight);
}

// A box wider than its picture keeps the picture's ends and repeats its
// middle third between them.
void drawStretched(DrawContext& context, const Bitmap& picture, const Rect& r) {
    const int cap = picture.width() / 3;
    const int middle = picture.width() - 2 * cap;
    context.drawBitmap(picture, {r.left, r.top, r.left + cap, r.bottom}, {0, 0});
    for (int x = r.left + cap; x < r.right - cap; x += middle)
        context.drawBitmap(picture, {x, r.top, std::min(x + middle, r.right - cap), r.bottom}, {cap, 0});
    context.drawBitmap(picture, {r.right - cap, r.top, r.right, r.bottom}, {picture.width() - cap, 0});
}

}  // namespace

FloatingDisplay::FloatingDisplay(const Rect& element, const Bitmap* background)
    : View(sizeOf(element, background)), background_(background), elementWidth_(rect().width()) {
    setVisible(false);
}

int FloatingDisplay::widthFor(std::string_view title, std::string_view value) const {
    const Frame* f = frame();
    if (!f) return elementWidth_;
    const double text = std::max(f->textWidth(title, kTitleFont), f->textWidth(value, kValueFont));
    return std::max(elementWidth_, static_cast<int>(std::ceil(text)) + 2 * kTextMargin);
}

Rect FloatingDisplay::placedUnder(const Rect& control, int width) const {
    const int height = rect().height();
    const int left = control.centre().x - width / 2 - kLeftOfCentre;
    int top = control.bottom + kBelowControl;
    const Frame* f = frame();
    if (!f) return Rect::sized(left, top, width, height);
    const Rect& area = f->rect();
    if (top + height > area.bottom && control.top - kBelowControl - height >= area.top)
        top = control.top - kBelowControl - height;
    return Rect::sized(std::clamp(left, area.left, std::max(area.left, area.right - width)),
                       std::clamp(top, area.top, std::max(area.top, area.bottom - height)), width, height);
}

void FloatingDisplay::show(const Rect& control, std::string_view title, std::string_view value,
                           Clock::time_point now) {
    shownAt_ = now;
    const bool textChanged = title != title_ || value != value_;
    const Rect placed = placedUnder(control, textChanged ? widthFor(title, value) : rect().width());
    if (textChanged) {
        title_ = title;
        value_ = value;
    }
    if (!isVisible()) {
        // A move repaints the old place too, which costs one small repaint.
        setRect(placed);
        setVisible(true);
        return;
    }
    if (placed != rect())
        setRect(placed);  // repaints the old place and the new one
    else if (textChanged)
        invalid();
}

void FloatingDisplay::idle(Clock::time_point now) {
    if (isVisible() && now - shownAt_ >= kHoldTime) hide();
}

void FloatingDisplay::draw(DrawContext& context) {
    const Rect& r = rect();
    context.scoped([&] {
        context.clip(r);
        if (background_ && !background_->empty() && r.width() > background_->width())
            drawStretched(context, *background_, r);
        else if (background_ && !background_->empty())
            context.drawBitmap(*background_, r, {0, 0});
        else
            context.fillRoundedRect(r, 4.0, kPlateColour);
        const Rect inner{r.left + kPadding, r.top + kPadding / 2, r.right - kPadding, r.bottom - kPadding / 2};
        const int middle = inner.top + inner.height() / 2;
        context.drawText(title_, {inner.left, inner.top, inner.right, middle}, kTitleFont, kTitleColour,
                         TextAlign::Centre);
        context.drawText(value_, {inner.left, middle, inner.right, inner.bottom}, kValueFont, kValueColour,
                         TextAlign::Centre);
    });
}

}  // namespace tarvik::gui
