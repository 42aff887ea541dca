#include "platform/time/Clock.h"

#include <gtest/gtest.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;
using platform::LocalTime;
using platform::ManualClock;

// A real-time limit for anything that waits: a hang fails the test instead.
constexpr auto kRealDeadline = 10s;

// Installs a clock for one test and restores real time after it.
class ScopedClock {
  public:
    explicit ScopedClock(platform::Clock* clock) { platform::InstallClock(clock); }
    ~ScopedClock() { platform::InstallClock(nullptr); }
};

bool SameTime(const LocalTime& a, const LocalTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second && a.millisecond == b.millisecond;
}

std::string Show(const LocalTime& t) {
    char text[64];
    snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day,
             t.hour, t.minute, t.second, t.millisecond);
    return text;
}

TEST(RealClock, MonotonicSleepAndTickCount) {
    platform::InstallClock(nullptr);
    platform::Clock& clock = platform::CurrentClock();
    uint64_t start = clock.MonotonicMs();
    auto real_start = std::chrono::steady_clock::now();
    platform::Sleep(30);
    uint64_t end = clock.MonotonicMs();
    EXPECT_GE(end - start, 29u);
    EXPECT_GE(std::chrono::steady_clock::now() - real_start, 30ms);
    uint32_t tick = platform::GetTickCount();
    EXPECT_LE(static_cast<uint32_t>(tick - static_cast<uint32_t>(end)), 1000u);
    EXPECT_EQ(platform::DeadlineAfter(0xFFFFFFFFu), platform::kNoDeadline);
    uint64_t deadline = platform::DeadlineAfter(500);
    EXPECT_GE(deadline, end + 500);
    EXPECT_LE(deadline, clock.MonotonicMs() + 500);
}

TEST(RealClock, NowIsTheLocalTime) {
    platform::InstallClock(nullptr);
    time_t before = time(nullptr);
    LocalTime now = platform::GetLocalTime();
    time_t after = time(nullptr);
    struct tm parts {};
    localtime_r(&before, &parts);
    bool matches_before = now.year == parts.tm_year + 1900 && now.month == parts.tm_mon + 1 &&
                          now.day == parts.tm_mday && now.hour == parts.tm_hour &&
                          now.minute == parts.tm_min && now.second == parts.tm_sec;
    localtime_r(&after, &parts);
    bool matches_after = now.year == parts.tm_year + 1900 && now.month == parts.tm_mon + 1 &&
                         now.day == parts.tm_mday && now.hour == parts.tm_hour &&
                         now.minute == parts.tm_min && now.second == parts.tm_sec;
    EXPECT_TRUE(matches_before || matches_after) << Show(now);
    EXPECT_GE(now.millisecond, 0);
    EXPECT_LE(now.millisecond, 999);
}

TEST(RealClock, WaitUntilTimesOutOrSeesThePredicate) {
    platform::InstallClock(nullptr);
    platform::Clock& clock = platform::CurrentClock();
    std::mutex mutex;
    std::condition_variable cv;
    bool flag = false;
    {
        std::unique_lock<std::mutex> lock(mutex);
        uint64_t start = clock.MonotonicMs();
        EXPECT_FALSE(clock.WaitUntil(lock, cv, platform::DeadlineAfter(40), [&] { return flag; }));
        EXPECT_GE(clock.MonotonicMs() - start, 39u);
        EXPECT_TRUE(lock.owns_lock());
    }
    for (uint64_t deadline : {platform::DeadlineAfter(10000), platform::kNoDeadline}) {
        flag = false;
        std::thread notifier([&] {
            std::this_thread::sleep_for(20ms);
            std::lock_guard<std::mutex> lock(mutex);
            flag = true;
            cv.notify_all();
        });
        std::unique_lock<std::mutex> lock(mutex);
        auto real_start = std::chrono::steady_clock::now();
        EXPECT_TRUE(clock.WaitUntil(lock, cv, deadline, [&] { return flag; }));
        EXPECT_LT(std::chrono::steady_clock::now() - real_start, 5s);
        lock.unlock();
        notifier.join();
    }
}

TEST(ManualClockTest, InstalledClockDrivesTheLayersFunctions) {
    ManualClock clock(0x100000005ull);
    ScopedClock installed(&clock);
    EXPECT_EQ(&platform::CurrentClock(), &clock);
    EXPECT_EQ(platform::GetTickCount(), 5u);  // low 32 bits
    clock.Advance(0xFFFFFFFFull);
    EXPECT_EQ(platform::GetTickCount(), 4u);  // wraps
    EXPECT_EQ(clock.MonotonicMs(), 0x200000004ull);
    EXPECT_EQ(platform::DeadlineAfter(250), 0x200000004ull + 250);
    EXPECT_EQ(platform::DeadlineAfter(0xFFFFFFFFu), platform::kNoDeadline);
    platform::Sleep(0);  // returns at once
    platform::InstallClock(nullptr);
    EXPECT_NE(&platform::CurrentClock(), &clock);
}

TEST(ManualClockTest, StandsStillUntilAdvanced) {
    ManualClock clock;
    EXPECT_EQ(clock.MonotonicMs(), 1000u);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(clock.MonotonicMs(), 1000u);
    clock.Advance(1);
    EXPECT_EQ(clock.MonotonicMs(), 1001u);
}

