#include "gui/toolkit/container.h"

#include <algorithm>

#include "gui/toolkit/frame.h"

namespace tarvik::gui {

Container::~Container() {
    // Children forget their parent first, so that none reaches a frame that
    // is being destroyed.
    for (auto& child : children_) child->parent_ = nullptr;
}

void Container::adopt(std::unique_ptr<View> view) {
    view->parent_ = this;
    children_.push_back(std::move(view));
    children_.back()->invalid();
}

std::unique_ptr<View> Container::remove(View& child) {
    const auto it = std::find_if(children_.begin(), children_.end(), [&](const auto& v) { return v.get() == &child; });
    if (it == children_.end()) return nullptr;
    child.invalid();
    if (Frame* f = frame()) f->forget(child);
    std::unique_ptr<View> owned = std::move(*it);
    children_.erase(it);
    owned->parent_ = nullptr;
    return owned;
}

void Container::draw(DrawContext& context) { drawArea(context, rect()); }

void Container::drawArea(DrawContext& context, const Rect& area) {
    const Rect mine = area.intersection(rect());
    if (mine.empty()) return;
    if (backgroundColor_) context.fillRect(mine, *backgroundColor_);
    if (background_ && !background_->empty())
        context.drawBitmap(*background_, mine, {mine.left - rect().left, mine.top - rect().top});
    for (const auto& child : children_) {
        if (!child->isVisible() || !child->rect().intersects(mine)) continue;
        if (auto* inner = dynamic_cast<Container*>(child.get()))
            inner->drawArea(context, mine);
        else
            child->draw(context);
    }
}

}  // namespace tarvik::gui
