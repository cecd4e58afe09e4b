// A view knows its rectangle, how to draw itself and how to answer mouse and
// key events; it never talks to the window system. Changing what it shows
// means invalid(): the frame repaints that area at its next paint pass.
#pragma once

#include "gui/toolkit/draw_context.h"
#include "gui/toolkit/events.h"
#include "gui/toolkit/geometry.h"

namespace tarvik::gui {

class Container;
class Frame;

enum class MouseResult {
    Ignored,   // not for this view: the views below may take it
    Handled,   // taken; no drag follows
    Captured,  // taken, and the moves and the release go to this view
};

class View {
public:
    explicit View(const Rect& rect) : rect_(rect) {}
    virtual ~View() = default;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    const Rect& rect() const { return rect_; }
    // Repaints both the old and the new area.
    void setRect(const Rect& rect);
    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    // Marks the whole view, or part of the frame, for repainting.
    void invalid() { invalidRect(rect_); }
    void invalidRect(const Rect& area) const;

    virtual void draw(DrawContext& /*context*/) {}
    virtual bool hitTest(Point p) const { return visible_ && rect_.contains(p); }

    virtual MouseResult onMouseDown(const MouseEvent& /*event*/) { return MouseResult::Ignored; }
    // While captured: every move, and the release that ends the capture.
    virtual void onMouseMoved(const MouseEvent& /*event*/) {}
    virtual void onMouseUp(const MouseEvent& /*event*/) {}
    // The capture ended without a release (the editor closed, the window
    // system took the pointer away): the gesture ends as a release where no
    // view lies would end it, so that a control closes its edit and nothing
    // acts on a position.
    virtual void onMouseCancelled(const MouseEvent& last) {
        MouseEvent nowhere = last;
        nowhere.where = {-1, -1};
        onMouseUp(nowhere);
    }
    // distance: wheel notches, positive away from the user.
    virtual bool onWheel(const MouseEvent& /*event*/, double /*distance*/) { return false; }
    virtual bool onKeyDown(const KeyEvent& /*event*/) { return false; }

    Container* parent() const { return parent_; }
    Frame* frame() const;

private:
    friend class Container;
    Container* parent_ = nullptr;
    Rect rect_;
    bool visible_ = true;
};

}  // namespace tarvik::gui
