// The contract every display backend keeps, run through the window layer: a
// top-level window is shown, shaped, presented, moved, raised, hidden, shown
// again and destroyed, and notification-area icons are added, changed and
// removed. A backend that can read its screen back gives screen_pixel, and
// the contract then checks what the screen shows at each step, waiting for
// backends that draw on a thread of their own.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/display/DisplayBackend.h"

namespace testsupport {

struct BackendUnderTest {
    std::string name;
    std::function<std::unique_ptr<platform::display::DisplayBackend>()> make;
    // The colour at a screen point, or nullopt when it cannot be read now.
    std::function<std::optional<platform::gfx::Color>(platform::display::DisplayBackend&,
                                                      platform::gfx::Point)>
        screen_pixel;
};

// Installs the backend for the run (restoring the previous one) and checks
// the contract with gtest assertions.
void RunBackendContract(const BackendUnderTest& backend);

}  // namespace testsupport
