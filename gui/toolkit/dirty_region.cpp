#include "gui/toolkit/dirty_region.h"

#include <utility>

namespace tarvik::gui {

void DirtyRegion::add(const Rect& area) {
    if (area.empty()) return;
    Rect merged = area;
    // A merge can make the area meet others it did not meet before.
    for (bool grew = true; grew;) {
        grew = false;
        for (auto it = areas_.begin(); it != areas_.end(); ++it) {
            if (!it->inset(-1).intersects(merged)) continue;
            merged = merged.united(*it);
            areas_.erase(it);
            grew = true;
            break;
        }
    }
    areas_.push_back(merged);
    if (areas_.size() > kMaxAreas) {
        Rect all;
        for (const Rect& r : areas_) all = all.united(r);
        areas_.assign(1, all);
    }
}

std::vector<Rect> DirtyRegion::take() { return std::exchange(areas_, {}); }

}  // namespace tarvik::gui
