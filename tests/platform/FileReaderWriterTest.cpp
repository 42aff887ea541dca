#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/files/FileSystem.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;
using Mode = platform::FileWriter::Mode;

class FileReaderWriterTest : public testsupport::SandboxTest {};

// The descriptors of this process that are open on path.
std::vector<int> FdsOpenOn(const fs::path& path) {
    std::vector<int> fds;
    fs::path wanted = fs::canonical(path);
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        fs::path target = fs::read_symlink(entry.path(), ec);
        if (!ec && target == wanted) {
            fds.push_back(std::stoi(entry.path().filename().string()));
        }
    }
    return fds;
}

TEST_F(FileReaderWriterTest, ReadWholeFileHonoursItsLimit) {
    WriteFile(work() / "f", "0123456789");
    std::string out = "stale";
    ASSERT_TRUE(platform::ReadWholeFile("f", out));
    EXPECT_EQ(out, "0123456789");
    ASSERT_TRUE(platform::ReadWholeFile("f", out, 10));
    EXPECT_EQ(out, "0123456789");
    out = "kept";
    EXPECT_FALSE(platform::ReadWholeFile("f", out, 9));
    EXPECT_EQ(platform::LastErrorCode(), EFBIG);
    EXPECT_EQ(out, "kept");
    WriteFile(work() / "empty", "");
    ASSERT_TRUE(platform::ReadWholeFile("empty", out, 0));
    EXPECT_EQ(out, "");
    fs::create_directory(work() / "d");
    EXPECT_FALSE(platform::ReadWholeFile("d", out));
    EXPECT_EQ(platform::LastErrorCode(), EISDIR);
    EXPECT_FALSE(platform::ReadWholeFile("missing", out));
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
}

