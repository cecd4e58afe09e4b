// A question or a message drawn inside the frame instead of a window-system
// dialog box, so that nothing ever waits in a loop of its own: the host's
// idle keeps running and the answer arrives through a callback when the user
// clicks. While a question is open a dimmed backdrop covers the whole frame
// and takes every click and wheel turn, so nothing beneath it moves; the
// owner should offer it the keys first (Return answers yes or OK, Escape
// no). Questions asked while one is open wait their turn.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/toolkit/view.h"

namespace tarvik::gui {

class QuestionPanel : public View {
public:
    using Answer = std::function<void(bool yes)>;

    static constexpr int kBoxWidth = 380;
    static constexpr int kBoxHeight = 170;
    static constexpr int kButtonWidth = 84;
    static constexpr int kButtonHeight = 26;

    // Covers `frameArea` (the whole frame); hidden until asked.
    explicit QuestionPanel(const Rect& frameArea);

    // Yes and No buttons; `answer` hears the choice, exactly once.
    void ask(std::string title, std::string text, Answer answer);
    // One OK button; `done` (if any) hears true once it is dismissed.
    void tell(std::string title, std::string text, Answer done = {});

    bool isOpen() const { return current_.has_value(); }
    const std::string& title() const;
    const std::string& text() const;

    // Where things are, in frame coordinates: the box in the frame's middle
    // and its buttons (for tell, the OK button is `yesButton`; `noButton`
    // is empty).
    Rect box() const;
    Rect yesButton() const;
    Rect noButton() const;

    bool hitTest(Point p) const override { return isOpen() && rect().contains(p); }
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    bool onWheel(const MouseEvent& event, double distance) override;
    // Every key while open: Return is yes (OK), Escape is no (OK for a message).
    bool onKeyDown(const KeyEvent& event) override;
    void draw(DrawContext& context) override;

private:
    enum class Kind { Question, Message };
    struct Entry {
        Kind kind;
        std::string title;
        std::string text;
        Answer answer;
    };
    enum class Pressed { None, Yes, No };

    void enqueue(Entry entry);
    void showNext();
    void answer(bool yes);
    void raise();
    Pressed buttonAt(Point p) const;
    void drawButton(DrawContext& context, const Rect& r, std::string_view label, bool isDefault, bool down);

    std::deque<Entry> waiting_;
    std::optional<Entry> current_;
    Pressed pressed_ = Pressed::None;
    bool pressInside_ = false;
};


}  // namespace tarvik::gui
