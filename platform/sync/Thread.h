// A thread handle as the original platform has it: Start runs a function on a
// new thread, whose result is the thread's exit code. The handle can be asked
// at any time whether the thread still runs, waited on with a time-out (on the
// layer's clock) and read for the exit code. Closing or destroying the handle
// of a running thread lets the thread run on by itself.
//
// A thread counts as ended only after its function has returned and its
// message queue and windows are gone. One handle belongs to one thread at a
// time; the thread it started may end on its own at any moment.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace platform {

class Thread {
  public:
    using Function = std::function<std::uint32_t()>;

    Thread() = default;  // no thread
    ~Thread();
    Thread(Thread&& other) noexcept = default;
    Thread& operator=(Thread&& other) noexcept;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Closes any earlier handle first. False if no thread could be started.
    bool Start(Function function);
    // Detaches from a running thread, joins an ended one.
    void Close();

    bool IsValid() const { return state_ != nullptr; }
    // As a wait with a zero time-out that is not satisfied. False without a thread.
    bool IsRunning() const;
    // True once the thread has ended within timeout_ms (0xFFFFFFFF: no limit).
    // True at once without a thread, which has nothing to wait for.
    bool Wait(std::uint32_t timeout_ms);
    // The function's result once the thread has ended.
    std::optional<std::uint32_t> ExitCode() const;

  private:
    struct State;

    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace platform
