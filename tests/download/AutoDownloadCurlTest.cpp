// The curl downloader's state machine where no transfer takes place.
#include "download/AutoDownload_Curl.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "tests/support/CurlSandbox.h"

namespace {

namespace fs = std::filesystem;

// Nothing listens there, and Run must not get that far anyway.
constexpr const char* kClosedUrl = "http://127.0.0.1:1/file";

class AutoDownloadCurlTest : public testsupport::CurlSandboxTest {};

std::size_t OpenDescriptors() {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}

TEST(AutoDownloadCurlTempPathTest, NamesTheFileWithoutDirectoryAndExtension) {
    struct Case {
        std::string local;
        std::string temp;
    };
    const Case cases[] = {
        {"Launcher.exe", "temp_d/~Quill.temp.Launcher"},
        {"temp_launcher\\launcher\\Data\\a.pak", "temp_d/~Quill.temp.a"},
        {"dir/sub/noext", "temp_d/~Quill.temp.noext"},
        {"x\\a.tar.gz", "temp_d/~Quill.temp.a.tar"},
        {"a.dir\\plain", "temp_d/~Quill.temp.plain"},
        // 0x81 0x5C is one double-byte character, not a separator.
        {"d\\\x81\x5Cname.exe", "temp_d/~Quill.temp.\x81\x5Cname"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CAutoDownload_Curl::TempPathFor(c.local), c.temp) << c.local;
    }
}

TEST_F(AutoDownloadCurlTest, StartRefusesMissingArgumentsAndAnUnwritableTemporaryFile) {
    struct Case {
        const char* url;
        const char* path;
    };
    const Case cases[] = {
        {nullptr, "a.bin"}, {"", "a.bin"}, {kClosedUrl, nullptr}, {kClosedUrl, ""}};
    CAutoDownload_Curl downloader;
    EXPECT_EQ(downloader.GetType(), 2);
    EXPECT_EQ(downloader.GetState(), AD_STATE_IDLE);
    for (const Case& c : cases) {
        EXPECT_FALSE(downloader.Start(c.url, c.path, 0, 1));
        EXPECT_EQ(downloader.GetState(), AD_STATE_START_FAILED);
    }
    EXPECT_FALSE(fs::exists(work() / "temp_d" / "~Quill.temp.a"));

    fs::remove(work() / "temp_d");
    EXPECT_FALSE(downloader.Start(kClosedUrl, "a.bin", 0, 1));
    EXPECT_EQ(downloader.GetState(), AD_STATE_START_FAILED);
}

TEST_F(AutoDownloadCurlTest, StartTruncatesTheTemporaryFileAndStopBeforeRunDoesNothingMore) {
    WriteFile(work() / "temp_d" / "~Quill.temp.a", "left from before");
    CAutoDownload_Curl downloader;
    ASSERT_TRUE(downloader.Start(kClosedUrl, "out\\a.bin", 0, 7));
    EXPECT_EQ(downloader.GetState(), AD_STATE_READY);
    EXPECT_EQ(fs::file_size(work() / "temp_d" / "~Quill.temp.a"), 0u);

    std::int64_t total = -7, downloaded = -8;
    EXPECT_FALSE(downloader.GetProgress(total, downloaded));
    EXPECT_EQ(total, -7);
    EXPECT_EQ(downloaded, -8);
    EXPECT_EQ(downloader.GetSpeed(), 0);
    EXPECT_TRUE(downloader.Wait(true));

    downloader.Stop();
    EXPECT_EQ(downloader.GetState(), AD_STATE_IDLE);
    downloader.Run();  // not READY: must not try the transfer
    EXPECT_EQ(downloader.GetState(), AD_STATE_IDLE);
    EXPECT_EQ(downloader.responseCode, 0);
}

// A Start that is never run must not keep its file open: not after Reset,
// another Start, or destruction.
TEST_F(AutoDownloadCurlTest, AnUnrunStartReleasesItsFile) {
    const std::size_t before = OpenDescriptors();
    {
        CAutoDownload_Curl downloader;
        ASSERT_TRUE(downloader.Start(kClosedUrl, "a.bin", 0, 1));
        EXPECT_EQ(OpenDescriptors(), before + 1);
        downloader.Reset();
        EXPECT_EQ(downloader.GetState(), AD_STATE_IDLE);
        EXPECT_EQ(OpenDescriptors(), before);

        ASSERT_TRUE(downloader.Start(kClosedUrl, "a.bin", 0, 1));
        ASSERT_TRUE(downloader.Start(kClosedUrl, "b.bin", 0, 1));
        EXPECT_EQ(OpenDescriptors(), before + 1);
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
