// The editor's window on Linux: an Xlib child of the host's window on a
// display connection of its own (so the host's event loop and ours never
// take each other's events), read from the host's idle call, painted with
// Cairo into an image back buffer and copied to the window with XPutImage.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <vector>

#include "gui/backend/cairo_draw_context.h"
#include "gui/toolkit/dirty_region.h"
#include "gui/toolkit/platform_window.h"

namespace tarvik::gui {

namespace {

// Xlib's error handler is process-wide and its default one ends the
// process. When a host destroys its window while our drawing is in flight
// the server answers with errors about drawables that no longer exist:
// errors on our own connections are ignored, all others go to the handler
// that was there before.
class ErrorHandlerGuard {
public:
    static void add(Display* display) {
        std::lock_guard lock(mutex_);
        if (displays_.empty()) previous_ = XSetErrorHandler(&handle);
        displays_.push_back(display);
    }
    static void remove(Display* display) {
        std::lock_guard lock(mutex_);
        displays_.erase(std::remove(displays_.begin(), displays_.end(), display), displays_.end());
        if (displays_.empty()) XSetErrorHandler(previous_);
    }

private:
    static int handle(Display* display, XErrorEvent* event) {
        XErrorHandler previous = nullptr;
        {
            std::lock_guard lock(mutex_);
            if (std::find(displays_.begin(), displays_.end(), display) != displays_.end()) return 0;
            previous = previous_;
        }
        return previous ? previous(display, event) : 0;
    }

    static inline std::mutex mutex_;
    static inline std::vector<Display*> displays_;
    static inline XErrorHandler previous_ = nullptr;
};

int modifiersOf(unsigned int state) {
    int m = 0;
    if (state & ShiftMask) m |= modifier::kShift;
    if (state & ControlMask) m |= modifier::kControl;
    if (state & Mod1Mask) m |= modifier::kAlt;
    return m;
}

int buttonsOf(unsigned int state) {
    int b = 0;
    if (state & Button1Mask) b |= button::kLeft;
    if (state & Button2Mask) b |= button::kMiddle;
    if (state & Button3Mask) b |= button::kRight;
    return b;
}

int virtualKeyOf(KeySym sym) {
    switch (sym) {
        case XK_BackSpace: return vkey::kBack;
        case XK_Tab: return vkey::kTab;
        case XK_Return:
        case XK_KP_Enter: return vkey::kReturn;
        case XK_Escape: return vkey::kEscape;
        case XK_space: return vkey::kSpace;
        case XK_End: return vkey::kEnd;
        case XK_Home: return vkey::kHome;
        case XK_Left: return vkey::kLeft;
        case XK_Up: return vkey::kUp;
        case XK_Right: return vkey::kRight;
        case XK_Down: return vkey::kDown;
        case XK_Page_Up: return vkey::kPageUp;
        case XK_Page_Down: return vkey::kPageDown;
        case XK_Delete: return vkey::kDelete;
        default: return 0;
    }
}

class X11Window final : public PlatformWindow {
public:
    // The back buffer's 32-bit 0x00RRGGBB pixels are the window's own
    // layout (a 24- or 32-bit true-colour visual), so they go to the server
    // as they are.
    X11Window(Display* display, Window window, Visual* visual, int depth, int width, int height, WindowEvents& events)
        : display_(display), window_(window), events_(events) {
        back_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        image_ = XCreateImage(display_, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                              reinterpret_cast<char*>(cairo_image_surface_get_data(back_)), static_cast<unsigned>(width),
                              static_cast<unsigned>(height), 32, cairo_image_surface_get_stride(back_));
        image_->byte_order = LSBFirst;  // the pixels as this machine stores them; Xlib converts when the server differs
        gc_ = XCreateGC(display_, window_, 0, nullptr);
    }

    ~X11Window() override {
        image_->data = nullptr;  // the pixels belong to Cairo
        XDestroyImage(image_);
        cairo_surface_destroy(back_);
        XFreeGC(display_, gc_);
        // After the host destroyed the parent our window is gone with it.
        if (alive_) XDestroyWindow(display_, window_);
        XCloseDisplay(display_);  // flushes: every error arrives while we still ignore it
        ErrorHandlerGuard::remove(display_);
    }

    void pumpEvents() override {
        while (alive_ && XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            dispatch(event);
        }
    }

    void invalidate(const Rect& area) override { invalid_.add(area); }

    // Nothing is drawn before the first Expose: until the host maps its
    // window (and all its ancestors) the server discards what we draw.
    void update() override {
        if (!alive_ || !exposed_ || invalid_.empty()) return;
        const std::vector<Rect> areas = invalid_.take();
        {
            CairoDrawContext context(back_);
            for (const Rect& area : areas) events_.paintArea(context, area);
        }
        cairo_surface_flush(back_);
        for (const Rect& area : areas)
            XPutImage(display_, window_, gc_, image_, area.left, area.top, area.left, area.top,
                      static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()));
        XFlush(display_);
    }

