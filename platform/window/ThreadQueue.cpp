#include "platform/window/ThreadQueue.h"

#include <algorithm>

#include "platform/display/DisplayInternal.h"
#include "platform/time/Clock.h"
#include "platform/window/WindowTable.h"
#include "platform/window/WindowUiInternal.h"

namespace platform::window_internal {
namespace {

// As there: a queue holds at most this many posted messages.
constexpr std::size_t kMaxPosted = 10000;

// Timers shorter than this run at this period, as there.
constexpr std::uint32_t kMinimumTimerMs = 10;

// A display that must be pumped is pumped at least this often while waiting.
constexpr std::uint64_t kPumpSliceMs = 10;

// Raw input waiting beyond this is dropped, as a stalled thread's input is.
constexpr std::size_t kMaxRawInput = 10000;

struct QueueOfThisThread {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueOfThisThread() {
        if (queue == nullptr) {
            return;
        }
        // Windows left behind leave the screen and the order they were in.
        for (const auto& window : WindowTable::Instance().OwnedBy(queue.get())) {
            window->destroying = true;
        }
        for (const auto& window : WindowTable::Instance().OwnedBy(queue.get())) {
            ForgetWindow(window);
        }
        WindowTable::Instance().RemoveOwnedBy(queue.get());
        for (const auto& call : queue->Close()) {
            call->reply_to->Reply(*call, 0);
        }
    }
};

thread_local QueueOfThisThread t_queue;

}  // namespace

ThreadQueue::ThreadQueue() : owner_(std::this_thread::get_id()) {}

bool ThreadQueue::Post(const Message& message) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_ || posted_.size() >= kMaxPosted) {
            return false;
        }
        posted_.push_back(message);
    }
    wake_.notify_all();
    return true;
}

bool ThreadQueue::EnqueueSent(const std::shared_ptr<SentCall>& call) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_) {
            return false;
        }
        sent_.push_back(call);
    }
    wake_.notify_all();
    return true;
}

void ThreadQueue::Reply(SentCall& call, MessageResult result) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        call.result = result;
        call.done = true;
    }
    wake_.notify_all();
}

bool ThreadQueue::PostRawInput(const display::RawInput& input) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_ || raw_.size() >= kMaxRawInput) {
            return false;
        }
        raw_.push_back(input);
    }
    wake_.notify_all();
    return true;
}

void ThreadQueue::MarkPaint(WindowHandle window) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_ || std::find(paint_.begin(), paint_.end(), window) != paint_.end()) {
            return;
        }
        paint_.push_back(window);
    }
    wake_.notify_all();
}

void ThreadQueue::ClearPaint(WindowHandle window) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::erase(paint_, window);
}

bool ThreadQueue::TakeRawInput(display::RawInput& input) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!posted_.empty() || raw_.empty()) {
        return false;
    }
    input = raw_.front();
    raw_.pop_front();
    return true;
}

std::shared_ptr<SentCall> ThreadQueue::TakeSent() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (sent_.empty()) {
        return nullptr;
    }
    std::shared_ptr<SentCall> call = std::move(sent_.front());
    sent_.pop_front();
    return call;
}

bool ThreadQueue::TakeRetrievable(Message& message, bool remove) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!posted_.empty()) {
        message = posted_.front();
        if (remove) {
            posted_.pop_front();
        }
        return true;
    }
    if (quit_pending_) {
        message = Message{0, kMsgQuit, static_cast<MessageParam>(quit_code_), 0};
        if (remove) {
            quit_pending_ = false;
        }
        return true;
    }
    if (!paint_.empty()) {
        message = Message{paint_.front(), kMsgPaint, 0, 0};
        if (remove) {
            paint_.erase(paint_.begin());
        }
        return true;
    }
    const std::uint64_t now = CurrentClock().MonotonicMs();
    for (Timer& timer : timers_) {
        if (timer.due_ms <= now) {
            message = Message{timer.window, kMsgTimer, timer.id, 0};
            if (remove) {
                // Periods missed meanwhile fold into this one message.
                timer.due_ms = now + timer.elapse_ms;
            }
            return true;
        }
    }
    return false;
}

void ThreadQueue::PostQuit(int exit_code) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_pending_ = true;
        quit_code_ = exit_code;
    }
    wake_.notify_all();
}