TEST_F(FileReaderWriterTest, ReaderStreamsToTheEndAndMoves) {
    std::string data(100000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>(i % 251);
    }
    WriteFile(work() / "f", data);
    platform::FileReader reader;
    EXPECT_FALSE(reader.is_open());
    ASSERT_TRUE(reader.Open("f"));
    platform::FileReader moved(std::move(reader));
    EXPECT_FALSE(reader.is_open());
    ASSERT_TRUE(moved.is_open());
    std::string got;
    char buffer[4096];
    long long n;
    while ((n = moved.Read(buffer, sizeof buffer)) > 0) {
        got.append(buffer, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(n, 0);
    EXPECT_EQ(got, data);
    EXPECT_EQ(moved.Read(buffer, sizeof buffer), 0);
    platform::FileReader assigned;
    assigned = std::move(moved);
    EXPECT_TRUE(assigned.is_open());
    assigned.Close();
    EXPECT_FALSE(assigned.is_open());
    EXPECT_EQ(assigned.Read(buffer, sizeof buffer), -1);
    EXPECT_FALSE(reader.Open("missing"));
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
    fs::create_directory(work() / "d");
    EXPECT_FALSE(reader.Open("d"));
    EXPECT_EQ(platform::LastErrorCode(), EISDIR);
}

TEST_F(FileReaderWriterTest, WriterModes) {
    struct Case {
        const char* name;
        const char* before;  // nullptr: missing
        Mode mode;
        bool opens;
        const char* after;  // nullptr: still missing
    } cases[] = {
        {"truncate_new", nullptr, Mode::kTruncate, true, "+"},
        {"truncate_old", "old", Mode::kTruncate, true, "+"},
        {"append_new", nullptr, Mode::kAppend, true, "+"},
        {"append_old", "old", Mode::kAppend, true, "old+"},
        {"existing_new", nullptr, Mode::kExistingOnly, false, nullptr},
        {"existing_old", "old", Mode::kExistingOnly, true, "+"},
    };
    for (const Case& c : cases) {
        if (c.before) {
            WriteFile(work() / c.name, c.before);
        }
        platform::FileWriter writer;
        ASSERT_EQ(writer.Open(c.name, c.mode), c.opens) << c.name;
        if (c.opens) {
            ASSERT_TRUE(writer.Write("+", 1)) << c.name;
            ASSERT_TRUE(writer.Sync()) << c.name;
            ASSERT_TRUE(writer.Close()) << c.name;
        } else {
            EXPECT_EQ(platform::LastErrorCode(), ENOENT) << c.name;
        }
        if (c.after) {
            EXPECT_EQ(ReadFile(work() / c.name), c.after) << c.name;
        } else {
            EXPECT_FALSE(fs::exists(work() / c.name)) << c.name;
        }
    }
}

TEST_F(FileReaderWriterTest, WriterRefusesReadOnlyFilesAsThere) {
    WriteFile(work() / "ro", "old");
    ASSERT_EQ(::chmod((work() / "ro").c_str(), 0444), 0);
    for (Mode mode : {Mode::kTruncate, Mode::kAppend, Mode::kExistingOnly}) {
        platform::FileWriter writer;
        EXPECT_FALSE(writer.Open("ro", mode));
        EXPECT_EQ(platform::LastErrorCode(), EACCES);
    }
    EXPECT_EQ(ReadFile(work() / "ro"), "old");
    platform::FileWriter closed;
    EXPECT_FALSE(closed.Write("x", 1));
    EXPECT_FALSE(closed.Sync());
}

TEST_F(FileReaderWriterTest, WriterMovesAndWritesLargeBuffersWhole) {
    std::string big(5 * 1024 * 1024, 'z');
    platform::FileWriter writer;
    ASSERT_TRUE(writer.Open("big", Mode::kTruncate));
    platform::FileWriter moved = std::move(writer);
    EXPECT_FALSE(writer.is_open());
    ASSERT_TRUE(moved.Write(big.data(), big.size()));
    ASSERT_TRUE(moved.Close());
    EXPECT_EQ(fs::file_size(work() / "big"), big.size());
}

TEST_F(FileReaderWriterTest, ConcurrentAppendersNeverInterleaveLines) {
    constexpr int kThreads = 4;
    constexpr int kLines = 400;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kLines; ++i) {
                // Open, write one line, close: as the run log does.
                platform::FileWriter writer;
                ASSERT_TRUE(writer.Open("log", Mode::kAppend));
                std::string line = "thread " + std::to_string(t) + " line " + std::to_string(i) +
                                   " " + std::string(200 + t * 50, static_cast<char>('a' + t)) +
                                   "\n";
                ASSERT_TRUE(writer.Write(line.data(), line.size()));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    std::istringstream in(ReadFile(work() / "log"));
    std::string line;
    int count[kThreads] = {};
    while (std::getline(in, line)) {
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d", &t, &i), 2) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads) << line;
        std::string expected = "thread " + std::to_string(t) + " line " + std::to_string(i) + " " +
                               std::string(200 + t * 50, static_cast<char>('a' + t));
        ASSERT_EQ(line, expected);
        EXPECT_EQ(i, count[t]) << "lines of one thread keep their order";
        ++count[t];
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(count[t], kLines);
    }
}

TEST_F(FileReaderWriterTest, DescriptorsAreNotInherited) {
    WriteFile(work() / "r", "x");
    platform::FileReader reader;
    ASSERT_TRUE(reader.Open("r"));
    platform::FileWriter writer;
    ASSERT_TRUE(writer.Open("w", Mode::kAppend));
    for (const char* name : {"r", "w"}) {
        auto fds = FdsOpenOn(work() / name);
        ASSERT_EQ(fds.size(), 1u) << name;
        EXPECT_TRUE(::fcntl(fds[0], F_GETFD) & FD_CLOEXEC) << name;
    }
    reader.Close();
    writer.Close();
    EXPECT_TRUE(FdsOpenOn(work() / "r").empty());
    EXPECT_TRUE(FdsOpenOn(work() / "w").empty());
}

}  // namespace
