// Copies and atomic writes: a new file beside the target, written whole,
// flushed and renamed over the target, so readers see the old file or the
// complete new one and never a part.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/files/FileInternal.h"
#include "platform/files/FileSystem.h"

namespace platform {

using namespace files_internal;

namespace {

// Copies from src to dst, both at offset 0; copy_file_range first, then
// read/write where the kernel or the file system cannot.
bool CopyBytes(int src, int dst) {
    bool use_range = true;
    char buffer[1 << 16];
    for (;;) {
        if (use_range) {
            ssize_t n = ::copy_file_range(src, nullptr, dst, nullptr, 1 << 30, 0);
            if (n > 0) {
                continue;
            }
            if (n == 0) {
                return true;
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                errno == EPERM) {
                use_range = false;  // nothing was copied by the failed call
                continue;
            }
            return FailErrno();
        }
        ssize_t n = ::read(src, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return FailErrno();
        }
        if (n == 0) {
            return true;
        }
        if (!WriteAll(dst, buffer, static_cast<std::size_t>(n))) {
            return false;
        }
    }
}

// Renames temp to target; with no_replace an existing target stays and the
// call fails with EEXIST.
bool RenameInto(const std::string& temp, const std::string& target, bool no_replace) {
    if (!no_replace) {
        return ::rename(temp.c_str(), target.c_str()) == 0 || FailErrno();
    }
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return FailErrno();
    }
    // The file system has no no-replace rename: link() refuses an existing name too.
    if (::link(temp.c_str(), target.c_str()) != 0) {
        return FailErrno();
    }
    ::unlink(temp.c_str());
    return true;
}

// Checks an existing target the way the original platform would: a
// directory or a read-only file is not replaced, and neither is the source
// itself (under another name, through a hard or a symbolic link). A link in
// the target's place is judged by what it points to; the rename then
// replaces the link itself.
bool CheckTarget(const std::string& target, bool fail_if_exists, const struct stat& source) {
    struct stat st;
    if (::lstat(target.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            return true;
        }
        return FailErrno();
    }
    if (fail_if_exists) {
        return Fail(EEXIST);
    }
    auto same = [&](const struct stat& other) {
        return other.st_dev == source.st_dev && other.st_ino == source.st_ino;
    };
    if (same(st)) {
        return Fail(EBUSY);  // as there: a sharing violation; the file stays intact
    }
    struct stat followed;
    if (S_ISLNK(st.st_mode) && ::stat(target.c_str(), &followed) == 0) {
        if (same(followed)) {
            return Fail(EBUSY);
        }
        st = followed;
    }
    if (S_ISDIR(st.st_mode)) {
        return Fail(EISDIR);
    }
    if (S_ISREG(st.st_mode) && IsReadOnlyMode(st.st_mode)) {
        return Fail(EACCES);
    }
    return true;
}

// Finishes a temporary file: fsync, close, rename over target. Removes the
// temporary on any failure.
bool CommitTemp(int fd, const std::string& temp, const std::string& target, bool no_replace,
                CopyDurability durability = CopyDurability::kFlushed) {
    const bool flush = durability == CopyDurability::kFlushed;
    bool ok = !flush || ::fsync(fd) == 0 || FailErrno();
    if (::close(fd) != 0 && ok) {
        ok = FailErrno();
    }
    if (ok) {
        ok = RenameInto(temp, target, no_replace);
    }
    if (!ok) {
        int saved = LastErrorCode();
        ::unlink(temp.c_str());
        SetLastError(saved);
        return false;
    }
    if (flush) {
        SyncDirectory(DirectoryOf(target));
    }
    return true;
}

void Abandon(int fd, const std::string& temp) {
    int saved = LastErrorCode();
    CloseQuietly(fd);
    ::unlink(temp.c_str());
    SetLastError(saved);
}

}  // namespace

bool CopyFile(const PathArg& from, const PathArg& to, bool fail_if_exists,
              CopyDurability durability) {
    const std::string* source = NativeOrFail(from);
    const std::string* target = NativeOrFail(to);
    if (!source || !target) {
        return false;
    }
    // O_NONBLOCK so that a FIFO in place of the source cannot block the open.
    int src = ::open(source->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (src < 0) {
        return FailErrno();
    }
    struct stat src_st;
    if (::fstat(src, &src_st) != 0) {
        FailErrno();
        CloseQuietly(src);
        return false;
    }
    if (!S_ISREG(src_st.st_mode)) {
        Fail(S_ISDIR(src_st.st_mode) ? EISDIR : EINVAL);
        CloseQuietly(src);
        return false;
    }
    ::fcntl(src, F_SETFL, ::fcntl(src, F_GETFL) & ~O_NONBLOCK);
    ::posix_fadvise(src, 0, 0, POSIX_FADV_SEQUENTIAL);

    if (!CheckTarget(*target, fail_if_exists, src_st)) {
        CloseQuietly(src);
        return false;
    }

    std::string temp;
    int dst = CreateTempBeside(DirectoryOf(*target), temp);
    if (dst < 0) {
        FailErrno();
        CloseQuietly(src);
        return false;
    }
    bool ok = CopyBytes(src, dst);
    if (ok && ::fchmod(dst, src_st.st_mode & 07777) != 0) {
        ok = FailErrno();
    }
    if (ok) {
        // Keep the source's modification time, as the original copy does.
        struct timespec times[2] = {src_st.st_atim, src_st.st_mtim};
        ::futimens(dst, times);
    }
    CloseQuietly(src);
    if (!ok) {
        Abandon(dst, temp);
        return false;
    }
    return CommitTemp(dst, temp, *target, fail_if_exists, durability);
}

bool WriteFileAtomically(const PathArg& path, std::string_view data) {
    const std::string* target = NativeOrFail(path);
    if (!target) {
        return false;
    }
    struct stat st;
    bool have_old = ::stat(target->c_str(), &st) == 0;
    if (have_old && S_ISDIR(st.st_mode)) {
        return Fail(EISDIR);
    }
    std::string temp;
    int fd = CreateTempBeside(DirectoryOf(*target), temp);
    if (fd < 0) {
        return FailErrno();
    }
    bool ok = WriteAll(fd, data.data(), data.size());
    // A replaced file keeps its mode bits; a new one gets 0666 less the umask.
    if (ok && have_old && S_ISREG(st.st_mode) && ::fchmod(fd, st.st_mode & 07777) != 0) {
        ok = FailErrno();
    }
    if (!ok) {
        Abandon(fd, temp);
        return false;
    }
    return CommitTemp(fd, temp, *target, false);
}

}  // namespace platform
