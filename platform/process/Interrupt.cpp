#include "platform/process/Interrupt.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

namespace platform {

namespace {

// Wakes the watching thread when the watch ends; never sent from outside.
constexpr int kWakeSignal = SIGUSR2;

sigset_t WatchedSignals(bool with_wake) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    if (with_wake) {
        sigaddset(&set, kWakeSignal);
    }
    return set;
}

}  // namespace

struct InterruptWatch::State {
    Callback callback;
    sigset_t previous_mask;
    std::thread thread;
};

InterruptWatch::InterruptWatch(Callback callback) : state_(std::make_unique<State>()) {
    state_->callback = std::move(callback);
    sigset_t set = WatchedSignals(true);
    pthread_sigmask(SIG_BLOCK, &set, &state_->previous_mask);
    State* state = state_.get();
    state->thread = std::thread([state] {
        sigset_t waited = WatchedSignals(true);
        int count = 0;
        for (;;) {
            int signal_number = 0;
            if (sigwait(&waited, &signal_number) != 0 || signal_number == kWakeSignal) {
                return;
            }
            state->callback(++count);
        }
    });
}

InterruptWatch::~InterruptWatch() {
    pthread_kill(state_->thread.native_handle(), kWakeSignal);
    state_->thread.join();
    pthread_sigmask(SIG_SETMASK, &state_->previous_mask, nullptr);
}

bool IsStandardErrorTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

}  // namespace platform
