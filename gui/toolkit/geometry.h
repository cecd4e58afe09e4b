// Pixel geometry of the editor: integer rectangles in frame coordinates
// (every view's rectangle is relative to the frame's top-left corner, also
// inside containers), and points with fractions for curves.
#pragma once

#include <algorithm>

namespace tarvik::gui {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct PointF {
    double x = 0.0;
    double y = 0.0;
};

// Left and top are inside, right and bottom just outside.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static Rect sized(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool contains(const Rect& r) const {
        return r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom;
    }
    bool intersects(const Rect& r) const { return !intersection(r).empty(); }
    Rect intersection(const Rect& r) const {
        return {std::max(left, r.left), std::max(top, r.top), std::min(right, r.right), std::min(bottom, r.bottom)};
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    Rect united(const Rect& r) const {
        if (r.empty()) return *this;
        if (empty()) return r;
        return {std::min(left, r.left), std::min(top, r.top), std::max(right, r.right), std::max(bottom, r.bottom)};
    }
    Rect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect inset(int d) const { return {left + d, top + d, right - d, bottom - d}; }
    Point topLeft() const { return {left, top}; }
    Point centre() const { return {(left + right) / 2, (top + bottom) / 2}; }
    bool operator==(const Rect&) const = default;
};

}  // namespace tarvik::gui
