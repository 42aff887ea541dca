// A named mutex that guards a single instance across processes: an exclusive
// lock on a file in the user's runtime folder. "Already exists" means another
// holder has it: another process, or another NamedMutex object of this one.
// The lock lasts until the object is destroyed or the process ends; children
// never inherit it. One object belongs to one thread at a time; different
// objects may be used from any threads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class NamedMutex {
  public:
    enum class Result {
        kCreated,        // this object holds the mutex now
        kAlreadyExists,  // another holder has it
        kFailed,         // no runtime folder, or the lock file could not be opened
    };

    NamedMutex() = default;
    ~NamedMutex();
    NamedMutex(NamedMutex&& other) noexcept;
    NamedMutex& operator=(NamedMutex&& other) noexcept;
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Takes the mutex at once or reports who has it. A held mutex is released first.
    Result Create(std::u16string_view name);
    // Like Create, but waits up to timeout_ms (0xFFFFFFFF: no limit) for the
    // holder to let go, polling through the layer's clock.
    Result CreateWaiting(std::u16string_view name, uint32_t timeout_ms);

    bool held() const { return fd_ >= 0; }
    void Release();

    // File name of the lock for a mutex name ('/' and '\' replaced).
    static std::string LockFileName(std::u16string_view name);

  private:
    Result TryLock(const std::string& path);

    int fd_ = -1;
};

}  // namespace platform
