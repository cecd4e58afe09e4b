// How the platform shows a menu where it can do better than the frame:
// drawn pop-up windows that may reach beyond the editor on Linux, the
// system's own menus on Windows. Declared here, defined beside each window
// backend.
#pragma once

#include <functional>
#include <memory>

#include "gui/toolkit/events.h"
#include "gui/toolkit/geometry.h"
#include "gui/toolkit/menu_model.h"
#include "gui/toolkit/platform_window.h"

namespace tarvik::gui {

// Hears the entry chosen; a menu closed without a choice says nothing.
using MenuAnswer = std::function<void(const MenuChoice& choice)>;

// A menu on show. Destroying it closes it without an answer.
class OpenMenu {
public:
    virtual ~OpenMenu() = default;
    virtual bool isOpen() const = 0;
    // Closes it without an answer, leaving an object that does nothing.
    virtual void close() = 0;
    // Keys the editor hands on while the menu is open; answers whether the
    // menu took them.
    virtual bool keyDown(const KeyEvent& event) = 0;
    // The menu's levels open now: 1 for the top menu, one more for each
    // sub-menu open; 0 once closed.
    virtual int openLevels() const = 0;
    // Where entry `index` (separators not counted) of open level `level`
    // lies, in frame coordinates (outside the frame for a window beside
    // it); empty when it is not shown.
    virtual Rect entryRect(int level, int index) const = 0;
};

// Shows `menu` through `window` with its top-left corner at `where` (frame
// coordinates). False when the platform cannot show it, and then nothing
// happened. Otherwise `answer` hears the choice once made (on Windows
// before this returns) and `shown` holds the menu while it stays open (on
// Linux, until a choice or a dismissal read in a later idle call).
bool showNativeMenu(PlatformWindow& window, const MenuModel& menu, Point where, const MenuAnswer& answer,
                    std::unique_ptr<OpenMenu>& shown);

}  // namespace tarvik::gui
