#include <gtest/gtest.h>

#include "platform/display/headless/HeadlessDisplay.h"
#include "tests/support/BackendContract.h"

namespace {

using platform::display::DisplayBackend;
using platform::display::headless::HeadlessDisplay;

TEST(DisplayBackendContract, EveryBackendKeepsIt) {
    const testsupport::BackendUnderTest backends[] = {
        {"headless", [] { return std::make_unique<HeadlessDisplay>(); },
         [](DisplayBackend& backend, platform::gfx::Point p) {
             return std::optional<platform::gfx::Color>(
                 dynamic_cast<HeadlessDisplay&>(backend).ComposeScreen().GetPixel(p.x, p.y));
         }},
    };
    for (const testsupport::BackendUnderTest& backend : backends) {
        testsupport::RunBackendContract(backend);
    }
}

}  // namespace
