// The patch manager against real HTTP servers on 127.0.0.1: the scripted
// fixture server for exact requests, nginx serving a published tree for a
// whole update. The test thread owns the notify window, as the dialog's
// thread would, and handles its messages while it waits.
#include "Procedure/PatchManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "app/LauncherMessages.h"
#include "app/RunLog.h"
#include "tests/support/HttpFixtureServer.h"
#include "tests/support/NginxFixture.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint32_t>* g_messages = nullptr;

platform::MessageResult RecordProc(platform::WindowHandle window, std::uint32_t message,
                                   platform::MessageParam wParam, platform::MessageLong lParam) {
    if (message >= NM_LAUNCHER_CLEAN_PROGRESS && message <= NM_LAUNCHER_SHOW && g_messages) {
        g_messages->push_back(message);
        return 0;
    }
    return platform::DefaultWindowProcedure(window, message, wParam, lParam);
}

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

class PatchManagerTest : public testsupport::SandboxTest {
  protected:
    void SetUp() override {
        SandboxTest::SetUp();
        ConfigureRunLog(RunLogOptions{.echo_to_stdout = false, .write_file = true});
        platform::RegisterWindowClass(u"PatchManagerTestWindow", RecordProc);
        window_ =
            platform::CreateWindowOfClass(u"PatchManagerTestWindow", u"", 0, 0, 0, 0, 0, 0, 0);
        ASSERT_NE(window_, 0u);
        g_messages = &messages_;
    }

    void TearDown() override {
        manager_.reset();
        g_messages = nullptr;
        platform::DestroyWindowHandle(window_);
        SandboxTest::TearDown();
    }

    void MakeManager(const std::string& launcherIni) {
        WriteFile(fs::current_path() / "launcher.ini", launcherIni);
        manager_ = std::make_unique<CPatchManager>();
        manager_->Setup(window_);
    }

    std::string Log() const { return ReadFile(work() / "Launch.log"); }

    // Posted messages wait in the queue for the dialog's loop: handle them.
    static void Drain() {
        platform::Message message;
        while (platform::PeekNextMessage(message, true)) {
            platform::DispatchMessageToWindow(message);
        }
    }

    bool Saw(std::uint32_t message) const {
        return std::find(messages_.begin(), messages_.end(), message) != messages_.end();
    }

