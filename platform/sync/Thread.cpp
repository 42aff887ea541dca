#include "platform/sync/Thread.h"

#include <condition_variable>
#include <mutex>
#include <system_error>

#include "platform/time/Clock.h"

namespace platform {

struct Thread::State {
    std::mutex mutex;
    std::condition_variable ended_changed;
    bool ended = false;
    std::uint32_t exit_code = 0;
};

namespace {

// Reports the end from a thread-local destructor: it was constructed before
// anything the function creates per thread (its message queue and windows),
// so it is destroyed after all of that.
struct EndReporter {
    std::shared_ptr<void> state;  // Thread::State, set when the thread starts
    void (*report)(void*) = nullptr;
    ~EndReporter() {
        if (report != nullptr) {
            report(state.get());
        }
    }
};

thread_local EndReporter t_end_reporter;

}  // namespace

Thread::~Thread() {
    Close();
}

Thread& Thread::operator=(Thread&& other) noexcept {
    if (this != &other) {
        Close();
        state_ = std::move(other.state_);
        thread_ = std::move(other.thread_);
    }
    return *this;
}

bool Thread::Start(Function function) {
    Close();
    auto state = std::make_shared<State>();
    try {
        thread_ = std::thread([state, function = std::move(function)] {
            t_end_reporter.state = state;
            t_end_reporter.report = [](void* raw) {
                auto* ending = static_cast<State*>(raw);
                {
                    std::lock_guard<std::mutex> lock(ending->mutex);
                    ending->ended = true;
                }
                ending->ended_changed.notify_all();
            };
            const std::uint32_t code = function();
            std::lock_guard<std::mutex> lock(state->mutex);
            state->exit_code = code;
        });
    } catch (const std::system_error&) {
        return false;
    }
    state_ = std::move(state);
    return true;
}

void Thread::Close() {
    if (thread_.joinable()) {
        // An ended thread is past its last step and is joined at once; a
        // running one must not hold up whoever closes its handle.
        if (IsRunning()) {
            thread_.detach();
        } else {
            thread_.join();
        }
    }
    state_.reset();
}

bool Thread::IsRunning() const {
    if (state_ == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> lock(state_->mutex);
    return !state_->ended;
}

bool Thread::Wait(std::uint32_t timeout_ms) {
    if (state_ == nullptr) {
        return true;
    }
    const std::uint64_t deadline = DeadlineAfter(timeout_ms);
    std::unique_lock<std::mutex> lock(state_->mutex);
    return CurrentClock().WaitUntil(lock, state_->ended_changed, deadline,
                                    [this] { return state_->ended; });
}

std::optional<std::uint32_t> Thread::ExitCode() const {
    if (state_ == nullptr) {
        return std::nullopt;
    }
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->ended) {
        return std::nullopt;
    }
    return state_->exit_code;
}

}  // namespace platform
