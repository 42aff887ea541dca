// The curl downloader: Run transfers the prepared URL with the libcurl easy
// interface into a temporary file below "temp_d", then copies it over the
// destination. Run blocks its thread until the file is in place or the
// transfer has failed; every transfer opens and closes its own connection.
//
// libcurl's global initialisation must have succeeded before one is created.
// Thread rules as for CAutoDownload: Start, Run and Reset on one thread, and
// the callbacks and messages come from that thread; Stop from anywhere,
// including the notify window's handler. The easy handle and the temporary
// file live from Start to the end of Run (or to Reset or destruction).
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "download/AutoDownload.h"
#include "download/ProgressSample.h"
#include "platform/files/FileSystem.h"

class CAutoDownload_Curl : public CAutoDownload {
  public:
    CAutoDownload_Curl();
    ~CAutoDownload_Curl() override;

    int GetType() override { return 2; }
    int GetState() override { return m_pRecord->state.load(); }
    bool GetProgress(std::int64_t& total, std::int64_t& downloaded) override;
    int GetSpeed() override { return m_sample.speed(); }
    bool Start(const char* url, const char* localPath, platform::WindowHandle notifyWindow,
               int notifyId) override;
    void Reset() override;
    void Run() override;
    void Stop() override;
    // Run has finished by the time it returns, so there is nothing to wait for.
    bool Wait(bool) override { return true; }

    // "temp_d/~Quill.temp." and the destination's file name without its
    // directory and extension.
    static std::string TempPathFor(const std::string& localPath);

  private:
    bool SetOptions();
    // Checks the finished file against the announced length and copies it
    // into place.
    void PlaceFile(bool closed, curl_off_t announced);
    // Closes the temporary file (it stays on disk) and frees the handle;
    // false when the file did not close cleanly.
    bool CloseTransfer();
    // The same, unless Run is using them.
    void ReleaseTransfer();
    static std::size_t OnData(char* data, std::size_t size, std::size_t count, void* file);
    static int OnProgress(void* self, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t, curl_off_t);

    std::string m_strTempFile;
    platform::FileWriter m_tempFile;
    CURL* m_hCurl = nullptr;
    CProgressSample m_sample;
    std::atomic<bool> m_bInRun{false};
};
