// The message queue of one thread: posted messages in order, calls sent from
// other threads, raw input from the display, the quit request, the top-level
// windows waiting for a paint pass and the thread's timers. Any thread may post
// or send into a queue; only its own thread takes messages out. One mutex and
// one condition variable per queue carry every wake-up of its thread: posts,
// incoming sends, replies to its own sends and signalled events.
//
// A queue outlives its thread while others hold it; once closed (the thread
// ended) it refuses new messages and answers pending sends with 0.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/display/DisplayBackend.h"
#include "platform/window/Message.h"

namespace platform::window_internal {

class ThreadQueue;

// A cross-thread send waiting for its answer.
struct SentCall {
    Message message;
    std::shared_ptr<ThreadQueue> reply_to;
    bool done = false;  // guarded by reply_to's mutex
    MessageResult result = 0;
    // When set, the owner runs this instead of the procedure: the layer's own
    // work on a window that must happen on its thread.
    std::function<MessageResult()> task;
};

class ThreadQueue {
  public:
    ThreadQueue();
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;

    bool IsOwnedByCurrentThread() const { return owner_ == std::this_thread::get_id(); }

    // From any thread. False once closed or full.
    bool Post(const Message& message);
    bool EnqueueSent(const std::shared_ptr<SentCall>& call);
    // Answers a call sent from this queue's thread and wakes it.
    void Reply(SentCall& call, MessageResult result);

    bool PostRawInput(const display::RawInput& input);
    // A top-level window of this queue needs a paint pass; once per window.
    void MarkPaint(WindowHandle window);
    void ClearPaint(WindowHandle window);
    // The thread shows windows, so its waits pump the display when it asks.
    void SetShowsWindows() { shows_windows_ = true; }

    // Owner only. Incoming sends come before anything else.
    std::shared_ptr<SentCall> TakeSent();
    // Raw input, but only while no posted message waits before it.
    bool TakeRawInput(display::RawInput& input);
    // Posted messages first, then the quit request, then a paint pass
    // (kMsgPaint for the window; taking it removes the mark), then a due timer.
    bool TakeRetrievable(Message& message, bool remove);
    void PostQuit(int exit_code);
    bool HasInput() const;

    bool SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapse_ms);
    bool KillTimer(WindowHandle window, std::uintptr_t id);

    // Forgets the window's timers and queued messages; returns its pending
    // sends for the caller to answer.
    std::vector<std::shared_ptr<SentCall>> PurgeWindow(WindowHandle window);
    // The thread ended: refuse new messages and return what is left to answer.
    std::vector<std::shared_ptr<SentCall>> Close();

    // Blocks until input is there (sent, posted, quit, due timer), *extra_flag
    // (guarded by this queue's mutex) is set, or deadline_ms passes.
    void WaitForInput(std::uint64_t deadline_ms, const bool* extra_flag);
    // Blocks until call is answered or a send arrives; true when answered.
    bool WaitForReplyOrSent(const SentCall& call);
    // Sets a flag guarded by this queue's mutex and wakes the thread.
    void RaiseFlag(bool& flag);
    void LowerFlag(bool& flag);

  private:
    struct Timer {
        WindowHandle window;
        std::uintptr_t id;
        std::uint32_t elapse_ms;
        std::uint64_t due_ms;
    };

    std::uint64_t NextTimerDueLocked() const;

    const std::thread::id owner_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool closed_ = false;
    std::deque<Message> posted_;
    std::deque<display::RawInput> raw_;
    std::vector<WindowHandle> paint_;
    std::deque<std::shared_ptr<SentCall>> sent_;
    std::atomic<bool> shows_windows_{false};
    bool quit_pending_ = false;
    int quit_code_ = 0;
    std::vector<Timer> timers_;
};

// The calling thread's queue, created on first use and closed when the
// thread ends (its windows go with it).
const std::shared_ptr<ThreadQueue>& CurrentQueue();

}  // namespace platform::window_internal
