#include "platform/registry/HiveDatabase.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

#include "platform/folders/KnownFolders.h"
#include "platform/text/TextConversion.h"

namespace platform::registry_internal {
namespace {

constexpr char kHiveFile[] = "registry.sqlite3";
constexpr int kBusyTimeoutMs = 5000;
constexpr char kOrderCollation[] = "vela_key_order";  // named in EnumSubkey's query

constexpr char kSchema[] =
    "CREATE TABLE IF NOT EXISTS reg_keys("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"  // never reused: an open key cannot alias a newer one
    "  parent INTEGER NOT NULL,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  UNIQUE(parent, name));"
    "CREATE TABLE IF NOT EXISTS reg_values("
    "  key INTEGER NOT NULL,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY(key, name)) WITHOUT ROWID;";

int32_t FromSqlite(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return kRegOk;
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return kRegAccessDenied;
        default:
            return kRegIoFailed;
    }
}

// The original platform orders subkeys by their upper-case forms.
int CompareUpperCase(void*, int size_a, const void* a, int size_b, const void* b) {
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    for (int i = 0; i < std::min(size_a, size_b); ++i) {
        int diff = upper(x[i]) - upper(y[i]);
        if (diff != 0) {
            return diff;
        }
    }
    return size_a - size_b;
}

class Statement {
  public:
    Statement(sqlite3* db, const char* sql) {
        prepare_rc_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int64_t value) {
        Check(sqlite3_bind_int64(stmt_, ++bound_, value));
        return *this;
    }
    Statement& Bind(const std::string& text) {
        Check(sqlite3_bind_text(stmt_, ++bound_, text.data(), static_cast<int>(text.size()),
                                SQLITE_TRANSIENT));
        return *this;
    }
    Statement& BindBlob(const void* data, std::size_t size) {
        // A null pointer would bind NULL, and an empty value is a value.
        static const char kEmpty = 0;
        Check(sqlite3_bind_blob64(stmt_, ++bound_, size ? data : &kEmpty, size, SQLITE_TRANSIENT));
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int Step() { return prepare_rc_ != SQLITE_OK ? prepare_rc_ : sqlite3_step(stmt_); }

    int64_t Int(int column) { return sqlite3_column_int64(stmt_, column); }
    std::string Text(int column) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return std::string(text ? text : "",
                           static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
    }
    std::vector<uint8_t> Blob(int column) {
        const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, column));
        auto size = static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column));
        return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
    }

  private:
    void Check(int rc) {
        if (rc != SQLITE_OK && prepare_rc_ == SQLITE_OK) {
            prepare_rc_ = rc;
        }
    }

    sqlite3_stmt* stmt_ = nullptr;
    int prepare_rc_;
    int bound_ = 0;
};

