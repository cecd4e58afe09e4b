#include "gui/toolkit/controls/multi_line_text.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gui/toolkit/text_layout.h"

namespace tarvik::gui {

namespace {

// The first `limit` bytes or fewer, never splitting a UTF-8 character.
std::string_view wholeCharacters(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && isUtf8Continuation(text[end])) --end;
    return text.substr(0, end);
}

}  // namespace

MultiLineText::MultiLineText(const Rect& rect, std::string_view text) : View(rect) { setText(text); }

void MultiLineText::setText(std::string_view text) {
    const std::string_view kept = wholeCharacters(text, kMaxLength);
    if (kept == text_) return;
    text_ = std::string(kept);
    firstLine_ = 0;
    lineCount_ = 0;
    invalid();
}

void MultiLineText::setStyle(const Font& font, Color color, int lineHeight) {
    font_ = font;
    color_ = color;
    lineHeight_ = lineHeight > 0 ? lineHeight : 1;
    invalid();
}

int MultiLineText::visibleLines() const { return std::max(1, rect().inset(kPadding).height() / lineHeight_); }

void MultiLineText::draw(DrawContext& context) {
    const Rect& r = rect();
    Rect inner = r.inset(kPadding);
    if (text_.empty() || inner.empty()) return;
    context.scoped([&] {
        context.clip(r);
        inner.right -= kScrollBarWidth + kPadding;  // the bar's room, kept whether or not it shows
        const std::vector<std::string> lines = wrapText(context, text_, font_, inner.width());
        lineCount_ = static_cast<int>(lines.size());
        firstLine_ = std::clamp(firstLine_, 0, std::max(0, lineCount_ - visibleLines()));
        int top = inner.top;
        for (std::size_t i = static_cast<std::size_t>(firstLine_); i < lines.size(); ++i) {
            if (top >= inner.bottom) break;
            context.drawText(lines[i], {inner.left, top, inner.right, top + lineHeight_}, font_, color_, TextAlign::Left);
            top += lineHeight_;
        }
        if (overflows()) drawScrollBar(context);
    });
}

// A thumb in a faint track: its length is the share of the lines in view.
void MultiLineText::drawScrollBar(DrawContext& context) const {
    const Rect track{rect().right - kScrollBarWidth - kPadding, rect().top + kPadding, rect().right - kPadding,
                     rect().bottom - kPadding};
    context.fillRect(track, {color_.r, color_.g, color_.b, 40});
    const double share = static_cast<double>(visibleLines()) / lineCount_;
    const int length = std::max(kScrollBarWidth * 2, static_cast<int>(std::lround(track.height() * share)));
    const int travel = track.height() - length;
    const int maxFirst = lineCount_ - visibleLines();
    const int top = track.top + static_cast<int>(std::lround(travel * static_cast<double>(firstLine_) / maxFirst));
    context.fillRect({track.left, top, track.right, top + length}, {color_.r, color_.g, color_.b, 160});
}

// Only a text that does not fit takes the wheel; otherwise it goes on to
// whatever lies under the text.
bool MultiLineText::onWheel(const MouseEvent& /*event*/, double distance) {
    if (!overflows()) return false;
    const int moved = static_cast<int>(std::lround(-distance * kLinesPerNotch));
    const int first = std::clamp(firstLine_ + moved, 0, lineCount_ - visibleLines());
    if (first != firstLine_) {
        firstLine_ = first;
        invalid();
    }
    return true;
}

}  // namespace tarvik::gui
