// A text of several lines inside a rectangle: word-wrapped to the width (a
// word longer than a line is cut), drawn from the top and cut off at the
// bottom; nothing is drawn outside the rectangle.
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

    explicit MultiLineText(const Rect& rect, std::string_view text = {});

    const std::string& text() const { return text_; }
    void setText(std::string_view text);
    void setStyle(const Font& font, Color color, int lineHeight);
    int lineHeight() const { return lineHeight_; }

    bool hitTest(Point) const override { return false; }
    void draw(DrawContext& context) override;

private:
    std::string text_;
    Font font_{11.0, false};
    Color color_{240, 240, 240};
    int lineHeight_ = 15;
};

}  // namespace tarvik::gui
