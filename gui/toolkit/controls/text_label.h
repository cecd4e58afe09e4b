// One line of text, such as the patch name over its button.
#pragma once

#include <optional>
#include <string>

#include "gui/toolkit/text_layout.h"
#include "gui/toolkit/view.h"

namespace tarvik::gui {

class TextLabel : public View {
public:
    TextLabel(const Rect& rect, std::string text = {}) : View(rect), text_(std::move(text)) {}

    const std::string& text() const { return text_; }
    void setText(std::string text) {
        if (text == text_) return;
        text_ = std::move(text);
        invalid();
    }
    void setStyle(const Font& font, Color color, TextAlign align) {
        font_ = font;
        color_ = color;
        align_ = align;
        invalid();
    }
    void setBackground(std::optional<Color> background) { background_ = background; }
    // Labels never take the pointer: the button beneath them does.
    bool hitTest(Point) const override { return false; }

    void draw(DrawContext& context) override {
        if (background_) context.fillRect(rect(), *background_);
        // A name too long for the label keeps its start, ended by an ellipsis.
        const Rect inner = rect().inset(2);
        context.drawText(headThatFits(context, text_, font_, inner.width()), inner, font_, color_, align_);
    }

private:
    std::string text_;
    Font font_;
    Color color_{235, 235, 235};
    TextAlign align_ = TextAlign::Centre;
    std::optional<Color> background_;
};

}  // namespace tarvik::gui
