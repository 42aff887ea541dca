#include "platform/gfx/Region.h"

#include <climits>
#include <utility>

namespace platform::gfx {

enum class Region::Op : std::uint8_t { kUnion, kSubtract, kIntersect };

namespace {

template <typename Op>
bool Inside(Op op, bool in_a, bool in_b) {
    switch (op) {
        case Op::kUnion:
            return in_a || in_b;
        case Op::kSubtract:
            return in_a && !in_b;
        case Op::kIntersect:
            return in_a && in_b;
    }
    return false;
}

// One row of the result from one row of each operand: a merge walk over both
// edge lists that writes an edge wherever "inside" changes, so touching
// spans come out joined.
template <typename Op>
void CombineEdges(Op op, const std::vector<int>& a, const std::vector<int>& b,
                  std::vector<int>& out) {
    out.clear();
    std::size_t i = 0;
    std::size_t j = 0;
    bool in_a = false;
    bool in_b = false;
    bool inside = false;
    while (i < a.size() || j < b.size()) {
        const int x = (j >= b.size() || (i < a.size() && a[i] <= b[j])) ? a[i] : b[j];
        while (i < a.size() && a[i] == x) {
            in_a = !in_a;
            ++i;
        }
        while (j < b.size() && b[j] == x) {
            in_b = !in_b;
            ++j;
        }
        const bool now = Inside(op, in_a, in_b);
        if (now != inside) {
            out.push_back(x);
            inside = now;
        }
    }
}

}  // namespace

Region::Region(const Rect& rect) {
    if (!rect.IsEmpty()) {
        bands_.push_back(Band{rect.top, rect.bottom, {rect.left, rect.right}});
    }
}

void Region::AppendBand(std::vector<Band>& bands, int top, int bottom,
                        const std::vector<int>& edges) {
    if (edges.empty() || bottom <= top) {
        return;
    }
    if (!bands.empty() && bands.back().bottom == top && bands.back().edges == edges) {
        bands.back().bottom = bottom;
        return;
    }
    bands.push_back(Band{top, bottom, edges});
}

void Region::Builder::AddSpan(int y, int left, int right) {
    if (right <= left) {
        return;
    }
    if (!row_.empty() && y != row_y_) {
        EndRow();
    }
    if (row_.empty()) {
        if (!bands_.empty() && y < bands_.back().bottom) {
            // A row above the last one: keep what was built and unite later.
            Region done;
            done.bands_ = std::move(bands_);
            bands_.clear();
            earlier_.push_back(std::move(done));
        }
        row_y_ = y;
        row_sorted_ = true;
    } else if (left < row_[row_.size() - 2]) {
        row_sorted_ = false;
    }
    row_.push_back(left);
    row_.push_back(right);
}

void Region::Builder::EndRow() {
    if (row_.empty()) {
        return;
    }
    if (!row_sorted_) {
        std::vector<std::pair<int, int>> spans;
        spans.reserve(row_.size() / 2);
        for (std::size_t i = 0; i < row_.size(); i += 2) {
            spans.emplace_back(row_[i], row_[i + 1]);
        }
        std::sort(spans.begin(), spans.end());
        for (std::size_t i = 0; i < spans.size(); ++i) {
            row_[2 * i] = spans[i].first;
            row_[2 * i + 1] = spans[i].second;
        }
    }
    edges_.clear();
    for (std::size_t i = 0; i < row_.size(); i += 2) {
        if (!edges_.empty() && row_[i] <= edges_.back()) {
            edges_.back() = std::max(edges_.back(), row_[i + 1]);
        } else {
            edges_.push_back(row_[i]);
            edges_.push_back(row_[i + 1]);
        }
    }
    AppendBand(bands_, row_y_, row_y_ + 1, edges_);
    row_.clear();
}

Region Region::Builder::Finish() {
    EndRow();
    Region result;
    result.bands_ = std::move(bands_);
    bands_.clear();
    for (const Region& earlier : earlier_) {
        result = result.Union(earlier);
    }
    earlier_.clear();
    return result;
}

std::vector<Region::Band>::const_iterator Region::BandBelow(int y) const {
    return std::partition_point(bands_.begin(), bands_.end(),
                                [y](const Band& band) { return band.bottom <= y; });
}

Rect Region::Bounds() const {
    if (bands_.empty()) {
        return Rect{};
    }
    Rect bounds{INT_MAX, bands_.front().top, INT_MIN, bands_.back().bottom};
    for (const Band& band : bands_) {
        bounds.left = std::min(bounds.left, band.edges.front());
        bounds.right = std::max(bounds.right, band.edges.back());
    }
    return bounds;
}

bool Region::Contains(int x, int y) const {
    const auto band = BandBelow(y);
    if (band == bands_.end() || band->top > y) {
        return false;
    }
    // Inside a span exactly when an odd number of edges lie at or left of x.
    const auto after = std::upper_bound(band->edges.begin(), band->edges.end(), x);
    return ((after - band->edges.begin()) & 1) != 0;
}

std::int64_t Region::Area() const {
    std::int64_t area = 0;
    for (const Band& band : bands_) {
        std::int64_t width = 0;
        for (std::size_t i = 0; i < band.edges.size(); i += 2) {
            width += std::int64_t{band.edges[i + 1]} - band.edges[i];
        }
        area += width * (std::int64_t{band.bottom} - band.top);
    }
    return area;
}

// Sweeps both band lists top to bottom; each stretch of rows where neither
// operand changes becomes one band of the result.
Region Region::Combine(const Region& a, const Region& b, Op op) {
    static const std::vector<int> kNoEdges;
    Region out;
    const std::vector<Band>& bands_a = a.bands_;
    const std::vector<Band>& bands_b = b.bands_;
    std::size_t i = 0;
    std::size_t j = 0;
    std::vector<int> edges;
    int y = INT_MIN;
    while (true) {
        while (i < bands_a.size() && bands_a[i].bottom <= y) {
            ++i;
        }
        while (j < bands_b.size() && bands_b[j].bottom <= y) {
            ++j;
        }
        const bool more_a = i < bands_a.size();
        const bool more_b = j < bands_b.size();
        if ((!more_a && !more_b) || (op != Op::kUnion && !more_a) ||
            (op == Op::kIntersect && !more_b)) {
            break;
        }
        const bool on_a = more_a && bands_a[i].top <= y;
        const bool on_b = more_b && bands_b[j].top <= y;
        if (!on_a && !on_b) {
            y = std::min(more_a ? bands_a[i].top : INT_MAX, more_b ? bands_b[j].top : INT_MAX);
            continue;
        }
        int end = INT_MAX;
        if (more_a) {
            end = std::min(end, on_a ? bands_a[i].bottom : bands_a[i].top);
        }
        if (more_b) {
            end = std::min(end, on_b ? bands_b[j].bottom : bands_b[j].top);
        }
        CombineEdges(op, on_a ? bands_a[i].edges : kNoEdges, on_b ? bands_b[j].edges : kNoEdges,
                     edges);
        AppendBand(out.bands_, y, end, edges);
        y = end;
    }
    return out;
}

Region Region::Union(const Region& other) const {
    if (other.IsEmpty()) {
        return *this;
    }
    if (IsEmpty()) {
        return other;
    }
    return Combine(*this, other, Op::kUnion);
}

Region Region::Subtract(const Region& other) const {
    if (IsEmpty() || other.IsEmpty()) {
        return *this;
    }
    return Combine(*this, other, Op::kSubtract);
}

Region Region::Intersect(const Region& other) const {
    if (IsEmpty() || other.IsEmpty()) {
        return Region{};
    }
    return Combine(*this, other, Op::kIntersect);
}

Region Region::Offset(int dx, int dy) const {
    Region out = *this;
    for (Band& band : out.bands_) {
        band.top += dy;
        band.bottom += dy;
        for (int& edge : band.edges) {
            edge += dx;
        }
    }
    return out;
}

std::vector<Rect> Region::Rects() const {
    std::vector<Rect> rects;
    for (const Band& band : bands_) {
        for (std::size_t i = 0; i < band.edges.size(); i += 2) {
            rects.push_back(Rect{band.edges[i], band.top, band.edges[i + 1], band.bottom});
        }
    }
    return rects;
}

}  // namespace platform::gfx
