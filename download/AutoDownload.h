// The downloader interface: one URL into one local file, with its progress
// and how it ended, as one integer state code. The high 16 bits of a code are
// its phase (0 not running, 1 running, 2 succeeded, 3 failed); callers test
// phases, never exact codes.
//
// A downloader reports to a window of the caller's choosing: it sends
// WM_DOWNLOAD_STATE when its reported code changes and WM_DOWNLOAD_PROGRESS
// as data arrives (wParam the notify id, lParam the downloader). Messages are
// sent, so the sender waits until the window's thread has handled them.
//
// Thread rules: one thread drives a downloader (Start, Run, Reset); Stop and
// GetState may come from any thread, and the progress getters from the
// notify window while it handles a message.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/window/Message.h"

constexpr int AD_STATE_IDLE = 0;
constexpr int AD_STATE_READY = 1;
constexpr int AD_STATE_START_FAILED = 2;
constexpr int AD_STATE_RUNNING = 0x10000;
constexpr int AD_STATE_MERGING = 0x10002;
constexpr int AD_STATE_DONE = 0x20000;
constexpr int AD_STATE_FAILED = 0x30000;
constexpr int AD_STATE_FILE_ERROR = 0x30003;
constexpr int AD_STATE_LENGTH_MISMATCH = 0x30004;

constexpr int AD_PHASE_IDLE = 0;
constexpr int AD_PHASE_RUNNING = 0x10000;
constexpr int AD_PHASE_SUCCEEDED = 0x20000;
constexpr int AD_PHASE_FAILED = 0x30000;

constexpr int AdStatePhase(int state) {
    return static_cast<int>(state & 0xFFFF0000u);
}

constexpr std::uint32_t WM_DOWNLOAD_STATE = 0x3401;
constexpr std::uint32_t WM_DOWNLOAD_PROGRESS = 0x3402;

struct DownloadRecord {
    platform::WindowHandle notifyWindow = 0;  // 0: no messages
    std::atomic<int> state{AD_STATE_IDLE};    // last reported code
    int notifyId = 0;
    std::string url;
    std::string localPath;  // code page 936
};

class CAutoDownload {
  public:
    CAutoDownload(const CAutoDownload&) = delete;
    CAutoDownload& operator=(const CAutoDownload&) = delete;

    // 0 for the segmented adapter, 2 for the curl downloader.
    virtual int GetType() = 0;
    virtual int GetState() = 0;
    // False (outputs untouched) when nothing runs or has run.
    virtual bool GetProgress(std::int64_t& total, std::int64_t& downloaded) = 0;
    // Bytes per second.
    virtual int GetSpeed() = 0;
    virtual bool Start(const char* url, const char* localPath, platform::WindowHandle notifyWindow,
                       int notifyId) = 0;
    // Stops whatever runs and readies the object for the next Start.
    virtual void Reset() = 0;
    virtual void Run() = 0;
    // Asks a running download to end; reports AD_STATE_IDLE.
    virtual void Stop() = 0;
    virtual bool Wait(bool pump) = 0;
    virtual ~CAutoDownload();

    // HTTP status of the last transfer that completed at the transport level.
    int responseCode = 0;

  protected:
    CAutoDownload() = default;

    // Stores code; sends WM_DOWNLOAD_STATE only when a window is set and the
    // code differs from the last one stored.
    void ReportState(int code);
    void NotifyProgress();

    DownloadRecord* m_pRecord = nullptr;  // created by the derived class, freed here
};
