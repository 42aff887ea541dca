// An event object as the original platform has it: manual-reset (stays
// signalled until Reset) or auto-reset (a successful wait consumes the
// signal, so one Set releases one waiter). Every call may come from any
// thread. Waits with a time-out follow the layer's replaceable clock.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

// A time-out that never ends.
constexpr uint32_t kWaitInfinite = 0xFFFFFFFF;

class Event {
  public:
    enum class Mode { kManualReset, kAutoReset };

    explicit Event(Mode mode, bool initially_signalled = false);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    bool IsSignalled() const;
    // True when the event was signalled within timeout_ms (kWaitInfinite: no limit).
    bool Wait(uint32_t timeout_ms);

  private:
    const Mode mode_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_;
};

}  // namespace platform
