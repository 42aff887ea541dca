#include "Procedure/GameInfoFile.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "Procedure/GameInfoCipher.h"
#include "Procedure/IniReader.h"
#include "app/FileUtil.h"
#include "app/RunLog.h"
#include "app/TextUtil.h"
#include "download/QuillChecksums.h"
#include "platform/files/FileSystem.h"
#include "platform/folders/KnownFolders.h"
#include "platform/profile/ProfileReader.h"
#include "platform/text/DecimalText.h"

namespace {

constexpr std::size_t kProfileBufferSize = 260;

// Index of a key written as the decimal text of an index ("0", "17"; no sign,
// no leading zero), or -1.
long long DecimalKeyIndex(std::string_view key) {
    if (key.empty() || key.size() > 10 || (key.size() > 1 && key[0] == '0')) {
        return -1;
    }
    long long index = 0;
    for (char c : key) {
        if (c < '0' || c > '9') {
            return -1;
        }
        index = index * 10 + (c - '0');
    }
    return index;
}

// Deciphers the source into the temporary copy; false (and no copy left) when
// that fails.
bool MakePlainCopy(const std::string& sourcePath, std::string& plainPath) {
    plainPath = GameInfoPlainCopyPath();
    if (plainPath.empty()) {
        return false;
    }
    CopyFileOver(sourcePath, plainPath);  // a failed copy shows in the next step
    unsigned char key[kGameInfoKeySize];
    MakeGameInfoKey(key);
    if (!DecipherGameInfoFile(key, plainPath)) {
        platform::DeleteFile(plainPath);
        return false;
    }
    return true;
}

}  // namespace

std::string GameInfoPlainCopyPath() {
    std::string temp = platform::GetTempDirectory();
    if (temp.empty()) {
        return {};  // never fall back to a path at the root
    }
    return temp + "\\GameInfo.ini.UnCypt";
}

bool DecipherGameInfoFile(const unsigned char* key, const std::string& path) {
    std::string image;
    if (!platform::ReadWholeFile(path, image, kGameInfoSizeLimit)) {
        return false;
    }
    if (DecipherGameInfoImage(key, image) != GameInfoStatus::kOk) {
        return false;
    }
    const char* body = image.data() + kGameInfoHeaderSize;
    if (!OverwriteFile(path, body, image.size() - kGameInfoHeaderSize)) {
        return false;
    }
    std::string crc;
    if (!QuillChecksum_CRC::GetInstance()->CalcFileHex(path, crc)) {
        return false;
    }
    const char* headerCrc = image.data() + kGameInfoCrcOffset;
    if (crc.size() < kGameInfoCrcLength ||
        std::memcmp(crc.data(), headerCrc, kGameInfoCrcLength) != 0) {
        std::string headerText(headerCrc,
                               strnlen(headerCrc, kGameInfoHeaderSize - kGameInfoCrcOffset));
        WriteLog("memcmp Error strCrc = %s cryptHead =%s", crc.c_str(), headerText.c_str());
        return false;
    }
    return true;
}

bool ReadGameInfoVersion(const std::string& sourcePath, std::string& version) {
    std::string plainPath;
    if (!MakePlainCopy(sourcePath, plainPath)) {
        return false;
    }
    version = platform::GetProfileString("Version", "Version", "", plainPath);
    if (version.size() >= kProfileBufferSize) {
        version.resize(kProfileBufferSize - 1);  // the reader's buffer holds 259 characters
    }
    platform::DeleteFile(plainPath);
    return true;
}

void ExtractGameInfoFileList(const IniReader& reader, std::string& version,
                             std::vector<RepairFileRecord>& records) {
    std::string comment;
    reader.GetValue("Version", "Version", version, comment);
    int count = 0;
    reader.GetIntValue("FileList", "FileCount", count);

    // The entries "0" to count-1 in index order, the first entry of a key
    // only: walking the section instead of looking up every index keeps a
    // huge FileCount from costing anything. A stable sort keeps file order
    // among entries of one key.
    std::vector<std::pair<long long, const IniEntry*>> numbered;
    if (const IniSection* fileList = reader.FindSection("FileList"); fileList && count > 0) {
        numbered.reserve(fileList->GetEntries().size());
        for (const IniEntry& entry : fileList->GetEntries()) {
            long long index = DecimalKeyIndex(entry.m_strKey);
            if (index >= 0 && index < count) {
                numbered.emplace_back(index, &entry);
            }
        }
    }
    auto byIndex = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (!std::is_sorted(numbered.begin(), numbered.end(), byIndex)) {  // as published, it is
        std::stable_sort(numbered.begin(), numbered.end(), byIndex);
    }
    numbered.erase(std::unique(numbered.begin(), numbered.end(),
                               [](const auto& a, const auto& b) { return a.first == b.first; }),
                   numbered.end());

    records.reserve(records.size() + numbered.size());
    std::vector<std::string> fields;
    for (const auto& [index, entry] : numbered) {
        if (SplitComma(fields, entry->m_strValue.c_str()) != 5) {
            continue;
        }
        records.push_back(RepairFileRecord{
            std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
            platform::ParseIntLikeAtoi(fields[3]), platform::ParseIntLikeAtoi(fields[4])});
    }
}

bool ReadGameInfoFileList(const std::string& sourcePath, std::string& version,
                          std::vector<RepairFileRecord>& records) {
    std::string plainPath;
    if (!MakePlainCopy(sourcePath, plainPath)) {
        return false;
    }
    IniReader reader("#");
    reader.Load(plainPath);  // what was parsed before a bad line is used
    ExtractGameInfoFileList(reader, version, records);
    platform::DeleteFile(plainPath);
    reader.Clear();
    return true;
}
