#include "platform/files/FileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;
using platform::PathArg;

mode_t ModeOf(const fs::path& path) {
    struct stat st;
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

void Chmod(const fs::path& path, mode_t mode) {
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

class FileSystemTest : public testsupport::SandboxTest {};

// 誠 (D5 5C in code page 936, E8 AA A0 in UTF-8): its second byte is a backslash.
const std::string kCp936Name = "\xD5\x5C.txt";
const std::string kUtf8Name = "\xE8\xAA\xA0.txt";

TEST_F(FileSystemTest, Cp936NameWithBackslashTrailByteLivesThroughEveryOperation) {
    ASSERT_TRUE(platform::CreateDirectory("sub"));
    const std::string narrow = "sub\\" + kCp936Name;
    platform::FileWriter writer;
    ASSERT_TRUE(writer.Open(narrow, platform::FileWriter::Mode::kTruncate));
    ASSERT_TRUE(writer.Write("hello", 5));
    ASSERT_TRUE(writer.Close());

    // On disk under its UTF-8 name, in the folder "sub" (no stray "\" split).
    EXPECT_TRUE(fs::is_regular_file(work() / "sub" / kUtf8Name));
    EXPECT_EQ(ReadFile(work() / "sub" / kUtf8Name), "hello");
    EXPECT_TRUE(platform::Exists(narrow));
    EXPECT_EQ(platform::GetFileSize(narrow), 5u);

    auto entries = platform::ListDirectory("sub");
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_EQ((*entries)[0].native_name, kUtf8Name);
    EXPECT_EQ((*entries)[0].type, platform::EntryType::kFile);
    EXPECT_EQ(platform::Cp936PathFromNative((*entries)[0].native_name), kCp936Name);

    const std::string copy = "sub\\copy_" + kCp936Name;
    ASSERT_TRUE(platform::CopyFile(narrow, copy, false));
    EXPECT_EQ(ReadFile(work() / "sub" / ("copy_" + kUtf8Name)), "hello");

    ASSERT_TRUE(platform::DeleteFile(narrow));
    ASSERT_TRUE(platform::DeleteFile(copy));
    EXPECT_TRUE(fs::is_empty(work() / "sub"));
}

TEST_F(FileSystemTest, EmptyOrUnconvertiblePathFailsEverything) {
    for (const PathArg& bad :
         {PathArg(""), PathArg("\xFF"), PathArg(std::u16string(1, char16_t(0xD800)))}) {
        EXPECT_FALSE(bad.native());
        EXPECT_EQ(platform::GetAttributes(bad), platform::kInvalidAttributes);
        EXPECT_EQ(platform::LastErrorCode(), EINVAL);
        EXPECT_FALSE(platform::Exists(bad));
        EXPECT_FALSE(platform::SetAttributes(bad, platform::kAttrNormal));
        EXPECT_FALSE(platform::IsDirectory(bad));
        EXPECT_FALSE(platform::GetFileSize(bad));
        EXPECT_FALSE(platform::DeleteFile(bad));
        EXPECT_FALSE(platform::CreateDirectory(bad));
        EXPECT_FALSE(platform::RemoveDirectory(bad));
        EXPECT_FALSE(platform::MoveFile(bad, "x"));
        EXPECT_FALSE(platform::CopyFile(bad, "x", false));
        EXPECT_FALSE(platform::WriteFileAtomically(bad, "x"));
        std::string out;
        EXPECT_FALSE(platform::ReadWholeFile(bad, out));
        EXPECT_FALSE(platform::GetVolumeSize(bad));
        EXPECT_FALSE(platform::ListDirectory(bad));
        EXPECT_FALSE(platform::SetCurrentDirectory(bad));
        platform::FileReader reader;
        EXPECT_FALSE(reader.Open(bad));
        platform::FileWriter writer;
        EXPECT_FALSE(writer.Open(bad, platform::FileWriter::Mode::kTruncate));
        EXPECT_EQ(platform::LastErrorCode(), EINVAL);
    }
    EXPECT_FALSE(fs::exists(work() / "x"));
}

TEST_F(FileSystemTest, AttributesFollowTheOwnersWriteBit) {
    WriteFile(work() / "file", "x");
    WriteFile(work() / "readonly", "x");
    Chmod(work() / "readonly", 0444);
    fs::create_directory(work() / "dir");
    fs::create_directory(work() / "rodir");
    Chmod(work() / "rodir", 0555);
    fs::create_symlink("missing-target", work() / "dangling");

    struct Case {
        const char* path;
        uint32_t attributes;
    } cases[] = {
        {"file", platform::kAttrNormal},
        {"readonly", platform::kAttrReadOnly},
        {"dir", platform::kAttrDirectory},
        {"rodir", platform::kAttrDirectory | platform::kAttrReadOnly},
        {"dangling", platform::kAttrNormal},  // a dangling link still exists
        {"missing", platform::kInvalidAttributes},
        {"file/below", platform::kInvalidAttributes},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::GetAttributes(c.path), c.attributes) << c.path;
    }
    EXPECT_EQ(platform::GetAttributes("missing"), platform::kInvalidAttributes);
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
    Chmod(work() / "rodir", 0755);
}

TEST_F(FileSystemTest, SetAttributesChangesOnlyTheOwnersWriteBit) {
    WriteFile(work() / "f", "x");
    Chmod(work() / "f", 0754);
    struct Step {
        uint32_t attributes;
        mode_t mode_after;
    } steps[] = {
        {platform::kAttrReadOnly, 0554},
        {platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem, 0554},
        {platform::kAttrNormal, 0754},
        {platform::kAttrReadOnly, 0554},
        {platform::kAttrHidden, 0754},  // clearing read-only sets the owner's write bit
        {platform::kAttrSystem | platform::kAttrHidden, 0754},
        {0, 0754},
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(platform::SetAttributes("f", s.attributes)) << s.attributes;
        EXPECT_EQ(ModeOf(work() / "f"), s.mode_after) << s.attributes;
        bool read_only = (s.attributes & platform::kAttrReadOnly) != 0;
        EXPECT_EQ(platform::GetAttributes("f"),
                  read_only ? platform::kAttrReadOnly : platform::kAttrNormal);
    }
    EXPECT_FALSE(platform::SetAttributes("missing", platform::kAttrNormal));
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
}

TEST_F(FileSystemTest, ExistsIsDirectoryAndFileSize) {
    WriteFile(work() / "f", "12345");
    fs::create_directory(work() / "d");
    EXPECT_TRUE(platform::Exists("f"));
    EXPECT_TRUE(platform::Exists("d"));
    EXPECT_TRUE(platform::Exists(u"d"));
    EXPECT_TRUE(platform::Exists(PathArg::Native((work() / "f").string())));
    EXPECT_FALSE(platform::Exists("nothing"));
    EXPECT_TRUE(platform::IsDirectory("d"));
    EXPECT_TRUE(platform::IsDirectory(".\\d\\"));
    EXPECT_FALSE(platform::IsDirectory("f"));
    EXPECT_FALSE(platform::IsDirectory("nothing"));
    EXPECT_EQ(platform::GetFileSize("f"), 5u);
    EXPECT_EQ(platform::GetFileSize("d"), std::nullopt);
    EXPECT_EQ(platform::LastErrorCode(), EISDIR);
    EXPECT_EQ(platform::GetFileSize("nothing"), std::nullopt);
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
}

TEST_F(FileSystemTest, DeleteFileRefusesReadOnlyFilesAndDirectories) {
    WriteFile(work() / "plain", "x");
    WriteFile(work() / "readonly", "x");
    Chmod(work() / "readonly", 0444);
    fs::create_directory(work() / "dir");

    EXPECT_TRUE(platform::DeleteFile("plain"));
    EXPECT_FALSE(fs::exists(work() / "plain"));

    // As there: access denied, even for root, and the file stays.
    EXPECT_FALSE(platform::DeleteFile("readonly"));
    EXPECT_EQ(platform::LastErrorCode(), EACCES);
    EXPECT_TRUE(fs::exists(work() / "readonly"));
    ASSERT_TRUE(platform::SetAttributes("readonly", platform::kAttrNormal));
    EXPECT_TRUE(platform::DeleteFile("readonly"));
    EXPECT_FALSE(fs::exists(work() / "readonly"));

    EXPECT_FALSE(platform::DeleteFile("dir"));
    EXPECT_EQ(platform::LastErrorCode(), EISDIR);
    EXPECT_TRUE(fs::is_directory(work() / "dir"));

    EXPECT_FALSE(platform::DeleteFile("missing"));
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
}

TEST_F(FileSystemTest, DeleteFileRemovesALinkNotItsTarget) {
    WriteFile(work() / "target", "x");
    Chmod(work() / "target", 0444);
    fs::create_symlink("target", work() / "link");
    fs::create_symlink("gone", work() / "dangling");
    EXPECT_TRUE(platform::DeleteFile("link"));
    EXPECT_TRUE(platform::DeleteFile("dangling"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(work() / "link")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(work() / "dangling")));
    EXPECT_TRUE(fs::exists(work() / "target"));
}

TEST_F(FileSystemTest, CreateAndRemoveDirectory) {
    EXPECT_TRUE(platform::CreateDirectory("a"));
    EXPECT_TRUE(fs::is_directory(work() / "a"));
    EXPECT_FALSE(platform::CreateDirectory("a"));  // exists already
    EXPECT_EQ(platform::LastErrorCode(), EEXIST);
    EXPECT_FALSE(platform::CreateDirectory("x\\y"));  // parent missing: one level only
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
    EXPECT_FALSE(fs::exists(work() / "x"));
    EXPECT_TRUE(platform::CreateDirectory("a\\b"));
    EXPECT_TRUE(fs::is_directory(work() / "a" / "b"));
    WriteFile(work() / "file", "x");
    EXPECT_FALSE(platform::CreateDirectory("file"));
    EXPECT_EQ(platform::LastErrorCode(), EEXIST);

    EXPECT_FALSE(platform::RemoveDirectory("a"));  // not empty
    EXPECT_EQ(platform::LastErrorCode(), ENOTEMPTY);
    EXPECT_TRUE(platform::RemoveDirectory("a/b"));
    EXPECT_TRUE(platform::RemoveDirectory(u"a"));
    EXPECT_FALSE(fs::exists(work() / "a"));
    EXPECT_FALSE(platform::RemoveDirectory("a"));
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
    EXPECT_FALSE(platform::RemoveDirectory("file"));
    EXPECT_EQ(platform::LastErrorCode(), ENOTDIR);
    EXPECT_TRUE(fs::exists(work() / "file"));
}

TEST_F(FileSystemTest, MoveFileReplacesTargetButNotAReadOnlyOne) {
    WriteFile(work() / "from", "new");
    WriteFile(work() / "to", "old");
    EXPECT_TRUE(platform::MoveFile("from", "to"));
    EXPECT_FALSE(fs::exists(work() / "from"));
    EXPECT_EQ(ReadFile(work() / "to"), "new");

    WriteFile(work() / "from", "newer");
    Chmod(work() / "to", 0444);
    EXPECT_FALSE(platform::MoveFile("from", "to"));
    EXPECT_EQ(platform::LastErrorCode(), EACCES);
    EXPECT_EQ(ReadFile(work() / "to"), "new");
    EXPECT_EQ(ReadFile(work() / "from"), "newer");

    fs::create_directory(work() / "dir");
    EXPECT_FALSE(platform::MoveFile("from", "dir"));
    EXPECT_TRUE(fs::is_directory(work() / "dir"));
    EXPECT_FALSE(platform::MoveFile("missing", "other"));
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);

    EXPECT_TRUE(platform::MoveFile("dir", "dir2"));  // directories move too
    EXPECT_TRUE(fs::is_directory(work() / "dir2"));
}

