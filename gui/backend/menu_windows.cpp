// Menus on Windows: the system's own pop-up menus, built from the model and
// shown with TrackPopupMenu on the editor's window. The menu runs its own
// message loop (the host's windows keep painting and idling meanwhile) and
// answers before popping up returns, so nothing stays open afterwards.
#include "gui/backend/gdiplus_session.h"
#include "gui/toolkit/native_menu.h"

#include <string>
#include <vector>

namespace tarvik::gui {

namespace {

// A menu handle destroyed with everything inside it.
class MenuHandle {
public:
    MenuHandle() : menu_(CreatePopupMenu()) {}
    ~MenuHandle() {
        if (menu_) DestroyMenu(menu_);
    }
    MenuHandle(const MenuHandle&) = delete;
    MenuHandle& operator=(const MenuHandle&) = delete;

    HMENU get() const { return menu_; }
    // Hands the handle to a menu that now owns it.
    HMENU release() {
        HMENU menu = menu_;
        menu_ = nullptr;
        return menu;
    }

private:
    HMENU menu_;
};

// The menu shows "&" as the underline of the next letter: a text's own
// ampersands are doubled to show as they are.
std::wstring menuText(const MenuItem& item) {
    std::wstring text;
    for (const wchar_t c : toUtf16(item.text, false)) {
        if (c == L'&') text += L'&';
        text += c;
    }
    if (!item.right.empty() && !item.submenu) {
        text += L'\t';
        text += toUtf16(item.right, false);
    }
    return text;
}

// Command numbers from 1 (TrackPopupMenu answers 0 for no choice); the
// entry each stands for is kept by its path of indexes.
class MenuBuilder {
public:
    bool build(const MenuModel& model, HMENU into, std::vector<int>& path) {
        const auto& lines = model.lines();
        for (std::size_t line = 0; line < lines.size(); ++line) {
            const MenuItem& item = lines[line];
            if (item.separator) {
                if (!AppendMenuW(into, MF_SEPARATOR, 0, nullptr)) return false;
                continue;
            }
            const int index = model.indexOfLine(static_cast<int>(line));
            UINT flags = MF_STRING;
            if (!item.enabled) flags |= MF_GRAYED;
            if (model.showsCheck(index)) flags |= MF_CHECKED;
            const std::wstring text = menuText(item);
            path.push_back(index);
            bool added = false;
            if (item.submenu) {
                MenuHandle sub;
                added = sub.get() && build(*item.submenu, sub.get(), path) &&
                        AppendMenuW(into, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.get()), text.c_str());
                if (added) sub.release();
            } else {
                commands_.push_back(path);
                added = AppendMenuW(into, flags, commands_.size(), text.c_str()) != 0;
            }
            path.pop_back();
            if (!added) return false;
        }
        return true;
    }

    // The entry of command `command`; null for none.
    const std::vector<int>* pathOf(UINT_PTR command) const {
        if (command < 1 || command > commands_.size()) return nullptr;
        return &commands_[command - 1];
    }

private:
    std::vector<std::vector<int>> commands_;
};

}  // namespace

bool showNativeMenu(PlatformWindow& window, const MenuModel& menu, Point where, const MenuAnswer& answer,
                    std::unique_ptr<OpenMenu>& /*shown*/) {
    const HWND hwnd = static_cast<HWND>(window.nativeHandle());
    if (!hwnd || !IsWindow(hwnd)) return false;
    MenuBuilder builder;
    UINT_PTR command = 0;
    {
        // The menu is gone before the answer, which may pop a menu up again.
        MenuHandle top;
        std::vector<int> path;
        if (!top.get() || !builder.build(menu, top.get(), path)) return false;
        POINT screen{where.x, where.y};
        ClientToScreen(hwnd, &screen);
        const UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON;
        command = static_cast<UINT_PTR>(TrackPopupMenu(top.get(), flags, screen.x, screen.y, 0, hwnd, nullptr));
    }
    if (const std::vector<int>* chosen = builder.pathOf(command); chosen && answer) {
        const MenuItem* item = menu.entryAt(*chosen);
        answer({*chosen, item ? item->identifier : std::string()});
    }
    return true;
}

}  // namespace tarvik::gui
