// An event object as the original platform has it: manual-reset (stays
// signalled until Reset) or auto-reset (a successful wait consumes the
// signal, so one Set releases one waiter). Every call may come from any
// thread. Waits with a time-out follow the layer's replaceable clock.
// Observers let a wait on several sources (an event or a thread's messages)
// learn of a Set without polling.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {

// A time-out that never ends.
constexpr uint32_t kWaitInfinite = 0xFFFFFFFF;

// Told of every Set. Called with the event's lock held: it must not call the
// event back, only note the signal and wake its own waiter.
class EventObserver {
  public:
    virtual void OnEventSignalled() = 0;

  protected:
    ~EventObserver() = default;
};

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

    // An observer added while the event is signalled is told at once. Once
    // RemoveObserver returns, no call to the observer is under way.
    void AddObserver(EventObserver* observer);
    void RemoveObserver(EventObserver* observer);

  private:
    const Mode mode_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_;
    std::vector<EventObserver*> observers_;
};

}  // namespace platform
