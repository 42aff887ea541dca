// Helpers shared by the file system's source files; not part of the layer's
// interface. Every helper is reentrant.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "platform/files/PathArg.h"

namespace platform::files_internal {

// Records code as the thread's last error and returns false.
bool Fail(int code);
// Records errno as the thread's last error and returns false.
bool FailErrno();
void SetLastError(int code);

// The native path of arg, or nullptr after recording EINVAL.
const std::string* NativeOrFail(const PathArg& arg);

// The original platform's read-only attribute: the owner's write bit is clear.
inline bool IsReadOnlyMode(mode_t mode) {
    return (mode & S_IWUSR) == 0;
}

// Directory part of a native path ("." when there is none, "/" for the root).
std::string DirectoryOf(const std::string& path);

// Creates a new, empty file with a unique name in directory dir (O_EXCL, mode
// 0666 less the umask), opened for writing with O_CLOEXEC. Returns the fd and
// sets temp_path, or -1 with errno set.
int CreateTempBeside(const std::string& dir, std::string& temp_path);

// Writes all bytes, retrying EINTR and short writes.
bool WriteAll(int fd, const void* data, std::size_t size);

// close() that keeps errno of an earlier failure intact when asked.
void CloseQuietly(int fd);

// fsync of a directory so a rename in it is durable; failures are ignored.
void SyncDirectory(const std::string& dir);

}  // namespace platform::files_internal
