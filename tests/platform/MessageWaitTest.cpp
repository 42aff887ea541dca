#include <gtest/gtest.h>

#include <future>

#include "platform/sync/Event.h"
#include "platform/window/Message.h"
#include "tests/platform/ManualClockDriver.h"
#include "tests/platform/RecordingWindow.h"
#include "tests/platform/Watchdog.h"

namespace {

using namespace platform;
using testsupport::RecordingWindow;

constexpr std::uint32_t kAsk = kMsgUser + 1;
constexpr std::uint32_t kQuitWith = kMsgUser + 2;
constexpr std::uint32_t kSetEvent = kMsgUser + 3;  // lParam: the Event

MessageResult AnswerAsk(WindowHandle window, std::uint32_t message, MessageParam w, MessageLong l) {
    if (message == kAsk) {
        return 42;
    }
    if (message == kQuitWith) {
        PostQuitToThread(static_cast<int>(w));
        return 0;
    }
    if (message == kSetEvent) {
        reinterpret_cast<Event*>(l)->Set();
        return 0;
    }
    return DefaultWindowProcedure(window, message, w, l);
}

// Runs body on a thread that owns a window answering kAsk; hands the window
// to the test once it exists.
template <typename Body>
auto OnWindowThread(std::promise<WindowHandle>& created, Body body) {
    return std::async(std::launch::async, [&created, body] {
        RecordingWindow window(&AnswerAsk);
        created.set_value(window.handle());
        auto result = body(window);
        DestroyWindowHandle(window.handle());
        return result;
    });
}

TEST(WaitForEventOrInput, ReportsTheEventPostedInputOrTheTimeOutOnTheClock) {
    testsupport::Watchdog watchdog;
    ManualClock clock;
    testsupport::ScopedClock installed(&clock);
    Event event(Event::Mode::kAutoReset);
    std::promise<WindowHandle> created;
    auto waits = OnWindowThread(created, [&](RecordingWindow&) {
        std::vector<WaitResult> results;
        results.push_back(WaitForEventOrInput(event, kWaitInfinite));  // the event
        results.push_back(WaitForEventOrInput(event, kWaitInfinite));  // a post
        Message message;
        PeekNextMessage(message, true);
        results.push_back(WaitForEventOrInput(event, 5000));  // nothing comes
        return results;
    });
    const WindowHandle window = created.get_future().get();
    event.Set();
    while (event.IsSignalled()) {  // the auto-reset wait takes the signal
        std::this_thread::yield();
    }
    PostMessageTo(window, kAsk, 0, 0);
    const uint64_t start = clock.MonotonicMs();
    ASSERT_TRUE(testsupport::AdvanceUntilReady(clock, waits, 250));
    EXPECT_EQ(waits.get(), (std::vector<WaitResult>{WaitResult::kObject, WaitResult::kInput,
                                                    WaitResult::kTimeout}));
    EXPECT_GE(clock.MonotonicMs() - start, 5000u);
}

TEST(WaitForEventOrInput, ASignalledEventWinsOverWaitingInput) {
    RecordingWindow window;
    PostMessageTo(window.handle(), kAsk, 0, 0);
    Event event(Event::Mode::kManualReset, true);
    EXPECT_EQ(WaitForEventOrInput(event, 0), WaitResult::kObject);
    event.Reset();
    EXPECT_EQ(WaitForEventOrInput(event, 0), WaitResult::kInput);
    DestroyWindowHandle(window.handle());
}

TEST(WaitForEventPumping, HandlesSentAndPostedMessagesUntilTheEventIsSet) {
    testsupport::Watchdog watchdog;
    Event event(Event::Mode::kManualReset);
    std::promise<WindowHandle> created;
    auto waited = OnWindowThread(created, [&](RecordingWindow& window) {
        const bool signalled = WaitForEventPumping(event, kWaitInfinite);
        return std::make_pair(signalled, window.SeenNumbers());
    });
    const WindowHandle window = created.get_future().get();
    // Returns only if the waiting thread handles it.
    EXPECT_EQ(SendMessageTo(window, kAsk, 0, 0), 42);
    // Ends the wait only if the waiting thread dispatches it.
    PostMessageTo(window, kSetEvent, 0, reinterpret_cast<MessageLong>(&event));
    auto [signalled, seen] = waited.get();
    EXPECT_TRUE(signalled);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{kMsgCreate, kAsk, kSetEvent}));
}

TEST(WaitForEventPumping, EndsFalseWhenItsTimeOutPassesOnTheClock) {
    testsupport::Watchdog watchdog;
    ManualClock clock;
    testsupport::ScopedClock installed(&clock);
    Event event(Event::Mode::kManualReset);
    auto waited = std::async(std::launch::async, [&] { return WaitForEventPumping(event, 3000); });
    ASSERT_TRUE(testsupport::AdvanceUntilReady(clock, waited, 100));
    EXPECT_FALSE(waited.get());
}

// A quit taken while pumping must still end the loop outside the wait.
TEST(WaitForEventPumping, LeavesAQuitItMeetsForTheEnclosingLoop) {
    testsupport::Watchdog watchdog;
    Event event(Event::Mode::kManualReset);
    std::promise<WindowHandle> created;
    auto ran = OnWindowThread(created, [&](RecordingWindow&) {
        const bool signalled = WaitForEventPumping(event, kWaitInfinite);
        return std::make_pair(signalled, RunMessageLoop());
    });
    const WindowHandle window = created.get_future().get();
    PostMessageTo(window, kQuitWith, 3, 0);
    EXPECT_EQ(SendMessageTo(window, kAsk, 0, 0), 42);  // still pumping after the quit
    event.Set();
    EXPECT_EQ(ran.get(), std::make_pair(true, 3));
}

TEST(MessageLoop, RunsUntilTheQuitAndReturnsItsExitCode) {
    testsupport::Watchdog watchdog;
    std::promise<WindowHandle> created;
    auto ran = OnWindowThread(created, [&](RecordingWindow& window) {
        const int code = RunMessageLoop();
        return std::make_pair(code, window.SeenNumbers());
    });
    const WindowHandle window = created.get_future().get();
    PostMessageTo(window, kMsgUser, 0, 0);
    PostMessageTo(window, kQuitWith, 7, 0);
    auto [code, seen] = ran.get();
    EXPECT_EQ(code, 7);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{kMsgCreate, kMsgUser, kQuitWith}));
}

TEST(MessageLoop, AModalLoopEndsOnItsConditionOrPassesAQuitOutwards) {
    testsupport::Watchdog watchdog;
    bool ended = false;
    RecordingWindow window(
        [&](WindowHandle w, std::uint32_t m, MessageParam p, MessageLong l) -> MessageResult {
            if (m == kAsk) {
                ended = true;
            }
            return AnswerAsk(w, m, p, l);
        });
    PostMessageTo(window.handle(), kAsk, 0, 0);
    PostMessageTo(window.handle(), kMsgUser, 0, 0);
    EXPECT_TRUE(RunModalLoop([&] { return !ended; }));
    Message left;
    ASSERT_TRUE(PeekNextMessage(left, true));  // the loop stopped right after kAsk
    EXPECT_EQ(left.message, kMsgUser);

    PostMessageTo(window.handle(), kQuitWith, 4, 0);
    EXPECT_FALSE(RunModalLoop([] { return true; }));
    EXPECT_EQ(RunMessageLoop(), 4);
    DestroyWindowHandle(window.handle());
}

}  // namespace
