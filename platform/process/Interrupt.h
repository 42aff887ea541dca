// The console side of a command-line tool: Ctrl-C (SIGINT and SIGTERM here)
// delivered to a callback on an ordinary thread, and whether standard error
// is a terminal.
//
// Thread rules: InterruptWatch must be created on the main thread before any
// other thread starts, because it blocks the two signals for every thread
// created afterwards and takes them on a thread of its own. The callback runs
// on that thread, so it may lock and set events like any other code; it gets
// the number of interrupts so far (1 for the first). Destroying the watch
// stops that thread and restores the signals. Programs started meanwhile
// inherit the blocked signals.
#pragma once

#include <functional>
#include <memory>

namespace platform {

class InterruptWatch {
  public:
    using Callback = std::function<void(int count)>;

    explicit InterruptWatch(Callback callback);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

bool IsStandardErrorTerminal();

}  // namespace platform
