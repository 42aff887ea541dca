// vela-gameinfo as a publisher runs it: a real process over real folders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class GameInfoTool : public testsupport::SandboxTest {
  protected:
    ToolRun Run(const std::string& args) {
        std::string command =
            "'" + BinPath("vela-gameinfo") + "' " + args + " >tool.out 2>tool.err </dev/null";
        int status = std::system(command.c_str());
        ToolRun run;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadFile(work() / "tool.out");
        run.err = ReadFile(work() / "tool.err");
        return run;
    }

    // A small release: a file at the top, one in a folder, one whose code
    // page 936 name has a second byte 0x5C, and launcher work files that must
    // not be listed at the top (but are listed further down).
    void MakeRelease(const fs::path& dir) {
        WriteFile(dir / "hello.txt", "hello");
        WriteFile(dir / "data" / "empty.bin", "");
        WriteFile(dir / "data" / "\xE8\xAA\xA0.txt", "x");  // 誠: D5 5C in code page 936
        WriteFile(dir / "data" / "GameInfo.ini", "listed");
        WriteFile(dir / "GameInfo.ini", "old");
        WriteFile(dir / "launch.log", "log");
        WriteFile(dir / "Launch.bin", "bin");
        WriteFile(dir / "Launch.log.bak", "bak");
        WriteFile(dir / "temp_d" / "part", "p");
        WriteFile(dir / "temp_launcher" / "launcher" / "x", "p");
    }

    std::string Show(const std::string& file) {
        ToolRun run = Run("show " + file);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.out;
    }
};

TEST_F(GameInfoTool, HelpAndUsageErrors) {
    ToolRun help = Run("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"show", "pack", "publish", "verify"}) {
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    }
    for (const char* args : {"", "frobnicate", "pack rel", "pack rel --version 1 -o",
                             "pack rel --bogus 1 -o x", "show", "show a b", "verify"}) {
        ToolRun run = Run(args);
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_NE(run.err.find("usage:"), std::string::npos) << args;
    }
}

TEST_F(GameInfoTool, PackListsTheReleaseAsTheLauncherReadsIt) {
    MakeRelease(work() / "rel");
    ToolRun run = Run("pack rel --version 1.2.3 -o out.ini");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Show("out.ini"),
              "[Version]\r\nVersion=1.2.3\r\n[FileList]\r\nFileCount=4\r\n"
              "0=data\\GameInfo.ini,E8D8654C197E7B3BEED4D69E3EDD3A5B,E38EF122,6,0\r\n"
              "1=data\\empty.bin,D41D8CD98F00B204E9800998ECF8427E,00000000,0,0\r\n"
              "2=data\\\xD5\x5C.txt,9DD4E461268C8034F5C8564E155C67A6,8316DC8C,1,0\r\n"
              "3=hello.txt,5D41402ABC4B2A76B9719D911017C592,86A61036,5,0\r\n");
    std::string image = ReadFile(work() / "out.ini");
    ASSERT_GE(image.size(), 100u);
    EXPECT_NE(image.substr(0, 15), "SEPCIAL_FILE_HD") << "the header is enciphered too";
}

TEST_F(GameInfoTool, PackRefusesWhatTheLauncherCouldNotReadBack) {
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;
        const char* version;
    };
    const Case cases[] = {
        {"comma", [](const fs::path& d) { WriteFile(d / "a,b", ""); }, "1"},
        {"hash", [](const fs::path& d) { WriteFile(d / "a#b", ""); }, "1"},
        {"backslash", [](const fs::path& d) { WriteFile(d / "a\\b", ""); }, "1"},
        {"line break", [](const fs::path& d) { WriteFile(d / "a\nb", ""); }, "1"},
        {"leading blank", [](const fs::path& d) { WriteFile(d / "sub" / " a", ""); }, "1"},
        {"trailing blank", [](const fs::path& d) { WriteFile(d / "a ", ""); }, "1"},
        {"no code page 936 form", [](const fs::path& d) { WriteFile(d / "\xF0\x9F\x98\x80", ""); },
         "1"},
        {"link",
         [](const fs::path& d) {
             WriteFile(d / "t", "");
             fs::create_symlink("t", d / "l");
         },
         "1"},
        {"fifo", [](const fs::path& d) { ASSERT_EQ(mkfifo((d / "f").c_str(), 0600), 0); }, "1"},
        {"2 GiB file",
         [](const fs::path& d) {
             WriteFile(d / "big", "");
             fs::resize_file(d / "big", uint64_t{1} << 31);  // sparse
         },
         "1"},
        {"empty version", [](const fs::path&) {}, "''"},
        {"version with blank", [](const fs::path&) {}, "'1 2'"},
        {"version with separator", [](const fs::path&) {}, "1/2"},
        {"64-byte version", [](const fs::path&) {},
         "0123456789012345678901234567890123456789012345678901234567890123"},
    };
    for (const Case& c : cases) {
        fs::path dir = work() / "rel";
        fs::remove_all(dir);
        fs::create_directories(dir);
        WriteFile(dir / "fine.txt", "ok");
        c.make(dir);
        ToolRun run = Run("pack rel --version " + std::string(c.version) + " -o out.ini");
        EXPECT_EQ(run.exitCode, 1) << c.name;
        EXPECT_EQ(run.err.rfind("vela-gameinfo: ", 0), 0u) << c.name << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.name << run.err;
        EXPECT_FALSE(fs::exists(work() / "out.ini")) << c.name << ": nothing is written";
    }
    // A version one byte shorter is fine.
    ToolRun run = Run("pack rel --version " + std::string(63, '7') + " -o out.ini");
    EXPECT_EQ(run.exitCode, 0) << run.err;
}

