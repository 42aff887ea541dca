// The curl downloader against the scripted loopback server: one table of
// responses and how each transfer must end, then the cases that need a
// transfer held in the middle.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "download/AutoDownload_Curl.h"
#include "platform/files/FileSystem.h"
#include "tests/support/CurlSandbox.h"
#include "tests/support/HttpFixtureServer.h"

namespace {

namespace fs = std::filesystem;
using testsupport::HttpFixtureServer;
using testsupport::HttpRoute;
using Delivery = HttpRoute::Delivery;

constexpr auto kRunDeadline = std::chrono::seconds(20);
const std::string kBody = "0123456789abcdefghij";

class AutoDownloadCurlTransferTest : public testsupport::CurlSandboxTest {
  protected:
    fs::path Temp(const std::string& name) const { return work() / "temp_d" / name; }

    // Runs on another thread so a hung transfer fails the test instead of
    // hanging it.
    static bool RunWithin(CAutoDownload& downloader, std::chrono::seconds deadline) {
        auto run = std::async(std::launch::async, [&] { downloader.Run(); });
        return run.wait_for(deadline) == std::future_status::ready;
    }
};

HttpRoute Route(int status, Delivery delivery = Delivery::kContentLength,
                std::string body = kBody) {
    HttpRoute route = HttpRoute::Ok(std::move(body));
    route.status = status;
    route.delivery = delivery;
    route.cut_at = 7;
    return route;
}

TEST_F(AutoDownloadCurlTransferTest, ResponsesEndInTheirStates) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, HttpRoute>> routes;
        int state;
        int response_code;
        std::vector<std::string> targets;  // requests the server saw
        const char* temp_left;             // temporary file afterwards, nullptr: gone
        const char* log;                   // run log, "" for none
    };
    const std::string chunked_log = "file len not mate httpLen = -1,downedlen = 20";
    const Case cases[] = {
        {"200 with length", {{"/f", Route(200)}}, AD_STATE_DONE, 200, {"/f"}, nullptr, ""},
        {"200 empty",
         {{"/f", Route(200, Delivery::kContentLength, "")}},
         AD_STATE_DONE,
         200,
         {"/f"},
         nullptr,
         ""},
        {"200 chunked",
         {{"/f", Route(200, Delivery::kChunked)}},
         AD_STATE_LENGTH_MISMATCH,
         200,
         {"/f"},
         kBody.c_str(),
         chunked_log.c_str()},
        {"200 close-delimited",
         {{"/f", Route(200, Delivery::kCloseDelimited)}},
         AD_STATE_LENGTH_MISMATCH,
         200,
         {"/f"},
         kBody.c_str(),
         chunked_log.c_str()},
        {"404", {{"/f", Route(404)}}, AD_STATE_FAILED, 404, {"/f"}, kBody.c_str(), ""},
        {"206", {{"/f", Route(206)}}, AD_STATE_FAILED, 206, {"/f"}, kBody.c_str(), ""},
        {"304",
         {{"/f", Route(304, Delivery::kContentLength, "")}},
         AD_STATE_FAILED,
         304,
         {"/f"},
         "",
         ""},
        {"redirect followed",
         {{"/f", HttpRoute::Redirect(302, "/moved/f?x=1")}, {"/moved/f", Route(200)}},
         AD_STATE_DONE,
         200,
         {"/f", "/moved/f?x=1"},
         nullptr,
         ""},
        {"redirect to 404",
         {{"/f", HttpRoute::Redirect(301, "/gone")}, {"/gone", Route(404)}},
         AD_STATE_FAILED,
         404,
         {"/f", "/gone"},
         kBody.c_str(),
         ""},
        {"body cut short",
         {{"/f", Route(200, Delivery::kShortBody)}},
         AD_STATE_FAILED,
         0,
         {"/f"},
         "0123456",
         ""},
        {"chunks cut off",
         {{"/f", Route(200, Delivery::kAbortChunked)}},
         AD_STATE_FAILED,
         0,
         {"/f"},
         "0123456",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(work() / "out");
        fs::remove(work() / "Launch.log");
        HttpFixtureServer server;
        for (const auto& [path, route] : c.routes) {
            server.SetRoute(path, route);
        }
        CAutoDownload_Curl downloader;
        const std::string url = server.Url("/f");
        ASSERT_TRUE(downloader.Start(url.c_str(), "out\\data.pak", 0, 3));
        fs::create_directory(work() / "out");
        ASSERT_TRUE(RunWithin(downloader, kRunDeadline));
        EXPECT_EQ(downloader.GetState(), c.state);
        EXPECT_EQ(downloader.responseCode, c.response_code);

        const std::vector<testsupport::HttpRequestRecord> requests = server.Requests();
        ASSERT_EQ(requests.size(), c.targets.size());
        for (std::size_t i = 0; i < requests.size(); ++i) {
            EXPECT_EQ(requests[i].method, "GET");
            EXPECT_EQ(requests[i].target, c.targets[i]);
            EXPECT_FALSE(requests[i].HasHeader("User-Agent"));
            EXPECT_FALSE(requests[i].HasHeader("Range"));
        }
        const fs::path dest = work() / "out" / "data.pak";
        if (c.state == AD_STATE_DONE) {
            EXPECT_EQ(ReadFile(dest), c.routes.back().second.body);
        } else {
            EXPECT_FALSE(fs::exists(dest));
        }
        if (c.temp_left == nullptr) {
            EXPECT_FALSE(fs::exists(Temp("~Quill.temp.data")));
        } else {
            EXPECT_EQ(ReadFile(Temp("~Quill.temp.data")), c.temp_left);
        }
        const std::string log = RunLog();
        if (*c.log == '\0') {
            EXPECT_EQ(log, "");
        } else {
            EXPECT_NE(log.find(std::string("]: ") + c.log + "\r\n"), std::string::npos) << log;
        }
    }
}

