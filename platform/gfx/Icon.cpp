#include "platform/gfx/Icon.h"

#include "platform/gfx/DeviceContext.h"

namespace platform::gfx {

void DrawIcon(DeviceContext& dc, int x, int y, const Icon& icon) {
    if (icon.IsEmpty()) {
        return;
    }
    // One blit of the whole image through the context's clip narrowed to the
    // icon's shape, which walks the shape's rectangles once.
    DeviceContext shaped(dc.Target(), dc.Origin(), std::nullopt);
    shaped.IntersectClip(dc.ClipRegion());
    shaped.IntersectClip(icon.shape.Intersect(Region(icon.image.Bounds())).Offset(x, y));
    shaped.BitBlt(x, y, icon.image.Width(), icon.image.Height(), icon.image, 0, 0);
}

}  // namespace platform::gfx
