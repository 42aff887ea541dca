// The screen as the display backend reports it.
#include "platform/display/DisplayBackend.h"
#include "platform/window/WindowUi.h"

namespace platform {

Size GetScreenSize() {
    return display::Backend().Screen().size;
}

Rect GetWorkArea() {
    return display::Backend().Screen().work_area;
}

bool GetTaskbarRect(Rect& rect) {
    const display::ScreenInfo screen = display::Backend().Screen();
    if (!screen.taskbar.has_value()) {
        return false;
    }
    rect = *screen.taskbar;
    return true;
}

}  // namespace platform
