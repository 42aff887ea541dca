#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <set>
#include <thread>

#include "platform/files/FileSystem.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& path) {
    struct stat st;
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

std::set<std::string> NamesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class FileCopyTest : public testsupport::SandboxTest {};

TEST_F(FileCopyTest, ReplacesTheTargetWholeWithBytesModeAndTime) {
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>(i * 31 + i / 7);
    }
    WriteFile(work() / "src", big);
    ASSERT_EQ(::chmod((work() / "src").c_str(), 0751), 0);
    WriteFile(work() / "dst", "an old, longer or shorter content");
    ASSERT_EQ(::chmod((work() / "dst").c_str(), 0600), 0);
    struct timespec times[2] = {{1000000000, 0}, {1234567890, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (work() / "src").c_str(), times, 0), 0);

    ASSERT_TRUE(platform::CopyFile("src", "dst", false));
    EXPECT_EQ(ReadFile(work() / "dst"), big);
    EXPECT_EQ(ModeOf(work() / "dst"), 0751u);
    struct stat st;
    ASSERT_EQ(::stat((work() / "dst").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(NamesIn(work()), (std::set<std::string>{"src", "dst"}));  // no temporary left
    EXPECT_EQ(ReadFile(work() / "src"), big);
}

TEST_F(FileCopyTest, CreatesAMissingTargetAndCopiesEmptyFiles) {
    WriteFile(work() / "empty", "");
    ASSERT_TRUE(platform::CopyFile("empty", "sub\\..\\copy", false) == false);  // no "sub"
    ASSERT_TRUE(platform::CopyFile("empty", "copy", true));
    EXPECT_TRUE(fs::exists(work() / "copy"));
    EXPECT_EQ(fs::file_size(work() / "copy"), 0u);
}

TEST_F(FileCopyTest, ReadOnlySourceGivesAReadOnlyCopy) {
    WriteFile(work() / "src", "data");
    ASSERT_EQ(::chmod((work() / "src").c_str(), 0444), 0);
    ASSERT_TRUE(platform::CopyFile("src", "dst", false));
    EXPECT_EQ(ModeOf(work() / "dst"), 0444u);
    EXPECT_EQ(platform::GetAttributes("dst"), platform::kAttrReadOnly);
}

TEST_F(FileCopyTest, ReadOnlyTargetIsRefusedUntilClearedAsThere) {
    WriteFile(work() / "src", "new");
    WriteFile(work() / "dst", "old");
    ASSERT_EQ(::chmod((work() / "dst").c_str(), 0444), 0);
    EXPECT_FALSE(platform::CopyFile("src", "dst", false));
    EXPECT_EQ(platform::LastErrorCode(), EACCES);
    EXPECT_EQ(ReadFile(work() / "dst"), "old");
    EXPECT_EQ(NamesIn(work()), (std::set<std::string>{"src", "dst"}));

    ASSERT_TRUE(platform::SetAttributes("dst", platform::kAttrNormal));
    EXPECT_TRUE(platform::CopyFile("src", "dst", false));
    EXPECT_EQ(ReadFile(work() / "dst"), "new");
}

TEST_F(FileCopyTest, FailIfExistsKeepsTheTarget) {
    WriteFile(work() / "src", "new");
    WriteFile(work() / "dst", "old");
    EXPECT_FALSE(platform::CopyFile("src", "dst", true));
    EXPECT_EQ(platform::LastErrorCode(), EEXIST);
    EXPECT_EQ(ReadFile(work() / "dst"), "old");
    EXPECT_EQ(NamesIn(work()), (std::set<std::string>{"src", "dst"}));
    EXPECT_TRUE(platform::CopyFile("src", "fresh", true));
    EXPECT_EQ(ReadFile(work() / "fresh"), "new");
}

TEST_F(FileCopyTest, FailIfExistsLetsExactlyOneOfTwoRacingCopiesWin) {
    WriteFile(work() / "one", "from the first copy");
    WriteFile(work() / "two", "from the second copy");
    for (int round = 0; round < 50; ++round) {
        std::string name = "t" + std::to_string(round);
        std::atomic<int> ready{0};
        bool first = false;
        bool second = false;
        std::thread other([&] {
            ++ready;
            while (ready < 2) {
            }
            second = platform::CopyFile("two", name, true);
        });
        ++ready;
        while (ready < 2) {
        }
        first = platform::CopyFile("one", name, true);
        other.join();
        ASSERT_NE(first, second) << round;
        EXPECT_EQ(ReadFile(work() / name), first ? "from the first copy" : "from the second copy");
    }
    EXPECT_EQ(NamesIn(work()).size(), 52u);  // no temporary left by the loser
}

TEST_F(FileCopyTest, CopyOntoItselfLeavesTheFileIntact) {
    WriteFile(work() / "f", "precious");
    fs::create_hard_link(work() / "f", work() / "hard");
    fs::create_symlink("f", work() / "soft");
    for (const char* to : {"f", ".\\f", "hard", "soft"}) {
        EXPECT_FALSE(platform::CopyFile("f", to, false)) << to;
        EXPECT_EQ(ReadFile(work() / "f"), "precious") << to;
    }
    EXPECT_EQ(NamesIn(work()), (std::set<std::string>{"f", "hard", "soft"}));
}

TEST_F(FileCopyTest, FailuresLeaveNoTemporaryAndTheOldTarget) {
    WriteFile(work() / "dst", "old");
    fs::create_directory(work() / "dir");
    struct Case {
        const char* from;
        const char* to;
        int error;
    } cases[] = {
        {"missing", "dst", ENOENT},
        {"dir", "dst", EISDIR},
        {"dst", "dir", EISDIR},
        {"dst", "nodir/x", ENOENT},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(platform::CopyFile(c.from, c.to, false)) << c.from << " " << c.to;
        EXPECT_EQ(platform::LastErrorCode(), c.error) << c.from << " " << c.to;
    }
    EXPECT_EQ(ReadFile(work() / "dst"), "old");
    EXPECT_EQ(NamesIn(work()), (std::set<std::string>{"dst", "dir"}));
    EXPECT_TRUE(fs::is_empty(work() / "dir"));
}

TEST_F(FileCopyTest, ReadersSeeTheOldOrTheNewFileNeverAPart) {
    const std::string a(256 * 1024, 'a');
    const std::string b(512 * 1024, 'b');
    WriteFile(work() / "a", a);
    WriteFile(work() / "b", b);
    WriteFile(work() / "target", a);
    std::atomic<bool> done{false};
    std::atomic<int> bad{0};
    std::atomic<int> reads{0};
    std::thread reader([&] {
        while (!done) {
            std::string content;
            if (platform::ReadWholeFile("target", content)) {
                if (content != a && content != b) {
                    ++bad;
                }
                ++reads;
            } else {
                ++bad;  // the target never disappears
            }
        }
    });
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(platform::CopyFile(i % 2 ? "a" : "b", "target", false));
    }
    done = true;
    reader.join();
    EXPECT_EQ(bad, 0);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(NamesIn(work()), (std::set<std::string>{"a", "b", "target"}));
}

