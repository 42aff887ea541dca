// Framework tests: a fresh headless display per test (the shared fixture), a
// resource module of the test's own, and a pump that runs the calling
// thread's queue dry the way the framework's loops do: pre-translation
// through the window's ancestors, then dispatch (paint passes included).
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/display/DisplayBackend.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/resources/Resources.h"
#include "platform/window/Message.h"
#include "platform/window/WindowBase.h"
#include "tests/support/HeadlessDisplayFixture.h"

namespace testsupport {

inline platform::WindowCreation Creation(std::uint32_t style, platform::WindowHandle parent = 0,
                                         platform::Rect rect = {}, int id = 0) {
    platform::WindowCreation creation;
    creation.style = style;
    creation.parent = parent;
    creation.rect = rect;
    creation.id = id;
    return creation;
}

// Bounded, so a message that keeps re-posting itself fails instead of hanging.
inline int PumpFrameworkUntilIdle(int limit = 10000) {
    platform::Message message;
    int handled = 0;
    while (handled < limit && platform::PeekNextMessage(message, true)) {
        ++handled;
        if (message.message == platform::kMsgQuit) {
            platform::PostQuitToThread(static_cast<int>(message.wParam));
            break;
        }
        if (!platform::PreTranslateThroughAncestors(message)) {
            platform::DispatchMessageToWindow(message);
        }
    }
    return handled;
}

class FrameworkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_module_ = platform::InstalledResourceModule();
        platform::RegisterFrameworkClasses();
    }
    void TearDown() override {
        PumpFrameworkUntilIdle();
        platform::InstallResourceModule(previous_module_);
    }

    platform::display::headless::HeadlessDisplay& display() { return scoped_.display(); }

  private:
    ScopedHeadlessDisplay scoped_;
    const platform::ResourceModule* previous_module_ = nullptr;
};

}  // namespace testsupport
