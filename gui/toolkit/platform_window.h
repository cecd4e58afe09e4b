// The seam between the editor and the window system: a child window in the
// host's window, with a back buffer the frame paints into. One
// implementation per platform (Xlib + Cairo, Win32 + GDI+); everything above
// it is shared.
#pragma once

#include <memory>
#include <string>
#include <string_view>

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
    // The window system took the pointer away mid-drag: no release follows.
    virtual void captureLost() = 0;
    virtual void mouseLeft() = 0;
    virtual void wheel(const MouseEvent& event, double distance) = 0;
    // Answers whether the editor used the key; the window passes on the
    // keys it did not.
    virtual bool keyDown(const KeyEvent& event) = 0;
};

// What the windows of a pop-up layer report, on the GUI thread. While a
// layer is open the pointer and the keyboard are its own: every press,
// move, wheel turn and key comes here, wherever the pointer is, with
// `where` and `screen` both in screen coordinates. Only the release of a
// press that began before the layer opened still goes to the frame.
class PopupEvents {
public:
    virtual ~PopupEvents() = default;
    // Paints `area` of pop-up window `window`, in the window's own
    // coordinates; the context is clipped to it.
    virtual void paintPopup(int window, DrawContext& context, const Rect& area) = 0;
    virtual void popupMouseDown(const MouseEvent& event) = 0;
    virtual void popupMouseMoved(const MouseEvent& event) = 0;
    virtual void popupMouseUp(const MouseEvent& event) = 0;
    virtual void popupWheel(const MouseEvent& event, double distance) = 0;
    virtual void popupKeyDown(const KeyEvent& event) = 0;
};

// Top-level windows over everything else, beside the editor's window (a
// menu that may reach beyond it), read and painted with the editor's
// window from the host's idle calls. Closing the layer (destroying it)
// closes its windows and gives the pointer and the keyboard back; so does
// closing the editor's window, after which the layer is no longer alive.
class PopupLayer {
public:
    virtual ~PopupLayer() = default;
    virtual bool alive() const = 0;
    // The screen's rectangle, which the windows should stay inside.
    virtual Rect screen() const = 0;
    // Where the frame's top-left corner lies on the screen.
    virtual Point frameOrigin() const = 0;
    // Opens a window covering `area` (screen coordinates); answers its
    // number, or -1 when the window system refuses.
    virtual int openWindow(const Rect& area) = 0;
    virtual void closeWindow(int window) = 0;
    // Marks `area` of a window (its own coordinates) for repainting.
    virtual void invalidate(int window, const Rect& area) = 0;
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
    // Which keys to take from the host while the pointer is over the
    // window; the frame tells it after every pass of the window's events.
    virtual void setKeyInterest(const KeyInterest& interest) = 0;
    // False once the host destroyed its window under the editor.
    virtual bool alive() const = 0;
    // Whether the window has nothing queued: every event the window system
    // holds for it has been read (a round trip makes sure of it where events
    // arrive over a connection) and nothing waits to be painted.
    virtual bool quiet() = 0;

    // A pop-up layer beside this window reporting to `events` (which must
    // outlive it); one at a time, so opening one ends the one before. Null
    // where the platform has none.
    virtual std::unique_ptr<PopupLayer> openPopupLayer(PopupEvents& /*events*/) { return nullptr; }
    // The window system's own handle of the window (an HWND on Windows),
    // for the system's own menus; null where there is none.
    virtual void* nativeHandle() const { return nullptr; }
    // How wide `utf8` is drawn in `font`, as this window's drawing measures
    // it: views that size themselves to a text ask before they paint.
    virtual double textWidth(std::string_view utf8, const Font& font) = 0;
};

// A child window of `parent` (an X11 Window id or an HWND); null when it
// cannot be made. The events object must outlive the window.
std::unique_ptr<PlatformWindow> openPlatformWindow(void* parent, int width, int height, WindowEvents& events);

// Tells the user why the editor could not open, where no panel exists to
// show it: a message box owned by the host's window on Windows; on Linux the
// desktop's message box (zenity or kdialog) in a child process, else
// standard error (nothing there may hold up the host's GUI thread).
void reportOpenFailure(void* parent, const std::string& title, const std::string& text);

}  // namespace tarvik::gui