TEST_F(FileSystemTest, ListDirectoryReportsLinksSortsByBytesAndSkipsDots) {
    WriteFile(work() / "d" / "b.txt", "12345");
    WriteFile(work() / "d" / "B.txt", "1");
    WriteFile(work() / "d" / kUtf8Name, "");
    fs::create_directory(work() / "d" / "a_dir");
    fs::create_symlink("b.txt", work() / "d" / "link_file");
    fs::create_symlink("a_dir", work() / "d" / "link_dir");
    fs::create_symlink("nowhere", work() / "d" / "link_dangling");
    ASSERT_EQ(::mkfifo((work() / "d" / "fifo").c_str(), 0600), 0);

    auto entries = platform::ListDirectory("d");
    ASSERT_TRUE(entries);
    struct Expected {
        std::string name;
        platform::EntryType type;
        uint64_t size;
    } expected[] = {
        {"B.txt", platform::EntryType::kFile, 1},
        {"a_dir", platform::EntryType::kDirectory, 0},
        {"b.txt", platform::EntryType::kFile, 5},
        {"fifo", platform::EntryType::kOther, 0},
        {"link_dangling", platform::EntryType::kLink, 0},
        {"link_dir", platform::EntryType::kLink, 0},
        {"link_file", platform::EntryType::kLink, 0},
        {kUtf8Name, platform::EntryType::kFile, 0},  // 0xE8 sorts after ASCII
    };
    ASSERT_EQ(entries->size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ((*entries)[i].native_name, expected[i].name) << i;
        EXPECT_EQ((*entries)[i].type, expected[i].type) << expected[i].name;
        EXPECT_EQ((*entries)[i].size, expected[i].size) << expected[i].name;
    }

    auto empty = platform::ListDirectory("d/a_dir");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
    EXPECT_FALSE(platform::ListDirectory("missing"));
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
    EXPECT_FALSE(platform::ListDirectory("d/b.txt"));
    EXPECT_EQ(platform::LastErrorCode(), ENOTDIR);
}

