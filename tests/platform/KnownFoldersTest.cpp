#include "platform/folders/KnownFolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "platform/text/TextConversion.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;
using platform::GetKnownFolder;
using platform::KnownFolder;

// Sets or clears environment variables for one test and restores them after.
class ScopedEnv {
  public:
    ~ScopedEnv() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    void Set(const std::string& name, const std::optional<std::string>& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }

  private:
    std::map<std::string, std::optional<std::string>> saved_;
};

struct stat LstatOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

bool IsPrivateDir(const fs::path& path) {
    struct stat st = LstatOf(path);
    return S_ISDIR(st.st_mode) && (st.st_mode & 07777) == 0700 && st.st_uid == ::geteuid();
}

class KnownFoldersTest : public testsupport::SandboxTest {
  protected:
    fs::path Sandbox() const { return fs::path(std::getenv("VELA_SANDBOX")); }
};

TEST_F(KnownFoldersTest, SandboxRelocatesEveryFolderAndCreatesIt) {
    const struct {
        KnownFolder folder;
        const char* name;
    } cases[] = {
        {KnownFolder::kUserData, "data"},       {KnownFolder::kRuntime, "runtime"},
        {KnownFolder::kDesktop, "desktop"},     {KnownFolder::kStartMenu, "startmenu"},
        {KnownFolder::kMachineData, "machine"}, {KnownFolder::kTemp, "temp"},
    };
    for (const auto& c : cases) {
        auto path = GetKnownFolder(c.folder);
        ASSERT_TRUE(path) << c.name;
        EXPECT_EQ(*path, (Sandbox() / c.name).string());
        EXPECT_TRUE(fs::is_directory(*path)) << c.name;
    }
    EXPECT_TRUE(IsPrivateDir(Sandbox() / "temp"));
}

TEST_F(KnownFoldersTest, EnvironmentIsReadOnEveryCall) {
    ScopedEnv env;
    fs::path other = work() / "other sandbox" / "deeper";
    env.Set("VELA_SANDBOX", other.string() + "/");
    EXPECT_EQ(GetKnownFolder(KnownFolder::kUserData), (other / "data").string());
    EXPECT_TRUE(fs::is_directory(other / "data"));
    env.Set("VELA_SANDBOX", Sandbox().string());
    EXPECT_EQ(GetKnownFolder(KnownFolder::kUserData), (Sandbox() / "data").string());
    // A relative sandbox is taken from the current directory and made absolute.
    env.Set("VELA_SANDBOX", "rel");
    EXPECT_EQ(GetKnownFolder(KnownFolder::kTemp), (fs::current_path() / "rel" / "temp").string());
    EXPECT_TRUE(fs::is_directory(work() / "rel" / "temp"));
}

TEST_F(KnownFoldersTest, XdgFoldersWithoutASandbox) {
    ScopedEnv env;
    fs::path home = work() / "home";
    fs::create_directory(home);
    env.Set("VELA_SANDBOX", std::nullopt);
    env.Set("HOME", home.string());
    for (const char* name :
         {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "XDG_DESKTOP_DIR"}) {
        env.Set(name, std::nullopt);
    }
    // Defaults below the home folder.
    EXPECT_EQ(GetKnownFolder(KnownFolder::kUserData), (home / ".local/share/vela").string());
    EXPECT_EQ(GetKnownFolder(KnownFolder::kRuntime), (home / ".cache/vela/runtime").string());
    EXPECT_EQ(GetKnownFolder(KnownFolder::kDesktop), (home / "Desktop").string());
    EXPECT_EQ(GetKnownFolder(KnownFolder::kStartMenu),
              (home / ".local/share/applications").string());
    EXPECT_EQ(GetKnownFolder(KnownFolder::kTemp), (home / ".cache/vela/temp").string());
    EXPECT_TRUE(IsPrivateDir(home / ".cache/vela/temp"));
    EXPECT_EQ(platform::GetTempDirectory(), (home / ".cache/vela/temp/").string());

    // The XDG variables move them.
    env.Set("XDG_DATA_HOME", (work() / "xdata").string());
    env.Set("XDG_CACHE_HOME", (work() / "xcache").string());
    env.Set("XDG_RUNTIME_DIR", (work() / "xrun").string());
    env.Set("XDG_DESKTOP_DIR", (work() / "xdesk").string());
    EXPECT_EQ(GetKnownFolder(KnownFolder::kUserData), (work() / "xdata/vela").string());
    EXPECT_EQ(GetKnownFolder(KnownFolder::kRuntime), (work() / "xrun/vela").string());
    EXPECT_EQ(GetKnownFolder(KnownFolder::kDesktop), (work() / "xdesk").string());
    EXPECT_EQ(GetKnownFolder(KnownFolder::kStartMenu), (work() / "xdata/applications").string());
    EXPECT_EQ(GetKnownFolder(KnownFolder::kTemp), (work() / "xcache/vela/temp").string());
    for (const char* dir : {"xdata/vela", "xrun/vela", "xdesk", "xdata/applications"}) {
        EXPECT_TRUE(fs::is_directory(work() / dir)) << dir;
    }
    // Relative values do not count (XDG rules).
    env.Set("XDG_DATA_HOME", "relative");
    EXPECT_EQ(GetKnownFolder(KnownFolder::kUserData), (home / ".local/share/vela").string());
    // The machine's folder is not queried here: it would touch /var/lib.
}