TEST_F(FileCopyTest, WriteFileAtomicallyCreatesAndReplacesKeepingTheMode) {
    ASSERT_TRUE(platform::WriteFileAtomically("f", "first"));
    EXPECT_EQ(ReadFile(work() / "f"), "first");
    mode_t umask_now = ::umask(022);
    ::umask(umask_now);
    EXPECT_EQ(ModeOf(work() / "f"), 0666u & ~umask_now);

    ASSERT_EQ(::chmod((work() / "f").c_str(), 0640), 0);
    ASSERT_TRUE(platform::WriteFileAtomically("f", "second, longer"));
    EXPECT_EQ(ReadFile(work() / "f"), "second, longer");
    EXPECT_EQ(ModeOf(work() / "f"), 0640u);
    ASSERT_TRUE(platform::WriteFileAtomically("f", ""));
    EXPECT_EQ(ReadFile(work() / "f"), "");
    EXPECT_EQ(NamesIn(work()), (std::set<std::string>{"f"}));

    EXPECT_FALSE(platform::WriteFileAtomically("nodir/f", "x"));
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
    fs::create_directory(work() / "dir");
    EXPECT_FALSE(platform::WriteFileAtomically("dir", "x"));
    EXPECT_EQ(platform::LastErrorCode(), EISDIR);
    EXPECT_TRUE(fs::is_empty(work() / "dir"));
}

}  // namespace
