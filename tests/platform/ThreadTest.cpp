#include "platform/sync/Thread.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>

#include "platform/sync/Event.h"
#include "platform/window/Message.h"
#include "tests/platform/ManualClockDriver.h"
#include "tests/platform/RecordingWindow.h"
#include "tests/platform/Watchdog.h"

namespace {

using platform::Event;
using platform::kWaitInfinite;
using platform::Thread;

TEST(Thread, RunsUntilItsFunctionReturnsAndThenReportsItsExitCode) {
    testsupport::Watchdog watchdog;
    Event release(Event::Mode::kManualReset);
    Thread thread;
    ASSERT_TRUE(thread.Start([&] {
        release.Wait(kWaitInfinite);
        return 5u;
    }));
    EXPECT_TRUE(thread.IsValid());
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_FALSE(thread.Wait(0));
    EXPECT_EQ(thread.ExitCode(), std::nullopt);
    release.Set();
    EXPECT_TRUE(thread.Wait(kWaitInfinite));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(thread.ExitCode(), 5u);
    EXPECT_TRUE(thread.Wait(0));  // stays signalled
}

TEST(Thread, AnEmptyHandleHasNothingRunning) {
    Thread thread;
    EXPECT_FALSE(thread.IsValid());
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(thread.Wait(0));
    EXPECT_EQ(thread.ExitCode(), std::nullopt);
}

TEST(Thread, WaitTimesOutWhenTheClockPassesItsTimeOut) {
    testsupport::Watchdog watchdog;
    platform::ManualClock clock;
    testsupport::ScopedClock installed(&clock);
    Event release(Event::Mode::kManualReset);
    Thread thread;
    ASSERT_TRUE(thread.Start([&] { return release.Wait(kWaitInfinite) ? 0u : 1u; }));
    auto waited = std::async(std::launch::async, [&] { return thread.Wait(4000); });
    ASSERT_TRUE(testsupport::AdvanceUntilReady(clock, waited, 200));
    EXPECT_FALSE(waited.get());
    EXPECT_TRUE(thread.IsRunning());
    release.Set();
    EXPECT_TRUE(thread.Wait(kWaitInfinite));
}

TEST(Thread, DestroyingTheHandleOfARunningThreadLetsItRunOn) {
    testsupport::Watchdog watchdog;
    auto release = std::make_shared<Event>(Event::Mode::kManualReset);
    auto finished = std::make_shared<Event>(Event::Mode::kManualReset);
    {
        Thread thread;
        ASSERT_TRUE(thread.Start([release, finished] {
            release->Wait(kWaitInfinite);
            finished->Set();
            return 0u;
        }));
    }  // must neither block nor end the process
    EXPECT_FALSE(finished->IsSignalled());
    release->Set();
    EXPECT_TRUE(finished->Wait(kWaitInfinite));
}

TEST(Thread, StartingAgainClosesTheEarlierHandle) {
    testsupport::Watchdog watchdog;
    Thread thread;
    ASSERT_TRUE(thread.Start([] { return 1u; }));
    ASSERT_TRUE(thread.Wait(kWaitInfinite));
    ASSERT_TRUE(thread.Start([] { return 2u; }));
    ASSERT_TRUE(thread.Wait(kWaitInfinite));
    EXPECT_EQ(thread.ExitCode(), 2u);
}

TEST(Thread, ItsWindowsAreGoneOnceItCountsAsEnded) {
    testsupport::Watchdog watchdog;
    std::atomic<platform::WindowHandle> window{0};
    Thread thread;
    ASSERT_TRUE(thread.Start([&] {
        testsupport::RecordingWindow left_open;
        window = left_open.handle();
        return 0u;
    }));
    ASSERT_TRUE(thread.Wait(kWaitInfinite));
    ASSERT_NE(window.load(), 0u);
    EXPECT_FALSE(platform::IsWindowHandle(window));
    EXPECT_EQ(platform::SendMessageTo(window, platform::kMsgUser, 0, 0), 0);
}

}  // namespace
