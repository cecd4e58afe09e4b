#include "gui/toolkit/controls/multi_line_text.h"

#include <vector>

#include "gui/toolkit/controls/question_panel.h"

namespace tarvik::gui {

namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The first `limit` bytes or fewer, never splitting a UTF-8 character.
std::string_view wholeCharacters(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && isContinuation(text[end])) --end;
    return text.substr(0, end);
}

}  // namespace

MultiLineText::MultiLineText(const Rect& rect, std::string_view text) : View(rect) { setText(text); }

void MultiLineText::setText(std::string_view text) {
    const std::string_view kept = wholeCharacters(text, kMaxLength);
    if (kept == text_) return;
    text_ = std::string(kept);
    invalid();
}

void MultiLineText::setStyle(const Font& font, Color color, int lineHeight) {
    font_ = font;
    color_ = color;
    lineHeight_ = lineHeight > 0 ? lineHeight : 1;
    invalid();
}

void MultiLineText::draw(DrawContext& context) {
    const Rect& r = rect();
    const Rect inner = r.inset(kPadding);
    if (text_.empty() || inner.empty()) return;
    context.scoped([&] {
        context.clip(r);
        const std::vector<std::string> lines = wrapText(context, text_, font_, inner.width());
        int top = inner.top;
        for (const std::string& line : lines) {
            if (top >= inner.bottom) break;
            context.drawText(line, {inner.left, top, inner.right, top + lineHeight_}, font_, color_, TextAlign::Left);
            top += lineHeight_;
        }
    });
}

}  // namespace tarvik::gui
