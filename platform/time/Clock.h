// One clock for every timer, time-out, sleep, tick count and time stamp of the
// system's code. Real time runs unless a test installs a ManualClock, which
// stands still until the test moves it, so a 60-second timer is tested without
// sleeping. Install a clock before the threads that read it start.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace platform {

struct LocalTime {
    int year = 1970, month = 1, day = 1;  // month and day from 1
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

constexpr uint64_t kNoDeadline = UINT64_MAX;

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds of a monotonic clock.
    virtual uint64_t MonotonicMs() = 0;
    virtual LocalTime Now() = 0;
    virtual void SleepMs(uint32_t ms) = 0;
    // Waits on cv (lock held) until pred() holds or MonotonicMs() reaches
    // deadline_ms; returns pred(). Callers notify cv when pred may change.
    virtual bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                           uint64_t deadline_ms, const std::function<bool()>& pred) = 0;
};

Clock& CurrentClock();
// nullptr restores real time. The clock must outlive its use.
void InstallClock(Clock* clock);

// Milliseconds as a 32-bit number that wraps, as the original tick count.
uint32_t GetTickCount();
void Sleep(uint32_t ms);
LocalTime GetLocalTime();
// Deadline for a time-out in milliseconds; 0xFFFFFFFF means none.
uint64_t DeadlineAfter(uint32_t timeout_ms);

// A clock that moves only when told. Sleeping and waiting threads wake when
// Advance passes their deadline.
class ManualClock : public Clock {
  public:
    explicit ManualClock(uint64_t start_ms = 1000);
    void Advance(uint64_t ms);
    void SetLocalTime(const LocalTime& time);

    uint64_t MonotonicMs() override;
    LocalTime Now() override;
    void SleepMs(uint32_t ms) override;
    bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                   uint64_t deadline_ms, const std::function<bool()>& pred) override;

  private:
    std::mutex mutex_;
    std::condition_variable advanced_;
    uint64_t now_ms_;
    LocalTime local_time_;
    uint64_t local_time_set_ms_;  // now_ms_ when local_time_ was set
};

}  // namespace platform
