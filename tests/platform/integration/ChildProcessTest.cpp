#include "platform/process/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <future>

#include "platform/process/CommandLine.h"
#include "platform/process/ProcessList.h"
#include "platform/text/TextConversion.h"
#include "tests/platform/integration/ProbeTest.h"

namespace {

namespace fs = std::filesystem;
using platform::ChildProcess;
using platform::Utf16ToUtf8;
using platform::Utf8ToUtf16;

class ChildProcessTest : public testsupport::ProbeTest {
  protected:
    // A copy of the probe in the working directory, with the given mode.
    void CopyProbe(const fs::path& relative, fs::perms mode) {
        fs::create_directories((work() / relative).parent_path());
        fs::copy_file(BinPath("platform_probe"), work() / relative);
        fs::permissions(work() / relative, mode);
    }

    static std::vector<std::string> SplitAtNul(const std::string& text) {
        std::vector<std::string> pieces;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\0', start)) != std::string::npos;
             start = end + 1) {
            pieces.push_back(text.substr(start, end - start));
        }
        return pieces;
    }
};

TEST_F(ChildProcessTest, CommandLineReachesAChildIntact) {
    const std::vector<std::vector<std::u16string>> cases = {
        {u"-runbin", u"-repaire", u"-miniTask=1"},
        {u"C:\\Program Files\\Vela\\", u"say \"hi\"", u""},
        {u"a\\\\\"b", u"\\\\server\\share", u"tab\tand space", u"\\"},
        {u"\u8def\u5f84\\\u7a0b\u5e8f.exe", u"\"\"", u"end\\\\"},
    };
    for (const auto& args : cases) {
        std::vector<std::u16string> argv = {ProbePath(), u"cmdline"};
        argv.insert(argv.end(), args.begin(), args.end());
        const std::u16string line = platform::BuildCommandLine(argv);

        std::vector<std::string> pieces = SplitAtNul(RunProbe({argv.begin() + 1, argv.end()}));
        ASSERT_EQ(pieces.size(), argv.size() + 1) << Utf16ToUtf8(line);
        EXPECT_EQ(pieces[0], Utf16ToUtf8(line));  // the child's own command line
        for (std::size_t i = 0; i < argv.size(); ++i) {
            EXPECT_EQ(pieces[i + 1], Utf16ToUtf8(argv[i])) << Utf16ToUtf8(line);
        }
    }
}

TEST_F(ChildProcessTest, CapturedOutputJoinsStdoutAndStderrAndReadsAtMostTheLimit) {
    ChildProcess child;
    StartProbe(child, {u"print", u"Physical Address: 01-23", u"|err"});
    ASSERT_TRUE(child.WaitForExit(20000));
    EXPECT_EQ(child.exit_code(), 0);
    EXPECT_EQ(child.ReadOutput(8), "Physical");
    EXPECT_EQ(child.ReadOutput(4096), " Address: 01-23|err");
    EXPECT_EQ(child.ReadOutput(4096), "");
}

TEST_F(ChildProcessTest, ReadingAfterATimeOutDoesNotWaitForARunningChild) {
    ChildProcess child;
    StartProbe(child, {u"wait", ReleaseFile()});
    EXPECT_FALSE(child.WaitForExit(50));
    EXPECT_FALSE(child.exit_code());
    auto read = std::async(std::launch::async, [&] { return child.ReadOutput(4096); });
    const bool returned = read.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    Release();  // also frees a read that hangs
    EXPECT_TRUE(returned) << "the read waited for the child";
    EXPECT_EQ(read.get(), "");
    ASSERT_TRUE(child.WaitForExit(20000));
    EXPECT_EQ(child.exit_code(), 0);
}

TEST_F(ChildProcessTest, ChildInheritsNoDescriptorsButItsOutput) {
    // stdio opens without close-on-exec, as some libraries do.
    std::FILE* held = std::fopen((work() / "held-open.txt").c_str(), "w");
    ASSERT_NE(held, nullptr);
    const std::string targets = RunProbe({u"fds"});
    std::fclose(held);
    EXPECT_NE(targets.find("pipe:"), std::string::npos) << targets;
    EXPECT_EQ(targets.find("held-open.txt"), std::string::npos) << targets;
}

TEST_F(ChildProcessTest, ProgramIsFoundFromTheCurrentDirectoryFirst) {
    CopyProbe("probe.bin", fs::perms::owner_read | fs::perms::owner_write);  // no execute bit
    CopyProbe("sub/inner.bin", fs::perms::owner_all);
    CopyProbe("sh", fs::perms::owner_all);  // shadows /bin/sh
    const std::u16string absolute = Utf8ToUtf16((work() / "sub/inner.bin").string());
    struct Case {
        std::u16string line;
        int exit_code;
    };
    const Case cases[] = {
        {u"probe.bin exit 7", 7},
        {u"sub\\inner.bin exit 4", 4},
        {u"./sub/inner.bin exit 5", 5},
        {platform::BuildCommandLine({absolute, u"exit", u"6"}), 6},
        {u"sh exit 9", 9},
        {u"false", 1},  // from PATH
    };
    for (const Case& c : cases) {
        ChildProcess child;
        ASSERT_TRUE(child.Start(c.line)) << Utf16ToUtf8(c.line);
        ASSERT_TRUE(child.WaitForExit(20000));
        EXPECT_EQ(child.exit_code(), c.exit_code) << Utf16ToUtf8(c.line);
    }
    EXPECT_NE(fs::status(work() / "probe.bin").permissions() & fs::perms::owner_exec,
              fs::perms::none);
    for (const char16_t* missing : {u"missing.bin", u"sub", u"sub\\missing.bin", u"", u"  "}) {
        EXPECT_FALSE(ChildProcess().Start(missing)) << Utf16ToUtf8(missing);
    }
}

TEST_F(ChildProcessTest, WorkingDirectoryAppliesToTheChildNotToTheProgramLookup) {
    CopyProbe("bin/probe.bin", fs::perms::owner_all);
    fs::create_directories(work() / "elsewhere");
    platform::ProcessStartOptions options;
    options.capture_output = true;
    options.working_directory = u"elsewhere";
    ChildProcess child;
    ASSERT_TRUE(child.Start(u"bin\\probe.bin cwd", options));
    ASSERT_TRUE(child.WaitForExit(20000));
    EXPECT_EQ(child.ReadOutput(4096), fs::canonical(work() / "elsewhere").string());

    options.working_directory = u"no-such-folder";
    EXPECT_FALSE(ChildProcess().Start(u"bin\\probe.bin cwd", options));
}

TEST_F(ChildProcessTest, ProcessListFindsAChildByItsExecutablePath) {
    ChildProcess child;
    StartProbe(child, {u"wait", ReleaseFile()});
    const std::string path = fs::canonical(BinPath("platform_probe")).string();
    std::u16string wide = Utf8ToUtf16(path);
    std::replace(wide.begin(), wide.end(), u'/', u'\\');

    bool found = false;
    for (const platform::ProcessEntry& entry : platform::ListProcesses()) {
        if (entry.pid == child.pid()) {
            found = true;
            EXPECT_EQ(entry.native_path, path);
            EXPECT_EQ(entry.wide_path, wide);
        }
    }
    EXPECT_TRUE(found);
    Release();
    ASSERT_TRUE(child.WaitForExit(20000));
    for (const platform::ProcessEntry& entry : platform::ListProcesses()) {
        EXPECT_FALSE(entry.pid == child.pid() && entry.native_path == path);
    }
}

}  // namespace
