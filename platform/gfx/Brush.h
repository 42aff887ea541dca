// A brush: what a background is filled with. Solid colour, a pattern bitmap
// tiled over the surface, or hollow (fills nothing, so what lies under shows
// through). Controls ask their parent for one with the control colour
// messages; the answering window owns the brush and keeps it alive while its
// children paint.
//
// A pattern is tiled from the top-left corner of the target bitmap (the
// top-level window's surface), not of the context: a child filling with its
// parent's pattern continues the parent's picture seamlessly.
//
// A plain value, copyable; the pattern is shared and immutable. Any thread.
#pragma once

#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

namespace platform::gfx {

class DeviceContext;

class Brush {
  public:
    enum class Kind { kSolid, kPattern, kHollow };

    Brush() = default;  // hollow
    static Brush Solid(Color color);
    static Brush Pattern(Bitmap pattern);  // an empty bitmap gives a hollow brush
    static Brush Hollow() { return Brush(); }
    // A process-wide hollow brush, as the stock null brush there.
    static const Brush* HollowStock();

    Kind kind() const { return kind_; }
    Color color() const { return color_; }
    const Bitmap* pattern() const { return pattern_.get(); }

    // Fills rect (context coordinates) within the context's clip.
    void Fill(DeviceContext& dc, const Rect& rect) const;

  private:
    Kind kind_ = Kind::kHollow;
    Color color_ = kBlack;
    std::shared_ptr<const Bitmap> pattern_;
};

}  // namespace platform::gfx
