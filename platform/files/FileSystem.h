// Files and directories. Relative paths resolve against the current directory.
// Every function may be called from any thread; failures are return values,
// and the thread's last error code (errno-like) tells why.
//
// Attributes follow the original platform's model: read-only maps to the
// owner's write bit; hidden and system have no meaning here, and setting or
// clearing them succeeds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/PathArg.h"

namespace platform {

constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// kInvalidAttributes when the path does not exist or cannot be reached.
uint32_t GetAttributes(const PathArg& path);
// Only kAttrReadOnly changes anything; kAttrNormal clears it.
bool SetAttributes(const PathArg& path, uint32_t attributes);

bool Exists(const PathArg& path);
bool IsDirectory(const PathArg& path);

// Size of a regular file.
std::optional<uint64_t> GetFileSize(const PathArg& path);

// Deletes a file (not a directory). A read-only file is deleted as there: no.
bool DeleteFile(const PathArg& path);
// Creates one directory; fails when it exists already or its parent is missing.
bool CreateDirectory(const PathArg& path);
// Removes an empty directory.
bool RemoveDirectory(const PathArg& path);
// Renames, replacing an existing target file (a read-only one is refused, as
// there). Flushed, the file's data reach the disk before the new name does, so
// a crash leaves the old file or the whole new one.
// Starts writing a file's data to the disk without waiting, so that a later
// flush (a flushed move) finds little left to do. Only a hint: no result.
void BeginFlush(const PathArg& path);

// A copy or move that only lives for a moment (a scratch copy to read, a
// download's staging file) may skip the flush: it stays atomic, it just need
// not survive a crash.
enum class CopyDurability { kFlushed, kScratch };
bool MoveFile(const PathArg& from, const PathArg& to);
bool MoveFile(const PathArg& from, const PathArg& to, CopyDurability durability);

// Copies a file's bytes and mode bits. The copy is written beside the target,
// flushed to disk and renamed over it, so the target is always either the old
// file or the complete new one. With fail_if_exists an existing target is kept
// and the call fails.
bool CopyFile(const PathArg& from, const PathArg& to, bool fail_if_exists,
              CopyDurability durability = CopyDurability::kFlushed);

// Writes data to a new file beside path, flushes it and renames it over path.
bool WriteFileAtomically(const PathArg& path, std::string_view data);

// Reads a whole regular file; fails when it is larger than max_bytes.
bool ReadWholeFile(const PathArg& path, std::string& out, uint64_t max_bytes = UINT64_MAX);

struct VolumeSize {
    uint64_t total_bytes = 0;
    uint64_t free_bytes = 0;  // available to this user
};
// The file system that holds path (or its nearest existing ancestor).
std::optional<VolumeSize> GetVolumeSize(const PathArg& path);

enum class EntryType { kFile, kDirectory, kLink, kOther };
struct DirectoryEntry {
    std::string native_name;             // UTF-8 name, no directory part
    EntryType type = EntryType::kOther;  // links are reported, not followed
    uint64_t size = 0;                   // for files
};
// Entries of a directory without "." and "..", sorted by native name bytes.
std::optional<std::vector<DirectoryEntry>> ListDirectory(const PathArg& path);

bool SetCurrentDirectory(const PathArg& path);
std::string GetCurrentDirectoryNative();

// errno-style code of the last failed operation on this thread.
int LastErrorCode();

// Sequential reader for streaming a file (digests); move-only.
class FileReader {
  public:
    FileReader() = default;
    ~FileReader();
    FileReader(FileReader&& other) noexcept;
    FileReader& operator=(FileReader&& other) noexcept;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool Open(const PathArg& path);
    // Bytes read, 0 at the end, -1 on a read error.
    long long Read(void* buffer, std::size_t size);
    void Close();
    bool is_open() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

// Writer for files built piece by piece (logs, downloads); move-only.
class FileWriter {
  public:
    enum class Mode {
        kTruncate,      // create or truncate
        kAppend,        // create or append; each Write lands at the end in one piece
        kExistingOnly,  // truncate an existing file, fail when it is missing
    };
    FileWriter() = default;
    ~FileWriter();
    FileWriter(FileWriter&& other) noexcept;
    FileWriter& operator=(FileWriter&& other) noexcept;
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    bool Open(const PathArg& path, Mode mode);
    // Writes everything or fails.
    bool Write(const void* data, std::size_t size);
    // Starts the disk writing each further every_bytes as they are written,
    // without waiting, so a later flush of a large file finds little to do.
    void SetWriteBehind(std::size_t every_bytes) { write_behind_ = every_bytes; }
    // Flushes to the disk.
    bool Sync();
    bool Close();
    bool is_open() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
    std::size_t write_behind_ = 0;
    std::size_t unflushed_ = 0;
};

}  // namespace platform
