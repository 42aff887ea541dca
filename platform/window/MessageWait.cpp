// Taking messages out of the calling thread's queue, the loops built on it,
// and waits that keep the thread's windows answering.
#include <functional>

#include "platform/sync/Event.h"
#include "platform/time/Clock.h"
#include "platform/window/Message.h"
#include "platform/window/MessageDelivery.h"
#include "platform/window/WindowTable.h"
#include "platform/window/WindowUiInternal.h"

namespace platform {

using window_internal::CurrentQueue;
using window_internal::HandlePendingSent;
using window_internal::ThreadQueue;

namespace {

// Raw input becomes messages here, once the posted messages before it are
// gone. Posted messages whose window has gone are dropped here, never
// dispatched.
bool TakeLiveMessage(ThreadQueue& queue, Message& message, bool remove) {
    for (;;) {
        display::RawInput input;
        if (queue.TakeRawInput(input)) {
            window_internal::TranslateRawInput(input);
            continue;
        }
        if (!queue.TakeRetrievable(message, remove)) {
            break;
        }
        if (message.window == 0 || IsWindowHandle(message.window)) {
            return true;
        }
        if (!remove) {
            queue.TakeRetrievable(message, true);  // only this thread takes, so it is the same
        }
    }
    return false;
}

// Wakes a thread waiting on its queue when the event is set.
class QueueWakeOnEvent : public EventObserver {
  public:
    QueueWakeOnEvent(ThreadQueue& queue, Event& event) : queue_(queue), event_(event) {
        event_.AddObserver(this);
    }
    ~QueueWakeOnEvent() { event_.RemoveObserver(this); }
    QueueWakeOnEvent(const QueueWakeOnEvent&) = delete;
    QueueWakeOnEvent& operator=(const QueueWakeOnEvent&) = delete;

    void OnEventSignalled() override { queue_.RaiseFlag(signalled_); }

    // Takes the event's signal (consumed if auto-reset). The flag is lowered
    // first, so a Set that races with another taker is not missed.
    bool TakeSignal() {
        queue_.LowerFlag(signalled_);
        return event_.Wait(0);
    }
    const bool* flag() const { return &signalled_; }

  private:
    ThreadQueue& queue_;
    Event& event_;
    bool signalled_ = false;  // guarded by the queue's mutex
};

}  // namespace

bool GetNextMessage(Message& message) {
    ThreadQueue& queue = *CurrentQueue();
    for (;;) {
        HandlePendingSent(queue);
        if (TakeLiveMessage(queue, message, true)) {
            return message.message != kMsgQuit;
        }
        queue.WaitForInput(kNoDeadline, nullptr);
    }
}

bool PeekNextMessage(Message& message, bool remove) {
    ThreadQueue& queue = *CurrentQueue();
    HandlePendingSent(queue);
    return TakeLiveMessage(queue, message, remove);
}

bool IsInputPending() {
    return CurrentQueue()->HasInput();
}

bool RunModalLoop(const std::function<bool()>& keep_running) {
    Message message;
    while (keep_running()) {
        if (!GetNextMessage(message)) {
            PostQuitToThread(static_cast<int>(message.wParam));
            return false;
        }
        DispatchMessageToWindow(message);
    }
    return true;
}

int RunMessageLoop() {
    Message message;
    while (GetNextMessage(message)) {
        DispatchMessageToWindow(message);
    }
    return static_cast<int>(message.wParam);
}

WaitResult WaitForEventOrInput(Event& event, std::uint32_t timeout_ms) {
    const std::uint64_t deadline = DeadlineAfter(timeout_ms);
    ThreadQueue& queue = *CurrentQueue();
    QueueWakeOnEvent wake(queue, event);
    for (;;) {
        // The object comes first when both are there, as there.
        if (wake.TakeSignal()) {
            return WaitResult::kObject;
        }
        if (HandlePendingSent(queue) || queue.HasInput()) {
            return WaitResult::kInput;
        }
        if (CurrentClock().MonotonicMs() >= deadline) {
            return WaitResult::kTimeout;
        }
        queue.WaitForInput(deadline, wake.flag());
    }
}

bool WaitForEventPumping(Event& event, std::uint32_t timeout_ms) {
    const std::uint64_t deadline = DeadlineAfter(timeout_ms);
    // A quit taken here belongs to the loop outside, which gets it back.
    bool quit_seen = false;
    int quit_code = 0;
    WaitResult result;
    for (;;) {
        const std::uint64_t now = CurrentClock().MonotonicMs();
        const std::uint32_t remaining =
            deadline == kNoDeadline
                ? kWaitInfinite
                : static_cast<std::uint32_t>(deadline > now ? deadline - now : 0);
        result = WaitForEventOrInput(event, remaining);
        if (result != WaitResult::kInput) {
            break;
        }
        Message message;
        while (PeekNextMessage(message, true)) {
            if (message.message == kMsgQuit) {
                quit_seen = true;
                quit_code = static_cast<int>(message.wParam);
            } else {
                DispatchMessageToWindow(message);
            }
        }
    }
    if (quit_seen) {
        PostQuitToThread(quit_code);
    }
    return result == WaitResult::kObject;
}

}  // namespace platform
