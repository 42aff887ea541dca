// What the curl downloader tells its notify window: state changes under the
// report rule and progress, sent from the transfer's thread to the window's
// thread, and a Stop from inside the progress handler.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "download/AutoDownload_Curl.h"
#include "platform/sync/Event.h"
#include "platform/window/Message.h"
#include "tests/support/CurlSandbox.h"
#include "tests/support/HttpFixtureServer.h"

namespace {

using testsupport::HttpFixtureServer;
using testsupport::HttpRoute;

constexpr int kNotifyId = 42;
constexpr std::uint32_t kRunDeadlineMs = 20000;
constexpr char16_t kClassName[] = u"DownloadNotifyTestWindow";

struct Notice {
    std::uint32_t message;
    int state;  // GetState while the message was handled
    bool progress_known;
    std::int64_t total;
    std::int64_t downloaded;
};

// A window on the test's thread that notes every download message.
class NotifyWindow {
  public:
    using OnProgress = std::function<void(CAutoDownload&)>;

    explicit NotifyWindow(OnProgress on_progress = {}) : m_onProgress(std::move(on_progress)) {
        static const bool registered = platform::RegisterWindowClass(kClassName, &Procedure);
        EXPECT_TRUE(registered);
        m_handle = platform::CreateWindowOfClass(kClassName, u"", 0, 0, 0, 0, 0, 0,
                                                 reinterpret_cast<platform::MessageLong>(this));
        EXPECT_NE(m_handle, 0u);
    }
    ~NotifyWindow() { platform::DestroyWindowHandle(m_handle); }

    platform::WindowHandle handle() const { return m_handle; }
    const std::vector<Notice>& notices() const { return m_notices; }
    std::vector<int> States() const {
        std::vector<int> states;
        for (const Notice& n : m_notices) {
            if (n.message == WM_DOWNLOAD_STATE) {
                states.push_back(n.state);
            }
        }
        return states;
    }
    std::vector<Notice> Progress() const {
        std::vector<Notice> progress;
        for (const Notice& n : m_notices) {
            if (n.message == WM_DOWNLOAD_PROGRESS) {
                progress.push_back(n);
            }
        }
        return progress;
    }
    const void* sender() const { return m_sender; }
    bool all_from_one_sender() const { return m_oneSender; }
    bool ids_right() const { return m_idsRight; }

  private:
    static platform::MessageResult Procedure(platform::WindowHandle window, std::uint32_t message,
                                             platform::MessageParam wParam,
                                             platform::MessageLong lParam) {
        if (message == platform::kMsgCreate) {
            platform::SetWindowUserData(window, lParam);
        }
        auto* self = reinterpret_cast<NotifyWindow*>(platform::GetWindowUserData(window));
        if (self == nullptr || (message != WM_DOWNLOAD_STATE && message != WM_DOWNLOAD_PROGRESS)) {
            return platform::DefaultWindowProcedure(window, message, wParam, lParam);
        }
        auto* downloader = reinterpret_cast<CAutoDownload*>(lParam);
        if (self->m_sender == nullptr) {
            self->m_sender = downloader;
        }
        self->m_oneSender = self->m_oneSender && self->m_sender == downloader;
        self->m_idsRight = self->m_idsRight && wParam == kNotifyId;
        Notice notice{message, downloader->GetState(), false, -1, -1};
        if (message == WM_DOWNLOAD_PROGRESS) {
            notice.progress_known = downloader->GetProgress(notice.total, notice.downloaded);
            if (self->m_onProgress) {
                self->m_onProgress(*downloader);
            }
        }
        self->m_notices.push_back(notice);
        return 1;
    }

    OnProgress m_onProgress;
    platform::WindowHandle m_handle = 0;
    std::vector<Notice> m_notices;
    const void* m_sender = nullptr;
    bool m_oneSender = true;
    bool m_idsRight = true;
};

class AutoDownloadCurlMessagesTest : public testsupport::CurlSandboxTest {
  protected:
    // Start and Run on a worker thread, as the patch workers do, while this
    // thread handles the window's messages.
    bool DownloadOnWorker(CAutoDownload& downloader, const std::string& url,
                          platform::WindowHandle window) {
        platform::Event finished(platform::Event::Mode::kManualReset);
        std::thread worker([&] {
            if (downloader.Start(url.c_str(), "a.bin", window, kNotifyId)) {
                downloader.Run();
            }
            finished.Set();
        });
        const bool done = platform::WaitForEventPumping(finished, kRunDeadlineMs);
        worker.join();
        return done;
    }
};

TEST_F(AutoDownloadCurlMessagesTest, ATransferReportsEachStateOnceAndItsProgress) {
    HttpFixtureServer server;
    const std::string body(50000, 'x');
    server.SetRoute("/f", HttpRoute::Ok(body));
    NotifyWindow window;
    CAutoDownload_Curl downloader;
    ASSERT_TRUE(DownloadOnWorker(downloader, server.Url("/f"), window.handle()));

    EXPECT_EQ(downloader.GetState(), AD_STATE_DONE);
    EXPECT_EQ(window.States(), (std::vector<int>{AD_STATE_READY, AD_STATE_RUNNING, AD_STATE_DONE}));
    EXPECT_EQ(window.sender(), static_cast<CAutoDownload*>(&downloader));
    EXPECT_TRUE(window.all_from_one_sender());
    EXPECT_TRUE(window.ids_right());
    const std::vector<Notice> progress = window.Progress();
    ASSERT_FALSE(progress.empty());
    for (const Notice& n : progress) {
        EXPECT_EQ(n.state, AD_STATE_RUNNING);
        EXPECT_TRUE(n.progress_known);
        EXPECT_EQ(n.total, static_cast<std::int64_t>(body.size()));
        EXPECT_GT(n.downloaded, 0);
        EXPECT_LE(n.downloaded, n.total);
    }
}

TEST_F(AutoDownloadCurlMessagesTest, StopFromTheProgressHandlerEndsTheTransferAsFailed) {
    HttpFixtureServer server;
    HttpRoute route = HttpRoute::Ok(std::string(1000, 'y'));
    route.cut_at = 100;
    route.stall_ms = 60000;
    server.SetRoute("/f", route);
    NotifyWindow window([](CAutoDownload& downloader) { downloader.Stop(); });
    CAutoDownload_Curl downloader;
    ASSERT_TRUE(DownloadOnWorker(downloader, server.Url("/f"), window.handle()));

    EXPECT_EQ(downloader.GetState(), AD_STATE_FAILED);
    EXPECT_EQ(window.States(),
              (std::vector<int>{AD_STATE_READY, AD_STATE_RUNNING, AD_STATE_IDLE, AD_STATE_FAILED}));
    EXPECT_EQ(window.Progress().size(), 1u);
}

// Only a changed code is sent, and only when there is a window.
TEST_F(AutoDownloadCurlMessagesTest, AnUnchangedCodeOrAMissingWindowSendsNothing) {
    NotifyWindow window;
    CAutoDownload_Curl downloader;
    ASSERT_TRUE(downloader.Start("http://127.0.0.1:1/f", "a.bin", window.handle(), kNotifyId));
    downloader.Stop();
    downloader.Stop();
    downloader.Reset();
    EXPECT_EQ(window.States(), (std::vector<int>{AD_STATE_READY, AD_STATE_IDLE}));

    ASSERT_TRUE(downloader.Start("http://127.0.0.1:1/f", "a.bin", 0, kNotifyId));
    EXPECT_EQ(downloader.GetState(), AD_STATE_READY);
    downloader.Reset();
    EXPECT_EQ(window.States().size(), 2u);
}

}  // namespace
