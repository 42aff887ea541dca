#include "platform/folders/KnownFolders.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/files/PathArg.h"

namespace platform {
namespace {

// An environment variable that is set, not empty and an absolute path (the
// XDG rules ignore relative values).
std::optional<std::string> AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/') {
        return std::nullopt;
    }
    return std::string(value);
}

std::optional<std::string> Home() {
    if (auto home = AbsoluteEnv("HOME")) {
        return home;
    }
    struct passwd pw;
    struct passwd* result = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &pw, buffer, sizeof buffer, &result) == 0 && result &&
        result->pw_dir && result->pw_dir[0] == '/') {
        return std::string(result->pw_dir);
    }
    return std::nullopt;
}

std::optional<std::string> BelowHome(const char* relative) {
    auto home = Home();
    if (!home) {
        return std::nullopt;
    }
    return *home + "/" + relative;
}

std::optional<std::string> DataHome() {
    if (auto dir = AbsoluteEnv("XDG_DATA_HOME")) {
        return dir;
    }
    return BelowHome(".local/share");
}

std::optional<std::string> CacheHome() {
    if (auto dir = AbsoluteEnv("XDG_CACHE_HOME")) {
        return dir;
    }
    return BelowHome(".cache");
}

std::optional<std::string> Join(const std::optional<std::string>& base, const char* relative) {
    if (!base) {
        return std::nullopt;
    }
    return *base + "/" + relative;
}

// Drops trailing slashes (but keeps "/").
std::string Trimmed(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::optional<std::string> FolderPath(KnownFolder folder) {
    const char* sandbox = std::getenv("VELA_SANDBOX");
    if (sandbox && sandbox[0] != '\0') {
        std::string base = Trimmed(sandbox);
        if (base.front() != '/') {
            // Relative to the current directory of this call, made absolute so
            // that callers who change directory later keep the same folders.
            char cwd[4096];
            if (!::getcwd(cwd, sizeof cwd)) {
                return std::nullopt;
            }
            base = Trimmed(std::string(cwd) + "/" + base);
        }
        switch (folder) {
            case KnownFolder::kUserData:
                return base + "/data";
            case KnownFolder::kRuntime:
                return base + "/runtime";
            case KnownFolder::kDesktop:
                return base + "/desktop";
            case KnownFolder::kStartMenu:
                return base + "/startmenu";
            case KnownFolder::kMachineData:
                return base + "/machine";
            case KnownFolder::kTemp:
                return base + "/temp";
        }
        return std::nullopt;
    }
    switch (folder) {
        case KnownFolder::kUserData:
            return Join(DataHome(), "vela");
        case KnownFolder::kRuntime:
            if (auto runtime = AbsoluteEnv("XDG_RUNTIME_DIR")) {
                return *runtime + "/vela";
            }
            return Join(CacheHome(), "vela/runtime");
        case KnownFolder::kDesktop:
            if (auto desktop = AbsoluteEnv("XDG_DESKTOP_DIR")) {
                return desktop;
            }
            return BelowHome("Desktop");
        case KnownFolder::kStartMenu:
            return Join(DataHome(), "applications");
        case KnownFolder::kMachineData:
            return std::string("/var/lib/vela");
        case KnownFolder::kTemp:
            return Join(CacheHome(), "vela/temp");
    }
    return std::nullopt;
}

bool EnsureDirectoryTree(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The private temporary folder is a real directory of ours with mode 0700
// exactly (no link, no other owner, nothing for group or others).
bool IsPrivateFolder(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 07777) == 0700;
}

std::optional<std::string> EnsurePrivateFolder(const std::string& path) {
    if (IsPrivateFolder(path)) {
        return path;
    }
    std::error_code ec;
    std::filesystem::path fs_path(path);
    if (fs_path.has_parent_path()) {
        std::filesystem::create_directories(fs_path.parent_path(), ec);
    }
    struct stat st;
    bool found = ::lstat(path.c_str(), &st) == 0;
    if (found && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0) {
        // Our own folder, only narrower than 0700: widen it for the owner.
        if (::chmod(path.c_str(), 0700) == 0 && IsPrivateFolder(path)) {
            return path;
        }
    }
    if (found) {
        // Refused: a link, another owner's folder, a folder others can reach,
        // or no folder at all. Remove it (a link itself, never its target).
        if (S_ISDIR(st.st_mode)) {
            std::filesystem::remove_all(fs_path, ec);
        } else {
            ::unlink(path.c_str());
        }
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    // The umask may have narrowed the mode only; make it exact.
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        return std::nullopt;
    }
    if ((st.st_mode & 07777) != 0700 && ::chmod(path.c_str(), 0700) != 0) {
        return std::nullopt;
    }
    if (!IsPrivateFolder(path)) {
        return std::nullopt;
    }
    return path;
}

}  // namespace

std::optional<std::string> GetKnownFolder(KnownFolder folder) {
    std::optional<std::string> path = FolderPath(folder);
    if (!path) {
        return std::nullopt;
    }
    *path = Trimmed(std::move(*path));
    if (folder == KnownFolder::kTemp) {
        return EnsurePrivateFolder(*path);
    }
    if (!EnsureDirectoryTree(*path)) {
        return std::nullopt;
    }
    return path;
}

std::string GetTempDirectory() {
    auto path = GetKnownFolder(KnownFolder::kTemp);
    if (!path) {
        return std::string();
    }
    auto cp936 = Cp936PathFromNative(*path + "/");
    return cp936 ? *cp936 : std::string();
}

std::u16string GetTempDirectoryWide() {
    auto path = GetKnownFolder(KnownFolder::kTemp);
    if (!path) {
        return std::u16string();
    }
    return WidePathFromNative(*path + "/");
}

}  // namespace platform
