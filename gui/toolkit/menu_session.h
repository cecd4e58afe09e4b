// One pop-up menu in use: the top menu and the sub-menus opened from it
// (its levels), laid out in one coordinate space (the frame's, for a menu
// drawn inside it, or the screen's, for pop-up windows), and what the
// pointer and the keys do to them. Whoever shows the menu passes events on,
// draws each level where it lies and watches state() for the end.
//
// The pointer highlights the entry under it and opens the sub-menu of an
// entry it rests on; a release on an enabled entry chooses it; a press
// outside every level dismisses the menu. Up and Down move the highlight in
// the innermost level, Right and Return open the highlighted sub-menu,
// Left and Escape close the innermost sub-menu, and Escape in the top menu
// dismisses it; Return chooses the highlighted entry. A level taller than
// the space scrolls (the wheel, the arrow rows at its top and bottom, and
// the keys bring the highlight into view).
#pragma once

#include <memory>
#include <vector>

#include "gui/toolkit/draw_context.h"
#include "gui/toolkit/events.h"
#include "gui/toolkit/geometry.h"
#include "gui/toolkit/menu_model.h"

namespace tarvik::gui {

class MenuSession {
public:
    // The look of every menu the editor draws itself, inside the frame or
    // in pop-up windows beside it (the system's own menus look as it likes),
    // so that one looks like the next.
    static constexpr int kEntryHeight = 18;
    static constexpr int kSeparatorHeight = 7;
    static constexpr int kPadding = 4;        // inside the border, around the entries
    static constexpr int kTextInset = 10;     // right of an entry's text
    static constexpr int kColumnGap = 24;     // between an entry's text and its right-hand column
    static constexpr Font kFont{12.0, false};
    static constexpr int kCheckColumn = 20;   // left of an entry's text: the check mark
    static constexpr int kArrowColumn = 14;   // right of a sub-menu entry's text: the arrow
    static constexpr int kScrollRowHeight = 14;
    static constexpr int kMinimumWidth = 80;
    static constexpr int kWheelLines = 3;     // lines scrolled per wheel notch

    enum class State { Open, Chosen, Dismissed };

    struct Level {
        const MenuModel* menu = nullptr;
        Rect rect;             // where the level lies
        int openedFrom = -1;   // the line of the level above whose entry opened it; -1 for the top
        int highlighted = -1;  // the highlighted line; -1 for none
        int firstShown = 0;    // the first line shown, for a level that scrolls
        bool scrolls = false;  // taller than the space: shows arrow rows
        int serial = 0;        // tells a level from one opened later at the same depth
        std::vector<int> tops; // each line's top below the first line's, and the total height last
    };

    // Opens `menu` (kept as given) with its top-left corner at `where`,
    // moved as little as needed to lie inside `bounds`.
    MenuSession(MenuModel menu, Point where, const Rect& bounds);

    State state() const { return state_; }
    // The chosen entry, once state() is Chosen.
    const MenuChoice& choice() const { return choice_; }
    // Ends the session without a choice.
    void dismiss() { state_ = State::Dismissed; }

    const std::vector<Level>& levels() const { return levels_; }
    // Where entry `index` (separators not counted) of level `level` lies;
    // empty when there is no such entry or it is scrolled out of view.
    Rect entryRect(int level, int index) const;

    void pointerMoved(Point p);
    void pointerPressed(Point p);
    void pointerReleased(Point p);
    void wheel(Point p, double notches);
    // Every key is the menu's while it is open: answers whether it was open.
    bool keyDown(const KeyEvent& event);

    // Draws level `level` with its top-left corner at `origin`.
    void drawLevel(DrawContext& context, int level, Point origin) const;

private:
    const MenuItem& line(const Level& level, int line) const;
    bool choosable(const Level& level, int line) const;
    // Where the lines of a level are shown (inside the padding and the
    // arrow rows).
    Rect viewport(const Level& level) const;
    Rect lineRect(const Level& level, int line) const;
    int lineAt(const Level& level, Point p) const;
    // -1 over the upper arrow row, 1 over the lower one, 0 elsewhere.
    int arrowAt(const Level& level, Point p) const;
    int levelAt(Point p) const;
    int lastFirstShown(const Level& level) const;

    Level laidOut(const MenuModel& menu);
    void openSubmenu(int level);
    void closeBelow(int level);
    void highlight(int level, int line);
    void step(int direction, bool fromEnd);
    void scrollBy(int level, int lines);
    void scrollIntoView(Level& level, int line);
    void choose(int level, int line);

    std::unique_ptr<MenuModel> menu_;  // where the levels point
    Rect bounds_;
    std::vector<Level> levels_;
    State state_ = State::Open;
    MenuChoice choice_;
    int serials_ = 0;
};

}  // namespace tarvik::gui
