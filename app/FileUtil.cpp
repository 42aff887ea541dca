#include "app/FileUtil.h"

#include <optional>
#include <string_view>
#include <vector>

#include "platform/files/FileSystem.h"
#include "platform/text/TextConversion.h"

namespace {

// Clears the read-only attribute of an existing path; false when the
// attributes cannot be read or changed.
bool MakeWritable(const std::string& path) {
    const uint32_t attributes = platform::GetAttributes(path);
    if (attributes == platform::kInvalidAttributes) {
        return false;
    }
    if ((attributes & platform::kAttrReadOnly) == 0) {
        return true;
    }
    const uint32_t cleared = attributes & ~platform::kAttrReadOnly;
    return platform::SetAttributes(path, cleared != 0 ? cleared : platform::kAttrNormal);
}

// Another thread may create the same directory at the same moment.
bool CreateOneDirectory(const std::string& path) {
    return platform::CreateDirectory(path) || platform::IsDirectory(path);
}

}  // namespace

int32_t GetFileSizeOf(const std::string& path) {
    if (path.empty()) {
        return -1;
    }
    platform::FileReader reader;
    if (!reader.Open(path)) {
        return -1;
    }
    const std::optional<uint64_t> size = platform::GetFileSize(path);
    if (!size) {
        return -1;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(*size));
}

bool PathExists(const std::string& path) {
    return platform::Exists(path);
}

bool EnsureDirectory(const std::string& path, bool path_names_file) {
    if (path.size() < 2) {
        return false;
    }
    // '/' is never the second byte of a double-byte character.
    std::string directory = path;
    for (char& c : directory) {
        if (c == '/') {
            c = '\\';
        }
    }
    const std::size_t last = platform::FindLastCp936Separator(directory);
    if (last != std::string::npos && last + 1 == directory.size()) {
        directory.pop_back();
    }
    if (path_names_file) {
        const std::size_t separator = platform::FindLastCp936Separator(directory);
        if (separator != std::string::npos) {
            directory.resize(separator);
        }
    }
    return CreateDirectoryTree(directory);
}

bool CreateDirectoryTree(const std::string& path) {
    // Walk up to the first ancestor that exists or can be made, then create
    // the rest downwards; no recursion, so any depth and length work.
    std::vector<std::size_t> missing_ends;
    std::string current = path;
    while (!platform::Exists(current) && !platform::CreateDirectory(current)) {
        const std::size_t separator = platform::FindLastCp936Separator(current);
        if (separator == std::string::npos) {
            return false;
        }
        missing_ends.push_back(current.size());
        current.resize(separator);
    }
    for (auto end = missing_ends.rbegin(); end != missing_ends.rend(); ++end) {
        if (!CreateOneDirectory(path.substr(0, *end))) {
            return false;
        }
    }
    return true;
}

bool CopyFileOver(const std::string& source, const std::string& target,
                  platform::CopyDurability durability) {
    if (!platform::Exists(source)) {
        return false;
    }
    if (platform::Exists(target) && !MakeWritable(target)) {
        return false;
    }
    return platform::CopyFile(source, target, false, durability);
}

bool MoveFileOver(const std::string& source, const std::string& target,
                  platform::CopyDurability durability) {
    if (!platform::Exists(source)) {
        return false;
    }
    if (platform::Exists(target) && !MakeWritable(target)) {
        return false;
    }
    return platform::MoveFile(source, target, durability);
}

bool OverwriteFile(const std::string& path, const void* data, std::size_t length) {
    if (!MakeWritable(path)) {
        return false;
    }
    platform::FileWriter writer;
    if (!writer.Open(path, platform::FileWriter::Mode::kExistingOnly)) {
        return false;
    }
    // A short write is a failure, not a silently truncated file.
    const bool written = length == 0 || writer.Write(data, length);
    return writer.Close() && written;
}