TEST_F(GameInfoTool, ShowNamesWhyAFileIsInvalidAndLeavesItAlone) {
    MakeRelease(work() / "rel");
    ASSERT_EQ(Run("pack rel --version 1 -o good.ini").exitCode, 0);
    const std::string good = ReadFile(work() / "good.ini");

    std::string badCrc = good;
    badCrc.back() ^= 0x01;
    std::string badMagic = good;
    badMagic[3] ^= 0x01;
    const std::pair<std::string, const char*> cases[] = {
        {good.substr(0, 60), "shorter than the 100-byte header"},
        {badMagic, "bad magic"},
        {badCrc, "CRC of the body does not match the header"},
    };
    for (const auto& [bytes, reason] : cases) {
        WriteFile(work() / "bad.ini", bytes);
        ToolRun run = Run("show bad.ini");
        EXPECT_EQ(run.exitCode, 1) << reason;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(ReadFile(work() / "bad.ini"), bytes);
    }
    Show("good.ini");
    EXPECT_EQ(ReadFile(work() / "good.ini"), good) << "show works on a copy";
    EXPECT_FALSE(fs::exists(work() / "Launch.log")) << "the tool writes no run log";
    EXPECT_EQ(Run("show missing.ini").exitCode, 1);
}

TEST_F(GameInfoTool, PublishLaysOutTheServerTreeAndVerifyChecksIt) {
    MakeRelease(work() / "rel");
    ToolRun publish = Run("publish rel --version 1.0 --root srv");
    ASSERT_EQ(publish.exitCode, 0) << publish.err;

    const fs::path folder = work() / "srv" / "LauncherVersion" / "Launcher_1.0";
    EXPECT_EQ(ReadFile(work() / "srv" / "LauncherVersion" / "version"), "1.0\n");
    EXPECT_EQ(ReadFile(folder / "hello.txt"), "hello");
    EXPECT_EQ(ReadFile(folder / "data" / "\xE8\xAA\xA0.txt"), "x");
    EXPECT_FALSE(fs::exists(folder / "temp_d"));
    EXPECT_FALSE(fs::exists(folder / "launch.log"));
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(work() / "srv" / "LauncherVersion")) {
        ++entries;
        EXPECT_TRUE(entry.path().filename() == "version" || entry.path() == folder)
            << "no staging left behind: " << entry.path();
    }
    EXPECT_EQ(entries, 2);
    EXPECT_EQ(Show("srv/LauncherVersion/Launcher_1.0/GameInfo.ini").find("Version=1.0\r\n"), 11u);

    ToolRun verify = Run("verify srv");
    EXPECT_EQ(verify.exitCode, 0) << verify.out << verify.err;
    EXPECT_EQ(verify.out, "ok: version 1.0, 4 files\n");

    // The same content again only announces it again.
    EXPECT_EQ(Run("publish rel --version 1.0 --root srv").exitCode, 0);

    WriteFile(folder / "hello.txt", "HELLO");  // same size, other bytes
    fs::remove(folder / "data" / "empty.bin");
    verify = Run("verify srv 1.0");
    EXPECT_EQ(verify.exitCode, 1);
    EXPECT_NE(verify.out.find("CRC-32 differs: hello.txt"), std::string::npos) << verify.out;
    EXPECT_NE(verify.out.find("missing: data/empty.bin"), std::string::npos) << verify.out;
}

TEST_F(GameInfoTool, APublishedVersionIsNeverChanged) {
    MakeRelease(work() / "rel");
    ASSERT_EQ(Run("publish rel --version 1.0 --root srv").exitCode, 0);
    const fs::path versions = work() / "srv" / "LauncherVersion";
    const std::string published = ReadFile(versions / "Launcher_1.0" / "GameInfo.ini");

    WriteFile(work() / "rel" / "hello.txt", "hello, world");
    ToolRun again = Run("publish rel --version 1.0 --root srv");
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("already published with other content"), std::string::npos)
        << again.err;
    EXPECT_EQ(ReadFile(versions / "Launcher_1.0" / "GameInfo.ini"), published);
    EXPECT_EQ(ReadFile(versions / "Launcher_1.0" / "hello.txt"), "hello");

    ASSERT_EQ(Run("publish rel --version 1.1 --root srv").exitCode, 0);
    EXPECT_EQ(ReadFile(versions / "version"), "1.1\n");
    EXPECT_EQ(Run("verify srv").out, "ok: version 1.1, 4 files\n");
    EXPECT_EQ(Run("verify srv 1.0").exitCode, 0);
}

TEST_F(GameInfoTool, VerifyReportsAVersionFileTheLauncherWouldIgnore) {
    MakeRelease(work() / "rel");
    ASSERT_EQ(Run("publish rel --version 1.0 --root srv").exitCode, 0);
    WriteFile(work() / "srv" / "LauncherVersion" / "version", std::string(64, '1'));
    ToolRun verify = Run("verify srv");
    EXPECT_EQ(verify.exitCode, 1);
    EXPECT_NE(verify.err.find("64 bytes or longer"), std::string::npos) << verify.err;
    WriteFile(work() / "srv" / "LauncherVersion" / "version", " 1.\t0\r\n");
    EXPECT_EQ(Run("verify srv").exitCode, 0)
        << "blanks and breaks are stripped, as the launcher does";
}

}  // namespace
