#include "tests/platform/RecordingWindow.h"

#include <gtest/gtest.h>

namespace testsupport {
namespace {

constexpr char16_t kClassName[] = u"RecordingWindowClass";

}  // namespace

RecordingWindow::RecordingWindow(Handler handler, platform::WindowHandle parent)
    : handler_(std::move(handler)) {
    static const bool registered = platform::RegisterWindowClass(kClassName, &Procedure);
    EXPECT_TRUE(registered);
    handle_ = platform::CreateWindowOfClass(kClassName, u"", 0, 0, 0, 0, 0, parent,
                                            reinterpret_cast<platform::MessageLong>(this));
    EXPECT_NE(handle_, 0u);
}

platform::MessageResult RecordingWindow::Procedure(platform::WindowHandle window,
                                                   std::uint32_t message,
                                                   platform::MessageParam wParam,
                                                   platform::MessageLong lParam) {
    if (message == platform::kMsgCreate) {
        platform::SetWindowUserData(window, lParam);
    }
    auto* self = reinterpret_cast<RecordingWindow*>(platform::GetWindowUserData(window));
    if (self == nullptr) {
        return platform::DefaultWindowProcedure(window, message, wParam, lParam);
    }
    {
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->seen_.push_back(platform::Message{window, message, wParam, lParam});
        self->threads_.push_back(std::this_thread::get_id());
    }
    if (self->handler_) {
        return self->handler_(window, message, wParam, lParam);
    }
    return platform::DefaultWindowProcedure(window, message, wParam, lParam);
}

std::vector<platform::Message> RecordingWindow::Seen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

std::vector<std::uint32_t> RecordingWindow::SeenNumbers() const {
    std::vector<std::uint32_t> numbers;
    for (const platform::Message& message : Seen()) {
        numbers.push_back(message.message);
    }
    return numbers;
}

std::vector<std::thread::id> RecordingWindow::Threads() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return threads_;
}

WindowThread::WindowThread(RecordingWindow::Handler handler) {
    std::promise<void> created;
    std::future<void> ready = created.get_future();
    thread_ = std::thread([this, &created, handler = std::move(handler)] {
        window_ = std::make_unique<RecordingWindow>(
            [handler](platform::WindowHandle window, std::uint32_t message,
                      platform::MessageParam wParam, platform::MessageLong lParam) {
                if (message == platform::kMsgDestroy) {
                    platform::PostQuitToThread(0);
                }
                if (handler) {
                    return handler(window, message, wParam, lParam);
                }
                return platform::DefaultWindowProcedure(window, message, wParam, lParam);
            });
        created.set_value();
        platform::RunMessageLoop();
    });
    ready.wait();
}

WindowThread::~WindowThread() {
    platform::PostMessageTo(window(), platform::kMsgClose, 0, 0);
    thread_.join();
}

}  // namespace testsupport
