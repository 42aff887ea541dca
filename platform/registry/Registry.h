// The registry as the system's code uses it: two hives, the current user's
// and the machine's (the 32-bit view), each an SQLite database in the layer's
// user data and machine data folders. Key paths are '\'-separated; key names
// and value names compare without regard to ASCII case and keep the case they
// were first written with. Values are typed and stored as the bytes the caller
// gives (string types hold UTF-16LE text, with whatever length the caller
// chose). Results are the original platform's error numbers.
//
// A RegistryKey belongs to one thread at a time; any number of keys, threads
// and processes may use a hive at once. Each write is one transaction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace registry_internal {
class HiveDatabase;
}

enum class Hive { kCurrentUser, kLocalMachine };

// Value types, numbered as on the original platform.
constexpr uint32_t kRegTypeString = 1;
constexpr uint32_t kRegTypeExpandString = 2;
constexpr uint32_t kRegTypeBinary = 3;
constexpr uint32_t kRegTypeDword = 4;
constexpr uint32_t kRegTypeMultiString = 7;

// Result codes, numbered as on the original platform.
constexpr int32_t kRegOk = 0;
constexpr int32_t kRegNotFound = 2;
constexpr int32_t kRegAccessDenied = 5;
constexpr int32_t kRegInvalidHandle = 6;
constexpr int32_t kRegNoMoreItems = 259;
constexpr int32_t kRegIoFailed = 1016;
constexpr int32_t kRegKeyDeleted = 1018;

class RegistryKey {
  public:
    enum class Access { kRead, kWrite };  // kWrite reads too

    RegistryKey();
    ~RegistryKey();
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens an existing key. Writing needs a hive whose folder we may write.
    int32_t Open(Hive hive, std::u16string_view path, Access access = Access::kRead);
    // Opens a key for writing, creating it and its missing parents first.
    int32_t Create(Hive hive, std::u16string_view path);
    void Close();
    bool is_open() const { return database_ != nullptr; }

    int32_t QueryValue(std::u16string_view name, uint32_t* type, std::vector<uint8_t>* data) const;
    int32_t SetValue(std::u16string_view name, uint32_t type, const void* data, std::size_t size);
    int32_t DeleteValue(std::u16string_view name);
    // Subkeys in order of their names without regard to case; kRegNoMoreItems
    // past the last.
    int32_t EnumSubkey(uint32_t index, std::u16string* name) const;

  private:
    int32_t OpenDatabase(Hive hive, bool writable);

    std::unique_ptr<registry_internal::HiveDatabase> database_;
    int64_t id_ = 0;
    bool writable_ = false;
};

// Deletes a key that has no subkeys, with its values; a key with subkeys is
// refused with kRegAccessDenied, as there.
int32_t DeleteKey(Hive hive, std::u16string_view path);

}  // namespace platform
