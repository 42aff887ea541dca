// vela-update as an operator runs it: a real process over a real installation
// folder, against nginx serving a tree published with vela-gameinfo, or
// against a scripted server where the exact moment matters.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "platform/process/ChildProcess.h"
#include "platform/process/CommandLine.h"
#include "platform/text/TextConversion.h"
#include "tests/support/HttpFixtureServer.h"
#include "tests/support/NginxFixture.h"
#include "tests/support/Sandbox.h"
#include "tests/tools/integration/ToolProcess.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ToolRun;

constexpr const char* kDone = "result 15 NM_LAUNCHER_SELF_PATCH_DONE\n";
// Nothing listens on the discard port of loopback.
constexpr const char* kClosedServer = "http://127.0.0.1:9";

class UpdateTool : public testsupport::SandboxTest {
  protected:
    void SetUp() override {
        SandboxTest::SetUp();
        // Release 2 changes a.txt, keeps data/same.txt, adds data/new.txt and
        // drops data/old.txt.
        WriteFile(work() / "r1" / "a.txt", "one");
        WriteFile(work() / "r1" / "data" / "same.txt", "same");
        WriteFile(work() / "r1" / "data" / "old.txt", "old");
        WriteFile(work() / "r2" / "a.txt", "two, longer");
        WriteFile(work() / "r2" / "data" / "same.txt", "same");
        WriteFile(work() / "r2" / "data" / "new.txt", "new file");
        Publish("r1", "1");
        Publish("r2", "2");
    }

    // nginx needs its folder to stop, and a passing test's folder goes.
    void TearDown() override {
        nginx_.Stop();
        SandboxTest::TearDown();
    }

    void Publish(const std::string& release, const std::string& version) {
        ToolRun run =
            testsupport::RunToolIn(work(), BinPath("vela-gameinfo"),
                                   "publish " + release + " --version " + version + " --root srv");
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }

    fs::path Published(const std::string& version) const {
        return work() / "srv" / "LauncherVersion" / ("Launcher_" + version);
    }

    // Release 1 as its installer leaves it, pointed at base.
    void Install(const std::string& base, const std::string& extraIni = "") {
        fs::copy(work() / "r1", inst(), fs::copy_options::recursive);
        fs::copy_file(Published("1") / "GameInfo.ini", inst() / "GameInfo.ini");
        WriteFile(inst() / "launcher.ini", "[launcher]\r\nlauncherUrl=" + base + "\r\n" + extraIni);
    }

    bool StartNginx() {
        if (!nginx_.Start(work() / "srv", work() / "nginx")) {
            ADD_FAILURE() << nginx_.error_log();
            return false;
        }
        return true;
    }

    ToolRun Update(const std::string& args) {
        return testsupport::RunToolIn(work(), BinPath("vela-update"), "-C inst " + args);
    }

    fs::path inst() const { return work() / "inst"; }

    // The installation's files without the updater's own work files.
    static std::map<std::string, std::string> Tree(const fs::path& dir) {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            const std::string rel = fs::relative(entry.path(), dir).generic_string();
            const std::string top = rel.substr(0, rel.find('/'));
            if (entry.is_regular_file() && top != "Launch.log" && top != "launcher.ini" &&
                top != "temp_launcher" && top != "temp_d") {
                files[rel] = ReadFile(entry.path());
            }
        }
        return files;
    }

    testsupport::NginxFixture nginx_;
};

TEST_F(UpdateTool, HelpAndUsageErrors) {
    ToolRun help = testsupport::RunToolIn(work(), BinPath("vela-update"), "--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"check", "repair", "run", "-C DIR"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    for (const char* args : {"", "update", "check run", "-C", "--force check", "check -C"}) {
        ToolRun run = testsupport::RunToolIn(work(), BinPath("vela-update"), args);
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_NE(run.err.find("usage:"), std::string::npos) << args;
        EXPECT_EQ(run.out, "") << args;
    }
    ToolRun missing = testsupport::RunToolIn(work(), BinPath("vela-update"), "-C nowhere check");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("nowhere"), std::string::npos) << missing.err;
    EXPECT_FALSE(fs::exists(work() / "Launch.log")) << "no run log outside an installation";
}

