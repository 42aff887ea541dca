// Moves a ManualClock forward in steps until a waiting thread has finished,
// under a real deadline, so a wait that never ends fails the test instead of
// hanging it.
#pragma once

#include <chrono>
#include <future>

#include "platform/time/Clock.h"

namespace testsupport {

// False when the real deadline passed first.
template <typename T>
bool AdvanceUntilReady(platform::ManualClock& clock, std::future<T>& done, uint64_t step_ms,
                       std::chrono::seconds real_limit = std::chrono::seconds(20)) {
    const auto give_up = std::chrono::steady_clock::now() + real_limit;
    while (done.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
        if (std::chrono::steady_clock::now() > give_up) {
            return false;
        }
        clock.Advance(step_ms);
    }
    return true;
}

// Installs a clock for one test and restores real time after it.
class ScopedClock {
  public:
    explicit ScopedClock(platform::Clock* clock) { platform::InstallClock(clock); }
    ~ScopedClock() { platform::InstallClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace testsupport
