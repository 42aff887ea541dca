// The screen as the window layer sees it, from the two rectangles a desktop
// reports: the whole display and the part panels leave free. The taskbar is
// the strip between them; with panels on several edges, the largest strip.
// Plain computation; any thread.
#pragma once

#include "platform/display/DisplayBackend.h"

namespace platform::display::sdl {

ScreenInfo ScreenFromBounds(const gfx::Rect& bounds, const gfx::Rect& usable);

}  // namespace platform::display::sdl
