#include "platform/sync/Event.h"

#include <algorithm>

#include "platform/time/Clock.h"

namespace platform {

Event::Event(Mode mode, bool initially_signalled) : mode_(mode), signalled_(initially_signalled) {}

void Event::Set() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = true;
        for (EventObserver* observer : observers_) {
            observer->OnEventSignalled();
        }
    }
    // Every waiter rechecks under the lock, so an auto-reset signal is still
    // taken by one of them only.
    changed_.notify_all();
}

void Event::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = false;
}

bool Event::IsSignalled() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return signalled_;
}

bool Event::Wait(uint32_t timeout_ms) {
    const uint64_t deadline = DeadlineAfter(timeout_ms);
    std::unique_lock<std::mutex> lock(mutex_);
    bool signalled =
        CurrentClock().WaitUntil(lock, changed_, deadline, [this] { return signalled_; });
    if (signalled && mode_ == Mode::kAutoReset) {
        signalled_ = false;
    }
    return signalled;
}

void Event::AddObserver(EventObserver* observer) {
    std::lock_guard<std::mutex> lock(mutex_);
    observers_.push_back(observer);
    if (signalled_) {
        observer->OnEventSignalled();
    }
}

void Event::RemoveObserver(EventObserver* observer) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::erase(observers_, observer);
}

}  // namespace platform
