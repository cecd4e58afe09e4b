// The pop-up value display: a small box on the skin's DISPBACKGROUND picture
// with a title line and a value line, placed just below the control it
// describes. It hides itself half a second after the last change, so a
// knob being turned keeps it up and a released one lets it go. It only
// shows: the pointer passes through it to the controls beneath.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "gui/editor/display_texts.h"
#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/view.h"

namespace tarvik::gui {

class FloatingDisplay : public View {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kHoldTime = std::chrono::milliseconds(500);
    // Where the box sits relative to the control: its centre this far left
    // of the control's centre, its top this far below the control's bottom.
    static constexpr int kLeftOfCentre = 2;
    static constexpr int kBelowControl = 1;

    // The box takes the element's size (the picture's when the element has
    // none), wider when a text needs it; it starts hidden.
    FloatingDisplay(const Rect& element, const Bitmap* background);

    // Shows the texts under `control` (frame coordinates), inside the frame:
    // above the control where there is no room below it. Each call restarts
    // the half second; a call that changes nothing repaints nothing.
    void show(const Rect& control, std::string_view title, std::string_view value, Clock::time_point now);
    void show(const Rect& control, const DisplayTexts& texts, Clock::time_point now) {
        show(control, texts.title, texts.value, now);
    }
    void hide() { setVisible(false); }
    // Hides the box once the half second since the last show has passed.
    void idle(Clock::time_point now);

    const std::string& title() const { return title_; }
    const std::string& value() const { return value_; }

    bool hitTest(Point) const override { return false; }
    void draw(DrawContext& context) override;

private:
    Rect placedUnder(const Rect& control, int width) const;
    // The element's width, or the texts' with a margin when they need more.
    int widthFor(std::string_view title, std::string_view value) const;

    const Bitmap* background_;
    int elementWidth_;
    std::string title_;
    std::string value_;
    Clock::time_point shownAt_{};
};

}  // namespace tarvik::gui
