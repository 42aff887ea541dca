#include "platform/registry/Registry.h"

#include <utility>

#include "platform/registry/HiveDatabase.h"
#include "platform/text/TextConversion.h"

namespace platform {

using registry_internal::HiveDatabase;
using registry_internal::SplitKeyPath;

RegistryKey::RegistryKey() = default;
RegistryKey::~RegistryKey() = default;

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : database_(std::move(other.database_)),
      id_(std::exchange(other.id_, 0)),
      writable_(std::exchange(other.writable_, false)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        database_ = std::move(other.database_);
        id_ = std::exchange(other.id_, 0);
        writable_ = std::exchange(other.writable_, false);
    }
    return *this;
}

void RegistryKey::Close() {
    database_.reset();
    id_ = 0;
    writable_ = false;
}

int32_t RegistryKey::OpenDatabase(Hive hive, bool writable) {
    Close();
    std::unique_ptr<HiveDatabase> database;
    int32_t result = HiveDatabase::Open(hive, writable, database);
    if (result == kRegOk) {
        database_ = std::move(database);
        writable_ = writable;
    }
    return result;
}

int32_t RegistryKey::Open(Hive hive, std::u16string_view path, Access access) {
    int32_t result = OpenDatabase(hive, access == Access::kWrite);
    if (result == kRegOk) {
        result = database_->FindKey(SplitKeyPath(path), id_);
    }
    if (result != kRegOk) {
        Close();
    }
    return result;
}

int32_t RegistryKey::Create(Hive hive, std::u16string_view path) {
    int32_t result = OpenDatabase(hive, true);
    if (result == kRegOk) {
        result = database_->CreateKey(SplitKeyPath(path), id_);
    }
    if (result != kRegOk) {
        Close();
    }
    return result;
}

int32_t RegistryKey::QueryValue(std::u16string_view name, uint32_t* type,
                                std::vector<uint8_t>* data) const {
    if (!database_) {
        return kRegInvalidHandle;
    }
    uint32_t found_type = 0;
    std::vector<uint8_t> found_data;
    int32_t result = database_->QueryValue(id_, Utf16ToUtf8(name), found_type, found_data);
    if (result == kRegOk) {
        if (type) {
            *type = found_type;
        }
        if (data) {
            *data = std::move(found_data);
        }
    }
    return result;
}

int32_t RegistryKey::SetValue(std::u16string_view name, uint32_t type, const void* data,
                              std::size_t size) {
    if (!database_) {
        return kRegInvalidHandle;
    }
    if (!writable_) {
        return kRegAccessDenied;
    }
    return database_->SetValue(id_, Utf16ToUtf8(name), type, data, size);
}

int32_t RegistryKey::DeleteValue(std::u16string_view name) {
    if (!database_) {
        return kRegInvalidHandle;
    }
    if (!writable_) {
        return kRegAccessDenied;
    }
    return database_->DeleteValue(id_, Utf16ToUtf8(name));
}

int32_t RegistryKey::EnumSubkey(uint32_t index, std::u16string* name) const {
    if (!database_) {
        return kRegInvalidHandle;
    }
    std::string found;
    int32_t result = database_->EnumSubkey(id_, index, found);
    if (result == kRegOk && name) {
        *name = Utf8ToUtf16(found);
    }
    return result;
}

int32_t DeleteKey(Hive hive, std::u16string_view path) {
    std::unique_ptr<HiveDatabase> database;
    int32_t result = HiveDatabase::Open(hive, true, database);
    return result == kRegOk ? database->DeleteKey(SplitKeyPath(path)) : result;
}

}  // namespace platform
