#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/FileUtil.h"
#include "platform/files/FileSystem.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;

// A character whose second byte is a backslash: 0x81 0x5C, U+4E57.
const std::string kBackslashTrail = "\x81\x5C";
const std::string kBackslashTrailUtf8 = "\xE4\xB9\x97";

class FileUtilTest : public testsupport::SandboxTest {
  protected:
    static void MakeReadOnly(const std::string& path) {
        ASSERT_TRUE(platform::SetAttributes(path, platform::kAttrReadOnly));
        ASSERT_NE(platform::GetAttributes(path) & platform::kAttrReadOnly, 0u);
    }
    static bool IsReadOnly(const std::string& path) {
        return (platform::GetAttributes(path) & platform::kAttrReadOnly) != 0;
    }
};

TEST_F(FileUtilTest, EnsureDirectoryCreatesTheDirectoriesOfAPath) {
    struct Case {
        std::string path;
        bool names_file;
        std::string created;      // native, below the work folder
        std::string not_created;  // native; empty when nothing to check
    };
    const std::vector<Case> cases = {
        {"C:/x/y/file.txt", true, "C:/x/y", "C:/x/y/file.txt"},
        {"D:/x/y/file.txt", false, "D:/x/y/file.txt", ""},
        {"temp_launcher\\launcher\\", false, "temp_launcher/launcher", ""},
        {"a\\" + kBackslashTrail + "\\f.txt", true, "a/" + kBackslashTrailUtf8, ""},
        // The trail 0x5C at the end is part of the name, not a separator.
        {"b\\" + kBackslashTrail, false, "b/" + kBackslashTrailUtf8, ""},
        {"c\\" + kBackslashTrail + "x.txt", true, "c", "c/" + kBackslashTrailUtf8 + "x.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(EnsureDirectory(c.path, c.names_file)) << c.path;
        EXPECT_TRUE(fs::is_directory(work() / c.created)) << c.path;
        if (!c.not_created.empty()) {
            EXPECT_FALSE(fs::exists(work() / c.not_created)) << c.path;
        }
    }
    EXPECT_TRUE(fs::is_empty(work() / "c"));
}

TEST_F(FileUtilTest, EnsureDirectoryHandlesPathsOfAnyLength) {
    std::string path;
    for (int i = 0; i < 15; ++i) {
        path += std::string(50, static_cast<char>('a' + i)) + "\\";
    }
    ASSERT_GT(path.size(), 700u);
    EXPECT_TRUE(EnsureDirectory(path + "file.dat", true));
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    EXPECT_TRUE(fs::is_directory(work() / native));
}

TEST_F(FileUtilTest, EnsureDirectoryFailsWhereNothingCanBeCreated) {
    WriteFile(work() / "plain", "x");
    EXPECT_FALSE(EnsureDirectory("a", false));
    EXPECT_FALSE(EnsureDirectory("", false));
    EXPECT_FALSE(EnsureDirectory("plain/sub/file.txt", true));
    EXPECT_FALSE(fs::exists(work() / "plain" / "sub"));
}

TEST_F(FileUtilTest, GetFileSizeOfGivesTheSizeOrMinusOne) {
    WriteFile(work() / "five.bin", "12345");
    WriteFile(work() / "empty.bin", "");
    fs::create_directory(work() / "dir");
    EXPECT_EQ(GetFileSizeOf("five.bin"), 5);
    EXPECT_EQ(GetFileSizeOf("empty.bin"), 0);
    EXPECT_EQ(GetFileSizeOf("missing.bin"), -1);
    EXPECT_EQ(GetFileSizeOf(""), -1);
    EXPECT_EQ(GetFileSizeOf("dir"), -1);
    EXPECT_TRUE(PathExists("dir"));
    EXPECT_FALSE(PathExists("missing.bin"));
}

TEST_F(FileUtilTest, CopyFileOverReplacesAReadOnlyTarget) {
    WriteFile(work() / "new.dat", "new contents");
    WriteFile(work() / "target.dat", "old");
    MakeReadOnly("target.dat");
    EXPECT_TRUE(CopyFileOver("new.dat", "target.dat"));
    EXPECT_EQ(ReadFile(work() / "target.dat"), "new contents");
    EXPECT_FALSE(IsReadOnly("target.dat"));

    EXPECT_TRUE(CopyFileOver("new.dat", "fresh.dat"));
    EXPECT_EQ(ReadFile(work() / "fresh.dat"), "new contents");
}

TEST_F(FileUtilTest, CopyFileOverFailsWithoutTouchingTheTarget) {
    WriteFile(work() / "target.dat", "old");
    EXPECT_FALSE(CopyFileOver("missing.dat", "target.dat"));
    EXPECT_EQ(ReadFile(work() / "target.dat"), "old");

    WriteFile(work() / "new.dat", "new");
    EXPECT_FALSE(CopyFileOver("new.dat", "no_such_dir/target.dat"));
    EXPECT_FALSE(fs::exists(work() / "no_such_dir"));
}

TEST_F(FileUtilTest, OverwriteFileWritesOnlyExistingFiles) {
    const std::string bytes("a\0b\r\n", 5);
    EXPECT_FALSE(OverwriteFile("missing.ini", bytes.data(), bytes.size()));
    EXPECT_FALSE(fs::exists(work() / "missing.ini"));

    WriteFile(work() / "GameInfo.ini.UnCypt", "longer old contents");
    MakeReadOnly("GameInfo.ini.UnCypt");
    EXPECT_TRUE(OverwriteFile("GameInfo.ini.UnCypt", bytes.data(), bytes.size()));
    EXPECT_EQ(ReadFile(work() / "GameInfo.ini.UnCypt"), bytes);
    EXPECT_FALSE(IsReadOnly("GameInfo.ini.UnCypt"));

    EXPECT_TRUE(OverwriteFile("GameInfo.ini.UnCypt", nullptr, 0));
    EXPECT_EQ(ReadFile(work() / "GameInfo.ini.UnCypt"), "");
}

}  // namespace
