// The editor's window on Linux: an Xlib child of the host's window on a
// display connection of its own (so the host's event loop and ours never
// take each other's events), read from the host's idle call, painted with
// Cairo into an image back buffer and copied to the window with XPutImage.
// Pop-up layers (menus) are override-redirect windows of the screen on the
// same connection, read and painted in the same idle calls.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
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

unsigned int maskOf(int modifiers) {
    unsigned int mask = 0;
    if (modifiers & modifier::kShift) mask |= ShiftMask;
    if (modifiers & modifier::kControl) mask |= ControlMask;
    if (modifiers & modifier::kAlt) mask |= Mod1Mask;
    return mask;
}

struct VirtualKey {
    KeySym sym;
    int code;  // vkey::
};
constexpr VirtualKey kVirtualKeys[] = {
    {XK_BackSpace, vkey::kBack}, {XK_Tab, vkey::kTab},       {XK_Return, vkey::kReturn},
    {XK_KP_Enter, vkey::kReturn}, {XK_Escape, vkey::kEscape}, {XK_space, vkey::kSpace},
    {XK_End, vkey::kEnd},        {XK_Home, vkey::kHome},     {XK_Left, vkey::kLeft},
    {XK_Up, vkey::kUp},          {XK_Right, vkey::kRight},   {XK_Down, vkey::kDown},
    {XK_Page_Up, vkey::kPageUp}, {XK_Page_Down, vkey::kPageDown}, {XK_Delete, vkey::kDelete},
};

int virtualKeyOf(KeySym sym) {
    for (const VirtualKey& key : kVirtualKeys)
        if (key.sym == sym) return key.code;
    return 0;
}

// The modifier bit Num Lock sets (Mod2 on most keyboards); 0 when no key is
// Num Lock.
unsigned int numLockMask(Display* display) {
    const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    XModifierKeymap* map = XGetModifierMapping(display);
    unsigned int mask = 0;
    for (int m = 0; map && numLock != 0 && m < 8; ++m)
        for (int k = 0; k < map->max_keypermod; ++k)
            if (map->modifiermap[m * map->max_keypermod + k] == numLock) mask = 1u << m;
    if (map) XFreeModifiermap(map);
    return mask;
}

// Pixels whose 32-bit 0x00RRGGBB layout is the window's own (a 24- or
// 32-bit true-colour visual): Cairo paints them, and they go to the server
// as they are.
bool takesOurPixels(const Visual* visual, int depth) {
    return (depth == 24 || depth == 32) && visual && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
           visual->blue_mask == 0xFF;
}

// A Cairo image the window's pixels are painted into, and an XImage over
// the same memory that copies areas of it to the window.
class BackBuffer {
public:
    BackBuffer(Display* display, Visual* visual, int depth, int width, int height)
        : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)) {
        image_ = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                              reinterpret_cast<char*>(cairo_image_surface_get_data(surface_)),
                              static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                              cairo_image_surface_get_stride(surface_));
        image_->byte_order = LSBFirst;  // the pixels as this machine stores them; Xlib converts when the server differs
    }
    ~BackBuffer() {
        image_->data = nullptr;  // the pixels belong to Cairo
        XDestroyImage(image_);
        cairo_surface_destroy(surface_);
    }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    double textWidth(std::string_view utf8, const Font& font) {
        CairoDrawContext context(surface_);
        return context.textWidth(utf8, font);
    }

    // Paints `areas` with `paint(context, area)`, then copies them to `window`.
    template <typename Paint>
    void paint(Display* display, Window window, GC gc, const std::vector<Rect>& areas, Paint&& paintArea) {
        {
            CairoDrawContext context(surface_);
            for (const Rect& area : areas) paintArea(context, area);
        }
        cairo_surface_flush(surface_);
        for (const Rect& area : areas)
            XPutImage(display, window, gc, image_, area.left, area.top, area.left, area.top,
                      static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()));
    }

private:
    cairo_surface_t* surface_;
    XImage* image_ = nullptr;
};

// A window of a pop-up layer: override-redirect (no window manager moves or
// decorates it), over everything else.
struct PopupWindow {
    int id = 0;
    Window window = 0;
    Rect area;  // on the screen
    GC gc{};    // the screen's depth, which may not be the editor's window's
    std::unique_ptr<BackBuffer> buffer;
    DirtyRegion invalid;
    bool exposed = false;
};

