#include "download/AutoDownload.h"

CAutoDownload::~CAutoDownload() {
    delete m_pRecord;
}

void CAutoDownload::ReportState(int code) {
    const int previous = m_pRecord->state.exchange(code);
    if (m_pRecord->notifyWindow != 0 && previous != code) {
        platform::SendMessageTo(m_pRecord->notifyWindow, WM_DOWNLOAD_STATE,
                                static_cast<platform::MessageParam>(m_pRecord->notifyId),
                                reinterpret_cast<platform::MessageLong>(this));
    }
}

void CAutoDownload::NotifyProgress() {
    if (m_pRecord->notifyWindow != 0) {
        platform::SendMessageTo(m_pRecord->notifyWindow, WM_DOWNLOAD_PROGRESS,
                                static_cast<platform::MessageParam>(m_pRecord->notifyId),
                                reinterpret_cast<platform::MessageLong>(this));
    }
}
