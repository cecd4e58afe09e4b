#include "tools/host/editor_window_host.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <cairo.h>

#include <thread>

#include "vst/editor_query.h"

namespace tarvik::host {

using namespace vst;

namespace {
constexpr auto kIdleInterval = std::chrono::milliseconds(5);

int shiftOf(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}
}  // namespace

EditorWindowHost::EditorWindowHost(HostedPlugin& plugin) : plugin_(plugin), display_(XOpenDisplay(nullptr)) {}

EditorWindowHost::~EditorWindowHost() {
    close();
    if (display_) XCloseDisplay(display_);
}

void EditorWindowHost::sync() { XSync(display_, False); }

bool EditorWindowHost::open(std::string& error) {
    if (!display_) {
        error = "no X display";
        return false;
    }
    ERect* rect = nullptr;
    if (plugin_.dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect) {
        error = "the plug-in reports no editor size";
        return false;
    }
    width_ = rect->right - rect->left;
    height_ = rect->bottom - rect->top;
    if (width_ <= 0 || height_ <= 0) {
        error = "the editor size is empty";
        return false;
    }
    const int screen = DefaultScreen(display_);
    window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, static_cast<unsigned>(width_),
                                  static_cast<unsigned>(height_), 0, BlackPixel(display_, screen),
                                  BlackPixel(display_, screen));
    XSelectInput(display_, window_, StructureNotifyMask | KeyPressMask);
    hostKeys_.clear();
    XMapWindow(display_, window_);
    for (XEvent e;;) {  // the editor's first Expose needs a mapped parent
        XNextEvent(display_, &e);
        if (e.type == MapNotify && e.xmap.window == window_) break;
    }
    sync();
    if (plugin_.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window_)) == 0) {
        error = "effEditOpen failed";
        XDestroyWindow(display_, window_);
        window_ = 0;
        sync();
        return false;
    }
    open_ = true;
    // The editor may have settled on another size once its skin was read.
    if (plugin_.dispatch(effEditGetRect, 0, 0, &rect) != 0 && rect) {
        width_ = rect->right - rect->left;
        height_ = rect->bottom - rect->top;
        XResizeWindow(display_, window_, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
        sync();
    }
    catchUp();
    return true;
}

void EditorWindowHost::close() {
    if (open_) {
        plugin_.dispatch(effEditClose);
        open_ = false;
    }
    if (window_) {
        XDestroyWindow(display_, window_);
        window_ = 0;
        sync();
    }
}

void EditorWindowHost::destroyWindowThenClose() {
    if (window_) {
        XDestroyWindow(display_, window_);
        window_ = 0;
        sync();
    }
    if (open_) {
        plugin_.dispatch(effEditIdle);
        plugin_.dispatch(effEditClose);
        open_ = false;
    }
}

void EditorWindowHost::exposeEditor() {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, window_, &root, &parent, &children, &count) == 0) return;
    for (unsigned i = 0; i < count; ++i) XClearArea(display_, children[i], 0, 0, 0, 0, True);
    if (children) XFree(children);
    sync();
}

void EditorWindowHost::idle() {
    readOwnEvents();
    if (open_) plugin_.dispatch(effEditIdle);
}

void EditorWindowHost::readOwnEvents() {
    while (XPending(display_) > 0) {
        XEvent e;
        XNextEvent(display_, &e);
        if (e.type == KeyPress && e.xkey.window == window_)
            hostKeys_.push_back({XLookupKeysym(&e.xkey, 0), e.xkey.send_event != 0});
    }
}

const std::vector<EditorWindowHost::HostKey>& EditorWindowHost::hostKeys() {
    sync();
    readOwnEvents();
    return hostKeys_;
}

