// Timers belong to the window's thread, which alone may set or kill them.
#include "platform/window/Message.h"
#include "platform/window/WindowTable.h"

namespace platform {

bool SetWindowTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapse_ms) {
    auto target = window_internal::FindOwnWindow(window);
    return target != nullptr && target->owner->SetTimer(window, id, elapse_ms);
}

bool KillWindowTimer(WindowHandle window, std::uintptr_t id) {
    auto target = window_internal::FindOwnWindow(window);
    return target != nullptr && target->owner->KillTimer(window, id);
}

}  // namespace platform
