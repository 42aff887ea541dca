// An icon: a small picture with its own shape (pixels outside the shape are
// transparent). Icons come from resources; a plain value.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Region.h"

namespace platform::gfx {

class DeviceContext;

struct Icon {
    Bitmap image;
    Region shape;  // in image coordinates
    bool IsEmpty() const { return image.IsEmpty(); }
};

// Draws the icon's shape at (x, y) of the context.
void DrawIcon(DeviceContext& dc, int x, int y, const Icon& icon);

}  // namespace platform::gfx