bool ThreadQueue::SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapse_ms) {
    elapse_ms = std::clamp<std::uint32_t>(elapse_ms, kMinimumTimerMs, 0x7FFFFFFF);
    const std::uint64_t due = CurrentClock().MonotonicMs() + elapse_ms;
    std::lock_guard<std::mutex> lock(mutex_);
    for (Timer& timer : timers_) {
        if (timer.window == window && timer.id == id) {
            timer.elapse_ms = elapse_ms;
            timer.due_ms = due;
            return true;
        }
    }
    timers_.push_back(Timer{window, id, elapse_ms, due});
    return true;
}

bool ThreadQueue::KillTimer(WindowHandle window, std::uintptr_t id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::erase_if(timers_, [&](const Timer& timer) {
               return timer.window == window && timer.id == id;
           }) != 0;
}

std::vector<std::shared_ptr<SentCall>> ThreadQueue::PurgeWindow(WindowHandle window) {
    std::vector<std::shared_ptr<SentCall>> unanswered;
    std::lock_guard<std::mutex> lock(mutex_);
    std::erase_if(timers_, [window](const Timer& timer) { return timer.window == window; });
    std::erase_if(posted_, [window](const Message& message) { return message.window == window; });
    std::erase(paint_, window);
    std::erase_if(sent_, [&](const std::shared_ptr<SentCall>& call) {
        if (call->message.window != window) {
            return false;
        }
        unanswered.push_back(call);
        return true;
    });
    return unanswered;
}

std::vector<std::shared_ptr<SentCall>> ThreadQueue::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    posted_.clear();
    raw_.clear();
    paint_.clear();
    timers_.clear();
    std::vector<std::shared_ptr<SentCall>> unanswered(sent_.begin(), sent_.end());
    sent_.clear();
    return unanswered;
}

bool ThreadQueue::HasInput() const {
    const std::uint64_t now = CurrentClock().MonotonicMs();
    std::lock_guard<std::mutex> lock(mutex_);
    return !sent_.empty() || !posted_.empty() || !raw_.empty() || quit_pending_ ||
           !paint_.empty() || NextTimerDueLocked() <= now;
}

std::uint64_t ThreadQueue::NextTimerDueLocked() const {
    std::uint64_t next = kNoDeadline;
    for (const Timer& timer : timers_) {
        next = std::min(next, timer.due_ms);
    }
    return next;
}

void ThreadQueue::WaitForInput(std::uint64_t deadline_ms, const bool* extra_flag) {
    Clock& clock = CurrentClock();
    for (;;) {
        // Pumping hands native events to DeliverRawInput, which locks this
        // queue, so it runs before the lock is taken.
        const bool pump = shows_windows_ && display::internal::BackendNeedsPumping();
        if (pump) {
            display::internal::PumpBackend(0);
        }
        std::unique_lock<std::mutex> lock(mutex_);
        // Only the owner changes the timers, and it is here, so the earliest
        // due time holds for the whole wait.
        const std::uint64_t wake_at = std::min(deadline_ms, NextTimerDueLocked());
        const std::uint64_t slice_end =
            pump ? std::min(wake_at, clock.MonotonicMs() + kPumpSliceMs) : wake_at;
        const bool ready = clock.WaitUntil(lock, wake_, slice_end, [&] {
            return (extra_flag != nullptr && *extra_flag) || !sent_.empty() || !posted_.empty() ||
                   !raw_.empty() || quit_pending_ || !paint_.empty();
        });
        if (ready || !pump || clock.MonotonicMs() >= wake_at) {
            return;
        }
    }
}

bool ThreadQueue::WaitForReplyOrSent(const SentCall& call) {
    std::unique_lock<std::mutex> lock(mutex_);
    CurrentClock().WaitUntil(lock, wake_, kNoDeadline, [&] { return call.done || !sent_.empty(); });
    return call.done;
}

void ThreadQueue::RaiseFlag(bool& flag) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        flag = true;
    }
    wake_.notify_all();
}

void ThreadQueue::LowerFlag(bool& flag) {
    std::lock_guard<std::mutex> lock(mutex_);
    flag = false;
}

const std::shared_ptr<ThreadQueue>& CurrentQueue() {
    if (t_queue.queue == nullptr) {
        t_queue.queue = std::make_shared<ThreadQueue>();
    }
    return t_queue.queue;
}

}  // namespace platform::window_internal
