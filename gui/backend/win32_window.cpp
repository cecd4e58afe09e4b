// The editor's window on Windows: a child of the host's window, of a window
// class of our own, painted with GDI+ into a DIB section and copied to the
// screen in WM_PAINT. The host runs the message loop, so everything arrives
// through the window procedure on the host's GUI thread.
#include "gui/backend/gdiplus_session.h"

#include <windowsx.h>

#include <cstdint>
#include <vector>

#include "gui/backend/gdiplus_draw_context.h"
#include "gui/toolkit/dirty_region.h"
#include "gui/toolkit/platform_window.h"

namespace tarvik::gui {

namespace {

constexpr wchar_t kClassName[] = L"TarvikEditorView";

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The plug-in's own module, not the host's: the class must live and die
// with the code its window procedure points into.
HINSTANCE ourModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&windowProcedure), &module);
    return module;
}

// The window class is registered with the first window and unregistered
// with the last: a host unloads the DLL after closing its editors, and a
// class left registered would point into freed code.
class WindowClassUse {
public:
    WindowClassUse() : registered_(acquire()) {}
    ~WindowClassUse() {
        if (registered_) release();
    }
    WindowClassUse(const WindowClassUse&) = delete;
    WindowClassUse& operator=(const WindowClassUse&) = delete;

    bool registered() const { return registered_; }

private:
    static bool acquire() {
        LockHold hold(lock_);
        if (users_ == 0) {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = &windowProcedure;
            windowClass.hInstance = ourModule();
            windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            windowClass.lpszClassName = kClassName;
            // No background brush and no CS_DBLCLKS: the back buffer covers
            // every pixel, and a double click arrives as two presses, as on
            // Linux.
            if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
        }
        ++users_;
        return true;
    }

    static void release() {
        LockHold hold(lock_);
        if (--users_ == 0) UnregisterClassW(kClassName, ourModule());
    }

    static inline SRWLOCK lock_ = SRWLOCK_INIT;
    static inline int users_ = 0;

    bool registered_;
};

int modifiersNow() {
    int m = 0;
    if (GetKeyState(VK_SHIFT) < 0) m |= modifier::kShift;
    if (GetKeyState(VK_CONTROL) < 0) m |= modifier::kControl;
    if (GetKeyState(VK_MENU) < 0) m |= modifier::kAlt;
    return m;
}

// The key flags mouse messages carry; Alt is not among them.
int modifiersOf(WPARAM keys) {
    int m = 0;
    if (keys & MK_SHIFT) m |= modifier::kShift;
    if (keys & MK_CONTROL) m |= modifier::kControl;
    if (GetKeyState(VK_MENU) < 0) m |= modifier::kAlt;
    return m;
}

int buttonsOf(WPARAM keys) {
    int b = 0;
    if (keys & MK_LBUTTON) b |= button::kLeft;
    if (keys & MK_MBUTTON) b |= button::kMiddle;
    if (keys & MK_RBUTTON) b |= button::kRight;
    return b;
}

int virtualKeyOf(WPARAM key) {
    switch (key) {
        case VK_BACK: return vkey::kBack;
        case VK_TAB: return vkey::kTab;
        case VK_RETURN: return vkey::kReturn;
        case VK_ESCAPE: return vkey::kEscape;
        case VK_SPACE: return vkey::kSpace;
        case VK_END: return vkey::kEnd;
        case VK_HOME: return vkey::kHome;
        case VK_LEFT: return vkey::kLeft;
        case VK_UP: return vkey::kUp;
        case VK_RIGHT: return vkey::kRight;
        case VK_DOWN: return vkey::kDown;
        case VK_PRIOR: return vkey::kPageUp;
        case VK_NEXT: return vkey::kPageDown;
        case VK_DELETE: return vkey::kDelete;
        default: return 0;
    }
}

// The unshifted key, lower case: Ctrl+S is 's' as the key map and the
// shortcuts expect it. Letters and digits by their key, whatever the
// layout; other printable keys by what the layout prints unshifted.
int characterOf(WPARAM key) {
    if (key >= 'A' && key <= 'Z') return static_cast<int>(key - 'A' + 'a');
    if (key >= '0' && key <= '9') return static_cast<int>(key);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return static_cast<int>('0' + (key - VK_NUMPAD0));
    // Dead keys come back with the top bit set, and so out of range.
    const UINT printed = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_CHAR);
    if (printed > 0x20 && printed < 0x7f)
        return static_cast<int>(printed >= 'A' && printed <= 'Z' ? printed - 'A' + 'a' : printed);
    return 0;
}

class Win32Window final : public PlatformWindow {
public:
    Win32Window(int width, int height, WindowEvents& events) : events_(events), width_(width), height_(height) {}

