// Delivery shared by sending, waiting and destroying: running sent calls on
// the receiving thread and answering calls that will never run.
#pragma once

#include <memory>
#include <vector>

#include "platform/window/ThreadQueue.h"

namespace platform::window_internal {

// Runs every call sent to the calling thread's windows; true if there was any.
bool HandlePendingSent(ThreadQueue& queue);
// Answers 0 to calls whose window or thread is gone.
void AnswerWithZero(const std::vector<std::shared_ptr<SentCall>>& calls);

}  // namespace platform::window_internal
