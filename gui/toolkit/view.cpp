#include "gui/toolkit/view.h"

#include "gui/toolkit/frame.h"

namespace tarvik::gui {

void View::setRect(const Rect& rect) {
    if (rect == rect_) return;
    invalid();
    rect_ = rect;
    invalid();
}

void View::setVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    invalid();
}

void View::invalidRect(const Rect& area) const {
    if (Frame* f = frame()) f->addDirty(area);
}

Frame* View::frame() const {
    const View* v = this;
    while (v->parent_) v = v->parent_;
    return const_cast<Frame*>(dynamic_cast<const Frame*>(v));
}

}  // namespace tarvik::gui