    ~Win32Window() override {
        closing_ = true;
        // After the host destroyed its window ours is gone with it.
        if (alive_) DestroyWindow(hwnd_);
        if (backDc_) {
            if (previousBitmap_) SelectObject(backDc_, previousBitmap_);
            DeleteDC(backDc_);
        }
        if (backBitmap_) DeleteObject(backBitmap_);
    }

    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // False when the class, GDI+, the back buffer or the window cannot be had.
    bool create(HWND parent) {
        if (!windowClass_.registered() || !gdiplus_.started()) return false;
        backDc_ = CreateCompatibleDC(nullptr);
        if (!backDc_) return false;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // rows top to bottom, as Bitmap's
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        backBitmap_ = CreateDIBSection(backDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!backBitmap_ || !bits) return false;
        backPixels_ = static_cast<std::uint32_t*>(bits);
        previousBitmap_ = SelectObject(backDc_, backBitmap_);
        // The back buffer starts black: the first paint fills all of it,
        // whatever the frame asks for.
        invalid_.add(Rect::sized(0, 0, width_, height_));
        const HWND made = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, width_,
                                          height_, parent, nullptr, ourModule(), this);
        return made && alive_;
    }

    void pumpEvents() override {}

    void invalidate(const Rect& area) override {
        const Rect inside = area.intersection(Rect::sized(0, 0, width_, height_));
        if (inside.empty()) return;
        invalid_.add(inside);
        if (!alive_) return;
        const RECT r{inside.left, inside.top, inside.right, inside.bottom};
        InvalidateRect(hwnd_, &r, FALSE);
    }

    void update() override {
        if (alive_) UpdateWindow(hwnd_);
    }

    void captureMouse(bool on) override {
        if (!alive_) return;
        if (on) {
            if (GetCapture() != hwnd_) SetCapture(hwnd_);
        } else {
            letGo();
        }
    }

    // Windows sends keys only to the window with the keyboard focus, and
    // those the editor does not use go on to DefWindowProc: nothing to
    // select.
    void setKeyInterest(const KeyInterest& /*interest*/) override {}

    bool alive() const override { return alive_; }

    // The host pumps the messages: what is left is what waits to be painted.
    bool quiet() override { return !alive_ || (invalid_.empty() && GetUpdateRect(hwnd_, nullptr, FALSE) == FALSE); }

    void* nativeHandle() const override { return alive_ ? hwnd_ : nullptr; }
    double textWidth(std::string_view utf8, const Font& font) override {
        GdiplusDrawContext context(backPixels_, width_, height_);
        return context.textWidth(utf8, font);
    }

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_ERASEBKGND: return 1;  // the paint covers it: no flicker
            case WM_PAINT: paint(); return 0;
            case WM_LBUTTONDOWN: press(button::kLeft, wParam, lParam); return 0;
            case WM_RBUTTONDOWN: press(button::kRight, wParam, lParam); return 0;
            case WM_MBUTTONDOWN: press(button::kMiddle, wParam, lParam); return 0;
            case WM_LBUTTONUP: lift(button::kLeft, wParam, lParam); return 0;
            case WM_RBUTTONUP: lift(button::kRight, wParam, lParam); return 0;
            case WM_MBUTTONUP: lift(button::kMiddle, wParam, lParam); return 0;
            case WM_MOUSEMOVE: {
                // Asked again at every move: a capture or a move that did
                // not come from the pointer can end the watch without a
                // leave message, and the leave would then never come.
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
                TrackMouseEvent(&track);
                last_ = mouse(pointOf(lParam), wParam);
                events_.mouseMoved(last_);
                return 0;
            }
            case WM_MOUSELEAVE: events_.mouseLeft(); return 0;
            case WM_MOUSEWHEEL: {
                // The only mouse message with the point in screen coordinates.
                POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ScreenToClient(hwnd_, &p);
                const MouseEvent m = mouse(p, GET_KEYSTATE_WPARAM(wParam));
                events_.wheel(m, static_cast<double>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA);
                return 0;
            }
            case WM_CAPTURECHANGED:
                // Another window took the pointer mid-drag (a host dialog,
                // a task switch): the release will never reach us, so the
                // drag ends here and the control closes its edit.
                if (pressed_ != 0 && !lettingGo_ && reinterpret_cast<HWND>(lParam) != hwnd_) {
                    // Inside the press itself (a menu popped up by it) the
                    // frame has not taken the press yet: it ends after.
                    if (pressing_) {
                        lostInPress_ = true;
                        return 0;
                    }
                    pressed_ = 0;
                    events_.captureLost();
                }
                return 0;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN: {
                KeyEvent k;
                k.virtualKey = virtualKeyOf(wParam);
                if (k.virtualKey == 0) k.character = characterOf(wParam);
                k.modifiers = modifiersNow();
                // Keys the editor does not use stay the host's (its
                // shortcuts, Alt+F4, the menu).
                if ((k.virtualKey != 0 || k.character != 0) && events_.keyDown(k)) return 0;
                break;
            }
            case WM_DESTROY:
                // Also when the host destroys its window under the editor.
                alive_ = false;
                break;
            default: break;
        }
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }

    void attach(HWND hwnd) {
        hwnd_ = hwnd;
        alive_ = true;
    }

    void detach() { alive_ = false; }
    bool closing() const { return closing_; }