bool EditorWindowHost::waitFor(int calm, std::chrono::milliseconds limit) {
    if (!open_) return true;
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        idle();
        if (plugin_.dispatch(effVendorSpecific, kEditorCalmQuery) >= calm) return true;
        if (std::chrono::steady_clock::now() >= end) {
            ++timeouts_;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool EditorWindowHost::catchUp(std::chrono::milliseconds limit) { return waitFor(kEditorCaughtUp, limit); }

bool EditorWindowHost::settle(std::chrono::milliseconds limit) { return waitFor(kEditorAtRest, limit); }

std::string EditorWindowHost::shownMessage() {
    char text[4096] = {};
    if (!open_ || plugin_.dispatch(effVendorSpecific, kEditorMessageQuery, sizeof text, text) == 0) return {};
    return text;
}

void EditorWindowHost::idleFor(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    do {
        idle();
        std::this_thread::sleep_for(kIdleInterval);
    } while (std::chrono::steady_clock::now() < end);
}

void EditorWindowHost::moveTo(int x, int y) {
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
    sync();
    catchUp();
}

void EditorWindowHost::press(int button) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
    sync();
    catchUp();
}

void EditorWindowHost::release(int button) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
    sync();
    catchUp();
}

void EditorWindowHost::drag(int fromX, int fromY, int toX, int toY, int steps) {
    moveTo(fromX, fromY);
    press();
    for (int i = 1; i <= steps; ++i) moveTo(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
    release();
}

void EditorWindowHost::tapKey(unsigned long keysym, bool control, bool shift) {
    auto key = [&](unsigned long sym, bool down) {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, sym), down ? True : False, CurrentTime);
    };
    if (control) key(XK_Control_L, true);
    if (shift) key(XK_Shift_L, true);
    key(keysym, true);
    key(keysym, false);
    if (shift) key(XK_Shift_L, false);
    if (control) key(XK_Control_L, false);
    sync();
    catchUp();
}

void EditorWindowHost::tapKeyBothWays(unsigned long keysym, int character, int virtualKey, bool callFirst) {
    auto call = [&] { plugin_.dispatch(effEditKeyDown, character, virtualKey); };
    if (callFirst) call();
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    sync();
    if (!callFirst) {
        idle();  // reads the event
        call();
    }
    catchUp();
}

void EditorWindowHost::click(int x, int y, int button, bool shift) {
    moveTo(x, y);
    const KeyCode shiftKey = XKeysymToKeycode(display_, XK_Shift_L);
    if (shift) XTestFakeKeyEvent(display_, shiftKey, True, CurrentTime);
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
    if (shift) XTestFakeKeyEvent(display_, shiftKey, False, CurrentTime);
    sync();
    catchUp();
}

std::vector<std::uint32_t> EditorWindowHost::capture() {
    std::vector<std::uint32_t> pixels;
    if (!window_) return pixels;
    idle();
    sync();
    // Read from the screen, as the user sees it: pop-up menus lying over the
    // window are part of the picture.
    const Window root = DefaultRootWindow(display_);
    int x0 = 0;
    int y0 = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window_, root, 0, 0, &x0, &y0, &child);
    XImage* image = XGetImage(display_, root, x0, y0, static_cast<unsigned>(width_), static_cast<unsigned>(height_),
                              AllPlanes, ZPixmap);
    if (!image) return pixels;
    const int rs = shiftOf(image->red_mask);
    const int gs = shiftOf(image->green_mask);
    const int bs = shiftOf(image->blue_mask);
    pixels.reserve(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const auto r = static_cast<std::uint32_t>((p & image->red_mask) >> rs);
            const auto g = static_cast<std::uint32_t>((p & image->green_mask) >> gs);
            const auto b = static_cast<std::uint32_t>((p & image->blue_mask) >> bs);
            pixels.push_back((r << 16) | (g << 8) | b);
        }
    }
    XDestroyImage(image);
    return pixels;
}

bool EditorWindowHost::writePng(const std::string& path) {
    const std::vector<std::uint32_t> pixels = capture();
    if (pixels.empty()) return false;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface));
    const int stride = cairo_image_surface_get_stride(surface) / 4;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            data[static_cast<std::size_t>(y) * stride + x] = pixels[static_cast<std::size_t>(y) * width_ + x];
    cairo_surface_mark_dirty(surface);
    const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written;
}

}  // namespace tarvik::host
