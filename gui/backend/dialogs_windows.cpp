// Message boxes owned by the host's window, so that they stay in front of
// it; the box's own message loop keeps the host's windows and timers (and
// with them the editor's idle) running until the user answers.
#include "gui/backend/gdiplus_session.h"
#include "gui/toolkit/native_dialogs.h"

namespace tarvik::gui {

std::optional<bool> askNative(void* parent, const std::string& title, const std::string& text) {
    const int choice = MessageBoxW(static_cast<HWND>(parent), toUtf16(text, false).c_str(),
                                   toUtf16(title, false).c_str(), MB_YESNO | MB_ICONQUESTION);
    return choice == IDYES;
}

bool tellNative(void* parent, const std::string& title, const std::string& text) {
    MessageBoxW(static_cast<HWND>(parent), toUtf16(text, false).c_str(), toUtf16(title, false).c_str(),
                MB_OK | MB_ICONWARNING);
    return true;
}

}  // namespace tarvik::gui