    // Publishes the release folder rel/ as version v into srv/ with the tool.
    void Publish(const std::string& version) {
        std::string command = "'" + BinPath("vela-gameinfo") + "' publish rel --version " +
                              version + " --root srv >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    platform::WindowHandle window_ = 0;
    std::vector<std::uint32_t> messages_;
    std::unique_ptr<CPatchManager> manager_;
};

TEST_F(PatchManagerTest, DownloadFileMakesSixAttemptsWithOneEscapedAddress) {
    testsupport::HttpFixtureServer server;
    MakeManager("[launcher]\nlauncherUrl=" + server.Url("") + "\n");
    const std::string url = server.Url("") + "\\LauncherVersion\\version";

    EXPECT_FALSE(manager_->DownloadFile(url, "temp_launcher\\version", 1));
    std::vector<testsupport::HttpRequestRecord> requests = server.Requests();
    ASSERT_EQ(requests.size(), 6u);
    // Slashes for backslashes, the cache-buster's '=' escaped, the same address every time.
    EXPECT_TRUE(std::regex_match(requests[0].target,
                                 std::regex("/LauncherVersion/version\\?rand%3D[0-9]+")))
        << requests[0].target;
    for (const auto& request : requests) {
        EXPECT_EQ(request.target, requests[0].target);
    }
    std::string log = Log();
    EXPECT_EQ(CountOf(log, "start file download: Curl temp_launcher\\version <-- "), 3u) << log;
    EXPECT_EQ(CountOf(log, "start file download: Burrow temp_launcher\\version <-- "), 3u);
    EXPECT_EQ(CountOf(log, "start file download fail: 1 temp_launcher\\version <-- "), 1u);
    EXPECT_NE(log.find("ResponseCode =404"), std::string::npos) << log;

    // Two flips restore the label; a success logs one start and one success line.
    server.SetRoute("/LauncherVersion/version", testsupport::HttpRoute::Ok("1.0\r\n"));
    fs::remove(work() / "Launch.log");
    fs::create_directory(work() / "temp_launcher");  // callers make the folder first
    EXPECT_TRUE(manager_->DownloadFile(url, "temp_launcher\\version", 1));
    EXPECT_EQ(ReadFile(work() / "temp_launcher" / "version"), "1.0\r\n");
    log = Log();
    EXPECT_EQ(CountOf(log, "start file download: Curl"), 1u) << log;
    EXPECT_EQ(CountOf(log, "start file download success : 1 temp_launcher\\version <-- "), 1u);
    EXPECT_FALSE(manager_->DownloadFile("", "x", 1));
}

TEST_F(PatchManagerTest, CommandWindowRelaysProgressAndAtMostOneSpeedASecond) {
    testsupport::HttpFixtureServer server;
    testsupport::HttpRoute slow = testsupport::HttpRoute::Ok(std::string(400000, 'p'));
    slow.cut_at = 100000;  // a pause after the first part gives progress on both sides
    slow.stall_ms = 200;
    server.SetRoute("/big", slow);
    MakeManager("[launcher]\nlauncherUrl=" + server.Url("") + "\n");
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(manager_->DownloadFile(server.Url("/big"), "big.bin", 1));
    auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count();
    auto count = [&](std::uint32_t message) {
        return std::count(messages_.begin(), messages_.end(), message);
    };
    EXPECT_GE(count(NM_LAUNCHER_DOWNLOAD_PROGRESS), 2);
    // The first report comes at once, later ones at most once a second.
    EXPECT_GE(count(NM_LAUNCHER_DOWNLOAD_SPEED), 1);
    EXPECT_LE(count(NM_LAUNCHER_DOWNLOAD_SPEED), 1 + seconds);
    EXPECT_LT(count(NM_LAUNCHER_DOWNLOAD_SPEED), count(NM_LAUNCHER_DOWNLOAD_PROGRESS));
}

TEST_F(PatchManagerTest, TwoWorkersMayDownloadAtOnce) {
    testsupport::HttpFixtureServer server;
    server.SetRoute("/a", testsupport::HttpRoute::Ok(std::string(300000, 'a')));
    server.SetRoute("/b", testsupport::HttpRoute::Ok(std::string(200000, 'b')));
    MakeManager("[launcher]\nlauncherUrl=" + server.Url("") + "\n");

    std::atomic<int> done{0};
    bool results[2] = {false, false};
    std::thread first([&] {
        results[0] = manager_->DownloadFile(server.Url("/a"), "a.bin", 1);
        ++done;
    });
    std::thread second([&] {
        results[1] = manager_->DownloadFile(server.Url("/b"), "b.bin", 1);
        ++done;
    });
    // The downloads report to the command window, which this thread owns.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (done < 2 && std::chrono::steady_clock::now() < deadline) {
        Drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    first.join();
    second.join();
    EXPECT_TRUE(results[0]);
    EXPECT_TRUE(results[1]);
    EXPECT_EQ(ReadFile(work() / "a.bin"), std::string(300000, 'a'));
    EXPECT_EQ(ReadFile(work() / "b.bin"), std::string(200000, 'b'));
}

TEST_F(PatchManagerTest, DebugModeDoesNoUpdateWork) {
    testsupport::HttpFixtureServer server;
    MakeManager("[launcher]\nlauncherUrl=" + server.Url("") + "\n[debug]\ndebug=1\n");
    manager_->StartVersionCheck();
    ASSERT_TRUE(manager_->WaitForVersionCheck(30000));
    EXPECT_EQ(manager_->GetLastCheckOutcome(), VersionCheckOutcome::kDebugMode);
    ASSERT_TRUE(manager_->StartDownload());
    ASSERT_TRUE(manager_->WaitForDownload(30000));
    EXPECT_TRUE(server.Requests().empty()) << "no version file is ever requested";
    EXPECT_EQ(messages_,
              (std::vector<std::uint32_t>{NM_LAUNCHER_DEBUG_MODE, NM_LAUNCHER_PATCH_START,
                                          NM_LAUNCHER_DEBUG_MODE}));
    EXPECT_EQ(CountOf(Log(), "debug"), 2u);
}

TEST_F(PatchManagerTest, NoCheckStartsWhileADownloadRuns) {
    testsupport::HttpFixtureServer server;
    testsupport::HttpRoute stalled = testsupport::HttpRoute::Ok("9\n");
    stalled.stall_ms = 60000;
    server.SetRoute("/LauncherVersion/version", stalled);
    MakeManager("[launcher]\nlauncherUrl=" + server.Url("") + "\n");

    ASSERT_TRUE(manager_->StartDownload());
    EXPECT_FALSE(manager_->StartDownload()) << "one download thread at a time";
    // Handle the workers' messages until the download hangs on the version file.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!server.WaitUntilStalled(std::chrono::milliseconds(10))) {
        Drain();
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
    }
    manager_->StartVersionCheck();
    EXPECT_EQ(manager_->GetLastCheckOutcome(), VersionCheckOutcome::kNotRun);
    EXPECT_EQ(server.Requests().size(), 1u) << "the check did not start";

