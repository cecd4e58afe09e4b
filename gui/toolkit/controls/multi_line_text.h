// A text of several lines inside a rectangle: word-wrapped to the width (a
// word longer than a line is broken), drawn from its first shown line. A
// text longer than the rectangle scrolls with the wheel, and a bar at the
// right edge shows which part is in view; nothing is drawn outside the
// rectangle.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "gui/toolkit/view.h"

namespace tarvik::gui {

class MultiLineText : public View {
public:
    // Longer texts keep their first kMaxLength bytes (whole characters).
    static constexpr std::size_t kMaxLength = 1023;
    static constexpr int kPadding = 2;
    static constexpr int kScrollBarWidth = 4;
    static constexpr int kLinesPerNotch = 3;

    explicit MultiLineText(const Rect& rect, std::string_view text = {});

    const std::string& text() const { return text_; }
    void setText(std::string_view text);
    void setStyle(const Font& font, Color color, int lineHeight);
    int lineHeight() const { return lineHeight_; }

    // The scroll position and extent, as of the last drawing (wrapping needs
    // the fonts of a draw context).
    int firstLine() const { return firstLine_; }
    int lineCount() const { return lineCount_; }
    int visibleLines() const;
    bool overflows() const { return lineCount_ > visibleLines(); }

    void draw(DrawContext& context) override;
    bool onWheel(const MouseEvent& event, double distance) override;

private:
    void drawScrollBar(DrawContext& context) const;

    std::string text_;
    int firstLine_ = 0;
    int lineCount_ = 0;
    Font font_{11.0, false};
    Color color_{240, 240, 240};
    int lineHeight_ = 15;
};

}  // namespace tarvik::gui
