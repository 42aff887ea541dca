#include "Procedure/ProcedureRepair.h"

#include "Procedure/GameInfoFile.h"
#include "Procedure/QuillVersionRepairInfo.h"
#include "Procedure/RecordPath.h"
#include "app/FileUtil.h"
#include "app/LauncherMessages.h"
#include "app/LogText.h"
#include "app/RunLog.h"
#include "app/TextUtil.h"
#include "download/QuillChecksums.h"
#include "platform/files/FileSystem.h"
#include "platform/sync/Event.h"
#include "platform/text/TextConversion.h"

namespace {

// A version file of this size or more is no version.
constexpr std::size_t kVersionFileLimit = 64;
constexpr int kDownloadAttempts = 3;

platform::MessageParam TextParam(const std::string& text) {
    return reinterpret_cast<platform::MessageParam>(text.c_str());
}

// The last component of a '\'- or '/'-separated code page 936 path.
std::string FileNameOf(const std::string& path) {
    std::size_t separator = platform::FindLastCp936Separator(path);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

ProcedureRepair::ProcedureRepair(DownloadFileFunction downloadFile)
    : m_downloadFile(std::move(downloadFile)) {}

void ProcedureRepair::SetFlaggedOnly(bool bFlaggedOnly) {
    m_bFlaggedOnly = bFlaggedOnly;
}

void ProcedureRepair::SetServer(int nIndex, const std::string& strBase) {
    m_strVersionUrl[nIndex] = strBase + "\\LauncherVersion\\version";
    m_strVersionDirUrl[nIndex] = strBase + "\\LauncherVersion\\Launcher_";
}

void ProcedureRepair::Notify(unsigned nMessage, platform::MessageParam wParam,
                             platform::MessageLong lParam) {
    if (m_hNotifyWnd != 0) {
        platform::SendMessageTo(m_hNotifyWnd, nMessage, wParam, lParam);
    }
}

int ProcedureRepair::Finish(int nResult, unsigned nMessage, platform::MessageParam wParam) {
    Notify(nMessage, wParam);
    return nResult;
}

bool ProcedureRepair::FetchFromServers(const std::string& strSuffix,
                                       const std::string& strLocalPath,
                                       const std::string (&strBases)[3]) {
    for (const std::string& strBase : strBases) {
        if (m_downloadFile && m_downloadFile(strBase + strSuffix, strLocalPath, GetType())) {
            return true;
        }
    }
    return false;
}

bool ProcedureRepair::ReadServerVersion(std::string& strVersion) {
    platform::FileReader reader;
    if (!reader.Open(m_strUpdateVerFile)) {
        return false;
    }
    char szBuffer[kVersionFileLimit] = {};
    std::size_t nRead = 0;
    while (nRead < sizeof szBuffer) {
        long long got = reader.Read(szBuffer + nRead, sizeof szBuffer - nRead);
        if (got <= 0) {
            break;
        }
        nRead += static_cast<std::size_t>(got);
    }
    if (nRead >= kVersionFileLimit) {
        return false;
    }
    strVersion.assign(szBuffer);  // up to the first zero byte
    StripWhitespace(strVersion);
    return true;
}

int ProcedureRepair::EndCheck(int nResult, VersionCheckOutcome outcome) {
    m_lastCheckOutcome = outcome;
    return nResult;
}

int ProcedureRepair::CheckVersion() {
    WriteLog("start check Version!!!");
    EnsureDirectory(m_strUpdateVerFile, true);
    if (!FetchFromServers("", m_strUpdateVerFile, m_strVersionUrl)) {
        return EndCheck(0, VersionCheckOutcome::kServerUnreachable);
    }
    std::string strServerVersion;
    if (!ReadServerVersion(strServerVersion)) {
        return EndCheck(0, VersionCheckOutcome::kVersionUnreadable);
    }
    const std::string strInstalled = m_strInstallDir + "GameInfo.ini";
    if (!PathExists(strInstalled)) {
        WriteLog("FILE=%s,LINE=%d ,ParseVersionNow  FileExist filepath =%s", LOG_SOURCE_FILE,
                 __LINE__, strInstalled.c_str());
        return EndCheck(1, VersionCheckOutcome::kUpdateNeeded);
    }
    std::string strInstalledVersion;
    if (!ReadGameInfoVersion(strInstalled, strInstalledVersion)) {
        WriteLog("FILE=%s,LINE=%d ,ParseVersionNow  InputVerRepairInfoFile filepath =%s",
                 LOG_SOURCE_FILE, __LINE__, strInstalled.c_str());
        return EndCheck(1, VersionCheckOutcome::kUpdateNeeded);
    }
    return strInstalledVersion == strServerVersion
               ? EndCheck(0, VersionCheckOutcome::kUpToDate)
               : EndCheck(1, VersionCheckOutcome::kUpdateNeeded);
}

bool ProcedureRepair::UpdateRepairInfo(const std::string& strNewInfoFile) {
    QuillVersionRepairInfo fresh;
    if (!ReadGameInfoFileList(strNewInfoFile, fresh.m_strVersion, fresh.m_records)) {
        WriteLog("InputVerRepairInfoFile Error m_strUpdateVerLocalUnCypt = %s",
                 m_strUpdateVerLocalUnCypt.c_str());
        return false;
    }
    // Paths come from plain HTTP: one that leaves the installation refuses the list.
    for (const RepairFileRecord& record : fresh.m_records) {
        if (!IsInstallRelativePath(record.path)) {
            WriteLog("FILE=%s,LINE=%d ,refused record outside the installation: %s",
                     LOG_SOURCE_FILE, __LINE__, record.path.c_str());
            return false;
        }
    }
    QuillVersionRepairInfo installed;
    ReadGameInfoFileList(m_strInstallDir + "GameInfo.ini", installed.m_strVersion,
                         installed.m_records);  // unreadable counts as empty
    Notify(NM_LAUNCHER_NEW_VERSION_TEXT, TextParam(fresh.m_strVersion));
    Notify(NM_LAUNCHER_OLD_VERSION_TEXT, TextParam(installed.m_strVersion));

    SortRecordsDescending(fresh.m_records);
    SortRecordsDescending(installed.m_records);
    DeleteObsolete(ObsoleteRecords(installed.m_records, fresh.m_records));

    m_files = std::move(fresh.m_records);
    m_strVersion = std::move(fresh.m_strVersion);
    return true;
}

void ProcedureRepair::DeleteObsolete(const std::vector<RepairFileRecord>& obsolete) {
    const std::size_t nCount = obsolete.size();
    for (std::size_t k = 1; k <= nCount; ++k) {
        Notify(NM_LAUNCHER_CLEAN_PROGRESS, k * 100 / (2 * nCount));
        const std::string& path = obsolete[k - 1].path;
        if (IsInstallRelativePath(path)) {  // an old list is no safer than a new one
            platform::DeleteFile(m_strInstallDir + path);
        }
    }
}

int ProcedureRepair::RepairOne(const RepairFileRecord& record, int nNumber) {
    Notify(NM_LAUNCHER_PROGRESS_STEP, REPAIR_STAGE_TAKEN_UP, nNumber);
    Notify(NM_LAUNCHER_PROGRESS_FILE, TextParam(record.path));
    if (m_bFlaggedOnly && record.flag == 0) {
        Notify(NM_LAUNCHER_PROGRESS_STEP, REPAIR_STAGE_VERIFIED, nNumber);
        return 0;
    }
    if (m_hStopEvent != nullptr && m_hStopEvent->IsSignalled()) {
        return Finish(REPAIR_STOPPED, NM_LAUNCHER_ERR_STOPPED, 1);
    }

    const std::string strLocalFile = m_strInstallDir + record.path;
    const int nSize = GetFileSizeOf(strLocalFile);
    if (nSize == record.size) {
        std::string strCrc;
        if (nSize == 0 || (QuillChecksum_CRC::GetInstance()->CalcFileHex(strLocalFile, strCrc) &&
                           strCrc == record.crc)) {
            Notify(NM_LAUNCHER_PROGRESS_STEP, REPAIR_STAGE_VERIFIED, nNumber);
            return 0;
        }
    }

    const std::string szTempLauncherFile = m_strUpdateFileDir + "\\" + FileNameOf(record.path);
    Notify(NM_LAUNCHER_PROGRESS_STEP, REPAIR_STAGE_DOWNLOAD, nNumber);
    bool bVerified = false;
    for (int nAttempt = 0; nAttempt < kDownloadAttempts && !bVerified; ++nAttempt) {
        if (!FetchFromServers(m_strVersion + "\\" + record.path, szTempLauncherFile,
                              m_strVersionDirUrl)) {
            continue;
        }
        // The disk writes the download while its MD5 is taken, for the move into place.
        platform::BeginFlush(szTempLauncherFile);
        std::string strMd5;
        QuillChecksum_MD5::GetInstance()->CalcFileHex(szTempLauncherFile, strMd5);
        bVerified = strMd5 == record.md5;
        if (!bVerified) {
            WriteLog("FILE =%s, Line =%d,DownFile Md5 Warning  ", LOG_SOURCE_FILE, __LINE__);
        }
    }
    if (!bVerified) {
        return Finish(REPAIR_MD5, NM_LAUNCHER_ERR_MD5);
    }

    EnsureDirectory(strLocalFile, true);
    Notify(NM_LAUNCHER_PROGRESS_STEP, REPAIR_STAGE_VERIFIED, nNumber);
    // The verified download goes into place whole: moved, flushed first.
    if (!MoveFileOver(szTempLauncherFile, strLocalFile)) {
        WriteLog("FILE=%s,LINE=%d ,CopyFile Error szTempLauncherFile =%s , localFile",
                 LOG_SOURCE_FILE, __LINE__, szTempLauncherFile.c_str());
        platform::DeleteFile(szTempLauncherFile);
        return Finish(REPAIR_COPY_FILE, NM_LAUNCHER_ERR_COPY_FILE);
    }
    Notify(NM_LAUNCHER_PROGRESS_STEP, REPAIR_STAGE_IN_PLACE, nNumber);
    platform::DeleteFile(szTempLauncherFile);
    return 0;
}

int ProcedureRepair::Execute() {
    WriteLog("start repair!");
    Notify(NM_LAUNCHER_PROGRESS_RESET);
    EnsureDirectory(m_strUpdateVerFile, true);
    if (!FetchFromServers("", m_strUpdateVerFile, m_strVersionUrl)) {
        return Finish(REPAIR_VERSION_DOWN, NM_LAUNCHER_ERR_VERSION_DOWN);
    }
    std::string strAnnounced;
    if (!ReadServerVersion(strAnnounced)) {
        return Finish(REPAIR_VERSION_READ, NM_LAUNCHER_ERR_VERSION_READ);
    }
    if (!FetchFromServers(strAnnounced + "\\GameInfo.ini", m_strUpdateVerInfoFile,
                          m_strVersionDirUrl)) {
        return Finish(REPAIR_GAMEINFO_DOWN, NM_LAUNCHER_ERR_GAMEINFO_DOWN);
    }
    if (!UpdateRepairInfo(m_strUpdateVerInfoFile)) {
        return Finish(REPAIR_GAMEINFO_PARSE, NM_LAUNCHER_ERR_GAMEINFO_PARSE);
    }
    if (!EnsureDirectory(m_strUpdateFileDir, false)) {
        return Finish(REPAIR_MAKE_DIR, NM_LAUNCHER_ERR_MAKE_DIR);
    }

    const int nTotal = static_cast<int>(m_files.size());
    Notify(NM_LAUNCHER_PROGRESS_TOTAL, static_cast<platform::MessageParam>(nTotal));
    for (int n = 1; n <= nTotal; ++n) {
        if (int nResult = RepairOne(m_files[n - 1], n)) {
            return nResult;
        }
    }
    Notify(NM_LAUNCHER_PROGRESS_STEP, REPAIR_STAGE_IN_PLACE, nTotal);

    const std::string strInstalled = m_strInstallDir + "GameInfo.ini";
    platform::DeleteFile(strInstalled);
    if (!CopyFileOver(m_strUpdateVerInfoFile, strInstalled)) {
        WriteLog("FILE=%s,LINE=%d ,CopyFile Error szTempLauncherFile =%s , localFile",
                 LOG_SOURCE_FILE, __LINE__, m_strUpdateVerInfoFile.c_str());
        return Finish(REPAIR_COPY_GAMEINFO, NM_LAUNCHER_ERR_COPY_GAMEINFO);
    }
    return Finish(REPAIR_DONE, NM_LAUNCHER_SELF_PATCH_DONE);
}
