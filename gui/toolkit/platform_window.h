// The seam between the editor and the window system: a child window in the
// host's window, with a back buffer the frame paints into. One
// implementation per platform (Xlib + Cairo, Win32 + GDI+); everything above
// it is shared.
#pragma once

#include <memory>
#include <string>

#include "gui/toolkit/draw_context.h"
#include "gui/toolkit/events.h"

namespace tarvik::gui {

// What a window reports, on the GUI thread; the frame implements it.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    // Paints `area` of the back buffer; the context is clipped to it.
    virtual void paintArea(DrawContext& context, const Rect& area) = 0;
    virtual void mouseDown(const MouseEvent& event) = 0;
    // Every pointer move over the window, and every move during a drag.
    virtual void mouseMoved(const MouseEvent& event) = 0;
    virtual void mouseUp(const MouseEvent& event) = 0;
    virtual void mouseLeft() = 0;
    virtual void wheel(const MouseEvent& event, double distance) = 0;
    virtual bool keyDown(const KeyEvent& event) = 0;
};

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;

    // Reads what the window system has queued and reports it (Linux, from
    // the host's idle call); where the host pumps the messages itself
    // (Windows) there is nothing to do.
    virtual void pumpEvents() = 0;
    // The area needs repainting; update() or the window system's own paint
    // message paints it.
    virtual void invalidate(const Rect& area) = 0;
    virtual void update() = 0;
    // Keeps the pointer's events coming to this window during a drag.
    virtual void captureMouse(bool on) = 0;
    // False once the host destroyed its window under the editor.
    virtual bool alive() const = 0;
};

// A child window of `parent` (an X11 Window id or an HWND); null when it
// cannot be made. The events object must outlive the window.
std::unique_ptr<PlatformWindow> openPlatformWindow(void* parent, int width, int height, WindowEvents& events);

// Tells the user why the editor could not open, where no panel exists to
// show it: a message box owned by the host's window on Windows, standard
// error on Linux (nothing there may hold up the host's GUI thread).
void reportOpenFailure(void* parent, const std::string& title, const std::string& text);

}  // namespace tarvik::gui
