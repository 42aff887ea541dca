#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/LogText.h"
#include "app/RunLog.h"
#include "platform/time/Clock.h"
#include "tests/support/LogLines.h"
#include "tests/support/Sandbox.h"

namespace {

constexpr const char* kStamp = "[07_09:05:03]: ";

class RunLogTest : public testsupport::SandboxTest {
  protected:
    void SetUp() override {
        SandboxTest::SetUp();
        saved_ = CurrentRunLogOptions();
        ConfigureRunLog({.echo_to_stdout = false, .write_file = true});
        clock_.SetLocalTime(
            {.year = 2026, .month = 12, .day = 7, .hour = 9, .minute = 5, .second = 3});
        platform::InstallClock(&clock_);
    }
    void TearDown() override {
        platform::InstallClock(nullptr);
        ConfigureRunLog(saved_);
        SandboxTest::TearDown();
    }
    std::string Log() const { return ReadFile(work() / "Launch.log"); }

    platform::ManualClock clock_;
    RunLogOptions saved_;
};

// Each line lands as stamp, message, CR LF; LFs inside the message too.
TEST_F(RunLogTest, LinesAreStampedCutAndEndInCrLf) {
    struct Case {
        std::string message;
        std::string logged;
    };
    const std::string exact(1023, 'x');
    const std::vector<Case> cases = {
        {"", ""},
        {"start check Version!!!", "start check Version!!!"},
        {exact, exact},
        {exact + "yz", exact},
        {"two\nparts", "two\r\nparts"},
    };
    std::string expected;
    for (const Case& c : cases) {
        WriteLog("%s", c.message.c_str());
        expected += kStamp + c.logged + "\r\n";
    }
    EXPECT_EQ(Log(), expected);
}

TEST_F(RunLogTest, FormatsArgumentsLikePrintf) {
    WriteLog("len = %d,downedlen = %d %s", 10, -2, "ok");
    EXPECT_EQ(Log(), std::string(kStamp) + "len = 10,downedlen = -2 ok\r\n");
}

TEST_F(RunLogTest, FixedMessagesAreWrittenAsCp936) {
    LOG_CP936("设置程序的工作目录，%s", "/opt/x");
    const std::string cp936 =
        "\xC9\xE8\xD6\xC3\xB3\xCC\xD0\xF2\xB5\xC4\xB9\xA4\xD7\xF7\xC4\xBF\xC2\xBC\xA3\xAC";
    EXPECT_EQ(Log(), kStamp + cp936 + "/opt/x\r\n");
}

TEST_F(RunLogTest, SourcePathIsTheRepositoryPathWithBackslashes) {
    EXPECT_STREQ(LOG_SOURCE_FILE, "tests\\app\\RunLogTest.cpp");
    EXPECT_EQ(LogSourcePath("Procedure/ProcedureRepair.cpp"), "Procedure\\ProcedureRepair.cpp");
}

TEST_F(RunLogTest, SwitchesTurnOffTheEchoAndTheFile) {
    ConfigureRunLog({.echo_to_stdout = true, .write_file = false});
    testing::internal::CaptureStdout();
    WriteLog("echoed %d", 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "echoed 1\n");
    EXPECT_FALSE(std::filesystem::exists(work() / "Launch.log"));

    ConfigureRunLog({.echo_to_stdout = false, .write_file = true});
    testing::internal::CaptureStdout();
    WriteLog("quiet");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(Log(), std::string(kStamp) + "quiet\r\n");
}

TEST_F(RunLogTest, ConcurrentThreadsNeverMixLines) {
    constexpr int kLines = 2000;
    constexpr std::size_t kWidth = 1000;
    std::atomic<int> waiting{3};
    std::vector<std::thread> writers;
    for (char tag : {'a', 'b', 'c'}) {
        writers.emplace_back([tag, &waiting] {
            const std::string body(kWidth, tag);
            // Start together so the writers overlap for the whole run.
            --waiting;
            while (waiting.load() > 0) {
                std::this_thread::yield();
            }
            for (int i = 0; i < kLines; ++i) {
                WriteLog("%s", body.c_str());
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    const std::map<char, int> counts = testsupport::CountWholeLogLines(Log(), kWidth);
    EXPECT_EQ(counts, (std::map<char, int>{{'a', kLines}, {'b', kLines}, {'c', kLines}}));
}

}  // namespace
