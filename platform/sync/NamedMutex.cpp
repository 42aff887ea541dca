#include "platform/sync/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

#include "platform/folders/KnownFolders.h"
#include "platform/text/TextConversion.h"
#include "platform/time/Clock.h"

namespace platform {
namespace {

constexpr uint32_t kPollIntervalMs = 10;

std::optional<std::string> LockPath(std::u16string_view name) {
    if (name.empty()) {
        errno = EINVAL;
        return std::nullopt;
    }
    std::optional<std::string> folder = GetKnownFolder(KnownFolder::kRuntime);
    if (!folder) {
        errno = ENOENT;
        return std::nullopt;
    }
    return *folder + "/" + NamedMutex::LockFileName(name);
}

}  // namespace

NamedMutex::~NamedMutex() {
    Release();
}

NamedMutex::NamedMutex(NamedMutex&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

NamedMutex& NamedMutex::operator=(NamedMutex&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

std::string NamedMutex::LockFileName(std::u16string_view name) {
    std::string file = Utf16ToUtf8(name);
    std::replace(file.begin(), file.end(), '/', '_');
    std::replace(file.begin(), file.end(), '\\', '_');
    std::replace(file.begin(), file.end(), '\0', '_');
    // The suffix keeps names such as "." and ".." from naming a folder.
    return file + ".lock";
}

NamedMutex::Result NamedMutex::TryLock(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return Result::kFailed;
    }
    // A flock belongs to the open file description, so a second object of
    // this process conflicts just as another process does.
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        int error = errno;
        close(fd);
        errno = error;
        return error == EWOULDBLOCK ? Result::kAlreadyExists : Result::kFailed;
    }
    fd_ = fd;
    return Result::kCreated;
}

NamedMutex::Result NamedMutex::Create(std::u16string_view name) {
    Release();
    std::optional<std::string> path = LockPath(name);
    return path ? TryLock(*path) : Result::kFailed;
}

NamedMutex::Result NamedMutex::CreateWaiting(std::u16string_view name, uint32_t timeout_ms) {
    Release();
    std::optional<std::string> path = LockPath(name);
    if (!path) {
        return Result::kFailed;
    }
    const uint64_t deadline = DeadlineAfter(timeout_ms);
    for (;;) {
        Result result = TryLock(*path);
        if (result != Result::kAlreadyExists) {
            return result;
        }
        uint64_t now = CurrentClock().MonotonicMs();
        if (now >= deadline) {
            return result;
        }
        Sleep(static_cast<uint32_t>(std::min<uint64_t>(kPollIntervalMs, deadline - now)));
    }
}

void NamedMutex::Release() {
    if (fd_ >= 0) {
        close(fd_);  // closing the only descriptor drops the lock
        fd_ = -1;
    }
}

}  // namespace platform