    // The button press's implicit grab already keeps the pointer's events
    // coming to us during a drag.
    void captureMouse(bool) override {}

    bool alive() const override { return alive_; }

private:
    void dispatch(XEvent& event) {
        switch (event.type) {
            case Expose: {
                const XExposeEvent& e = event.xexpose;
                invalid_.add(Rect::sized(e.x, e.y, e.width, e.height));
                if (e.count == 0) exposed_ = true;
                break;
            }
            case ButtonPress: {
                const XButtonEvent& e = event.xbutton;
                MouseEvent m = mouse(e.x, e.y, e.x_root, e.y_root, e.state);
                if (e.button == Button4 || e.button == Button5) {
                    events_.wheel(m, e.button == Button4 ? 1.0 : -1.0);
                    break;
                }
                m.buttons = e.button == Button1 ? button::kLeft : e.button == Button3 ? button::kRight : button::kMiddle;
                if (e.button <= Button3) events_.mouseDown(m);
                break;
            }
            case ButtonRelease: {
                const XButtonEvent& e = event.xbutton;
                if (e.button > Button3) break;
                MouseEvent m = mouse(e.x, e.y, e.x_root, e.y_root, e.state);
                m.buttons = e.button == Button1 ? button::kLeft : e.button == Button3 ? button::kRight : button::kMiddle;
                events_.mouseUp(m);
                break;
            }
            case MotionNotify: {
                // Only the latest of a run of moves matters.
                XEvent next;
                while (XPending(display_) > 0 && XPeekEvent(display_, &next) == 1 && next.type == MotionNotify)
                    XNextEvent(display_, &event);
                const XMotionEvent& e = event.xmotion;
                events_.mouseMoved(mouse(e.x, e.y, e.x_root, e.y_root, e.state));
                break;
            }
            case LeaveNotify: events_.mouseLeft(); break;
            case KeyPress: {
                KeySym sym = XLookupKeysym(&event.xkey, 0);
                KeyEvent k;
                k.modifiers = modifiersOf(event.xkey.state);
                k.virtualKey = virtualKeyOf(sym);
                // The unshifted key, lower case: Ctrl+S is 's' as the key map
                // and the shortcuts expect it.
                if (k.virtualKey == 0 && sym >= 0x20 && sym <= 0x7e) k.character = std::tolower(static_cast<int>(sym));
                if (k.virtualKey != 0 || k.character != 0) events_.keyDown(k);
                break;
            }
            case DestroyNotify:
                if (event.xdestroywindow.window == window_) alive_ = false;
                break;
            default: break;
        }
    }

    static MouseEvent mouse(int x, int y, int rootX, int rootY, unsigned int state) {
        MouseEvent m;
        m.where = {x, y};
        m.screen = {rootX, rootY};
        m.buttons = buttonsOf(state);
        m.modifiers = modifiersOf(state);
        return m;
    }

    Display* display_;
    Window window_;
    WindowEvents& events_;
    cairo_surface_t* back_ = nullptr;
    XImage* image_ = nullptr;
    GC gc_{};
    DirtyRegion invalid_;
    bool exposed_ = false;
    bool alive_ = true;
};

}  // namespace

std::unique_ptr<PlatformWindow> openPlatformWindow(void* parent, int width, int height, WindowEvents& events) {
    if (!parent || width < 1 || height < 1) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    ErrorHandlerGuard::add(display);
    const auto parentWindow = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent));
    XWindowAttributes parentAttributes{};
    // Not a window (any more), or one whose pixels are not 32-bit true colour.
    if (XGetWindowAttributes(display, parentWindow, &parentAttributes) == 0 ||
        (parentAttributes.depth != 24 && parentAttributes.depth != 32) || !parentAttributes.visual ||
        parentAttributes.visual->red_mask != 0xFF0000 || parentAttributes.visual->green_mask != 0xFF00 ||
        parentAttributes.visual->blue_mask != 0xFF) {
        XCloseDisplay(display);
        ErrorHandlerGuard::remove(display);
        return nullptr;
    }
    // Depth and visual come from the parent: a default-visual child in a
    // 32-bit parent would be refused. No background: the back buffer covers
    // every pixel, and a cleared background would flicker.
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            LeaveWindowMask | StructureNotifyMask;
    const Window window =
        XCreateWindow(display, parentWindow, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap | CWBorderPixel | CWEventMask, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    return std::make_unique<X11Window>(display, window, parentAttributes.visual, parentAttributes.depth, width, height,
                                       events);
}

void reportOpenFailure(void* /*parent*/, const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

}  // namespace tarvik::gui
