// A region: an exact set of pixels, used for window shapes, clipping and hit
// tests. Kept as horizontal bands of equal rows, each a sorted list of
// disjoint spans, so union, difference and point tests cost in proportion to
// the spans, not the pixels. Any construction yielding the same pixels gives
// an equal region. A plain value; no thread affinity.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gfx/Geometry.h"

namespace platform::gfx {

class Region {
    struct Band {
        int top = 0;
        int bottom = 0;
        std::vector<int> edges;  // left0, right0, left1, right1, ... sorted, disjoint
        friend bool operator==(const Band&, const Band&) = default;
    };

  public:
    Region() = default;  // empty
    explicit Region(const Rect& rect);

    // Builds from rows given top to bottom: spans of one row in any order,
    // overlapping or touching spans merged. Rows are meant to come in order;
    // one that goes backwards is still taken, at the cost of a union.
    class Builder {
      public:
        void AddSpan(int y, int left, int right);  // [left, right) on row y
        Region Finish();

      private:
        void EndRow();

        std::vector<Band> bands_;  // finished rows, equal neighbours merged
        std::vector<int> row_;     // spans of the current row, as left, right pairs
        std::vector<int> edges_;   // scratch for the merged row
        int row_y_ = 0;
        bool row_sorted_ = true;
        std::vector<Region> earlier_;  // what came before a row that went backwards
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
    // Calls f(const Rect&) for each of those rectangles cut to area, in the
    // same order, without building a list: what drawing clips by.
    template <typename F>
    void ForEachRectIn(const Rect& area, F&& f) const;

    friend bool operator==(const Region&, const Region&) = default;

  private:
    std::vector<Band> bands_;  // sorted, non-overlapping, no empty band,
                               // touching bands with equal edges merged
    // The first band whose bottom lies below y.
    std::vector<Band>::const_iterator BandBelow(int y) const;

    enum class Op : std::uint8_t;
    static Region Combine(const Region& a, const Region& b, Op op);
    static void AppendBand(std::vector<Band>& bands, int top, int bottom,
                           const std::vector<int>& edges);
};

template <typename F>
void Region::ForEachRectIn(const Rect& area, F&& f) const {
    if (area.IsEmpty()) {
        return;
    }
    for (auto band = BandBelow(area.top); band != bands_.end() && band->top < area.bottom; ++band) {
        const int top = std::max(band->top, area.top);
        const int bottom = std::min(band->bottom, area.bottom);
        // Skip the spans that end at or before area.left.
        const auto first = std::upper_bound(band->edges.begin(), band->edges.end(), area.left);
        std::size_t i = static_cast<std::size_t>(first - band->edges.begin()) & ~std::size_t{1};
        for (; i < band->edges.size(); i += 2) {
            const int left = std::max(band->edges[i], area.left);
            const int right = std::min(band->edges[i + 1], area.right);
            if (band->edges[i] >= area.right) {
                break;
            }
            if (left < right) {
                f(Rect{left, top, right, bottom});
            }
        }
    }
}

}  // namespace platform::gfx
