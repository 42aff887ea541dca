#include "tools/gameinfo/PublishedFileCheck.h"

#include "Procedure/RecordPath.h"
#include "download/QuillChecksums.h"
#include "platform/files/FileSystem.h"

namespace {

// The record's path as text for a report: UTF-8 where it converts.
std::string Shown(const std::string& path) {
    auto native = platform::PathArg(path).native();
    return native ? *native : path;
}

std::string CheckRecord(const RepairFileRecord& record) {
    const std::string shown = Shown(record.path);
    if (!IsInstallRelativePath(record.path)) {
        return "unsafe path: " + shown + " (absolute, with a drive or with ..)";
    }
    if (!platform::PathArg(record.path).native()) {
        return "bad path: " + shown + " (not code page 936)";
    }
    auto size = platform::GetFileSize(record.path);
    if (!size) {
        return "missing: " + shown;
    }
    if (*size != static_cast<uint64_t>(static_cast<int64_t>(record.size))) {
        return "size differs: " + shown + " (listed " + std::to_string(record.size) + ", found " +
               std::to_string(*size) + ")";
    }
    std::string crc;
    std::string md5;
    if (!QuillChecksum_CRC::GetInstance()->CalcFileHex(record.path, crc) ||
        !QuillChecksum_MD5::GetInstance()->CalcFileHex(record.path, md5)) {
        return "unreadable: " + shown;
    }
    if (crc != record.crc) {
        return "CRC-32 differs: " + shown + " (listed " + record.crc + ", found " + crc + ")";
    }
    if (md5 != record.md5) {
        return "MD5 differs: " + shown + " (listed " + record.md5 + ", found " + md5 + ")";
    }
    return {};
}

}  // namespace

std::vector<std::string> FindPublishedFileDifferences(const GameInfoDocument& document) {
    std::vector<std::string> differences;
    if (document.fileCount != static_cast<int>(document.records.size())) {
        differences.push_back("file list: FileCount is " + std::to_string(document.fileCount) +
                              " but " + std::to_string(document.records.size()) +
                              " entries can be read");
    }
    for (const RepairFileRecord& record : document.records) {
        if (std::string difference = CheckRecord(record); !difference.empty()) {
            differences.push_back(std::move(difference));
        }
    }
    return differences;
}