class X11Window;

// The layer the menu holds; the window keeps its windows and grabs, and
// lets go of the handle when it closes first.
class X11PopupLayer final : public PopupLayer {
public:
    X11PopupLayer(X11Window& owner, PopupEvents& events) : owner_(&owner), events_(events) {}
    ~X11PopupLayer() override;
    X11PopupLayer(const X11PopupLayer&) = delete;
    X11PopupLayer& operator=(const X11PopupLayer&) = delete;

    bool alive() const override { return owner_ != nullptr; }
    Rect screen() const override;
    Point frameOrigin() const override;
    int openWindow(const Rect& area) override;
    void closeWindow(int window) override;
    void invalidate(int window, const Rect& area) override;

    PopupEvents& events() const { return events_; }
    void detach() { owner_ = nullptr; }

private:
    X11Window* owner_;
    PopupEvents& events_;
};

// The events the editor's window always selects. Keys come only as the key
// interest says: through passive grabs of the keys the editor uses, or,
// while it takes every key, through KeyPressMask; any other key goes past
// the window to the host's, as if the window were not there.
constexpr long kWindowEvents =
    ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask | StructureNotifyMask;

class X11Window final : public PlatformWindow {
public:
    X11Window(Display* display, Window window, Window parent, Screen* screen, Visual* visual, int depth, int width,
              int height, WindowEvents& events)
        : display_(display),
          window_(window),
          parent_(parent),
          screen_(screen),
          events_(events),
          back_(display, visual, depth, width, height),
          gc_(XCreateGC(display_, window_, 0, nullptr)),
          numLock_(numLockMask(display)) {}

