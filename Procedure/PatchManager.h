// The patch manager: the one object between the main dialog and the update
// procedures. It owns the procedures, the two worker threads (version check
// and download), the stop event, the downloaders and the hidden command
// window that relays the downloaders' progress to the dialog.
//
// Thread rules: construction, Setup, StartVersionCheck, StartDownload and
// destruction run on the thread that owns the notify window (which also owns
// the command window). DownloadFile runs on the worker threads; calls on the
// one curl downloader are serialised, so two workers may call it at once.
// No version check starts while the download thread or an earlier check runs,
// and the download thread starts only when StartDownload is called.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "Procedure/VersionCheckOutcome.h"
#include "platform/sync/Event.h"
#include "platform/sync/Thread.h"
#include "platform/window/Message.h"

class CAutoDownload;
class ProcedureBase;

class CPatchManager {
  public:
    CPatchManager();
    ~CPatchManager();
    CPatchManager(const CPatchManager&) = delete;
    CPatchManager& operator=(const CPatchManager&) = delete;

    void Setup(platform::WindowHandle hNotifyWnd);
    void StartVersionCheck();
    bool StartDownload();
    bool DownloadFile(const std::string& strUrl, const std::string& strLocalPath, int nNotifyId);

    // For a caller that drives the manager without a dialog (the command-line
    // updater): wait for the worker threads, read why a check ended, and ask a
    // running repair run to stop at its next record.
    bool WaitForVersionCheck(std::uint32_t nTimeoutMs);
    bool WaitForDownload(std::uint32_t nTimeoutMs);
    VersionCheckOutcome GetLastCheckOutcome() const;
    void RequestStop() { m_hStopEvent.Set(); }
    platform::WindowHandle GetCommandWindow() const { return m_hCmdWnd; }

  private:
    static platform::MessageResult CmdWindowProc(platform::WindowHandle hWnd, std::uint32_t nMsg,
                                                 platform::MessageParam wParam,
                                                 platform::MessageLong lParam);
    void CreateCmdWindow();
    bool IsDebugMode() const;
    std::uint32_t workThreadCheckVersion();
    std::uint32_t workThreadSelfPatch();
    void Send(std::uint32_t nMsg, platform::MessageParam wParam = 0,
              platform::MessageLong lParam = 0);

    platform::WindowHandle m_hNotifyWnd = 0;
    platform::Thread m_hCheckThread;
    platform::Thread m_hPatchThread;
    platform::Event m_hStopEvent{platform::Event::Mode::kManualReset};
    CAutoDownload* m_pCurl = nullptr;
    CAutoDownload* m_pBurrow = nullptr;  // the segmented-download adapter comes later
    platform::WindowHandle m_hCmdWnd = 0;
    bool m_bCurlLabel = true;
    std::map<int, ProcedureBase*> m_procedures;

    std::mutex m_downloadLock;  // one transfer at a time on the curl downloader
    std::uint32_t m_nLastSpeedTick = 0;
    // Set as the last step of each worker, so a waiter can handle its
    // messages meanwhile.
    platform::Event m_checkEnded{platform::Event::Mode::kManualReset, true};
    platform::Event m_patchEnded{platform::Event::Mode::kManualReset, true};
    std::atomic<VersionCheckOutcome> m_lastCheckOutcome{VersionCheckOutcome::kNotRun};
    // Destruction waits for the workers; they make no new transfer meanwhile.
    std::atomic<bool> m_bShuttingDown{false};
};
