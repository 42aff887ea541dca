// Ends the test program when a test still runs after a real-time limit, so a
// wait that never ends fails the run instead of hanging it. A hung thread
// cannot be unwound, hence the abort.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace testsupport {

class Watchdog {
  public:
    explicit Watchdog(std::chrono::seconds limit = std::chrono::seconds(30)) {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "?";
        thread_ = std::thread([this, limit, name] {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!disarmed_.wait_for(lock, limit, [this] { return done_; })) {
                std::fprintf(stderr, "%s still waiting after %llds: hung\n", name.c_str(),
                             static_cast<long long>(limit.count()));
                std::abort();
            }
        });
    }
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        disarmed_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable disarmed_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace testsupport
