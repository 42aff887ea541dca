#include <chrono>

#include "platform/time/Clock.h"

namespace platform {
namespace {

using std::chrono::days;
using std::chrono::milliseconds;
using std::chrono::sys_days;

// LocalTime as milliseconds on a plain calendar (no time zone, no leap
// seconds), and back.
int64_t ToCalendarMs(const LocalTime& t) {
    sys_days day = std::chrono::year{t.year} / std::chrono::month{static_cast<unsigned>(t.month)} /
                   std::chrono::day{static_cast<unsigned>(t.day)};
    int64_t ms = std::chrono::duration_cast<milliseconds>(day.time_since_epoch()).count();
    return ms + ((t.hour * 60LL + t.minute) * 60LL + t.second) * 1000LL + t.millisecond;
}

LocalTime FromCalendarMs(int64_t ms) {
    int64_t day_count = ms / 86400000LL;
    int64_t in_day = ms % 86400000LL;
    if (in_day < 0) {
        in_day += 86400000LL;
        --day_count;
    }
    std::chrono::year_month_day ymd{sys_days{days{day_count}}};
    LocalTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.hour = static_cast<int>(in_day / 3600000LL);
    t.minute = static_cast<int>(in_day / 60000LL % 60);
    t.second = static_cast<int>(in_day / 1000LL % 60);
    t.millisecond = static_cast<int>(in_day % 1000LL);
    return t;
}

}  // namespace

ManualClock::ManualClock(uint64_t start_ms) : now_ms_(start_ms), local_time_set_ms_(start_ms) {}

void ManualClock::Advance(uint64_t ms) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        now_ms_ += ms;
    }
    advanced_.notify_all();
}

void ManualClock::SetLocalTime(const LocalTime& time) {
    std::lock_guard<std::mutex> lock(mutex_);
    local_time_ = time;
    local_time_set_ms_ = now_ms_;
}

uint64_t ManualClock::MonotonicMs() {
    std::lock_guard<std::mutex> lock(mutex_);
    return now_ms_;
}

LocalTime ManualClock::Now() {
    std::lock_guard<std::mutex> lock(mutex_);
    int64_t elapsed = static_cast<int64_t>(now_ms_ - local_time_set_ms_);
    return FromCalendarMs(ToCalendarMs(local_time_) + elapsed);
}

void ManualClock::SleepMs(uint32_t ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    const uint64_t wake_at = now_ms_ + ms;
    advanced_.wait(lock, [&] { return now_ms_ >= wake_at; });
}

bool ManualClock::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                            uint64_t deadline_ms, const std::function<bool()>& pred) {
    // The caller's notifications wake the wait on its cv; Advance is noticed
    // within about a millisecond of real time.
    for (;;) {
        if (pred()) {
            return true;
        }
        if (MonotonicMs() >= deadline_ms) {
            return pred();
        }
        cv.wait_for(lock, std::chrono::milliseconds(1));
    }
}

}  // namespace platform