TEST_F(FileSystemTest, VolumeSizeOfAPathThatDoesNotExistYet) {
    struct statvfs vfs;
    ASSERT_EQ(::statvfs(work().c_str(), &vfs), 0);
    for (const char* path : {".", "not/yet/there.bin", "not\\yet\\", "file.bin"}) {
        auto size = platform::GetVolumeSize(path);
        ASSERT_TRUE(size) << path;
        EXPECT_EQ(size->total_bytes, static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize) << path;
        EXPECT_GT(size->total_bytes, 0u);
        EXPECT_LE(size->free_bytes, size->total_bytes);
    }
    auto absolute = platform::GetVolumeSize(PathArg::Native((work() / "a" / "b" / "c").string()));
    ASSERT_TRUE(absolute);
    EXPECT_EQ(absolute->total_bytes, static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize);
    // Below a file there is nothing to create, but the volume is still the one holding it.
    WriteFile(work() / "file", "x");
    EXPECT_TRUE(platform::GetVolumeSize("file/below"));
    EXPECT_FALSE(fs::exists(work() / "not"));
}

TEST_F(FileSystemTest, CurrentDirectory) {
    fs::create_directory(work() / "sub");
    EXPECT_EQ(platform::GetCurrentDirectoryNative(), fs::current_path().string());
    ASSERT_TRUE(platform::SetCurrentDirectory("sub"));
    EXPECT_EQ(platform::GetCurrentDirectoryNative(), (fs::canonical(work()) / "sub").string());
    EXPECT_TRUE(platform::Exists("..\\sub"));
    EXPECT_FALSE(platform::SetCurrentDirectory("missing"));
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
    ASSERT_TRUE(platform::SetCurrentDirectory(PathArg::Native(work().string())));
}

TEST_F(FileSystemTest, LastErrorCodeBelongsToTheThread) {
    EXPECT_FALSE(platform::DeleteFile("missing"));
    ASSERT_EQ(platform::LastErrorCode(), ENOENT);
    int other = -1;
    std::thread([&] {
        other = platform::LastErrorCode();
        platform::CreateDirectory("x/y/z");
    }).join();
    EXPECT_EQ(other, 0);
    EXPECT_EQ(platform::LastErrorCode(), ENOENT);
    fs::create_directory(work() / "d");
    EXPECT_FALSE(platform::CreateDirectory("d"));
    EXPECT_EQ(platform::LastErrorCode(), EEXIST);
}

}  // namespace
