#include "tools/update/UpdateNotifyWindow.h"

#include "Procedure/ProcedureRepair.h"
#include "app/LauncherMessages.h"
#include "platform/text/TextConversion.h"

namespace {

constexpr char16_t kClassName[] = u"VELA_UPDATE_NOTIFY_WINDOW";

// Texts in wParam are code page 936 and valid only during the send.
std::string TextParam(platform::MessageParam wParam) {
    const char* text = reinterpret_cast<const char*>(wParam);
    if (text == nullptr) {
        return {};
    }
    return platform::Cp936ToUtf8Strict(text).value_or(text);
}

}  // namespace

UpdateNotifyWindow::UpdateNotifyWindow(ProgressReporter& progress) : m_progress(progress) {
    // A second window in the same process finds the class already there.
    platform::RegisterWindowClass(kClassName, &Procedure);
    m_hWnd = platform::CreateWindowOfClass(kClassName, u"", 0, 0, 0, 0, 0, 0, 0);
    platform::SetWindowUserData(m_hWnd, reinterpret_cast<platform::MessageLong>(this));
}

UpdateNotifyWindow::~UpdateNotifyWindow() {
    platform::DestroyWindowHandle(m_hWnd);
}

platform::MessageResult UpdateNotifyWindow::Procedure(platform::WindowHandle hWnd,
                                                      std::uint32_t nMsg,
                                                      platform::MessageParam wParam,
                                                      platform::MessageLong lParam) {
    auto* self = reinterpret_cast<UpdateNotifyWindow*>(platform::GetWindowUserData(hWnd));
    if (self == nullptr || nMsg < platform::kMsgUser) {
        return platform::DefaultWindowProcedure(hWnd, nMsg, wParam, lParam);
    }
    self->Handle(nMsg, wParam, lParam);
    return 0;
}

void UpdateNotifyWindow::Handle(std::uint32_t nMsg, platform::MessageParam wParam,
                                platform::MessageLong lParam) {
    switch (nMsg) {
        case NM_LAUNCHER_NEW_VERSION_TEXT:
            m_strNewVersion = TextParam(wParam);
            return;
        case NM_LAUNCHER_OLD_VERSION_TEXT:
            m_progress.OnVersions(m_strNewVersion, TextParam(wParam));
            return;
        case NM_LAUNCHER_CLEAN_PROGRESS:
            m_progress.OnCleaning();
            return;
        case NM_LAUNCHER_PROGRESS_TOTAL:
            m_progress.OnTotal(static_cast<std::uint32_t>(wParam));
            return;
        case NM_LAUNCHER_PROGRESS_STEP:
            m_progress.OnStep(static_cast<std::uint32_t>(wParam),
                              static_cast<std::uint32_t>(lParam));
            return;
        case NM_LAUNCHER_PROGRESS_FILE:
            m_progress.OnFile(TextParam(wParam));
            return;
        case NM_LAUNCHER_DOWNLOAD_SPEED:
            m_progress.OnSpeed(TextParam(static_cast<platform::MessageParam>(lParam)));
            return;
        case NM_LAUNCHER_DOWNLOAD_PROGRESS:
            m_progress.OnBytes(static_cast<std::uint32_t>(wParam),
                               static_cast<std::uint32_t>(lParam));
            return;
        case NM_LAUNCHER_DEBUG_MODE:
            m_bDebugMode = true;
            return;
        case NM_LAUNCHER_ERR_STOPPED:
            // The download thread sends no result message for a stop.
            m_nRepairResult = REPAIR_STOPPED;
            return;
        default:
            break;
    }
    // 18727 + code after Execute; 18741 (code 14, never produced) is debug mode.
    const int code = static_cast<int>(nMsg) - static_cast<int>(NM_LAUNCHER_NEW_VERSION_TEXT);
    if (code >= REPAIR_VERSION_DOWN && code <= REPAIR_DONE) {
        m_nRepairResult = code;
    }
}
