#include "platform/display/sdl/ScreenLayout.h"

#include <array>
#include <cstdint>

namespace platform::display::sdl {

ScreenInfo ScreenFromBounds(const gfx::Rect& bounds, const gfx::Rect& usable) {
    ScreenInfo screen;
    screen.size = {bounds.Width(), bounds.Height()};
    // A work area that is empty or sticks out of the screen is no work area.
    const gfx::Rect work = usable.Intersect(bounds);
    if (work.IsEmpty() || work == bounds) {
        screen.work_area = bounds;
        screen.taskbar.reset();
        return screen;
    }
    screen.work_area = work;
    const std::array<gfx::Rect, 4> strips = {
        gfx::Rect{bounds.left, work.bottom, bounds.right, bounds.bottom},  // bottom
        gfx::Rect{bounds.left, bounds.top, bounds.right, work.top},        // top
        gfx::Rect{bounds.left, bounds.top, work.left, bounds.bottom},      // left
        gfx::Rect{work.right, bounds.top, bounds.right, bounds.bottom},    // right
    };
    std::int64_t best_area = 0;
    screen.taskbar.reset();
    for (const gfx::Rect& strip : strips) {
        if (strip.IsEmpty()) {
            continue;
        }
        const std::int64_t area = static_cast<std::int64_t>(strip.Width()) * strip.Height();
        if (area > best_area) {
            best_area = area;
            screen.taskbar = strip;
        }
    }
    return screen;
}

}  // namespace platform::display::sdl
