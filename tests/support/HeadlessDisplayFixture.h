// Window tests against a headless display of their own: each test gets a
// fresh HeadlessDisplay (screen 1920 × 1080, work area above a 40-pixel
// taskbar) in place of the process's backend, restored after the test, and
// PumpUntilIdle runs the calling thread's queue until nothing is left,
// paint passes included.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/display/DisplayBackend.h"
#include "platform/display/headless/HeadlessDisplay.h"

namespace testsupport {

// Dispatches every message the calling thread has (sent, posted, raw input,
// paint passes, due timers) until none is left; returns how many. A quit is
// put back for the loop outside. Fails the test when more than max_messages
// keep coming, which means something repaints or reposts itself forever.
int PumpUntilIdle(int max_messages = 10000);

// Installs a fresh headless display for its lifetime.
class ScopedHeadlessDisplay {
  public:
    ScopedHeadlessDisplay();
    ~ScopedHeadlessDisplay();
    ScopedHeadlessDisplay(const ScopedHeadlessDisplay&) = delete;
    ScopedHeadlessDisplay& operator=(const ScopedHeadlessDisplay&) = delete;

    platform::display::headless::HeadlessDisplay& display() { return *display_; }

  private:
    platform::display::headless::HeadlessDisplay* display_;
    std::unique_ptr<platform::display::DisplayBackend> previous_;
};

class HeadlessDisplayTest : public ::testing::Test {
  protected:
    platform::display::headless::HeadlessDisplay& display() { return scoped_.display(); }

  private:
    ScopedHeadlessDisplay scoped_;
};

}  // namespace testsupport