TEST_F(AutoDownloadCurlTransferTest, ReadOnlyDestinationIsOverwrittenAndMadeWritable) {
    HttpFixtureServer server;
    server.SetRoute("/f", Route(200));
    WriteFile(work() / "Launcher.exe", "old");
    ASSERT_TRUE(platform::SetAttributes("Launcher.exe", platform::kAttrReadOnly));
    CAutoDownload_Curl downloader;
    ASSERT_TRUE(downloader.Start(server.Url("/f").c_str(), "Launcher.exe", 0, 1));
    ASSERT_TRUE(RunWithin(downloader, kRunDeadline));
    EXPECT_EQ(downloader.GetState(), AD_STATE_DONE);
    EXPECT_EQ(ReadFile(work() / "Launcher.exe"), kBody);
    EXPECT_EQ(platform::GetAttributes("Launcher.exe") & platform::kAttrReadOnly, 0u);
}

TEST_F(AutoDownloadCurlTransferTest, AFailedCopyIntoPlaceIsLoggedWithItsLocation) {
    HttpFixtureServer server;
    server.SetRoute("/f", Route(200));
    CAutoDownload_Curl downloader;
    ASSERT_TRUE(downloader.Start(server.Url("/f").c_str(), "missing\\dir\\a.bin", 0, 1));
    ASSERT_TRUE(RunWithin(downloader, kRunDeadline));
    EXPECT_EQ(downloader.GetState(), AD_STATE_FILE_ERROR);
    EXPECT_FALSE(fs::exists(Temp("~Quill.temp.a")));
    const std::string log = RunLog();
    EXPECT_NE(log.find("]: FILE =download\\AutoDownload_Curl.cpp, Line ="), std::string::npos)
        << log;
    EXPECT_NE(log.find(",DownFile Error MoveFile Error ErrorCode =2\r\n"), std::string::npos)
        << log;
}

// The transfer is held mid-body by a stalled route while the test acts.
class HeldTransfer {
  public:
    HeldTransfer(HttpFixtureServer& server, CAutoDownload& downloader, const char* local)
        : m_downloader(downloader) {
        HttpRoute route = Route(200);
        route.stall_ms = 60000;
        server.SetRoute("/held", route);
        m_started = downloader.Start(server.Url("/held").c_str(), local, 0, 1);
        m_run = std::async(std::launch::async, [this] { m_downloader.Run(); });
        m_stalled = server.WaitUntilStalled(kRunDeadline);
    }
    bool held() const { return m_started && m_stalled; }
    bool Finished() { return m_run.wait_for(kRunDeadline) == std::future_status::ready; }

  private:
    CAutoDownload& m_downloader;
    bool m_started = false;
    bool m_stalled = false;
    std::future<void> m_run;
};

TEST_F(AutoDownloadCurlTransferTest, StopFromAnotherThreadEndsTheTransferAsFailed) {
    HttpFixtureServer server;
    CAutoDownload_Curl downloader;
    HeldTransfer transfer(server, downloader, "a.bin");
    ASSERT_TRUE(transfer.held());
    downloader.Stop();
    ASSERT_TRUE(transfer.Finished());
    EXPECT_EQ(downloader.GetState(), AD_STATE_FAILED);
    EXPECT_FALSE(fs::exists(work() / "a.bin"));
}

TEST_F(AutoDownloadCurlTransferTest, StartWhileRunningIsRefusedAndChangesNothing) {
    HttpFixtureServer server;
    CAutoDownload_Curl downloader;
    HeldTransfer transfer(server, downloader, "a.bin");
    ASSERT_TRUE(transfer.held());
    EXPECT_FALSE(downloader.Start(server.Url("/other").c_str(), "b.bin", 0, 2));
    EXPECT_EQ(downloader.GetState(), AD_STATE_RUNNING);
    server.ReleaseStalls();
    ASSERT_TRUE(transfer.Finished());
    EXPECT_EQ(downloader.GetState(), AD_STATE_DONE);
    EXPECT_EQ(ReadFile(work() / "a.bin"), kBody);
    EXPECT_EQ(server.Requests().size(), 1u);
}

// A temporary file that vanishes before its size is read must not pass for
// a finished download, nor leave the state running.
TEST_F(AutoDownloadCurlTransferTest, AnUnreadableTemporaryFileEndsInFileError) {
    HttpFixtureServer server;
    CAutoDownload_Curl downloader;
    HeldTransfer transfer(server, downloader, "a.bin");
    ASSERT_TRUE(transfer.held());
    ASSERT_TRUE(fs::remove(Temp("~Quill.temp.a")));
    server.ReleaseStalls();
    ASSERT_TRUE(transfer.Finished());
    EXPECT_EQ(downloader.GetState(), AD_STATE_FILE_ERROR);
    EXPECT_FALSE(fs::exists(work() / "a.bin"));
}

}  // namespace