TEST_F(KnownFoldersTest, TempDirectoryForms) {
    std::string narrow = platform::GetTempDirectory();
    EXPECT_EQ(narrow, (Sandbox() / "temp").string() + "/");
    EXPECT_EQ(platform::GetTempDirectoryWide(), platform::Utf8ToUtf16(narrow));

    ScopedEnv env;
    // 誠 has a second byte 0x5C in code page 936; the narrow form keeps it as is.
    fs::path cjk = work() / "\xE8\xAA\xA0";
    env.Set("VELA_SANDBOX", cjk.string());
    std::string cp936 = platform::GetTempDirectory();
    EXPECT_EQ(cp936, work().string() + "/\xD5\x5C/temp/");
    EXPECT_EQ(platform::GetTempDirectoryWide(),
              platform::Utf8ToUtf16(work().string()) + u"/\u8AA0/temp/");

    // No code page 936 form: the narrow form is empty, the wide one is not.
    fs::path emoji = work() / "\xF0\x9F\x98\x80";
    env.Set("VELA_SANDBOX", emoji.string());
    EXPECT_EQ(platform::GetTempDirectory(), "");
    EXPECT_EQ(platform::GetTempDirectoryWide(),
              platform::Utf8ToUtf16(work().string()) + u"/\U0001F600/temp/");
    EXPECT_TRUE(IsPrivateDir(emoji / "temp"));
}

TEST_F(KnownFoldersTest, TempFolderThatIsNotPrivateIsReplaced) {
    const fs::path temp = Sandbox() / "temp";
    const fs::path elsewhere = work() / "elsewhere";
    struct Case {
        const char* name;
        std::function<void()> plant;
    } cases[] = {
        {"mode 0777",
         [&] {
             fs::create_directory(temp);
             WriteFile(temp / "planted", "x");
             ASSERT_EQ(::chmod(temp.c_str(), 0777), 0);
         }},
        {"mode 0750",
         [&] {
             fs::create_directory(temp);
             ASSERT_EQ(::chmod(temp.c_str(), 0750), 0);
         }},
        {"symlink to a private folder",
         [&] {
             fs::create_directories(elsewhere);
             ASSERT_EQ(::chmod(elsewhere.c_str(), 0700), 0);
             WriteFile(elsewhere / "theirs", "keep me");
             fs::create_directory_symlink(elsewhere, temp);
         }},
        {"dangling symlink", [&] { fs::create_symlink(work() / "nowhere", temp); }},
        {"regular file", [&] { WriteFile(temp, "not a folder"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ec;
        fs::remove_all(temp, ec);
        c.plant();
        auto path = GetKnownFolder(KnownFolder::kTemp);
        ASSERT_TRUE(path);
        EXPECT_EQ(*path, temp.string());
        EXPECT_TRUE(IsPrivateDir(temp));
        EXPECT_TRUE(fs::is_empty(temp));
    }
    // The link was removed, never followed.
    EXPECT_EQ(ReadFile(elsewhere / "theirs"), "keep me");
    EXPECT_FALSE(fs::exists(work() / "nowhere"));
}

TEST_F(KnownFoldersTest, PrivateTempFolderKeepsItsContent) {
    auto first = GetKnownFolder(KnownFolder::kTemp);
    ASSERT_TRUE(first);
    WriteFile(fs::path(*first) / "mine", "kept");
    EXPECT_EQ(GetKnownFolder(KnownFolder::kTemp), first);
    EXPECT_EQ(ReadFile(fs::path(*first) / "mine"), "kept");
    // Narrower than 0700 but ours: widened for the owner, content kept.
    ASSERT_EQ(::chmod(first->c_str(), 0500), 0);
    EXPECT_EQ(GetKnownFolder(KnownFolder::kTemp), first);
    EXPECT_TRUE(IsPrivateDir(*first));
    EXPECT_EQ(ReadFile(fs::path(*first) / "mine"), "kept");
}

TEST_F(KnownFoldersTest, TempFolderOfAnotherOwnerIsReplaced) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a folder to another user needs root";
    }
    const fs::path temp = Sandbox() / "temp";
    fs::create_directory(temp);
    WriteFile(temp / "theirs", "x");
    ASSERT_EQ(::chmod(temp.c_str(), 0700), 0);
    ASSERT_EQ(::chown(temp.c_str(), 65534, 65534), 0);
    auto path = GetKnownFolder(KnownFolder::kTemp);
    ASSERT_TRUE(path);
    EXPECT_TRUE(IsPrivateDir(temp));
    EXPECT_FALSE(fs::exists(temp / "theirs"));
}

TEST_F(KnownFoldersTest, FoldersThatCannotBeMadeGiveNothing) {
    ScopedEnv env;
    WriteFile(work() / "blocker", "a file where a folder should be");
    env.Set("VELA_SANDBOX", (work() / "blocker").string());
    EXPECT_EQ(GetKnownFolder(KnownFolder::kTemp), std::nullopt);
    EXPECT_EQ(GetKnownFolder(KnownFolder::kUserData), std::nullopt);
    EXPECT_EQ(platform::GetTempDirectory(), "");
    EXPECT_EQ(platform::GetTempDirectoryWide(), u"");
}

}  // namespace