TEST_F(UpdateTool, RunBringsAnOldInstallationToTheAnnouncedRelease) {
    ASSERT_TRUE(StartNginx());
    Install(nginx_.Url(""));

    // Without -C the tool works in the current directory.
    ToolRun check = testsupport::RunToolIn(inst(), BinPath("vela-update"), "check");
    EXPECT_EQ(check.exitCode, 1) << check.err;
    EXPECT_EQ(check.out, "update needed\n");

    ToolRun run = Update("run");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, std::string("update needed\n") + kDone);
    std::map<std::string, std::string> expected = Tree(work() / "r2");
    expected["GameInfo.ini"] = ReadFile(Published("2") / "GameInfo.ini");
    EXPECT_EQ(Tree(inst()), expected) << "replaced, added, kept, and data/old.txt deleted";
    // Not a terminal: one line per file once it is settled.
    EXPECT_NE(run.err.find("updating 1 -> 2\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("[1/3] data\\same.txt ok\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("[2/3] data\\new.txt updated\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("[3/3] a.txt updated\n"), std::string::npos) << run.err;

    const std::string log = ReadFile(inst() / "Launch.log");
    EXPECT_NE(log.find("start check Version!!!"), std::string::npos);
    EXPECT_NE(log.find("start repair!"), std::string::npos);

    ToolRun again = Update("run");
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, "no update\n") << "nothing to repair: no result line";
    EXPECT_EQ(Update("repair").out, kDone) << "a repair of a current installation succeeds";
    EXPECT_EQ(Tree(inst()), expected);
}

// On a terminal (script(1) gives the tool one) progress is a bar redrawn in
// place, and standard output still carries only the result lines.
TEST_F(UpdateTool, ProgressOnATerminalIsOneBar) {
    ASSERT_TRUE(StartNginx());
    Install(nginx_.Url(""));
    const std::string out = (work() / "result.txt").string();
    ToolRun run = testsupport::RunToolIn(
        work(), "script",
        "-qec \"'" + BinPath("vela-update") + "' -C inst run >'" + out + "'\" /dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(ReadFile(out), std::string("update needed\n") + kDone);
    EXPECT_NE(run.out.find("\r\x1b[K["), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("] [3/3] a.txt"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("updated"), std::string::npos) << "no per-file lines: " << run.out;
    EXPECT_EQ(Tree(inst()).at("a.txt"), "two, longer");
}

TEST_F(UpdateTool, NoServerReachable) {
    struct Case {
        const char* command;
        const char* out;
        int exitCode;
    };
    const Case cases[] = {
        {"check", "server unreachable\n", 3},
        {"repair", "result 6 NM_LAUNCHER_ERR_VERSION_DOWN\n", 6},
        {"run", "server unreachable\n", 3},
    };
    Install(kClosedServer);
    const auto before = Tree(inst());
    for (const Case& c : cases) {
        ToolRun run = Update(c.command);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.command << ": " << run.err;
        EXPECT_EQ(run.out, c.out) << c.command;
    }
    EXPECT_EQ(Tree(inst()), before);

    // Without launcherUrl only the built-in hosts are asked, which the test
    // build points at the same closed port.
    WriteFile(inst() / "launcher.ini", "");
    EXPECT_EQ(Update("check").out, "server unreachable\n");
}

TEST_F(UpdateTool, RunEndsWithTheRepairsCodeWhenTheRepairFails) {
    testsupport::HttpFixtureServer server;
    server.SetRoute("/LauncherVersion/version", testsupport::HttpRoute::Ok("2"));
    Install(server.Url(""));
    ToolRun run = Update("run");
    EXPECT_EQ(run.exitCode, 8) << run.err;
    EXPECT_EQ(run.out, "update needed\nresult 8 NM_LAUNCHER_ERR_GAMEINFO_DOWN\n");
}

TEST_F(UpdateTool, DebugModeDoesNoUpdateWork) {
    ASSERT_TRUE(StartNginx());
    Install(nginx_.Url(""), "[debug]\r\ndebug=1\r\n");
    const auto before = Tree(inst());
    for (const char* command : {"check", "repair", "run"}) {
        ToolRun run = Update(command);
        EXPECT_EQ(run.exitCode, 0) << command << ": " << run.err;
        EXPECT_EQ(run.out, "debug mode: no update work\n") << command;
    }
    EXPECT_EQ(Tree(inst()), before);
    EXPECT_EQ(ReadFile(work() / "nginx" / "access.log"), "") << "no request at all";
}

TEST_F(UpdateTool, AnUnreadableVersionFileMeansNoUpdateAsForTheLauncher) {
    ASSERT_TRUE(StartNginx());
    Install(nginx_.Url(""));
    const auto before = Tree(inst());
    WriteFile(work() / "srv" / "LauncherVersion" / "version", std::string(64, '2'));

    ToolRun check = Update("check");
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_EQ(check.out, "no update\n");
    EXPECT_NE(check.err.find("version file cannot be read"), std::string::npos) << check.err;
    EXPECT_EQ(Update("run").out, "no update\n");
    EXPECT_EQ(Tree(inst()), before);
    ToolRun repair = Update("repair");
    EXPECT_EQ(repair.exitCode, 7);
    EXPECT_EQ(repair.out, "result 7 NM_LAUNCHER_ERR_VERSION_READ\n");
}

// Ctrl-C while a file downloads: that file is finished and put in place, the
// run stops at the next record, and the installation stays at release 1 so
// the next check reports the update again.
TEST_F(UpdateTool, InterruptStopsTheRepairAtTheNextFile) {
    testsupport::HttpFixtureServer server;
    const std::string dir = "/LauncherVersion/Launcher_2/";
    server.SetRoute("/LauncherVersion/version", testsupport::HttpRoute::Ok("2"));
    server.SetRoute(dir + "GameInfo.ini",
                    testsupport::HttpRoute::Ok(ReadFile(Published("2") / "GameInfo.ini")));
    testsupport::HttpRoute stalled = testsupport::HttpRoute::Ok("new file");
    stalled.cut_at = 3;
    stalled.stall_ms = 60000;
    server.SetRoute(dir + "data/new.txt", stalled);
    server.SetRoute(dir + "a.txt", testsupport::HttpRoute::Ok("two, longer"));
    Install(server.Url(""));

    platform::ChildProcess child;
    platform::ProcessStartOptions options;
    options.capture_output = true;
    ASSERT_TRUE(child.Start(
        platform::BuildCommandLine({platform::Utf8ToUtf16(BinPath("vela-update")), u"-C",
                                    platform::Utf8ToUtf16(inst().string()), u"repair"}),
        options));
    ASSERT_GT(child.pid(), 0);
    ASSERT_TRUE(server.WaitUntilStalled(std::chrono::seconds(20)));
    ASSERT_EQ(kill(child.pid(), SIGINT), 0);

    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (output.find("interrupted") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline && !child.WaitForExit(10)) {
        output += child.ReadOutput(4096);
    }
    ASSERT_NE(output.find("interrupted"), std::string::npos) << output;
    server.ReleaseStalls();
    ASSERT_TRUE(child.WaitForExit(20000));
    for (std::string more = child.ReadOutput(4096); !more.empty(); more = child.ReadOutput(4096)) {
        output += more;
    }
    EXPECT_EQ(child.exit_code(), 2);
    EXPECT_NE(output.find("result 2 NM_LAUNCHER_ERR_STOPPED\n"), std::string::npos) << output;
    EXPECT_EQ(ReadFile(inst() / "data" / "new.txt"), "new file");
    EXPECT_EQ(ReadFile(inst() / "a.txt"), "one") << "the next record was not touched";
    EXPECT_EQ(ReadFile(inst() / "GameInfo.ini"), ReadFile(Published("1") / "GameInfo.ini"));
}

}  // namespace