    server.SetRoute("/LauncherVersion/version", testsupport::HttpRoute::Ok("9\n"));
    server.ReleaseStalls();
    ASSERT_TRUE(manager_->WaitForDownload(60000));
    manager_->StartVersionCheck();
    ASSERT_TRUE(manager_->WaitForVersionCheck(30000));
    EXPECT_NE(manager_->GetLastCheckOutcome(), VersionCheckOutcome::kNotRun);
}

TEST_F(PatchManagerTest, AnnouncedVersionIsInstalledFromNginx) {
    WriteFile(work() / "rel" / "Launcher.exe", "build 1");
    WriteFile(work() / "rel" / "old.txt", "obsolete soon");
    Publish("1.0");
    // Install release 1 as an installer would.
    fs::copy(work() / "rel", work() / "install", fs::copy_options::recursive);
    fs::copy(work() / "srv" / "LauncherVersion" / "Launcher_1.0" / "GameInfo.ini",
             work() / "install" / "GameInfo.ini");
    WriteFile(work() / "rel" / "Launcher.exe", "build 2");
    fs::remove(work() / "rel" / "old.txt");
    WriteFile(work() / "rel" / "data" / "new.bin", "fresh");
    Publish("2.0");

    testsupport::NginxFixture nginx;
    ASSERT_TRUE(nginx.Start(work() / "srv", work() / "nginx"));
    fs::current_path(work() / "install");
    MakeManager("[launcher]\nlauncherUrl=" + nginx.Url("") + "\n");

    manager_->StartVersionCheck();
    ASSERT_TRUE(manager_->WaitForVersionCheck(30000));
    EXPECT_EQ(manager_->GetLastCheckOutcome(), VersionCheckOutcome::kUpdateNeeded);
    Drain();
    EXPECT_TRUE(Saw(NM_LAUNCHER_NEW_VERSION)) << "posted to the dialog";

    ASSERT_TRUE(manager_->StartDownload());
    ASSERT_TRUE(manager_->WaitForDownload(60000));
    EXPECT_TRUE(Saw(NM_LAUNCHER_PATCH_START));
    EXPECT_TRUE(Saw(NM_LAUNCHER_SELF_PATCH_DONE));
    EXPECT_TRUE(Saw(NM_LAUNCHER_NEW_VERSION_TEXT + 15)) << "the result message";
    EXPECT_EQ(ReadFile(work() / "install" / "Launcher.exe"), "build 2");
    EXPECT_EQ(ReadFile(work() / "install" / "data" / "new.bin"), "fresh");
    EXPECT_FALSE(fs::exists(work() / "install" / "old.txt"));

    manager_->StartVersionCheck();
    ASSERT_TRUE(manager_->WaitForVersionCheck(30000));
    EXPECT_EQ(manager_->GetLastCheckOutcome(), VersionCheckOutcome::kUpToDate);
    fs::current_path(work());
}

}  // namespace
