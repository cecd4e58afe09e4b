// A small looping picture (SMALLARROW): the element's bitmap holds its
// frames stacked downwards, each as high as the element. The editor's idle
// advances it by the clock, so an idle rate that varies from host to host
// does not change its pace. It only shows: the pointer passes through it.
#pragma once

#include <chrono>
#include <optional>

#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/view.h"

namespace tarvik::gui {

class AnimSprite : public View {
public:
    using Clock = std::chrono::steady_clock;
    // Calm enough not to draw the eye away from the controls.
    static constexpr double kFramesPerSecond = 8.0;

    AnimSprite(const Rect& rect, const Bitmap* frames, double framesPerSecond = kFramesPerSecond);

    int frameCount() const;
    int frameIndex() const { return frame_; }
    // Shows the frame due at `now`; the first call starts the loop. Repaints
    // only when the frame changes.
    void step(Clock::time_point now);
    // Back to the first frame, at rest until the next step.
    void rest();

    bool hitTest(Point) const override { return false; }
    void draw(DrawContext& context) override;

private:
    const Bitmap* frames_;
    double framesPerSecond_;
    std::optional<Clock::time_point> start_;
    int frame_ = 0;
};

}  // namespace tarvik::gui
