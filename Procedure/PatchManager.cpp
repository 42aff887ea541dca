#include "Procedure/PatchManager.h"

#include <curl/curl.h>

#include <cstdio>

#include "Procedure/ProcedureRepair.h"
#include "Procedure/ProcedureSelfPatch.h"
#include "app/FileUtil.h"
#include "app/LauncherMessages.h"
#include "app/RunLog.h"
#include "app/TextUtil.h"
#include "download/AutoDownload_Curl.h"
#include "download/FormatByteSize.h"
#include "platform/files/FileSystem.h"
#include "platform/profile/ProfileReader.h"
#include "platform/time/Clock.h"

namespace {

constexpr char16_t kCmdWindowClass[] = u"DOWNLOAD_CMD_WINDOW_CLASS";
constexpr const char* kConfigFile = ".\\launcher.ini";
constexpr int kSelfPatchType = 1;
constexpr int kAttemptsPerPass = 3;
constexpr int kPasses = 2;
// Downloads refuse volumes under 2 GiB.
constexpr uint64_t kSmallestVolume = uint64_t{1} << 31;
constexpr std::uint32_t kSpeedReportMs = 1000;
constexpr std::uint32_t kUnboundedWait = 0xFFFFFFFF;

}  // namespace

CPatchManager::CPatchManager() {
    m_procedures[kSelfPatchType] =
        new ProcedureSelfPatch([this](const std::string& url, const std::string& path, int id) {
            return DownloadFile(url, path, id);
        });
    if (curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {
        m_pCurl = new CAutoDownload_Curl();
    }
}

CPatchManager::~CPatchManager() {
    if (m_hCmdWnd != 0) {
        platform::DestroyWindowHandle(m_hCmdWnd);
        m_hCmdWnd = 0;
    }
    // A worker still running would use what is freed below: end it first.
    m_bShuttingDown = true;
    m_hStopEvent.Set();
    if (m_pCurl != nullptr) {
        m_pCurl->Stop();
    }
    WaitForVersionCheck(kUnboundedWait);
    WaitForDownload(kUnboundedWait);

    for (auto& [type, procedure] : m_procedures) {
        delete procedure;
    }
    m_procedures.clear();
    for (CAutoDownload** downloader : {&m_pCurl, &m_pBurrow}) {
        if (*downloader == nullptr) {
            continue;
        }
        if ((*downloader)->GetType() == 2) {
            curl_global_cleanup();
        }
        delete *downloader;
        *downloader = nullptr;
    }
    m_hCheckThread.Close();
    m_hPatchThread.Close();
}

void CPatchManager::Setup(platform::WindowHandle hNotifyWnd) {
    m_hNotifyWnd = hNotifyWnd;
    m_hStopEvent.Reset();
    for (auto& [type, procedure] : m_procedures) {
        procedure->Init(m_hNotifyWnd, kConfigFile, &m_hStopEvent);
    }
    CreateCmdWindow();
}

void CPatchManager::CreateCmdWindow() {
    platform::RegisterWindowClass(kCmdWindowClass, CmdWindowProc);  // once per process
    m_hCmdWnd = platform::CreateWindowOfClass(kCmdWindowClass, u"", 0, 0, 0, 0, 0, 0, 0);
    if (m_hCmdWnd == 0) {
        return;
    }
    platform::SendMessageTo(m_hCmdWnd, platform::kMsgPaint, 0, 0);  // its first paint
    platform::SetWindowUserData(m_hCmdWnd, reinterpret_cast<platform::MessageLong>(this));
}

void CPatchManager::Send(std::uint32_t nMsg, platform::MessageParam wParam,
                         platform::MessageLong lParam) {
    if (m_hNotifyWnd != 0) {
        platform::SendMessageTo(m_hNotifyWnd, nMsg, wParam, lParam);
    }
}

platform::MessageResult CPatchManager::CmdWindowProc(platform::WindowHandle hWnd,
                                                     std::uint32_t nMsg,
                                                     platform::MessageParam wParam,
                                                     platform::MessageLong lParam) {
    auto* self = reinterpret_cast<CPatchManager*>(platform::GetWindowUserData(hWnd));
    if (self == nullptr) {
        return platform::DefaultWindowProcedure(hWnd, nMsg, wParam, lParam);
    }
    if (nMsg == 0x3400 || nMsg == WM_DOWNLOAD_STATE) {
        return 1;
    }
    if (nMsg != WM_DOWNLOAD_PROGRESS) {
        return platform::DefaultWindowProcedure(hWnd, nMsg, wParam, lParam);
    }
    std::int64_t nTotal = 0;
    std::int64_t nDownloaded = 0;
    if (self->m_pCurl == nullptr || !self->m_pCurl->GetProgress(nTotal, nDownloaded)) {
        return 1;
    }
    self->Send(NM_LAUNCHER_DOWNLOAD_PROGRESS, static_cast<std::uint32_t>(nDownloaded),
               static_cast<std::uint32_t>(nTotal));
    const std::uint32_t nNow = platform::GetTickCount();
    if (nNow - self->m_nLastSpeedTick > kSpeedReportMs) {
        const int nSpeed = self->m_pCurl->GetSpeed();
        const std::string strSpeed = FormatByteSize(nSpeed);
        self->Send(NM_LAUNCHER_DOWNLOAD_SPEED, static_cast<platform::MessageParam>(nSpeed),
                   reinterpret_cast<platform::MessageLong>(strSpeed.c_str()));
        self->m_nLastSpeedTick = nNow;
    }
    return 1;
}

bool CPatchManager::IsDebugMode() const {
    return platform::GetProfileInt("debug", "debug", 0, kConfigFile) == 1;
}

void CPatchManager::StartVersionCheck() {
    // Two checks would share the temporary files; a check during a download too.
    if (m_hPatchThread.IsRunning() || m_hCheckThread.IsRunning()) {
        return;
    }
    m_hStopEvent.Reset();
    m_checkEnded.Reset();
    if (!m_hCheckThread.Start([this] { return workThreadCheckVersion(); })) {
        m_checkEnded.Set();
    }
}

bool CPatchManager::StartDownload() {
    if (m_hPatchThread.IsRunning()) {
        return false;
    }
    m_hStopEvent.Reset();
    m_patchEnded.Reset();
    if (!m_hPatchThread.Start([this] { return workThreadSelfPatch(); })) {
        m_patchEnded.Set();
        return false;
    }
    return true;
}

std::uint32_t CPatchManager::workThreadCheckVersion() {
    if (IsDebugMode()) {
        Send(NM_LAUNCHER_DEBUG_MODE);
        WriteLog("debug");
        m_lastCheckOutcome = VersionCheckOutcome::kDebugMode;
    } else {
        ProcedureBase* procedure = m_procedures[kSelfPatchType];
        const int nResult = procedure->CheckVersion();
        if (auto* repair = dynamic_cast<ProcedureRepair*>(procedure)) {
            m_lastCheckOutcome = repair->GetLastCheckOutcome();
        }
        if (nResult != 0 && m_hNotifyWnd != 0) {
            platform::PostMessageTo(m_hNotifyWnd, NM_LAUNCHER_NEW_VERSION, 0, 0);
        }
    }
    m_checkEnded.Set();
    return 0;
}

std::uint32_t CPatchManager::workThreadSelfPatch() {
    WriteLog("workThreadSelfPatch");
    Send(NM_LAUNCHER_PATCH_START);
    if (IsDebugMode()) {
        Send(NM_LAUNCHER_DEBUG_MODE);
        WriteLog("debug");
    } else {
        WriteLog("Process");
        const int nResult = m_procedures[kSelfPatchType]->Execute();
        if (nResult >= REPAIR_VERSION_DOWN && nResult <= REPAIR_DONE) {
            Send(NM_LAUNCHER_NEW_VERSION_TEXT + static_cast<std::uint32_t>(nResult));
        }
    }
    m_patchEnded.Set();
    return 0;
}

bool CPatchManager::WaitForVersionCheck(std::uint32_t nTimeoutMs) {
    return platform::WaitForEventPumping(m_checkEnded, nTimeoutMs) &&
           m_hCheckThread.Wait(nTimeoutMs);
}

bool CPatchManager::WaitForDownload(std::uint32_t nTimeoutMs) {
    return platform::WaitForEventPumping(m_patchEnded, nTimeoutMs) &&
           m_hPatchThread.Wait(nTimeoutMs);
}

VersionCheckOutcome CPatchManager::GetLastCheckOutcome() const {
    return m_lastCheckOutcome;
}

bool CPatchManager::DownloadFile(const std::string& strUrl, const std::string& strLocalPath,
                                 int nNotifyId) {
    if (strUrl.empty() || m_pCurl == nullptr || m_bShuttingDown) {
        return false;
    }
    // Both workers may download at once; the one curl downloader takes one at a time.
    std::lock_guard<std::mutex> lock(m_downloadLock);
    EnsureDirectory("temp_d", false);
    if (auto volume = platform::GetVolumeSize(strLocalPath);
        volume && volume->total_bytes < kSmallestVolume) {
        return false;
    }
    char szCacheBuster[32];
    std::snprintf(szCacheBuster, sizeof szCacheBuster, "?rand=%lu",
                  static_cast<unsigned long>(platform::GetTickCount()));
    const std::string strRequest = ToForwardSlashes(strUrl) + szCacheBuster;
    const std::string strEscaped = EscapeUrl(strRequest);

    int nLastState = AD_STATE_IDLE;
    for (int nPass = 0; nPass < kPasses; ++nPass) {
        for (int nAttempt = 0; nAttempt < kAttemptsPerPass && !m_bShuttingDown; ++nAttempt) {
            WriteLog("start file download: %s %s <-- %s ", m_bCurlLabel ? "Curl" : "Burrow",
                     strLocalPath.c_str(), strRequest.c_str());
            if (!m_pCurl->Start(strEscaped.c_str(), strLocalPath.c_str(), m_hCmdWnd, nNotifyId)) {
                continue;
            }
            m_pCurl->Run();
            m_pCurl->Wait(true);
            nLastState = m_pCurl->GetState();
            if (AdStatePhase(nLastState) == AD_PHASE_SUCCEEDED) {
                WriteLog("start file download success : %d %s <-- %s ", nNotifyId,
                         strLocalPath.c_str(), strRequest.c_str());
                m_pCurl->Reset();
                return true;
            }
            m_pCurl->Reset();
        }
        m_bCurlLabel = !m_bCurlLabel;
    }
    WriteLog("start file download fail: %d %s <-- %s ResponseCode =%d, State = %d", nNotifyId,
             strLocalPath.c_str(), strEscaped.c_str(), m_pCurl->responseCode, nLastState);
    return false;
}
