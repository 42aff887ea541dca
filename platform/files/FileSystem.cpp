// Attributes, existence, deletion, directories, renames, volumes, listings and
// the current directory. Copies live in FileCopy.cpp, readers and writers in
// FileReaderWriter.cpp.
#include "platform/files/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <random>

#include "platform/files/FileInternal.h"

namespace platform {
namespace files_internal {
namespace {

thread_local int t_last_error = 0;

}  // namespace

void SetLastError(int code) {
    t_last_error = code;
}

bool Fail(int code) {
    t_last_error = code;
    return false;
}

bool FailErrno() {
    return Fail(errno);
}

const std::string* NativeOrFail(const PathArg& arg) {
    const auto& native = arg.native();
    if (!native) {
        Fail(EINVAL);
        return nullptr;
    }
    return &*native;
}

std::string DirectoryOf(const std::string& path) {
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/') {
        --end;  // "dir/file/" names file
    }
    std::size_t slash = path.rfind('/', end - 1);
    if (slash == std::string::npos) {
        return ".";
    }
    while (slash > 0 && path[slash - 1] == '/') {
        --slash;
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

int CreateTempBeside(const std::string& dir, std::string& temp_path) {
    static std::atomic<uint64_t> counter{0};
    thread_local std::mt19937_64 rng{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[96];
        snprintf(name, sizeof name, ".vela-tmp-%ld-%llu-%08llx", static_cast<long>(getpid()),
                 static_cast<unsigned long long>(counter.fetch_add(1)),
                 static_cast<unsigned long long>(rng() & 0xFFFFFFFFull));
        std::string candidate = dir;
        if (candidate.empty() || candidate.back() != '/') {
            candidate += '/';
        }
        candidate += name;
        int fd;
        do {
            fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd >= 0) {
            temp_path = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FailErrno();
        }
        if (n == 0) {
            return Fail(EIO);
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void CloseQuietly(int fd) {
    if (fd >= 0) {
        int saved = errno;
        ::close(fd);
        errno = saved;
    }
}

void SyncDirectory(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        CloseQuietly(fd);
    }
}

}  // namespace files_internal

using namespace files_internal;

namespace {

// stat() that falls back to lstat() so a dangling link still exists.
bool StatOrLstat(const std::string& path, struct stat& st) {
    if (::stat(path.c_str(), &st) == 0) {
        return true;
    }
    int saved = errno;
    if (::lstat(path.c_str(), &st) == 0) {
        return true;
    }
    errno = saved;
    return false;
}

}  // namespace

uint32_t GetAttributes(const PathArg& path) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return kInvalidAttributes;
    }
    struct stat st;
    if (!StatOrLstat(*native, st)) {
        FailErrno();
        return kInvalidAttributes;
    }
    uint32_t attributes = 0;
    if (S_ISDIR(st.st_mode)) {
        attributes |= kAttrDirectory;
    }
    if (IsReadOnlyMode(st.st_mode)) {
        attributes |= kAttrReadOnly;
    }
    return attributes == 0 ? kAttrNormal : attributes;
}

bool SetAttributes(const PathArg& path, uint32_t attributes) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return false;
    }
    struct stat st;
    if (::stat(native->c_str(), &st) != 0) {
        return FailErrno();
    }
    mode_t mode = st.st_mode & 07777;
    mode_t wanted =
        (attributes & kAttrReadOnly) ? (mode & ~static_cast<mode_t>(S_IWUSR)) : (mode | S_IWUSR);
    if (wanted != mode && ::chmod(native->c_str(), wanted) != 0) {
        return FailErrno();
    }
    return true;
}

bool Exists(const PathArg& path) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return false;
    }
    struct stat st;
    return StatOrLstat(*native, st) || FailErrno();
}

bool IsDirectory(const PathArg& path) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return false;
    }
    struct stat st;
    if (::stat(native->c_str(), &st) != 0) {
        return FailErrno();
    }
    return S_ISDIR(st.st_mode) || Fail(ENOTDIR);
}

std::optional<uint64_t> GetFileSize(const PathArg& path) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return std::nullopt;
    }
    struct stat st;
    if (::stat(native->c_str(), &st) != 0) {
        FailErrno();
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        Fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        return std::nullopt;
    }
    return static_cast<uint64_t>(st.st_size);
}

bool DeleteFile(const PathArg& path) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return false;
    }
    struct stat st;
    if (::lstat(native->c_str(), &st) != 0) {
        return FailErrno();
    }
    if (S_ISDIR(st.st_mode)) {
        return Fail(EISDIR);
    }
    // As there: a read-only file is not deleted (access denied), even for root.
    if (S_ISREG(st.st_mode) && IsReadOnlyMode(st.st_mode)) {
        return Fail(EACCES);
    }
    return ::unlink(native->c_str()) == 0 || FailErrno();
}

