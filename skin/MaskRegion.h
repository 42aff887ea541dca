// The outline of a skinned window from its shape bitmap: every pixel that is
// not exactly white (255, 255, 255) is inside, in bitmap coordinates. Shared by
// the skinned button and progress bar; any thread.
#pragma once

#include <optional>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Region.h"

// nullopt when there is no bitmap (an empty one); an all-white bitmap gives an
// empty region, which hides the window and lets every click through.
std::optional<platform::gfx::Region> CreateRegionFromMask(const platform::gfx::Bitmap& mask);
