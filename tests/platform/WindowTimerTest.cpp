#include <gtest/gtest.h>

#include <future>
#include <vector>

#include "platform/window/Message.h"
#include "tests/platform/ManualClockDriver.h"
#include "tests/platform/RecordingWindow.h"
#include "tests/platform/Watchdog.h"

namespace {

using namespace platform;
using testsupport::RecordingWindow;

class WindowTimer : public ::testing::Test {
  protected:
    ~WindowTimer() override { DestroyWindowHandle(window_.handle()); }

    // The timer ids that come out of the queue now.
    std::vector<MessageParam> Fired() {
        std::vector<MessageParam> ids;
        Message message;
        while (PeekNextMessage(message, true)) {
            EXPECT_EQ(message.message, kMsgTimer);
            EXPECT_EQ(message.window, window_.handle());
            ids.push_back(message.wParam);
        }
        return ids;
    }

    ManualClock clock_;
    testsupport::ScopedClock installed_{&clock_};
    RecordingWindow window_;
};

using Ids = std::vector<MessageParam>;

TEST_F(WindowTimer, FiresWhenItsPeriodHasPassedWithOneMessageForManyMissedPeriods) {
    ASSERT_TRUE(SetWindowTimer(window_.handle(), 51252, 60000));
    clock_.Advance(59999);
    EXPECT_EQ(Fired(), Ids{});
    clock_.Advance(1);
    EXPECT_EQ(Fired(), Ids{51252});
    EXPECT_EQ(Fired(), Ids{});  // re-armed from when it fired
    clock_.Advance(3 * 60000);
    EXPECT_EQ(Fired(), Ids{51252});
    clock_.Advance(60000);
    EXPECT_EQ(Fired(), Ids{51252});
}

TEST_F(WindowTimer, SettingTheSameIdAgainReArmsItWithTheNewPeriod) {
    ASSERT_TRUE(SetWindowTimer(window_.handle(), 51252, 60000));
    clock_.Advance(30000);
    ASSERT_TRUE(SetWindowTimer(window_.handle(), 51252, 10));
    clock_.Advance(10);
    EXPECT_EQ(Fired(), Ids{51252});
    clock_.Advance(10);
    EXPECT_EQ(Fired(), Ids{51252});
    clock_.Advance(60000);
    EXPECT_EQ(Fired(), Ids{51252});
}

TEST_F(WindowTimer, PeriodsBelowTenMillisecondsRunAtTen) {
    ASSERT_TRUE(SetWindowTimer(window_.handle(), 51253, 1));
    clock_.Advance(9);
    EXPECT_EQ(Fired(), Ids{});
    clock_.Advance(1);
    EXPECT_EQ(Fired(), Ids{51253});
}

TEST_F(WindowTimer, KillStopsOneTimerAndDestroyingTheWindowStopsTheRest) {
    ASSERT_TRUE(SetWindowTimer(window_.handle(), 1, 100));
    ASSERT_TRUE(SetWindowTimer(window_.handle(), 2, 100));
    EXPECT_TRUE(KillWindowTimer(window_.handle(), 1));
    EXPECT_FALSE(KillWindowTimer(window_.handle(), 1));
    clock_.Advance(100);
    EXPECT_EQ(Fired(), Ids{2});
    ASSERT_TRUE(DestroyWindowHandle(window_.handle()));
    clock_.Advance(1000);
    Message message;
    EXPECT_FALSE(PeekNextMessage(message, true));
}

TEST_F(WindowTimer, PostedMessagesComeBeforeADueTimer) {
    ASSERT_TRUE(SetWindowTimer(window_.handle(), 7, 50));
    clock_.Advance(50);
    PostMessageTo(window_.handle(), kMsgUser, 0, 0);
    Message message;
    ASSERT_TRUE(PeekNextMessage(message, true));
    EXPECT_EQ(message.message, kMsgUser);
    EXPECT_EQ(Fired(), Ids{7});
}

// A loop blocked in GetNextMessage wakes when the clock reaches its timer.
TEST(WindowTimerLoop, ALoopWaitingForMessagesWakesWhenTheClockPassesItsTimer) {
    testsupport::Watchdog watchdog;
    ManualClock clock;
    testsupport::ScopedClock installed(&clock);
    std::promise<uint64_t> fired_at;
    auto loop = std::async(std::launch::async, [&] {
        RecordingWindow window(
            [&](WindowHandle w, std::uint32_t m, MessageParam p, MessageLong l) -> MessageResult {
                if (m == kMsgTimer) {
                    fired_at.set_value(clock.MonotonicMs());
                    KillWindowTimer(w, p);
                    PostQuitToThread(static_cast<int>(p));
                }
                return DefaultWindowProcedure(w, m, p, l);
            });
        SetWindowTimer(window.handle(), 5, 60000);
        const int code = RunMessageLoop();
        DestroyWindowHandle(window.handle());
        return code;
    });
    const uint64_t start = clock.MonotonicMs();
    ASSERT_TRUE(testsupport::AdvanceUntilReady(clock, loop, 1000));
    EXPECT_EQ(loop.get(), 5);
    EXPECT_GE(fired_at.get_future().get() - start, 60000u);
}

}  // namespace
