// Integer panel rectangles. Every control, label box and section frame of the
// panel is one of these, in panel pixels with y growing downwards.
#pragma once

#include <algorithm>

namespace tarvik::skin {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    constexpr int right() const { return x + width; }
    constexpr int bottom() const { return y + height; }
    constexpr bool empty() const { return width <= 0 || height <= 0; }

    // Rectangles that only share an edge do not overlap.
    constexpr bool overlaps(const Rect& other) const {
        return x < other.right() && other.x < right() && y < other.bottom() && other.y < bottom();
    }
    constexpr bool contains(const Rect& other) const {
        return other.x >= x && other.y >= y && other.right() <= right() && other.bottom() <= bottom();
    }
    constexpr Rect grown(int by) const { return {x - by, y - by, width + 2 * by, height + 2 * by}; }
    constexpr Rect united(const Rect& other) const {
        if (empty()) return other;
        if (other.empty()) return *this;
        const int left = std::min(x, other.x);
        const int top = std::min(y, other.y);
        return {left, top, std::max(right(), other.right()) - left, std::max(bottom(), other.bottom()) - top};
    }
    constexpr bool operator==(const Rect&) const = default;
};

}  // namespace tarvik::skin
