// A view that holds other views, drawn in the order they were added (later
// ones on top) and asked for mouse events top first.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "gui/toolkit/view.h"

namespace tarvik::gui {

class Container : public View {
public:
    using View::View;
    ~Container() override;

    // Takes ownership; answers the view for the caller to keep a pointer.
    template <typename T>
    T& add(std::unique_ptr<T> view) {
        T& kept = *view;
        adopt(std::move(view));
        return kept;
    }
    // Gives a child back (its area is repainted); null when it is not ours.
    std::unique_ptr<View> remove(View& child);
    const std::vector<std::unique_ptr<View>>& children() const { return children_; }

    void setBackground(const Bitmap* bitmap) { background_ = bitmap; }
    void setBackgroundColor(Color c) { backgroundColor_ = c; }

    void draw(DrawContext& context) override;
    // Draws only what meets `area` (already clipped to it by the caller).
    void drawArea(DrawContext& context, const Rect& area);

    // Visits the visible views under p, topmost first (children before
    // their container), until `visit` answers true; answers that view.
    template <typename F>
    View* findAt(Point p, F&& visit) {
        for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
            View& child = **it;
            if (!child.hitTest(p)) continue;
            if (auto* inner = dynamic_cast<Container*>(&child)) {
                if (View* found = inner->findAt(p, visit)) return found;
            } else if (visit(child)) {
                return &child;
            }
        }
        return hitTest(p) && visit(*this) ? this : nullptr;
    }

private:
    void adopt(std::unique_ptr<View> view);

    std::vector<std::unique_ptr<View>> children_;
    const Bitmap* background_ = nullptr;
    std::optional<Color> backgroundColor_;
};

}  // namespace tarvik::gui
