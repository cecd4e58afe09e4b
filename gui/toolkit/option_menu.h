// How the editor pops a menu up: a MenuModel shown at a point of the frame,
// answered through a callback, the only way a choice comes back.
//
// Where the menu is shown decides when the answer comes: on Windows the
// system's own menu answers before popUp() returns; on Linux pop-up windows
// beside the editor (so that a long menu can reach beyond it) answer in a
// later idle call of the frame, which reads their events; without a window
// (tests) the menu is drawn inside the frame and answers from the frame's
// own events. A menu closed without a choice (Escape, a click elsewhere,
// close(), the editor closing) never answers.
//
// One OptionMenu shows one menu at a time; the editor may pop all of its
// menus up through the same one. It must not outlive its frame.
#pragma once

#include <memory>
#include <vector>

#include "gui/toolkit/frame.h"
#include "gui/toolkit/menu_model.h"
#include "gui/toolkit/native_menu.h"

namespace tarvik::gui {

class OptionMenu {
public:
    explicit OptionMenu(Frame& frame) : frame_(frame) {}
    // Closes an open menu without an answer.
    ~OptionMenu();
    OptionMenu(const OptionMenu&) = delete;
    OptionMenu& operator=(const OptionMenu&) = delete;

    // Shows a copy of `menu` (later changes to the model do not reach it)
    // with its top-left corner at `where` (frame coordinates), moved as
    // little as needed to stay on the screen (inside the frame, where it is
    // drawn there). A menu still open is closed first, without an answer.
    // The answer may pop a menu up again.
    void popUp(const MenuModel& menu, Point where, MenuAnswer answer);
    // Closes the open menu without an answer.
    void close();
    bool isOpen() const { return shown_ && shown_->isOpen(); }

    // The editor's key handler offers keys here first: every key belongs to
    // an open menu drawn inside the frame (the pop-up windows and the
    // system's menus take the keyboard themselves).
    bool keyDown(const KeyEvent& event);

    // What the open menu shows: its levels open (0 when closed), and where
    // an entry of one lies in frame coordinates (see OpenMenu).
    int openLevels() const { return isOpen() ? shown_->openLevels() : 0; }
    Rect entryRect(int level, int index) const { return isOpen() ? shown_->entryRect(level, index) : Rect{}; }

private:
    void answerWith(const MenuAnswer& answer, const MenuChoice& choice);

    Frame& frame_;
    std::unique_ptr<OpenMenu> shown_;
    // Menus closed while one of them may still be on the call stack (an
    // answer that pops a menu up runs inside the menu that answered): freed
    // once no answer is running.
    std::vector<std::unique_ptr<OpenMenu>> closed_;
    int answering_ = 0;
};

}  // namespace tarvik::gui
