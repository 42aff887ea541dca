// The repair run and the version check: bring the installation directory to
// the file set the update server announces. All strings are code page 936.
//
// CheckVersion runs on the version-check thread, Execute on the download
// thread; the patch manager never runs both at once. Execute sends its
// progress synchronously to the notify window, so pointers it passes are valid
// only during that call.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Procedure/ProcedureBase.h"
#include "Procedure/RepairFileRecord.h"
#include "Procedure/VersionCheckOutcome.h"

// Fetches one URL to one local path; true when the file lies there now.
using DownloadFileFunction =
    std::function<bool(const std::string& strUrl, const std::string& strLocalPath, int nNotifyId)>;

// Result codes of Execute.
enum RepairResult {
    REPAIR_STOPPED = 2,
    REPAIR_VERSION_DOWN = 6,
    REPAIR_VERSION_READ = 7,
    REPAIR_GAMEINFO_DOWN = 8,
    REPAIR_GAMEINFO_PARSE = 9,
    REPAIR_MAKE_DIR = 10,
    REPAIR_MD5 = 11,
    REPAIR_COPY_FILE = 12,
    REPAIR_COPY_GAMEINFO = 13,
    REPAIR_DONE = 15,
};

class ProcedureRepair : public ProcedureBase {
  public:
    explicit ProcedureRepair(DownloadFileFunction downloadFile);

    int Execute() override;
    int CheckVersion() override;
    virtual void SetFlaggedOnly(bool bFlaggedOnly);

    bool UpdateRepairInfo(const std::string& strNewInfoFile);

    const std::string& GetVersion() const { return m_strVersion; }
    VersionCheckOutcome GetLastCheckOutcome() const { return m_lastCheckOutcome; }
    const std::vector<RepairFileRecord>& GetFiles() const { return m_files; }

  protected:
    platform::WindowHandle m_hNotifyWnd = 0;
    platform::Event* m_hStopEvent = nullptr;
    std::string m_strVersion;
    std::string m_strVersionUrl[3];
    std::string m_strVersionDirUrl[3];
    std::string m_strUpdateVerFile;
    std::string m_strUpdateVerInfoFile;
    std::string m_strUpdateFileDir;
    std::string m_strUpdateVerLocalUnCypt;
    std::string m_strInstallDir;
    bool m_bFlaggedOnly = false;
    std::vector<RepairFileRecord> m_files;

    void SetServer(int nIndex, const std::string& strBase);

  private:
    // Sends to the notify window when there is one.
    void Notify(unsigned nMessage, platform::MessageParam wParam = 0,
                platform::MessageLong lParam = 0);
    int Finish(int nResult, unsigned nMessage, platform::MessageParam wParam = 0);
    bool FetchFromServers(const std::string& strSuffix, const std::string& strLocalPath,
                          const std::string (&strBases)[3]);
    // The announced version, or false when the file cannot be opened or is too long.
    bool ReadServerVersion(std::string& strVersion);
    int RepairOne(const RepairFileRecord& record, int nNumber);
    void DeleteObsolete(const std::vector<RepairFileRecord>& obsolete);

    int EndCheck(int nResult, VersionCheckOutcome outcome);

    DownloadFileFunction m_downloadFile;
    VersionCheckOutcome m_lastCheckOutcome = VersionCheckOutcome::kNotRun;
};
