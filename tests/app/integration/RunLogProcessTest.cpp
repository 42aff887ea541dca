#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/process/ChildProcess.h"
#include "platform/text/TextConversion.h"
#include "tests/support/LogLines.h"
#include "tests/support/Sandbox.h"

namespace {

class RunLogProcessTest : public testsupport::SandboxTest {};

TEST_F(RunLogProcessTest, ConcurrentProcessesNeverMixLines) {
    constexpr int kLines = 3000;
    constexpr int kWidth = 1000;
    std::vector<platform::ChildProcess> writers(2);
    const char tags[] = {'p', 'q'};
    for (std::size_t i = 0; i < writers.size(); ++i) {
        const std::string command = "\"" + BinPath("log_writer") + "\" " + tags[i] + " " +
                                    std::to_string(kWidth) + " " + std::to_string(kLines);
        ASSERT_TRUE(writers[i].Start(platform::Utf8ToUtf16(command)));
    }
    for (platform::ChildProcess& writer : writers) {
        ASSERT_TRUE(writer.WaitForExit(60000));
        EXPECT_EQ(writer.exit_code(), 0);
    }
    const std::map<char, int> counts =
        testsupport::CountWholeLogLines(ReadFile(work() / "Launch.log"), kWidth);
    EXPECT_EQ(counts, (std::map<char, int>{{'p', kLines}, {'q', kLines}}));
}

}  // namespace
