// What the window layer asks of the chosen backend without choosing one: a
// thread that only waits must not start a display.
#pragma once

#include <cstdint>

namespace platform::display::internal {

// False while no backend has been chosen yet.
bool BackendNeedsPumping();
void PumpBackend(std::uint32_t timeout_ms);

}  // namespace platform::display::internal
