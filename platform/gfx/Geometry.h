// Points, sizes and rectangles in pixels, as the window and drawing code of
// the original platform uses them: a rectangle holds its left and top edges
// and excludes its right and bottom ones. Plain values; any thread.
#pragma once

#include <algorithm>

namespace platform::gfx {

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

    static constexpr Rect FromSize(int x, int y, int width, int height) {
        return Rect{x, y, x + width, y + height};
    }
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr Rect Offset(int dx, int dy) const {
        return Rect{left + dx, top + dy, right + dx, bottom + dy};
    }
    // Empty rectangles intersect nothing.
    constexpr Rect Intersect(const Rect& other) const {
        Rect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
               std::min(bottom, other.bottom)};
        return r.IsEmpty() ? Rect{} : r;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace platform::gfx
