// One open connection to a hive's database; not part of the layer's
// interface. Keys are rows with a parent id (0 is the hive's root) and a name;
// values hang off their key's id. One object belongs to one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/Registry.h"

struct sqlite3;

namespace platform::registry_internal {

// The names of a '\'-separated key path, as UTF-8; empty names are dropped.
std::vector<std::string> SplitKeyPath(std::u16string_view path);

class HiveDatabase {
  public:
    // kRegNotFound when a read finds no hive yet; kRegAccessDenied when a
    // write cannot reach the hive's folder or file.
    static int32_t Open(Hive hive, bool writable, std::unique_ptr<HiveDatabase>& out);
    ~HiveDatabase();
    HiveDatabase(const HiveDatabase&) = delete;
    HiveDatabase& operator=(const HiveDatabase&) = delete;

    int32_t FindKey(const std::vector<std::string>& names, int64_t& id);
    int32_t CreateKey(const std::vector<std::string>& names, int64_t& id);
    int32_t DeleteKey(const std::vector<std::string>& names);

    int32_t QueryValue(int64_t key, const std::string& name, uint32_t& type,
                       std::vector<uint8_t>& data);
    int32_t SetValue(int64_t key, const std::string& name, uint32_t type, const void* data,
                     std::size_t size);
    int32_t DeleteValue(int64_t key, const std::string& name);
    int32_t EnumSubkey(int64_t key, uint32_t index, std::string& name);

  private:
    explicit HiveDatabase(sqlite3* db) : db_(db) {}
    int32_t Prepare(bool writable);
    int32_t FindChild(int64_t parent, const std::string& name, int64_t& id);
    int32_t KeyExists(int64_t id);
    // Runs body in one write transaction, committed only when body gives kRegOk.
    template <typename Body>
    int32_t InTransaction(Body body);

    sqlite3* db_;
};

}  // namespace platform::registry_internal