TEST(ManualClockTest, SixtySecondSleepWakesWhenAdvanced) {
    ManualClock clock;
    ScopedClock installed(&clock);
    std::atomic<bool> woke{false};
    auto sleeper = std::async(std::launch::async, [&] {
        platform::Sleep(60000);
        woke = true;
    });
    std::this_thread::sleep_for(30ms);
    EXPECT_FALSE(woke);
    clock.Advance(59999);
    EXPECT_EQ(sleeper.wait_for(50ms), std::future_status::timeout) << "woke before its time";
    clock.Advance(1);
    ASSERT_EQ(sleeper.wait_for(kRealDeadline), std::future_status::ready) << "sleeper hung";
    EXPECT_TRUE(woke);
}

TEST(ManualClockTest, SleepersWakeInDeadlineOrder) {
    ManualClock clock;
    std::atomic<int> woken{0};
    auto short_sleep = std::async(std::launch::async, [&] {
        clock.SleepMs(100);
        ++woken;
    });
    auto long_sleep = std::async(std::launch::async, [&] {
        clock.SleepMs(5000);
        ++woken;
    });
    std::this_thread::sleep_for(20ms);
    clock.Advance(150);
    ASSERT_EQ(short_sleep.wait_for(kRealDeadline), std::future_status::ready);
    EXPECT_EQ(long_sleep.wait_for(30ms), std::future_status::timeout);
    EXPECT_EQ(woken, 1);
    clock.Advance(10000);
    ASSERT_EQ(long_sleep.wait_for(kRealDeadline), std::future_status::ready);
    EXPECT_EQ(woken, 2);
}

TEST(ManualClockTest, WaitUntilTimesOutOnlyWhenTheClockIsAdvanced) {
    ManualClock clock;
    ScopedClock installed(&clock);
    std::mutex mutex;
    std::condition_variable cv;
    const uint64_t deadline = platform::DeadlineAfter(5000);
    auto waiter = std::async(std::launch::async, [&] {
        std::unique_lock<std::mutex> lock(mutex);
        return platform::CurrentClock().WaitUntil(lock, cv, deadline, [] { return false; });
    });
    EXPECT_EQ(waiter.wait_for(50ms), std::future_status::timeout);
    clock.Advance(4999);
    EXPECT_EQ(waiter.wait_for(50ms), std::future_status::timeout);
    clock.Advance(1);
    ASSERT_EQ(waiter.wait_for(kRealDeadline), std::future_status::ready) << "waiter hung";
    EXPECT_FALSE(waiter.get());
}

TEST(ManualClockTest, WaitUntilSeesTheCallersNotification) {
    ManualClock clock;
    std::mutex mutex;
    std::condition_variable cv;
    bool flag = false;
    for (uint64_t deadline : {clock.MonotonicMs() + 1000, platform::kNoDeadline}) {
        flag = false;
        auto waiter = std::async(std::launch::async, [&] {
            std::unique_lock<std::mutex> lock(mutex);
            return clock.WaitUntil(lock, cv, deadline, [&] { return flag; });
        });
        EXPECT_EQ(waiter.wait_for(30ms), std::future_status::timeout);
        {
            std::lock_guard<std::mutex> lock(mutex);
            flag = true;
        }
        cv.notify_all();
        ASSERT_EQ(waiter.wait_for(kRealDeadline), std::future_status::ready);
        EXPECT_TRUE(waiter.get());
    }
    // A predicate that already holds, or a deadline already passed, returns at once.
    std::unique_lock<std::mutex> lock(mutex);
    EXPECT_TRUE(clock.WaitUntil(lock, cv, 0, [] { return true; }));
    EXPECT_FALSE(clock.WaitUntil(lock, cv, clock.MonotonicMs(), [] { return false; }));
}

TEST(ManualClockTest, LocalTimeRunsWithTheClock) {
    ManualClock clock(5000);
    EXPECT_TRUE(SameTime(clock.Now(), LocalTime{})) << Show(clock.Now());
    const struct {
        LocalTime set;
        uint64_t advance;
        LocalTime expected;
    } cases[] = {
        {{2026, 12, 31, 23, 59, 59, 500}, 600, {2027, 1, 1, 0, 0, 0, 100}},
        {{2024, 2, 28, 23, 59, 59, 999}, 1, {2024, 2, 29, 0, 0, 0, 0}},
        {{2023, 2, 28, 23, 59, 59, 999}, 1, {2023, 3, 1, 0, 0, 0, 0}},
        {{2026, 3, 7, 9, 5, 3, 0}, 0, {2026, 3, 7, 9, 5, 3, 0}},
        {{2026, 3, 7, 9, 5, 3, 0}, 60000ull * 60 * 24 * 3 + 61001, {2026, 3, 10, 9, 6, 4, 1}},
    };
    for (const auto& c : cases) {
        clock.Advance(12345);  // time before SetLocalTime does not count
        clock.SetLocalTime(c.set);
        EXPECT_TRUE(SameTime(clock.Now(), c.set)) << Show(clock.Now());
        clock.Advance(c.advance);
        EXPECT_TRUE(SameTime(clock.Now(), c.expected))
            << Show(clock.Now()) << " expected " << Show(c.expected);
    }
    ScopedClock installed(&clock);
    EXPECT_TRUE(SameTime(platform::GetLocalTime(), clock.Now()));
}

}  // namespace
