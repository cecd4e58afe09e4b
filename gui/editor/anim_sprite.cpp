#include "gui/editor/anim_sprite.h"

#include <algorithm>
#include <cmath>

namespace tarvik::gui {

AnimSprite::AnimSprite(const Rect& rect, const Bitmap* frames, double framesPerSecond)
    : View(rect), frames_(frames), framesPerSecond_(framesPerSecond > 0.0 ? framesPerSecond : kFramesPerSecond) {}

int AnimSprite::frameCount() const {
    if (!frames_ || frames_->empty() || rect().height() <= 0) return 0;
    return std::max(1, frames_->height() / rect().height());
}

void AnimSprite::step(Clock::time_point now) {
    const int count = frameCount();
    if (count < 2) return;
    if (!start_) start_ = now;
    const double seconds = std::chrono::duration<double>(now - *start_).count();
    const auto due = static_cast<long long>(std::floor(std::max(0.0, seconds) * framesPerSecond_ + 1e-9));
    const int next = static_cast<int>(due % count);
    if (next == frame_) return;
    frame_ = next;
    invalid();
}

void AnimSprite::rest() {
    start_.reset();
    if (frame_ == 0) return;
    frame_ = 0;
    invalid();
}

void AnimSprite::draw(DrawContext& context) {
    if (frameCount() == 0) return;
    context.drawBitmap(*frames_, rect(), {0, frame_ * rect().height()});
}

}  // namespace tarvik::gui