// Where a reader without write rights finds a hive in WAL mode: it cannot make
// the shared-memory file beside it, so it reads the file as it stands.
std::string ImmutableUri(const std::string& path) {
    std::string uri = "file:";
    const char* hex = "0123456789ABCDEF";
    for (unsigned char c : path) {
        if (c == '%' || c == '?' || c == '#' || c < 0x20) {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 0xF];
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + "?immutable=1";
}

int32_t OpenConnection(const std::string& name, int flags, sqlite3*& db) {
    db = nullptr;
    int rc = sqlite3_open_v2(name.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        db = nullptr;
        return FromSqlite(rc);
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_create_collation(db, kOrderCollation, SQLITE_UTF8, nullptr, CompareUpperCase);
    return kRegOk;
}

}  // namespace

std::vector<std::string> SplitKeyPath(std::u16string_view path) {
    std::vector<std::string> names;
    while (!path.empty()) {
        std::size_t end = path.find(u'\\');
        std::u16string_view name = path.substr(0, end);
        if (!name.empty()) {
            names.push_back(Utf16ToUtf8(name));
        }
        path = end == std::u16string_view::npos ? std::u16string_view() : path.substr(end + 1);
    }
    return names;
}

int32_t HiveDatabase::Open(Hive hive, bool writable, std::unique_ptr<HiveDatabase>& out) {
    out.reset();
    std::optional<std::string> folder = GetKnownFolder(
        hive == Hive::kCurrentUser ? KnownFolder::kUserData : KnownFolder::kMachineData);
    if (!folder) {
        return writable ? kRegAccessDenied : kRegNotFound;
    }
    const std::string path = *folder + "/" + kHiveFile;
    const bool exists = access(path.c_str(), F_OK) == 0;
    const bool can_write =
        access(folder->c_str(), W_OK | X_OK) == 0 && (!exists || access(path.c_str(), W_OK) == 0);
    if (writable && !can_write) {
        return kRegAccessDenied;
    }
    if (!writable && !exists) {
        return kRegNotFound;
    }
    int flags = can_write ? SQLITE_OPEN_READWRITE | (writable ? SQLITE_OPEN_CREATE : 0)
                          : SQLITE_OPEN_READONLY;
    sqlite3* db = nullptr;
    int32_t result = OpenConnection(path, flags, db);
    if (result != kRegOk) {
        return result;
    }
    std::unique_ptr<HiveDatabase> database(new HiveDatabase(db));
    result = database->Prepare(writable);
    if (result == kRegAccessDenied && !can_write) {
        database.reset();
        result = OpenConnection(ImmutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, db);
        if (result != kRegOk) {
            return result;
        }
        database.reset(new HiveDatabase(db));
        result = database->Prepare(false);
    }
    if (result == kRegOk) {
        out = std::move(database);
    }
    return result;
}

HiveDatabase::~HiveDatabase() {
    sqlite3_close(db_);
}

int32_t HiveDatabase::Prepare(bool writable) {
    if (writable) {
        // WAL lets readers go on while another process writes. Failing to
        // switch only costs concurrency, so the result is not checked.
        sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        // With WAL a crash can lose the last writes but never corrupt the
        // hive; the original platform flushes its hives lazily as well.
        sqlite3_exec(db_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
        return InTransaction(
            [this] { return FromSqlite(sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr)); });
    }
    Statement check(db_,
                    "SELECT count(*) FROM sqlite_master WHERE type='table' AND name='reg_keys'");
    int rc = check.Step();
    if (rc != SQLITE_ROW) {
        return FromSqlite(rc);
    }
    return check.Int(0) > 0 ? kRegOk : kRegNotFound;
}

template <typename Body>
int32_t HiveDatabase::InTransaction(Body body) {
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        return FromSqlite(rc);
    }
    int32_t result = body();
    if (result == kRegOk) {
        rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        result = FromSqlite(rc);
    }
    if (result != kRegOk) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return result;
}

int32_t HiveDatabase::FindChild(int64_t parent, const std::string& name, int64_t& id) {
    Statement find(db_, "SELECT id FROM reg_keys WHERE parent = ? AND name = ?");
    int rc = find.Bind(parent).Bind(name).Step();
    if (rc == SQLITE_ROW) {
        id = find.Int(0);
        return kRegOk;
    }
    return rc == SQLITE_DONE ? kRegNotFound : FromSqlite(rc);
}

int32_t HiveDatabase::KeyExists(int64_t id) {
    if (id == 0) {
        return kRegOk;
    }
    Statement find(db_, "SELECT 1 FROM reg_keys WHERE id = ?");
    int rc = find.Bind(id).Step();
    if (rc == SQLITE_ROW) {
        return kRegOk;
    }
    return rc == SQLITE_DONE ? kRegKeyDeleted : FromSqlite(rc);
}

int32_t HiveDatabase::FindKey(const std::vector<std::string>& names, int64_t& id) {
    int64_t current = 0;
    for (const std::string& name : names) {
        int32_t result = FindChild(current, name, current);
        if (result != kRegOk) {
            return result;
        }
    }
    id = current;
    return kRegOk;
}

