// A pop-up list of choices drawn inside the frame: entries (a text, and an
// optional right-hand column after a tab), separators and disabled entries.
// While open it takes every press: a click on an enabled entry chooses it,
// a click anywhere else or Escape closes it without a choice. A list too
// tall for the frame continues in further columns, and the whole menu is
// moved as far as needed to stay inside the frame.
//
// The frame only sends moves to a view while a button is held, so whoever
// owns the menu passes the pointer to hover() from its idle to keep the
// highlight under it; keys reach the menu through whoever handles the
// frame's keys.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/toolkit/view.h"

namespace tarvik::gui {

struct MenuEntry {
    std::string text;
    std::string right;  // the right-hand column; empty for none
    bool enabled = true;
    bool separator = false;

    // "text\tright" becomes the two columns.
    static MenuEntry item(std::string_view text, bool enabled = true);
    static MenuEntry line() { return {{}, {}, false, true}; }
};

class PopupMenu : public View {
public:
    static constexpr int kEntryHeight = 18;
    static constexpr int kSeparatorHeight = 7;
    static constexpr int kPadding = 4;     // inside the border, around the entries
    static constexpr int kTextInset = 10;  // either side of an entry's text
    static constexpr int kColumnGap = 24;  // between an entry's two columns
    static constexpr Font kFont{12.0, false};

    // Tells the index of the chosen entry in the list the menu was opened with.
    using Choice = std::function<void(int index)>;

    PopupMenu() : View(Rect{}) { setVisible(false); }

    // Shows the entries with the top-left corner at `where` (frame
    // coordinates), moved to stay inside the frame the menu is in.
    void open(std::vector<MenuEntry> entries, Point where, Choice onChoice);
    // Closes without a choice.
    void close();
    bool isOpen() const { return isVisible(); }

    const std::vector<MenuEntry>& entries() const { return entries_; }
    // Where entry i lies; empty when the menu is closed.
    Rect entryRect(int i) const;
    // The entry at p; -1 for none.
    int entryAt(Point p) const;
    // The highlighted entry; -1 for none.
    int highlighted() const { return highlighted_; }
    // Highlights the enabled entry under p, if any.
    void hover(Point p);

    void draw(DrawContext& context) override;
    // Modal: while open, every press is the menu's.
    bool hitTest(Point) const override { return isOpen(); }
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    // The wheel turns nothing beneath an open menu.
    bool onWheel(const MouseEvent& /*event*/, double /*distance*/) override { return isOpen(); }
    // Escape closes; Up and Down move the highlight; Return chooses it.
    bool onKeyDown(const KeyEvent& event) override;

private:
    void layOut(Point where);
    void setHighlighted(int index);
    void choose(int index);
    void step(int direction);

    std::vector<MenuEntry> entries_;
    std::vector<Rect> places_;
    Choice onChoice_;
    int highlighted_ = -1;
};

}  // namespace tarvik::gui
