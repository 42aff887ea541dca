// File and directory utilities of the update code. Paths are narrow code page
// 936 text with '\' or '/' as separators; splitting them steps over
// double-byte characters, whose second byte may be 0x5C.
//
// Every function may be called from any thread. Failures are return values;
// nothing is written to the run log here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/files/FileSystem.h"

// The low 32 bits of a regular file's size, or -1 when it cannot be opened.
int32_t GetFileSizeOf(const std::string& path);

bool PathExists(const std::string& path);

// Makes sure the directory of path exists (path itself, or with
// path_names_file the part before its last separator), creating parents.
bool EnsureDirectory(const std::string& path, bool path_names_file);

// True when path exists or could be created as a directory, parents first.
bool CreateDirectoryTree(const std::string& path);

// Copies source over target, clearing a read-only target first. The target is
// always either the old file or the complete copy.
// A scratch copy (read once, then deleted) skips the flush to the disk.
bool CopyFileOver(const std::string& source, const std::string& target,
                  platform::CopyDurability durability = platform::CopyDurability::kFlushed);

// Moves source over target with CopyFileOver's results and read-only
// handling, by renaming where it can: a staging file put in place needs no
// second copy of its bytes. Flushed (the default) for files put in place.
bool MoveFileOver(const std::string& source, const std::string& target,
                  platform::CopyDurability durability = platform::CopyDurability::kFlushed);

// Replaces the contents of an existing file (a read-only one included); a
// missing file is not created.
bool OverwriteFile(const std::string& path, const void* data, std::size_t length);