    ~X11Window() override {
        closePopups();
        XFreeGC(display_, gc_);
        // After the host destroyed the parent our window is gone with it.
        if (alive_) XDestroyWindow(display_, window_);
        XCloseDisplay(display_);  // flushes: every error arrives while we still ignore it
        ErrorHandlerGuard::remove(display_);
    }
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

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
        if (!alive_) return;
        bool painted = false;
        if (exposed_ && !invalid_.empty()) {
            back_.paint(display_, window_, gc_, invalid_.take(),
                        [&](DrawContext& context, const Rect& area) { events_.paintArea(context, area); });
            painted = true;
        }
        if (layer_) {
            grabInput();
            for (PopupWindow& popup : popups_) {
                if (!popup.exposed || popup.invalid.empty()) continue;
                PopupEvents& to = layer_->events();
                const int id = popup.id;
                popup.buffer->paint(display_, popup.window, popup.gc, popup.invalid.take(),
                                    [&](DrawContext& context, const Rect& area) {
                                        context.scoped([&] {
                                            context.clip(area);
                                            to.paintPopup(id, context, area);
                                        });
                                    });
                painted = true;
            }
        }
        if (painted) XFlush(display_);
    }

    // The button press's implicit grab already keeps the pointer's events
    // coming to us during a drag.
    void captureMouse(bool) override {}

    void setKeyInterest(const KeyInterest& interest) override {
        if (!alive_ || interest == keyInterest_) return;
        keyInterest_ = interest;
        XSelectInput(display_, window_, kWindowEvents | (interest.everyKey ? KeyPressMask : 0));
        XUngrabKey(display_, AnyKey, AnyModifier, window_);
        if (!interest.everyKey)
            for (const KeyEvent& key : interest.keys) grabKey(key);
        XFlush(display_);
    }

    bool alive() const override { return alive_; }

    double textWidth(std::string_view utf8, const Font& font) override { return back_.textWidth(utf8, font); }

    bool quiet() override {
        if (!alive_) return true;
        XSync(display_, False);
        if (XPending(display_) > 0 || !exposed_ || !invalid_.empty()) return false;
        return std::all_of(popups_.begin(), popups_.end(),
                           [](const PopupWindow& p) { return p.exposed && p.invalid.empty(); });
    }

    std::unique_ptr<PopupLayer> openPopupLayer(PopupEvents& events) override {
        if (!alive_ || !takesOurPixels(DefaultVisualOfScreen(screen_), DefaultDepthOfScreen(screen_))) return nullptr;
        closePopups();
        auto layer = std::make_unique<X11PopupLayer>(*this, events);
        layer_ = layer.get();
        pressedInLayer_ = 0;
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, window_, RootWindowOfScreen(screen_), 0, 0, &x, &y, &child);
        frameOrigin_ = {x, y};
        return layer;
    }

    // --- For the pop-up layer.

    Rect screenRect() const { return Rect::sized(0, 0, WidthOfScreen(screen_), HeightOfScreen(screen_)); }
    Point frameOrigin() const { return frameOrigin_; }

    int openPopup(const Rect& area) {
        if (!layer_ || area.empty()) return -1;
        Visual* visual = DefaultVisualOfScreen(screen_);
        const int depth = DefaultDepthOfScreen(screen_);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.save_under = True;
        attributes.background_pixmap = None;
        attributes.border_pixel = 0;
        attributes.event_mask =
            ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
        const Window window = XCreateWindow(
            display_, RootWindowOfScreen(screen_), area.left, area.top, static_cast<unsigned>(area.width()),
            static_cast<unsigned>(area.height()), 0, depth, InputOutput, visual,
            CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWBorderPixel | CWEventMask, &attributes);
        if (!window) return -1;
        // Tells a compositor what the window is.
        const Atom type = XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False);
        Atom menu = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
        XChangeProperty(display_, window, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&menu),
                        1);
        XMapRaised(display_, window);
        PopupWindow popup;
        popup.id = ++popupIds_;
        popup.window = window;
        popup.area = area;
        popup.gc = XCreateGC(display_, window, 0, nullptr);
        popup.buffer = std::make_unique<BackBuffer>(display_, visual, depth, area.width(), area.height());
        popups_.push_back(std::move(popup));
        XSync(display_, False);  // mapped before the grab, which needs a viewable window
        grabInput();
        return popups_.back().id;
    }

    void closePopup(int id) {
        const auto it = std::find_if(popups_.begin(), popups_.end(), [&](const PopupWindow& p) { return p.id == id; });
        if (it == popups_.end()) return;
        // Destroying the window the grab belongs to ends the grab.
        if (it->window == grabWindow_) {
            grabWindow_ = 0;
            keyboardGrabbed_ = false;
        }
        XFreeGC(display_, it->gc);
        XDestroyWindow(display_, it->window);
        popups_.erase(it);
        XFlush(display_);
    }

    void invalidatePopup(int id, const Rect& area) {
        for (PopupWindow& popup : popups_)
            if (popup.id == id)
                popup.invalid.add(area.intersection(Rect::sized(0, 0, popup.area.width(), popup.area.height())));
    }

    // Ends the layer: its windows close and the grabs go with them.
    void closePopups() {
        if (!layer_) return;
        if (grabWindow_) XUngrabPointer(display_, CurrentTime);
        if (keyboardGrabbed_) XUngrabKeyboard(display_, CurrentTime);
        grabWindow_ = 0;
        keyboardGrabbed_ = false;
        for (const PopupWindow& popup : popups_) {
            XFreeGC(display_, popup.gc);
            XDestroyWindow(display_, popup.window);
        }
        popups_.clear();
        layer_->detach();
        layer_ = nullptr;
        XSync(display_, False);  // the pointer is free for others once this returns
    }

