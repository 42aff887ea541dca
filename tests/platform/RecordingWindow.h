// Windows for message tests: a RecordingWindow notes every message its
// procedure gets (and on which thread) and answers through an optional
// handler; a WindowThread owns one on a thread of its own that runs a
// message loop until the window is closed.
#pragma once

#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/window/Message.h"

namespace testsupport {

class RecordingWindow {
  public:
    using Handler = std::function<platform::MessageResult(
        platform::WindowHandle, std::uint32_t, platform::MessageParam, platform::MessageLong)>;

    // Creates the window on the calling thread.
    explicit RecordingWindow(Handler handler = {}, platform::WindowHandle parent = 0);

    platform::WindowHandle handle() const { return handle_; }
    std::vector<platform::Message> Seen() const;
    std::vector<std::uint32_t> SeenNumbers() const;
    std::vector<std::thread::id> Threads() const;

  private:
    static platform::MessageResult Procedure(platform::WindowHandle window, std::uint32_t message,
                                             platform::MessageParam wParam,
                                             platform::MessageLong lParam);

    Handler handler_;
    mutable std::mutex mutex_;
    std::vector<platform::Message> seen_;
    std::vector<std::thread::id> threads_;
    platform::WindowHandle handle_ = 0;
};

class WindowThread {
  public:
    explicit WindowThread(RecordingWindow::Handler handler = {});
    ~WindowThread();  // closes the window and joins the thread
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    platform::WindowHandle window() const { return window_->handle(); }
    RecordingWindow& recorder() { return *window_; }
    std::thread::id id() const { return thread_.get_id(); }

  private:
    std::unique_ptr<RecordingWindow> window_;
    std::thread thread_;
};

}  // namespace testsupport
