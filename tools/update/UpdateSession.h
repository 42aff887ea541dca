// One run of vela-update in an installation directory (the current one): the
// real patch manager, set up with the updater's own hidden window, driven
// through its start rules. Standard output gets only the result lines.
//
// Thread rules: construction, the commands and destruction run on one thread
// (the owner of the window). OnInterrupt may come from any thread.
#pragma once

#include <atomic>
#include <cstdio>

#include "Procedure/PatchManager.h"
#include "tools/update/ProgressReporter.h"
#include "tools/update/UpdateNotifyWindow.h"

class UpdateSession {
  public:
    // Exit code of a run that could not be brought to any result.
    static constexpr int kInternalFailure = 1;

    UpdateSession(std::FILE* out, std::FILE* err, bool bErrIsTerminal);

    int Check();
    int Repair();
    int Run();

    // Ctrl-C: the first during a repair run stops it at its next file; any
    // other ends the process at once.
    void OnInterrupt(int nCount);

  private:
    enum class CheckResult { kUpdateNeeded, kNoUpdate, kUnreachable, kDebug, kFailed };

    CheckResult CheckOnce();
    int RepairOnce();
    int PrintCheck(CheckResult result);
    void PrintLine(const char* szLine);
    void Error(const char* szWhat);

    std::FILE* m_out;
    std::FILE* m_err;
    ProgressReporter m_progress;
    UpdateNotifyWindow m_window;
    CPatchManager m_manager;
    std::atomic<bool> m_bRepairing{false};
};
