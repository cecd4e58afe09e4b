#include "gui/toolkit/controls/question_panel.h"

#include <algorithm>
#include <memory>

#include "gui/toolkit/container.h"
#include "gui/toolkit/controls/dialog_style.h"
#include "gui/toolkit/text_layout.h"

namespace tarvik::gui {

using namespace dialog_style;

namespace {

constexpr int kMargin = 16;
constexpr int kTitleHeight = 20;
constexpr int kLineHeight = 15;
constexpr int kButtonGap = 10;

}  // namespace

QuestionPanel::QuestionPanel(const Rect& frameArea) : View(frameArea) { setVisible(false); }

const std::string& QuestionPanel::title() const {
    static const std::string kNone;
    return current_ ? current_->title : kNone;
}

const std::string& QuestionPanel::text() const {
    static const std::string kNone;
    return current_ ? current_->text : kNone;
}

void QuestionPanel::ask(std::string title, std::string text, Answer answer) {
    enqueue({Kind::Question, std::move(title), std::move(text), std::move(answer)});
}

void QuestionPanel::tell(std::string title, std::string text, Answer done) {
    enqueue({Kind::Message, std::move(title), std::move(text), std::move(done)});
}

void QuestionPanel::enqueue(Entry entry) {
    waiting_.push_back(std::move(entry));
    if (!current_) showNext();
}

void QuestionPanel::showNext() {
    current_ = std::move(waiting_.front());
    waiting_.pop_front();
    pressed_ = Pressed::None;
    raise();
    setVisible(true);
    invalid();
}

// Views added after this one (panels opened later) would lie on top of the
// backdrop; moving to the end of the parent's list puts the question first.
void QuestionPanel::raise() {
    Container* owner = parent();
    if (!owner || owner->children().back().get() == this) return;
    if (std::unique_ptr<View> self = owner->remove(*this)) owner->add(std::move(self));
}

// The callback runs after the panel closed, so it may ask again at once.
void QuestionPanel::answer(bool yes) {
    if (!current_) return;
    Answer reply = std::move(current_->answer);
    current_.reset();
    pressed_ = Pressed::None;
    if (waiting_.empty()) setVisible(false);
    if (reply) reply(yes);
    if (!current_ && !waiting_.empty()) showNext();
}

Rect QuestionPanel::box() const {
    const Rect& r = rect();
    const int width = std::min(kBoxWidth, r.width() - 2 * kMargin);
    const int height = std::min(kBoxHeight, r.height() - 2 * kMargin);
    const Point c = r.centre();
    return Rect::sized(c.x - width / 2, c.y - height / 2, width, height);
}

Rect QuestionPanel::yesButton() const {
    const Rect b = box();
    const int right = current_ && current_->kind == Kind::Question ? b.right - kMargin - kButtonWidth - kButtonGap
                                                                    : b.right - kMargin;
    return {right - kButtonWidth, b.bottom - kMargin - kButtonHeight, right, b.bottom - kMargin};
}

Rect QuestionPanel::noButton() const {
    if (!current_ || current_->kind != Kind::Question) return {};
    const Rect b = box();
    return {b.right - kMargin - kButtonWidth, b.bottom - kMargin - kButtonHeight, b.right - kMargin,
            b.bottom - kMargin};
}

QuestionPanel::Pressed QuestionPanel::buttonAt(Point p) const {
    if (yesButton().contains(p)) return Pressed::Yes;
    if (noButton().contains(p)) return Pressed::No;
    return Pressed::None;
}

MouseResult QuestionPanel::onMouseDown(const MouseEvent& event) {
    if (!isOpen()) return MouseResult::Ignored;
    if ((event.buttons & button::kLeft) == 0) return MouseResult::Handled;
    pressed_ = buttonAt(event.where);
    if (pressed_ == Pressed::None) return MouseResult::Handled;  // the backdrop swallows it
    pressInside_ = true;
    invalidRect(box());
    return MouseResult::Captured;
}

void QuestionPanel::onMouseMoved(const MouseEvent& event) {
    if (pressed_ == Pressed::None) return;
    const bool inside = buttonAt(event.where) == pressed_;
    if (inside == pressInside_) return;
    pressInside_ = inside;
    invalidRect(box());
}

// A press counts when it is released over the button it began on.
void QuestionPanel::onMouseUp(const MouseEvent& event) {
    const Pressed which = pressed_;
    pressed_ = Pressed::None;
    if (which == Pressed::None) return;
    invalidRect(box());
    if (buttonAt(event.where) == which) answer(which == Pressed::Yes);
}

bool QuestionPanel::onWheel(const MouseEvent& /*event*/, double /*distance*/) { return isOpen(); }

bool QuestionPanel::onKeyDown(const KeyEvent& event) {
    if (!isOpen()) return false;
    if (event.virtualKey == vkey::kReturn) answer(true);
    if (event.virtualKey == vkey::kEscape) answer(current_->kind == Kind::Message);
    return true;
}

void QuestionPanel::drawButton(DrawContext& context, const Rect& r, std::string_view label, bool isDefault,
                               bool down) {
    dialog_style::drawButton(context, r, label, isDefault, down);
}

void QuestionPanel::draw(DrawContext& context) {
    if (!current_) return;
    const Rect b = box();
    dialog_style::drawBox(context, rect(), b);

    const Rect titleLine{b.left + kMargin, b.top + kMargin - 4, b.right - kMargin, b.top + kMargin - 4 + kTitleHeight};
    context.drawText(current_->title, titleLine, kTitleFont, kTitleColour, TextAlign::Left);

    const int textTop = titleLine.bottom + 6;
    const int textBottom = yesButton().top - 8;
    const int room = std::max(1, (textBottom - textTop) / kLineHeight);
    std::vector<std::string> lines = wrapText(context, current_->text, kTextFont, titleLine.width());
    if (static_cast<int>(lines.size()) > room) {
        lines.resize(static_cast<std::size_t>(room));
        lines.back() += kEllipsis;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int top = textTop + static_cast<int>(i) * kLineHeight;
        context.drawText(lines[i], {titleLine.left, top, titleLine.right, top + kLineHeight}, kTextFont, kTextColour,
                         TextAlign::Left);
    }

    const bool yesDown = pressed_ == Pressed::Yes && pressInside_;
    const bool noDown = pressed_ == Pressed::No && pressInside_;
    if (current_->kind == Kind::Question) {
        drawButton(context, yesButton(), "Yes", true, yesDown);
        drawButton(context, noButton(), "No", false, noDown);
    } else {
        drawButton(context, yesButton(), "OK", true, yesDown);
    }
}

}  // namespace tarvik::gui
