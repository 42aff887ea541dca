// A region: an exact set of pixels, used for window shapes, clipping and hit
// tests. Kept as horizontal bands of equal rows, each a sorted list of
// disjoint spans, so union, difference and point tests cost in proportion to
// the spans, not the pixels. Any construction yielding the same pixels gives
// an equal region. A plain value; no thread affinity.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/Geometry.h"

namespace platform::gfx {

class Region {
  public:
    Region() = default;  // empty
    explicit Region(const Rect& rect);

    // Builds from rows given top to bottom: spans of one row in any order,
    // overlapping or touching spans merged. Rows must not go backwards.
    class Builder {
      public:
        void AddSpan(int y, int left, int right);  // [left, right) on row y
        Region Finish();

      private:
        std::vector<Rect> rows_;  // one-pixel-high rectangles, in order
    };

    bool IsEmpty() const { return bands_.empty(); }
    Rect Bounds() const;
    bool Contains(int x, int y) const;
    bool Contains(Point p) const { return Contains(p.x, p.y); }
    std::int64_t Area() const;

    Region Union(const Region& other) const;
    Region Subtract(const Region& other) const;
    Region Intersect(const Region& other) const;
    Region Offset(int dx, int dy) const;

    // Disjoint rectangles covering exactly the region, top to bottom, then
    // left to right.
    std::vector<Rect> Rects() const;

    friend bool operator==(const Region&, const Region&) = default;

  private:
    struct Band {
        int top = 0;
        int bottom = 0;
        std::vector<int> edges;  // left0, right0, left1, right1, ... sorted, disjoint
        friend bool operator==(const Band&, const Band&) = default;
    };
    std::vector<Band> bands_;  // sorted, non-overlapping, no empty band,
                               // touching bands with equal edges merged
};

}  // namespace platform::gfx