int32_t HiveDatabase::CreateKey(const std::vector<std::string>& names, int64_t& id) {
    int64_t current = 0;
    int32_t result = InTransaction([&] {
        for (const std::string& name : names) {
            int32_t found = FindChild(current, name, current);
            if (found == kRegOk) {
                continue;
            }
            if (found != kRegNotFound) {
                return found;
            }
            Statement insert(db_, "INSERT INTO reg_keys(parent, name) VALUES(?, ?)");
            int rc = insert.Bind(current).Bind(name).Step();
            if (rc != SQLITE_DONE) {
                return FromSqlite(rc);
            }
            current = sqlite3_last_insert_rowid(db_);
        }
        return kRegOk;
    });
    if (result == kRegOk) {
        id = current;
    }
    return result;
}

int32_t HiveDatabase::DeleteKey(const std::vector<std::string>& names) {
    if (names.empty()) {
        return kRegAccessDenied;  // the hive's root stays
    }
    return InTransaction([&] {
        int64_t id = 0;
        int32_t result = FindKey(names, id);
        if (result != kRegOk) {
            return result;
        }
        Statement child(db_, "SELECT 1 FROM reg_keys WHERE parent = ? LIMIT 1");
        int rc = child.Bind(id).Step();
        if (rc == SQLITE_ROW) {
            return kRegAccessDenied;
        }
        if (rc != SQLITE_DONE) {
            return FromSqlite(rc);
        }
        Statement values(db_, "DELETE FROM reg_values WHERE key = ?");
        rc = values.Bind(id).Step();
        if (rc != SQLITE_DONE) {
            return FromSqlite(rc);
        }
        Statement key(db_, "DELETE FROM reg_keys WHERE id = ?");
        rc = key.Bind(id).Step();
        return rc == SQLITE_DONE ? kRegOk : FromSqlite(rc);
    });
}

int32_t HiveDatabase::QueryValue(int64_t key, const std::string& name, uint32_t& type,
                                 std::vector<uint8_t>& data) {
    Statement query(db_, "SELECT type, data FROM reg_values WHERE key = ? AND name = ?");
    int rc = query.Bind(key).Bind(name).Step();
    if (rc == SQLITE_ROW) {
        type = static_cast<uint32_t>(query.Int(0));
        data = query.Blob(1);
        return kRegOk;
    }
    return rc == SQLITE_DONE ? kRegNotFound : FromSqlite(rc);
}

int32_t HiveDatabase::SetValue(int64_t key, const std::string& name, uint32_t type,
                               const void* data, std::size_t size) {
    return InTransaction([&] {
        int32_t result = KeyExists(key);
        if (result != kRegOk) {
            return result;
        }
        // The name keeps the case it was first written with.
        Statement upsert(db_,
                         "INSERT INTO reg_values(key, name, type, data) VALUES(?, ?, ?, ?) "
                         "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, "
                         "data = excluded.data");
        int rc = upsert.Bind(key)
                     .Bind(name)
                     .Bind(static_cast<int64_t>(type))
                     .BindBlob(data, size)
                     .Step();
        return rc == SQLITE_DONE ? kRegOk : FromSqlite(rc);
    });
}

int32_t HiveDatabase::DeleteValue(int64_t key, const std::string& name) {
    return InTransaction([&] {
        Statement erase(db_, "DELETE FROM reg_values WHERE key = ? AND name = ?");
        int rc = erase.Bind(key).Bind(name).Step();
        if (rc != SQLITE_DONE) {
            return FromSqlite(rc);
        }
        return sqlite3_changes(db_) > 0 ? kRegOk : kRegNotFound;
    });
}

int32_t HiveDatabase::EnumSubkey(int64_t key, uint32_t index, std::string& name) {
    Statement list(db_,
                   "SELECT name FROM reg_keys WHERE parent = ? "
                   "ORDER BY name COLLATE vela_key_order LIMIT 1 OFFSET ?");
    int rc = list.Bind(key).Bind(static_cast<int64_t>(index)).Step();
    if (rc == SQLITE_ROW) {
        name = list.Text(0);
        return kRegOk;
    }
    return rc == SQLITE_DONE ? kRegNoMoreItems : FromSqlite(rc);
}

}  // namespace platform::registry_internal
