// The areas waiting to be repainted. Overlapping areas merge, and past a
// handful the whole lot becomes one bounding box: a few large blits are
// cheaper than many small ones.
#pragma once

#include <vector>

#include "gui/toolkit/geometry.h"

namespace tarvik::gui {

class DirtyRegion {
public:
    static constexpr std::size_t kMaxAreas = 16;

    void add(const Rect& area);
    bool empty() const { return areas_.empty(); }
    const std::vector<Rect>& areas() const { return areas_; }
    // Hands the areas over and starts empty.
    std::vector<Rect> take();

private:
    std::vector<Rect> areas_;
};

}  // namespace tarvik::gui
