// The updater's hidden window: it stands where the launcher's main dialog
// stands, so it receives every message the patch workers and the command
// window send or post. Progress goes to the reporter; the outcome of a
// repair run and the debug switch are kept for the session to read.
//
// Thread rules: created, used and destroyed on the thread that called
// CPatchManager::Setup with it; its messages arrive while that thread waits
// for the workers.
#pragma once

#include <optional>
#include <string>

#include "platform/window/Message.h"
#include "tools/update/ProgressReporter.h"

class UpdateNotifyWindow {
  public:
    explicit UpdateNotifyWindow(ProgressReporter& progress);
    ~UpdateNotifyWindow();
    UpdateNotifyWindow(const UpdateNotifyWindow&) = delete;
    UpdateNotifyWindow& operator=(const UpdateNotifyWindow&) = delete;

    platform::WindowHandle handle() const { return m_hWnd; }

    bool SawDebugMode() const { return m_bDebugMode; }
    // The repair run's result code, once the run has reported one.
    std::optional<int> RepairResult() const { return m_nRepairResult; }

  private:
    static platform::MessageResult Procedure(platform::WindowHandle hWnd, std::uint32_t nMsg,
                                             platform::MessageParam wParam,
                                             platform::MessageLong lParam);
    void Handle(std::uint32_t nMsg, platform::MessageParam wParam, platform::MessageLong lParam);

    ProgressReporter& m_progress;
    platform::WindowHandle m_hWnd = 0;
    std::string m_strNewVersion;  // until the installed version follows
    bool m_bDebugMode = false;
    std::optional<int> m_nRepairResult;
};
