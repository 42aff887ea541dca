// The real clock and the layer's clock functions; ManualClock is in
// ManualClock.cpp.
#include "platform/time/Clock.h"

#include <time.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

class RealClock : public Clock {
  public:
    uint64_t MonotonicMs() override {
        auto since_epoch = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count());
    }

    LocalTime Now() override {
        auto now = std::chrono::system_clock::now();
        auto ms_since_epoch =
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
        time_t seconds = static_cast<time_t>(ms_since_epoch / 1000);
        int millisecond = static_cast<int>(ms_since_epoch % 1000);
        if (millisecond < 0) {  // before 1970
            millisecond += 1000;
            --seconds;
        }
        struct tm parts {};
        localtime_r(&seconds, &parts);
        LocalTime time;
        time.year = parts.tm_year + 1900;
        time.month = parts.tm_mon + 1;
        time.day = parts.tm_mday;
        time.hour = parts.tm_hour;
        time.minute = parts.tm_min;
        time.second = parts.tm_sec;
        time.millisecond = millisecond;
        return time;
    }

    void SleepMs(uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

    bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                   uint64_t deadline_ms, const std::function<bool()>& pred) override {
        // Deadlines beyond a few hundred years cannot be expressed in the
        // steady clock's nanoseconds; they are as good as none.
        constexpr uint64_t kFarFuture = 1ull << 53;
        if (deadline_ms == kNoDeadline || deadline_ms >= kFarFuture) {
            cv.wait(lock, pred);
            return true;
        }
        // Deadlines are on the steady clock's own scale (MonotonicMs).
        auto deadline =
            std::chrono::steady_clock::time_point(std::chrono::milliseconds(deadline_ms));
        return cv.wait_until(lock, deadline, pred);
    }
};

RealClock g_real_clock;
std::atomic<Clock*> g_installed{nullptr};

}  // namespace

Clock& CurrentClock() {
    Clock* clock = g_installed.load(std::memory_order_acquire);
    return clock ? *clock : g_real_clock;
}

void InstallClock(Clock* clock) {
    g_installed.store(clock, std::memory_order_release);
}

uint32_t GetTickCount() {
    return static_cast<uint32_t>(CurrentClock().MonotonicMs());
}

void Sleep(uint32_t ms) {
    CurrentClock().SleepMs(ms);
}

LocalTime GetLocalTime() {
    return CurrentClock().Now();
}

uint64_t DeadlineAfter(uint32_t timeout_ms) {
    if (timeout_ms == 0xFFFFFFFFu) {
        return kNoDeadline;
    }
    return CurrentClock().MonotonicMs() + timeout_ms;
}

}  // namespace platform