private:
    // A passive grab: the key comes to this window when it is pressed with
    // exactly these modifiers, whatever Caps Lock and Num Lock say, under
    // the same conditions as any key would (the pointer over the window in
    // a focused host window).
    void grabKey(const KeyEvent& key) {
        std::vector<KeySym> syms;
        if (key.character > 0) syms.push_back(static_cast<KeySym>(key.character));
        for (const VirtualKey& v : kVirtualKeys)
            if (key.virtualKey != 0 && v.code == key.virtualKey) syms.push_back(v.sym);
        const unsigned int mask = maskOf(key.modifiers);
        for (const KeySym sym : syms) {
            const KeyCode code = XKeysymToKeycode(display_, sym);
            if (code == 0) continue;
            for (const unsigned int locks : {0u, static_cast<unsigned int>(LockMask), numLock_, LockMask | numLock_})
                XGrabKey(display_, code, mask | locks, window_, False, GrabModeAsync, GrabModeAsync);
        }
    }

    // A key the editor had no use for goes on to the host's window as the
    // server passes a key on to a parent (it reaches us while the editor
    // takes every key, or while a grabbed key is held down); the host sees
    // it as sent by another client.
    void passOn(XKeyEvent key) {
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, window_, parent_, key.x, key.y, &x, &y, &child);
        key.window = parent_;
        key.subwindow = window_;
        key.x = x;
        key.y = y;
        XSendEvent(display_, parent_, True, key.type == KeyPress ? KeyPressMask : KeyReleaseMask,
                   reinterpret_cast<XEvent*>(&key));
        XFlush(display_);
    }

    // While a layer is open its first window holds the pointer (its own
    // windows and ours still get their events, so a press elsewhere is
    // seen and closes the menu) and the keyboard. Tried again at every
    // update while another client holds them.
    void grabInput() {
        if (!layer_ || popups_.empty()) return;
        const Window window = popups_.front().window;
        if (!grabWindow_ &&
            XGrabPointer(display_, window, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                         GrabModeAsync, None, None, CurrentTime) == GrabSuccess)
            grabWindow_ = window;
        if (!keyboardGrabbed_)
            keyboardGrabbed_ = XGrabKeyboard(display_, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
                               GrabSuccess;
    }

    PopupWindow* popupOf(Window window) {
        for (PopupWindow& popup : popups_)
            if (popup.window == window) return &popup;
        return nullptr;
    }

    // While a layer is open, pointer and keys go to it wherever they
    // happen; answers whether the event was the layer's. The layer may
    // close during the call.
    bool dispatchToLayer(XEvent& event) {
        PopupEvents& to = layer_->events();
        switch (event.type) {
            case Expose: {
                PopupWindow* popup = popupOf(event.xexpose.window);
                if (!popup) return false;
                const XExposeEvent& e = event.xexpose;
                popup->invalid.add(Rect::sized(e.x, e.y, e.width, e.height));
                if (e.count == 0) popup->exposed = true;
                return true;
            }
            case ButtonPress: {
                const XButtonEvent& e = event.xbutton;
                MouseEvent m = mouse(e.x_root, e.y_root, e.x_root, e.y_root, e.state);
                if (e.button == Button4 || e.button == Button5) {
                    to.popupWheel(m, e.button == Button4 ? 1.0 : -1.0);
                    return true;
                }
                if (e.button > Button3) return true;
                m.buttons = buttonOf(e.button);
                pressedInLayer_ |= m.buttons;
                to.popupMouseDown(m);
                return true;
            }
            case ButtonRelease: {
                const XButtonEvent& e = event.xbutton;
                if (e.button > Button3) return true;
                const int lifted = buttonOf(e.button);
                if ((pressedInLayer_ & lifted) == 0) {
                    // A press from before the layer: its release is the
                    // frame's, wherever the pointer is now.
                    MouseEvent m = mouse(e.x_root - frameOrigin_.x, e.y_root - frameOrigin_.y, e.x_root, e.y_root,
                                         e.state);
                    m.buttons = lifted;
                    events_.mouseUp(m);
                    return true;
                }
                pressedInLayer_ &= ~lifted;
                MouseEvent m = mouse(e.x_root, e.y_root, e.x_root, e.y_root, e.state);
                m.buttons = lifted;
                to.popupMouseUp(m);
                return true;
            }
            case MotionNotify: {
                latestMotion(event);
                const XMotionEvent& e = event.xmotion;
                to.popupMouseMoved(mouse(e.x_root, e.y_root, e.x_root, e.y_root, e.state));
                return true;
            }
            case KeyPress: {
                KeyEvent k;
                if (keyOf(event.xkey, k)) to.popupKeyDown(k);
                return true;
            }
            case EnterNotify:
            case LeaveNotify: return event.xany.window != window_;
            default: return false;
        }
    }

    // Only the latest of a run of moves matters.
    void latestMotion(XEvent& event) {
        XEvent next;
        while (XPending(display_) > 0 && XPeekEvent(display_, &next) == 1 && next.type == MotionNotify)
            XNextEvent(display_, &event);
    }

    static int buttonOf(unsigned int xButton) {
        return xButton == Button1 ? button::kLeft : xButton == Button3 ? button::kRight : button::kMiddle;
    }

    // The unshifted key, lower case: Ctrl+S is 's' as the key map and the
    // shortcuts expect it. False for a key the editor has no use for.
    static bool keyOf(XKeyEvent& event, KeyEvent& k) {
        const KeySym sym = XLookupKeysym(&event, 0);
        k.modifiers = modifiersOf(event.state);
        k.virtualKey = virtualKeyOf(sym);
        if (k.virtualKey == 0 && sym >= 0x20 && sym <= 0x7e) k.character = std::tolower(static_cast<int>(sym));
        return k.virtualKey != 0 || k.character != 0;
    }

    void dispatch(XEvent& event) {
        if (layer_ && dispatchToLayer(event)) return;
        // What is left of a closed layer's windows.
        if (event.xany.window != window_) return;
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
                m.buttons = buttonOf(e.button);
                if (e.button <= Button3) events_.mouseDown(m);
                break;
            }
            case ButtonRelease: {
                const XButtonEvent& e = event.xbutton;
                if (e.button > Button3) break;
                MouseEvent m = mouse(e.x, e.y, e.x_root, e.y_root, e.state);
                m.buttons = buttonOf(e.button);
                events_.mouseUp(m);
                break;
            }
            case MotionNotify: {
                latestMotion(event);
                const XMotionEvent& e = event.xmotion;
                events_.mouseMoved(mouse(e.x, e.y, e.x_root, e.y_root, e.state));
                break;
            }
            case LeaveNotify:
                // Another client grabbed the pointer mid-drag (our own menus
                // take it while their layer is open): no release will come.
                if (event.xcrossing.mode == NotifyGrab && !layer_) events_.captureLost();
                events_.mouseLeft();
                break;
            case KeyPress: {
                KeyEvent k;
                if (!keyOf(event.xkey, k) || !events_.keyDown(k)) passOn(event.xkey);
                break;
            }
            // Releases mean nothing to the editor; those a grab brings here
            // go on, so that the host sees every key come up (as it does
            // the others, which never come here).
            case KeyRelease: passOn(event.xkey); break;
            case DestroyNotify:
                // A menu open beside the window goes with it, and so do its
                // grabs: the host may close the editor only later.
                if (event.xdestroywindow.window == window_) {
                    alive_ = false;
                    closePopups();
                }
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
    Window parent_;
    Screen* screen_;
    WindowEvents& events_;
    BackBuffer back_;
    GC gc_{};
    DirtyRegion invalid_;
    bool exposed_ = false;
    bool alive_ = true;
    unsigned int numLock_;
    KeyInterest keyInterest_;  // none at first: nothing selected, nothing grabbed

    X11PopupLayer* layer_ = nullptr;  // the open layer; null for none
    std::vector<PopupWindow> popups_;
    int popupIds_ = 0;
    Point frameOrigin_;
    Window grabWindow_ = 0;  // the window holding the pointer grab; 0 for none
    bool keyboardGrabbed_ = false;
    int pressedInLayer_ = 0;  // button:: bits pressed while the layer was open
};

X11PopupLayer::~X11PopupLayer() {
    if (owner_) owner_->closePopups();
}

Rect X11PopupLayer::screen() const { return owner_ ? owner_->screenRect() : Rect{}; }
Point X11PopupLayer::frameOrigin() const { return owner_ ? owner_->frameOrigin() : Point{}; }
int X11PopupLayer::openWindow(const Rect& area) { return owner_ ? owner_->openPopup(area) : -1; }
void X11PopupLayer::closeWindow(int window) {
    if (owner_) owner_->closePopup(window);
}
void X11PopupLayer::invalidate(int window, const Rect& area) {
    if (owner_) owner_->invalidatePopup(window, area);
}

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
        !takesOurPixels(parentAttributes.visual, parentAttributes.depth)) {
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
    attributes.event_mask = kWindowEvents;
    const Window window =
        XCreateWindow(display, parentWindow, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap | CWBorderPixel | CWEventMask, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    return std::make_unique<X11Window>(display, window, parentWindow, parentAttributes.screen,
                                       parentAttributes.visual, parentAttributes.depth, width, height, events);
}

}  // namespace tarvik::gui
