#include "tools/update/UpdateSession.h"

#include <cstdlib>
#include <string>

#include "Procedure/ProcedureRepair.h"
#include "platform/sync/Event.h"
#include "tools/update/ResultNames.h"

namespace {

constexpr const char* kDebugLine = "debug mode: no update work";

}  // namespace

UpdateSession::UpdateSession(std::FILE* out, std::FILE* err, bool bErrIsTerminal)
    : m_out(out),
      m_err(err),
      m_progress(bErrIsTerminal,
                 [err](std::string_view text) {
                     std::fwrite(text.data(), 1, text.size(), err);
                     std::fflush(err);
                 }),
      m_window(m_progress) {
    m_manager.Setup(m_window.handle());
}

int UpdateSession::Check() {
    return PrintCheck(CheckOnce());
}

int UpdateSession::Repair() {
    const int code = RepairOnce();
    return code == REPAIR_DONE ? 0 : code;
}

int UpdateSession::Run() {
    const CheckResult check = CheckOnce();
    const int checkExit = PrintCheck(check);
    if (check != CheckResult::kUpdateNeeded) {
        return checkExit;
    }
    return Repair();
}

void UpdateSession::OnInterrupt(int nCount) {
    if (nCount == 1 && m_bRepairing) {
        m_manager.RequestStop();
        std::fputs("\nvela-update: interrupted, stopping at the next file\n", m_err);
        std::fflush(m_err);
        return;
    }
    std::_Exit(130);
}

UpdateSession::CheckResult UpdateSession::CheckOnce() {
    m_manager.StartVersionCheck();
    if (!m_manager.WaitForVersionCheck(platform::kWaitInfinite)) {
        Error("the version check did not end");
        return CheckResult::kFailed;
    }
    switch (m_manager.GetLastCheckOutcome()) {
        case VersionCheckOutcome::kUpdateNeeded:
            return CheckResult::kUpdateNeeded;
        case VersionCheckOutcome::kUpToDate:
            return CheckResult::kNoUpdate;
        case VersionCheckOutcome::kServerUnreachable:
            return CheckResult::kUnreachable;
        case VersionCheckOutcome::kVersionUnreadable:
            // The launcher starts no update for such a file; say why on the side.
            Error("the server's version file cannot be read (64 bytes or longer?)");
            return CheckResult::kNoUpdate;
        case VersionCheckOutcome::kDebugMode:
            return CheckResult::kDebug;
        case VersionCheckOutcome::kNotRun:
            break;
    }
    Error("no version check ran");
    return CheckResult::kFailed;
}

int UpdateSession::RepairOnce() {
    const bool started = m_manager.StartDownload();
    // Only now: StartDownload clears the stop event.
    m_bRepairing = started;
    const bool ended = started && m_manager.WaitForDownload(platform::kWaitInfinite);
    m_bRepairing = false;
    m_progress.Finish();
    if (!ended) {
        Error(started ? "the repair run did not end" : "the repair run could not start");
        return kInternalFailure;
    }
    if (m_window.SawDebugMode()) {
        PrintLine(kDebugLine);
        return REPAIR_DONE;
    }
    const std::optional<int> code = m_window.RepairResult();
    if (!code) {
        Error("the repair run ended without a result");
        return kInternalFailure;
    }
    PrintLine(
        ("result " + std::to_string(*code) + " " + std::string(RepairResultMessageName(*code)))
            .c_str());
    return *code;
}

int UpdateSession::PrintCheck(CheckResult result) {
    switch (result) {
        case CheckResult::kUpdateNeeded:
            PrintLine("update needed");
            return 1;
        case CheckResult::kNoUpdate:
            PrintLine("no update");
            return 0;
        case CheckResult::kUnreachable:
            PrintLine("server unreachable");
            return 3;
        case CheckResult::kDebug:
            PrintLine(kDebugLine);
            return 0;
        case CheckResult::kFailed:
            break;
    }
    return kInternalFailure;
}

void UpdateSession::PrintLine(const char* szLine) {
    std::fputs(szLine, m_out);
    std::fputc('\n', m_out);
    std::fflush(m_out);
}

void UpdateSession::Error(const char* szWhat) {
    std::fprintf(m_err, "vela-update: %s\n", szWhat);
    std::fflush(m_err);
}
