#include "platform/gfx/Brush.h"

#include <algorithm>

#include "platform/gfx/DeviceContext.h"

namespace platform::gfx {

Brush Brush::Solid(Color color) {
    Brush brush;
    brush.kind_ = Kind::kSolid;
    brush.color_ = color;
    return brush;
}

Brush Brush::Pattern(Bitmap pattern) {
    Brush brush;
    if (!pattern.IsEmpty()) {
        brush.kind_ = Kind::kPattern;
        brush.pattern_ = std::make_shared<const Bitmap>(std::move(pattern));
    }
    return brush;
}

const Brush* Brush::HollowStock() {
    static const Brush hollow;
    return &hollow;
}

void Brush::Fill(DeviceContext& dc, const Rect& rect) const {
    if (rect.IsEmpty()) {
        return;
    }
    switch (kind_) {
        case Kind::kHollow:
            return;
        case Kind::kSolid:
            dc.FillRect(rect, color_);
            return;
        case Kind::kPattern:
            break;
    }
    // Tiles sit on a grid anchored at the target's corner: in context
    // coordinates the grid starts at -origin.
    const Bitmap& tile = *pattern_;
    const Point origin = dc.Origin();
    const int tw = tile.Width();
    const int th = tile.Height();
    auto floor_mod = [](int value, int modulus) {
        const int r = value % modulus;
        return r < 0 ? r + modulus : r;
    };
    const int first_x = rect.left - floor_mod(rect.left + origin.x, tw);
    const int first_y = rect.top - floor_mod(rect.top + origin.y, th);
    for (int y = first_y; y < rect.bottom; y += th) {
        for (int x = first_x; x < rect.right; x += tw) {
            const Rect cell = Rect{x, y, x + tw, y + th}.Intersect(rect);
            if (cell.IsEmpty()) {
                continue;
            }
            dc.BitBlt(cell.left, cell.top, cell.Width(), cell.Height(), tile, cell.left - x,
                      cell.top - y);
        }
    }
}

}  // namespace platform::gfx