bool CreateDirectory(const PathArg& path) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return false;
    }
    return ::mkdir(native->c_str(), 0777) == 0 || FailErrno();
}

bool RemoveDirectory(const PathArg& path) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return false;
    }
    return ::rmdir(native->c_str()) == 0 || FailErrno();
}

void BeginFlush(const PathArg& path) {
    const std::string* native = path.native() ? &*path.native() : nullptr;
    if (native == nullptr) {
        return;
    }
    int fd = ::open(native->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        ::close(fd);
    }
}

bool MoveFile(const PathArg& from, const PathArg& to) {
    return MoveFile(from, to, CopyDurability::kScratch);
}

bool MoveFile(const PathArg& from, const PathArg& to, CopyDurability durability) {
    const bool flush = durability == CopyDurability::kFlushed;
    const std::string* source = NativeOrFail(from);
    const std::string* target = NativeOrFail(to);
    if (!source || !target) {
        return false;
    }
    struct stat source_st;
    if (::lstat(source->c_str(), &source_st) != 0) {
        return FailErrno();
    }
    struct stat target_st;
    if (::lstat(target->c_str(), &target_st) == 0) {
        bool same = target_st.st_dev == source_st.st_dev && target_st.st_ino == source_st.st_ino;
        // As there: a read-only target is not replaced, nor is a directory.
        if (!same && S_ISREG(target_st.st_mode) && IsReadOnlyMode(target_st.st_mode)) {
            return Fail(EACCES);
        }
        if (!same && S_ISDIR(target_st.st_mode)) {
            return Fail(EEXIST);
        }
    }
    if (flush && S_ISREG(source_st.st_mode)) {
        int fd = ::open(source->c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            int saved = errno;
            if (fd >= 0) {
                ::close(fd);
            }
            return Fail(saved);
        }
        ::close(fd);
    }
    if (::rename(source->c_str(), target->c_str()) == 0) {
        if (flush) {
            SyncDirectory(DirectoryOf(*target));
        }
        return true;
    }
    if (errno != EXDEV || !S_ISREG(source_st.st_mode)) {
        return FailErrno();
    }
    // Across file systems a file moves by copy and delete, as there.
    if (!CopyFile(from, to, false, durability)) {
        return false;
    }
    if (::unlink(source->c_str()) != 0) {
        return FailErrno();
    }
    return true;
}

std::optional<VolumeSize> GetVolumeSize(const PathArg& path) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return std::nullopt;
    }
    std::string probe = *native;
    for (;;) {
        struct statvfs vfs;
        if (::statvfs(probe.c_str(), &vfs) == 0) {
            VolumeSize size;
            size.total_bytes = static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize;
            size.free_bytes = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
            return size;
        }
        if ((errno != ENOENT && errno != ENOTDIR) || probe == "." || probe == "/") {
            FailErrno();
            return std::nullopt;
        }
        probe = DirectoryOf(probe);
    }
}

std::optional<std::vector<DirectoryEntry>> ListDirectory(const PathArg& path) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return std::nullopt;
    }
    int fd = ::open(native->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        FailErrno();
        return std::nullopt;
    }
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        FailErrno();
        CloseQuietly(fd);
        return std::nullopt;
    }
    std::vector<DirectoryEntry> entries;
    for (;;) {
        errno = 0;
        struct dirent* ent = ::readdir(dir);
        if (!ent) {
            if (errno != 0) {
                FailErrno();
                ::closedir(dir);
                return std::nullopt;
            }
            break;
        }
        std::string_view name = ent->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        struct stat st;
        if (::fstatat(::dirfd(dir), ent->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;  // gone since readdir
        }
        DirectoryEntry entry;
        entry.native_name = std::string(name);
        if (S_ISLNK(st.st_mode)) {
            entry.type = EntryType::kLink;
        } else if (S_ISDIR(st.st_mode)) {
            entry.type = EntryType::kDirectory;
        } else if (S_ISREG(st.st_mode)) {
            entry.type = EntryType::kFile;
            entry.size = static_cast<uint64_t>(st.st_size);
        } else {
            entry.type = EntryType::kOther;
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    // std::string compares its bytes as unsigned char, as memcmp does.
    std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
        return a.native_name < b.native_name;
    });
    return entries;
}

bool SetCurrentDirectory(const PathArg& path) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return false;
    }
    return ::chdir(native->c_str()) == 0 || FailErrno();
}

std::string GetCurrentDirectoryNative() {
    std::string buffer(256, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size())) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE) {
            FailErrno();
            return std::string();
        }
        buffer.resize(buffer.size() * 2);
    }
}

int LastErrorCode() {
    return t_last_error;
}

}  // namespace platform
