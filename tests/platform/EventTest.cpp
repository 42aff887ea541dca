#include "platform/sync/Event.h"

#include <gtest/gtest.h>

#include <future>

#include "tests/platform/ManualClockDriver.h"

namespace {

using platform::Event;
using platform::kWaitInfinite;
using namespace std::chrono_literals;

TEST(Event, ManualResetStaysSignalledUntilReset) {
    Event event(Event::Mode::kManualReset);
    EXPECT_FALSE(event.Wait(0));
    event.Set();
    EXPECT_TRUE(event.Wait(0));
    EXPECT_TRUE(event.Wait(0));
    EXPECT_TRUE(event.IsSignalled());
    event.Reset();
    EXPECT_FALSE(event.IsSignalled());
    EXPECT_FALSE(event.Wait(0));
}

TEST(Event, AutoResetWaitConsumesTheSignalAndLookingDoesNot) {
    Event event(Event::Mode::kAutoReset, true);
    EXPECT_TRUE(event.IsSignalled());
    EXPECT_TRUE(event.IsSignalled());
    EXPECT_TRUE(event.Wait(0));
    EXPECT_FALSE(event.IsSignalled());
    EXPECT_FALSE(event.Wait(0));
}

TEST(Event, WaitTimesOutWhenTheClockPassesTheTimeOut) {
    platform::ManualClock clock;
    testsupport::ScopedClock installed(&clock);
    Event event(Event::Mode::kManualReset);
    const uint64_t start = clock.MonotonicMs();
    auto waited = std::async(std::launch::async, [&] { return event.Wait(5000); });
    if (!testsupport::AdvanceUntilReady(clock, waited, 250)) {
        event.Set();
        FAIL() << "the wait did not end when its time-out passed";
    }
    EXPECT_FALSE(waited.get());
    EXPECT_GE(clock.MonotonicMs() - start, 5000u);
}

TEST(Event, SetReleasesAnEndlessWaitWhileTheClockStandsStill) {
    platform::ManualClock clock;
    testsupport::ScopedClock installed(&clock);
    Event event(Event::Mode::kAutoReset);
    auto waited = std::async(std::launch::async, [&] { return event.Wait(kWaitInfinite); });
    std::this_thread::sleep_for(20ms);
    event.Set();
    ASSERT_EQ(waited.wait_for(20s), std::future_status::ready);
    EXPECT_TRUE(waited.get());
    EXPECT_FALSE(event.IsSignalled());  // the waiter took the signal
}

TEST(Event, OneSetOfAnAutoResetEventReleasesOneWaiter) {
    Event event(Event::Mode::kAutoReset);
    // Real time, bounded: a waiter that is never released ends the test anyway.
    auto first = std::async(std::launch::async, [&] { return event.Wait(20000); });
    auto second = std::async(std::launch::async, [&] { return event.Wait(20000); });
    std::this_thread::sleep_for(20ms);
    event.Set();
    while (first.wait_for(1ms) != std::future_status::ready &&
           second.wait_for(1ms) != std::future_status::ready) {
    }
    std::this_thread::sleep_for(50ms);
    const int released = (first.wait_for(0ms) == std::future_status::ready) +
                         (second.wait_for(0ms) == std::future_status::ready);
    EXPECT_EQ(released, 1);
    event.Set();
    EXPECT_TRUE(first.get());
    EXPECT_TRUE(second.get());
}

struct CountingObserver : platform::EventObserver {
    void OnEventSignalled() override { ++told; }
    int told = 0;
};

TEST(Event, ObserversAreToldOfEverySetAndAtOnceWhenAddedToASignalledEvent) {
    Event event(Event::Mode::kAutoReset);
    CountingObserver observer;
    event.AddObserver(&observer);
    EXPECT_EQ(observer.told, 0);
    event.Set();
    event.Set();
    EXPECT_EQ(observer.told, 2);
    EXPECT_TRUE(event.Wait(0));  // observing takes nothing

    CountingObserver late;
    event.Set();
    event.AddObserver(&late);
    EXPECT_EQ(late.told, 1);

    event.RemoveObserver(&observer);
    event.RemoveObserver(&late);
    event.Set();
    EXPECT_EQ(observer.told, 3);
    EXPECT_EQ(late.told, 1);
}

}  // namespace