private:
    static POINT pointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

    MouseEvent mouse(POINT client, WPARAM keys) const {
        MouseEvent m;
        m.where = {client.x, client.y};
        POINT screen = client;
        ClientToScreen(hwnd_, &screen);
        m.screen = {screen.x, screen.y};
        m.buttons = buttonsOf(keys);
        m.modifiers = modifiersOf(keys);
        return m;
    }

    // Only capture, never the keyboard focus: the host keeps its keys
    // (and hands them on through its own key calls).
    void press(int pressedButton, WPARAM wParam, LPARAM lParam) {
        if (GetCapture() != hwnd_) SetCapture(hwnd_);
        pressed_ |= pressedButton;
        last_ = mouse(pointOf(lParam), wParam);
        MouseEvent m = last_;
        m.buttons = pressedButton;
        pressing_ = true;
        lostInPress_ = false;
        events_.mouseDown(m);
        pressing_ = false;
        // A modal loop run by the press (the system's menu) took the
        // pointer and the release with it: the press ends here.
        if (lostInPress_ && pressed_ != 0 && alive_) {
            pressed_ = 0;
            events_.mouseUp(last_);
            letGo();
        }
    }

    void lift(int liftedButton, WPARAM wParam, LPARAM lParam) {
        pressed_ &= ~liftedButton;
        last_ = mouse(pointOf(lParam), wParam);
        MouseEvent m = last_;
        m.buttons = liftedButton;
        events_.mouseUp(m);
        if (pressed_ == 0 && alive_) letGo();
    }

    void letGo() {
        if (GetCapture() != hwnd_) return;
        lettingGo_ = true;
        ReleaseCapture();
        lettingGo_ = false;
    }

    // Paints what the frame asked for into the back buffer, then copies the
    // whole update rectangle: what the frame asked for lies inside it, and
    // the rest (uncovered by another window) the back buffer still holds.
    void paint() {
        PAINTSTRUCT ps{};
        const HDC dc = BeginPaint(hwnd_, &ps);
        if (!dc) return;
        if (!invalid_.empty()) {
            const std::vector<Rect> areas = invalid_.take();
            GdiFlush();  // GDI is done with the pixels before GDI+ writes them
            GdiplusDrawContext context(backPixels_, width_, height_);
            for (const Rect& area : areas) events_.paintArea(context, area);
        }
        const RECT& r = ps.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, backDc_, r.left, r.top, SRCCOPY);
        EndPaint(hwnd_, &ps);
    }

    WindowClassUse windowClass_;  // first two: released after the window
    GdiplusSession gdiplus_;      // and the back buffer are gone
    WindowEvents& events_;
    int width_;
    int height_;
    HWND hwnd_ = nullptr;
    HDC backDc_ = nullptr;
    HBITMAP backBitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    std::uint32_t* backPixels_ = nullptr;
    DirtyRegion invalid_;
    MouseEvent last_;  // the latest pointer event, for a drag cut short
    int pressed_ = 0;  // button:: bits held down over us
    bool pressing_ = false;     // inside the frame's press
    bool lostInPress_ = false;  // the capture went elsewhere during it
    bool lettingGo_ = false;
    bool alive_ = false;
    bool closing_ = false;
};

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        window->attach(hwnd);
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        // Nothing reaches the object after its window is gone.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (window) window->detach();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // While the editor closes, its window's last messages (a lost capture,
    // the destroy) tell the frame nothing.
    if (!window || (window->closing() && message != WM_DESTROY)) return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->handle(message, wParam, lParam);
}

}  // namespace

std::unique_ptr<PlatformWindow> openPlatformWindow(void* parent, int width, int height, WindowEvents& events) {
    const auto parentWindow = static_cast<HWND>(parent);
    if (!parentWindow || width < 1 || height < 1 || !IsWindow(parentWindow)) return nullptr;
    auto window = std::make_unique<Win32Window>(width, height, events);
    if (!window->create(parentWindow)) return nullptr;
    return window;
}

// Owned by the host's window, so that it stays in front of it; the user
// dismisses it, the host's own message loop keeps running meanwhile.
void reportOpenFailure(void* parent, const std::string& title, const std::string& text) {
    MessageBoxW(static_cast<HWND>(parent), toUtf16(text, false).c_str(), toUtf16(title, false).c_str(),
                MB_OK | MB_ICONWARNING);
}

}  // namespace tarvik::gui
