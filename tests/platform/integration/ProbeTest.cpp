#include "tests/platform/integration/ProbeTest.h"

#include <chrono>
#include <thread>

#include "platform/process/CommandLine.h"
#include "platform/text/TextConversion.h"

namespace testsupport {

std::u16string ProbeTest::ProbePath() {
    return platform::Utf8ToUtf16(BinPath("platform_probe"));
}

std::u16string ProbeTest::ProbeLine(const std::vector<std::u16string>& args) {
    std::vector<std::u16string> argv = {ProbePath()};
    argv.insert(argv.end(), args.begin(), args.end());
    return platform::BuildCommandLine(argv);
}

void ProbeTest::StartProbe(platform::ChildProcess& child, const std::vector<std::u16string>& args) {
    platform::ProcessStartOptions options;
    options.capture_output = true;
    ASSERT_TRUE(child.Start(ProbeLine(args), options));
}

std::string ProbeTest::RunProbe(const std::vector<std::u16string>& args) {
    platform::ChildProcess child;
    StartProbe(child, args);
    EXPECT_TRUE(child.WaitForExit(20000));
    return child.ReadOutput(65536);
}

std::string ProbeTest::ReadUntil(platform::ChildProcess& child, const std::string& suffix) {
    std::string output;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!output.ends_with(suffix) && std::chrono::steady_clock::now() < give_up) {
        output += child.ReadOutput(4096);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return output;
}

std::u16string ProbeTest::ReleaseFile() const {
    return platform::Utf8ToUtf16((work() / "release").string());
}

void ProbeTest::Release() const {
    WriteFile(work() / "release", "go");
}

}  // namespace testsupport
