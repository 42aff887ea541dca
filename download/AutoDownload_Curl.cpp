#include "download/AutoDownload_Curl.h"

#include <optional>

#include "app/FileUtil.h"
#include "app/LogText.h"
#include "app/RunLog.h"
#include "platform/text/TextConversion.h"
#include "platform/time/Clock.h"

namespace {

// Marks Run as using the handle and the file for as long as it runs.
class InRunScope {
  public:
    explicit InRunScope(std::atomic<bool>& flag) : m_flag(flag) { m_flag = true; }
    ~InRunScope() { m_flag = false; }
    InRunScope(const InRunScope&) = delete;
    InRunScope& operator=(const InRunScope&) = delete;

  private:
    std::atomic<bool>& m_flag;
};

}  // namespace

CAutoDownload_Curl::CAutoDownload_Curl() {
    m_pRecord = new DownloadRecord();
}

CAutoDownload_Curl::~CAutoDownload_Curl() {
    ReleaseTransfer();
}

std::string CAutoDownload_Curl::TempPathFor(const std::string& localPath) {
    const std::size_t separator = platform::FindLastCp936Separator(localPath);
    std::string name = separator == std::string::npos ? localPath : localPath.substr(separator + 1);
    // The name holds no separator now; a '.' is never a trail byte of CP936.
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return "temp_d/~Quill.temp." + name;
}

bool CAutoDownload_Curl::GetProgress(std::int64_t& total, std::int64_t& downloaded) {
    if (GetState() < AD_STATE_RUNNING) {
        return false;
    }
    total = m_sample.total();
    downloaded = m_sample.downloaded();
    return total != 0;
}

bool CAutoDownload_Curl::Start(const char* url, const char* localPath,
                               platform::WindowHandle notifyWindow, int notifyId) {
    // A stopped Run may still be unwinding on another thread.
    if (AdStatePhase(GetState()) == AD_PHASE_RUNNING || m_bInRun) {
        return false;
    }
    // A Start not followed by Run leaves a handle and an open file behind.
    ReleaseTransfer();
    if (url == nullptr || *url == '\0' || localPath == nullptr || *localPath == '\0') {
        ReportState(AD_STATE_START_FAILED);
        return false;
    }
    m_hCurl = curl_easy_init();
    if (m_hCurl == nullptr) {
        ReportState(AD_STATE_START_FAILED);
        return false;
    }
    m_pRecord->url = url;
    m_pRecord->localPath = localPath;
    m_pRecord->notifyWindow = notifyWindow;
    m_pRecord->notifyId = notifyId;
    m_strTempFile = TempPathFor(localPath);
    if (!m_tempFile.Open(m_strTempFile, platform::FileWriter::Mode::kTruncate) || !SetOptions()) {
        ReleaseTransfer();
        ReportState(AD_STATE_START_FAILED);
        return false;
    }
    // The disk writes a large download while it arrives: the flush that puts
    // the file in place later has little left to wait for.
    m_tempFile.SetWriteBehind(std::size_t{8} << 20);
    ReportState(AD_STATE_READY);
    return true;
}

bool CAutoDownload_Curl::SetOptions() {
    CURL* h = m_hCurl;
    return curl_easy_setopt(h, CURLOPT_WRITEDATA, &m_tempFile) == CURLE_OK &&
           curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CAutoDownload_Curl::OnData) == CURLE_OK &&
           curl_easy_setopt(h, CURLOPT_URL, m_pRecord->url.c_str()) == CURLE_OK &&
           curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L) == CURLE_OK &&
           curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CAutoDownload_Curl::OnProgress) ==
               CURLE_OK &&
           curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
           curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L) == CURLE_OK &&
           curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L) == CURLE_OK &&
           curl_easy_setopt(h, CURLOPT_XFERINFODATA, this) == CURLE_OK &&
           // Slower than 1 byte a second for 30 seconds: abandoned.
           curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 30L) == CURLE_OK &&
           curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK;
}

void CAutoDownload_Curl::Run() {
    if (GetState() != AD_STATE_READY) {
        return;
    }
    InRunScope inRun(m_bInRun);
    ReportState(AD_STATE_RUNNING);
    if (curl_easy_perform(m_hCurl) != CURLE_OK) {
        CloseTransfer();
        ReportState(AD_STATE_FAILED);
        return;
    }
    curl_off_t announced = -1;
    long status = 0;
    curl_easy_getinfo(m_hCurl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    curl_easy_getinfo(m_hCurl, CURLINFO_RESPONSE_CODE, &status);
    responseCode = static_cast<int>(status);
    if (responseCode != 200) {
        CloseTransfer();
        ReportState(AD_STATE_FAILED);
        return;
    }
    const bool closed = CloseTransfer();
    PlaceFile(closed, announced);
}

void CAutoDownload_Curl::PlaceFile(bool closed, curl_off_t announced) {
    const std::optional<std::uint64_t> size = platform::GetFileSize(m_strTempFile);
    if (!closed || !size) {
        // Whatever reached the disk is unknown.
        ReportState(AD_STATE_FILE_ERROR);
        return;
    }
    if (static_cast<double>(*size) != static_cast<double>(announced)) {
        WriteLog("file len not mate httpLen = %d,downedlen = %d", static_cast<int>(announced),
                 static_cast<int>(*size));
        ReportState(AD_STATE_LENGTH_MISMATCH);
        return;
    }
    // The destinations are the callers' staging files: moved, not flushed.
    const bool copied =
        MoveFileOver(m_strTempFile, m_pRecord->localPath, platform::CopyDurability::kScratch);
    const int error = platform::LastErrorCode();
    platform::DeleteFile(m_strTempFile);  // left behind when the move failed
    if (!copied) {
        WriteLog("FILE =%s, Line =%d,DownFile Error MoveFile Error ErrorCode =%d", LOG_SOURCE_FILE,
                 __LINE__, error);
        ReportState(AD_STATE_FILE_ERROR);
        return;
    }
    ReportState(AD_STATE_DONE);
}

void CAutoDownload_Curl::Stop() {
    ReportState(AD_STATE_IDLE);
}

void CAutoDownload_Curl::Reset() {
    try {
        Stop();
    } catch (...) {
    }
    ReleaseTransfer();
}

void CAutoDownload_Curl::ReleaseTransfer() {
    if (!m_bInRun) {
        CloseTransfer();
    }
}

bool CAutoDownload_Curl::CloseTransfer() {
    const bool closed = !m_tempFile.is_open() || m_tempFile.Close();
    if (m_hCurl != nullptr) {
        curl_easy_cleanup(m_hCurl);
        m_hCurl = nullptr;
    }
    return closed;
}

std::size_t CAutoDownload_Curl::OnData(char* data, std::size_t size, std::size_t count,
                                       void* file) {
    const std::size_t bytes = size * count;
    return static_cast<platform::FileWriter*>(file)->Write(data, bytes) ? bytes : 0;
}

int CAutoDownload_Curl::OnProgress(void* self, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t,
                                   curl_off_t) {
    auto* downloader = static_cast<CAutoDownload_Curl*>(self);
    // Below the running phase only after Stop: abandon the transfer.
    if (downloader->GetState() < AD_STATE_RUNNING) {
        return 1;
    }
    if (dlTotal != 0 && dlNow != 0) {
        downloader->m_sample.Take(dlTotal, dlNow, platform::GetTickCount());
        downloader->NotifyProgress();
    }
    return 0;
}
