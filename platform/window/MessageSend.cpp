// Posting, sending and dispatching.
#include "platform/window/Message.h"
#include "platform/window/MessageDelivery.h"
#include "platform/window/WindowTable.h"
#include "platform/window/WindowUiInternal.h"

namespace platform {

using window_internal::CurrentQueue;
using window_internal::SentCall;
using window_internal::ThreadQueue;
using window_internal::WindowObject;
using window_internal::WindowTable;

namespace window_internal {

bool HandlePendingSent(ThreadQueue& queue) {
    bool handled = false;
    while (std::shared_ptr<SentCall> call = queue.TakeSent()) {
        handled = true;
        std::shared_ptr<WindowObject> window = WindowTable::Instance().Find(call->message.window);
        // Destroyed after the call was queued: the sender gets 0.
        MessageResult result = 0;
        if (window != nullptr && call->task) {
            result = call->task();
        } else if (window != nullptr) {
            const Message& m = call->message;
            result = window->procedure(m.window, m.message, m.wParam, m.lParam);
        }
        call->reply_to->Reply(*call, result);
    }
    return handled;
}

void AnswerWithZero(const std::vector<std::shared_ptr<SentCall>>& calls) {
    for (const auto& call : calls) {
        call->reply_to->Reply(*call, 0);
    }
}

namespace {

// Queues the call to the target's thread and waits for its answer, handling
// calls sent to this thread meanwhile.
MessageResult SendAcross(WindowObject& target, const std::shared_ptr<SentCall>& call) {
    ThreadQueue& own = *CurrentQueue();
    call->reply_to = CurrentQueue();
    if (!target.owner->EnqueueSent(call)) {
        return 0;  // its thread has ended
    }
    // Calls sent to us meanwhile run here, so two threads sending to each
    // other both get their answers.
    while (!own.WaitForReplyOrSent(*call)) {
        HandlePendingSent(own);
    }
    return call->result;
}

}  // namespace

MessageResult RunOnOwner(const std::shared_ptr<WindowObject>& window,
                         const std::function<MessageResult()>& work) {
    if (window == nullptr) {
        return 0;
    }
    if (window->owner->IsOwnedByCurrentThread()) {
        return work();
    }
    auto call = std::make_shared<SentCall>();
    call->message = Message{window->handle, kMsgNull, 0, 0};
    call->task = work;
    return SendAcross(*window, call);
}

}  // namespace window_internal

bool PostMessageTo(WindowHandle window, std::uint32_t message, MessageParam wParam,
                   MessageLong lParam) {
    const Message posted{window, message, wParam, lParam};
    if (window == 0) {  // a thread message to the caller's own queue, as there
        return CurrentQueue()->Post(posted);
    }
    std::shared_ptr<WindowObject> target = WindowTable::Instance().Find(window);
    return target != nullptr && target->owner->Post(posted);
}

MessageResult SendMessageTo(WindowHandle window, std::uint32_t message, MessageParam wParam,
                            MessageLong lParam) {
    std::shared_ptr<WindowObject> target = WindowTable::Instance().Find(window);
    if (target == nullptr) {
        return 0;
    }
    if (target->owner->IsOwnedByCurrentThread()) {
        return target->procedure(window, message, wParam, lParam);
    }
    auto call = std::make_shared<SentCall>();
    call->message = Message{window, message, wParam, lParam};
    return window_internal::SendAcross(*target, call);
}

void PostQuitToThread(int exit_code) {
    CurrentQueue()->PostQuit(exit_code);
}

MessageResult DispatchMessageToWindow(const Message& message) {
    if (message.window == 0) {
        return 0;
    }
    if (message.message == kMsgPaint && window_internal::DispatchPaintPass(message)) {
        return 0;
    }
    std::shared_ptr<WindowObject> target = window_internal::FindOwnWindow(message.window);
    if (target == nullptr) {
        return 0;
    }
    return target->procedure(message.window, message.message, message.wParam, message.lParam);
}

}  // namespace platform
