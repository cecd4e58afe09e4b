// The picture shown over the SPLASH rectangle when the editor opens, with
// the product's name and version. It stays a moment, fades out over about a
// second and then hides for good; a click sends it away at once (and is not
// passed on to the control beneath).
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/view.h"
#include "platform/version.h"

namespace tarvik::gui {

class SplashScreen : public View {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kHoldTime = std::chrono::milliseconds(800);
    static constexpr auto kFadeTime = std::chrono::milliseconds(1000);
    // Opacity moves in steps this fine: finer steps would repaint the whole
    // picture at every idle for no visible gain.
    static constexpr int kOpacitySteps = 48;

    SplashScreen(const Rect& rect, const Bitmap* picture, std::string version = std::string("Tarvik ") + platform::kVersionText);

    // The first call starts the clock; later calls fade and finally hide it.
    void step(Clock::time_point now);
    void dismiss() { setVisible(false); }
    bool finished() const { return !isVisible(); }
    double opacity() const { return static_cast<double>(level_) / kOpacitySteps; }
    const std::string& version() const { return version_; }

    MouseResult onMouseDown(const MouseEvent& event) override;
    void draw(DrawContext& context) override;

private:
    const Bitmap* picture_;
    std::string version_;
    std::optional<Clock::time_point> start_;
    int level_ = kOpacitySteps;
};

}  // namespace tarvik::gui
