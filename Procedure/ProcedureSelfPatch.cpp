#include "Procedure/ProcedureSelfPatch.h"

#include "Procedure/GameInfoFile.h"
#include "VelaConfig.h"
#include "platform/profile/ProfileReader.h"

namespace {

// The reader's buffer held 260 characters with the terminator.
constexpr std::size_t kProfileBufferSize = 260;
constexpr const char* kChannel = "XQRT";

}  // namespace

std::string BuiltInPrimaryBase() {
    return std::string("http://") + VELA_UPDATE_HOST + "/SKYWHEEL/PC/XQRT";
}

std::string BuiltInBackupBase() {
    return std::string("http://") + VELA_UPDATE_BACKUP_HOST + "/SKYWHEEL/PC" + "/" + kChannel;
}

void ProcedureSelfPatch::Init(platform::WindowHandle hNotifyWnd, const std::string& strConfigPath,
                              platform::Event* hStopEvent) {
    m_hNotifyWnd = hNotifyWnd;
    m_hStopEvent = hStopEvent;

    std::string strPrimary =
        platform::GetProfileString("launcher", "launcherUrl", "", strConfigPath);
    if (strPrimary.size() >= kProfileBufferSize) {
        strPrimary.resize(kProfileBufferSize - 1);
    }
    SetPrimaryServer(strPrimary.empty() ? BuiltInPrimaryBase() : strPrimary);
    SetBackupServer(BuiltInBackupBase());
    SetSecondBackupServer(BuiltInBackupBase());

    m_strUpdateVerFile = std::string("temp_launcher\\") + "version";
    m_strUpdateVerInfoFile = std::string("temp_launcher\\") + "GameInfo.ini";
    m_strUpdateFileDir = "temp_launcher\\launcher";
    m_strUpdateVerLocalUnCypt = GameInfoPlainCopyPath();
    m_strInstallDir = ".\\";
}

void ProcedureSelfPatch::SetPrimaryServer(std::string strBase) {
    SetServer(0, strBase);
}
void ProcedureSelfPatch::SetBackupServer(std::string strBase) {
    SetServer(1, strBase);
}
void ProcedureSelfPatch::SetSecondBackupServer(std::string strBase) {
    SetServer(2, strBase);
}
