#include <gtest/gtest.h>

#include <future>
#include <latch>
#include <thread>

#include "platform/window/Message.h"
#include "tests/platform/RecordingWindow.h"
#include "tests/platform/Watchdog.h"

namespace {

using namespace platform;
using testsupport::RecordingWindow;
using testsupport::WindowThread;

constexpr std::uint32_t kAsk = kMsgUser + 1;
constexpr std::uint32_t kAnswer = kMsgUser + 2;

TEST(CrossThreadSend, BlocksUntilTheOwnerHandledItAndReturnsItsResult) {
    testsupport::Watchdog watchdog;
    std::atomic<bool> handled{false};
    WindowThread owner([&](WindowHandle window, std::uint32_t message, MessageParam w,
                           MessageLong l) -> MessageResult {
        if (message == kAsk) {
            handled = true;
            return static_cast<MessageResult>(w) * 2;
        }
        return DefaultWindowProcedure(window, message, w, l);
    });
    EXPECT_EQ(SendMessageTo(owner.window(), kAsk, 21, 0), 42);
    EXPECT_TRUE(handled);
    EXPECT_EQ(owner.recorder().Threads().back(), owner.id());
}

// Each owner, while handling kAsk, sends kAnswer to the other's window; the
// latch makes both sends overlap.
TEST(CrossThreadSend, TwoThreadsSendingToEachOtherAtOnceBothGetTheirAnswers) {
    testsupport::Watchdog watchdog;
    std::latch both_sending(2);
    std::promise<MessageResult> first_result, second_result;
    auto handler_for = [&](std::promise<MessageResult>& result, MessageResult answer) {
        return [&, answer](WindowHandle window, std::uint32_t message, MessageParam w,
                           MessageLong l) -> MessageResult {
            if (message == kAsk) {
                both_sending.arrive_and_wait();
                result.set_value(SendMessageTo(static_cast<WindowHandle>(w), kAnswer, 0, 0));
                return 0;
            }
            if (message == kAnswer) {
                return answer;
            }
            return DefaultWindowProcedure(window, message, w, l);
        };
    };
    WindowThread first(handler_for(first_result, 1));
    WindowThread second(handler_for(second_result, 2));
    PostMessageTo(first.window(), kAsk, second.window(), 0);
    PostMessageTo(second.window(), kAsk, first.window(), 0);
    EXPECT_EQ(first_result.get_future().get(), 2);
    EXPECT_EQ(second_result.get_future().get(), 1);
}

TEST(CrossThreadSend, ASendHandledOnTheWayBackReachesTheBlockedSender) {
    testsupport::Watchdog watchdog;
    RecordingWindow here([](WindowHandle window, std::uint32_t message, MessageParam w,
                            MessageLong l) -> MessageResult {
        return message == kAnswer ? 5 : DefaultWindowProcedure(window, message, w, l);
    });
    const WindowHandle here_handle = here.handle();
    WindowThread there([here_handle](WindowHandle window, std::uint32_t message, MessageParam w,
                                     MessageLong l) -> MessageResult {
        if (message == kAsk) {
            return SendMessageTo(here_handle, kAnswer, 0, 0) + 10;
        }
        return DefaultWindowProcedure(window, message, w, l);
    });
    EXPECT_EQ(SendMessageTo(there.window(), kAsk, 0, 0), 15);
    EXPECT_EQ(here.Threads().back(), std::this_thread::get_id());
    DestroyWindowHandle(here.handle());
}

// The owner sees the send waiting, then loses the window without ever
// handling it; the sender must get 0 rather than wait for ever.
TEST(CrossThreadSend, APendingSendIsAnsweredWithZeroWhenItsWindowOrThreadGoes) {
    enum class Loss { kWindowDestroyed, kThreadEnded };
    for (Loss loss : {Loss::kWindowDestroyed, Loss::kThreadEnded}) {
        SCOPED_TRACE(static_cast<int>(loss));
        testsupport::Watchdog watchdog;
        std::promise<WindowHandle> created;
        std::atomic<bool> handled{false};
        std::thread owner([&] {
            RecordingWindow window([&](WindowHandle w, std::uint32_t m, MessageParam p,
                                       MessageLong l) -> MessageResult {
                if (m == kAsk) {
                    handled = true;
                    return 9;
                }
                return DefaultWindowProcedure(w, m, p, l);
            });
            created.set_value(window.handle());
            while (!IsInputPending()) {
                std::this_thread::yield();
            }
            if (loss == Loss::kWindowDestroyed) {
                DestroyWindowHandle(window.handle());
            }
        });
        const WindowHandle window = created.get_future().get();
        EXPECT_EQ(SendMessageTo(window, kAsk, 0, 0), 0);
        owner.join();
        EXPECT_FALSE(handled);
        EXPECT_FALSE(IsWindowHandle(window));
        EXPECT_EQ(SendMessageTo(window, kAsk, 0, 0), 0);
        EXPECT_FALSE(PostMessageTo(window, kAsk, 0, 0));
    }
}

}  // namespace
