#pragma once

// Integer geometry in the convention of the drawing model the report engine
// was designed for: a rectangle includes its left and top edge and excludes
// its right and bottom edge.

#include <algorithm>
#include <vector>

namespace quor {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool intersects(const Rect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    Rect intersected(const Rect& o) const {
        Rect r{left > o.left ? left : o.left, top > o.top ? top : o.top,
               right < o.right ? right : o.right, bottom < o.bottom ? bottom : o.bottom};
        if (r.isEmpty()) return Rect{};
        return r;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The smallest rectangle whose edges pass through the outermost points
// (right and bottom inclusive); empty for no points.
inline Rect boundingRect(const std::vector<Point>& pts) {
    if (pts.empty()) return Rect{};
    Rect r{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (const Point& p : pts) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    }
    return r;
}

}  // namespace quor
