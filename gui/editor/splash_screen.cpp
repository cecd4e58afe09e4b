#include "gui/editor/splash_screen.h"

#include <algorithm>
#include <cmath>

namespace tarvik::gui {

namespace {

const Font kVersionFont{12.0, true};
constexpr Color kVersionColour{240, 242, 244};
constexpr Color kShadowColour{0, 0, 0, 160};
constexpr Color kPlateColour{30, 33, 38};
constexpr int kMargin = 8;
constexpr int kLineHeight = 18;

}  // namespace

SplashScreen::SplashScreen(const Rect& rect, const Bitmap* picture, std::string version)
    : View(rect), picture_(picture), version_(std::move(version)) {}

void SplashScreen::step(Clock::time_point now) {
    if (finished()) return;
    if (!start_) start_ = now;
    const auto fading = now - *start_ - kHoldTime;
    if (fading >= kFadeTime) {
        setVisible(false);
        return;
    }
    const double left = fading <= Clock::duration::zero()
                            ? 1.0
                            : 1.0 - std::chrono::duration<double>(fading) / std::chrono::duration<double>(kFadeTime);
    const int level = std::clamp(static_cast<int>(std::ceil(left * kOpacitySteps)), 0, kOpacitySteps);
    if (level == level_) return;
    level_ = level;
    invalid();
}

MouseResult SplashScreen::onMouseDown(const MouseEvent& /*event*/) {
    dismiss();
    return MouseResult::Handled;
}

void SplashScreen::draw(DrawContext& context) {
    if (level_ == 0) return;
    const Rect& r = rect();
    context.scoped([&] {
        context.clip(r);
        context.setGlobalAlpha(opacity());
        if (picture_ && !picture_->empty())
            context.drawBitmap(*picture_, r, {0, 0});
        else
            context.fillRoundedRect(r, 6.0, kPlateColour);
        // The version sits at the bottom right with a soft shadow, readable
        // on light and dark pictures alike.
        const Rect line{r.left + kMargin, r.bottom - kMargin - kLineHeight, r.right - kMargin, r.bottom - kMargin};
        context.drawText(version_, line.offset(1, 1), kVersionFont, kShadowColour, TextAlign::Right);
        context.drawText(version_, line, kVersionFont, kVersionColour, TextAlign::Right);
    });
}

}  // namespace tarvik::gui
