#include "tools/update/ProgressReporter.h"

#include <algorithm>

#include "app/LauncherMessages.h"

namespace {

constexpr int kBarWidth = 30;
// Keeps the bar on one line of a narrow terminal.
constexpr std::size_t kPathWidth = 40;

std::string Counter(std::uint32_t nNumber, std::uint32_t nTotal) {
    return "[" + std::to_string(nNumber) + "/" + std::to_string(nTotal) + "]";
}

}  // namespace

ProgressReporter::ProgressReporter(bool bTerminal, Sink sink)
    : m_bTerminal(bTerminal), m_sink(std::move(sink)) {}

void ProgressReporter::OnVersions(std::string_view strNew, std::string_view strOld) {
    Finish();
    m_sink("updating " + std::string(strOld.empty() ? "(none)" : strOld) + " -> " +
           std::string(strNew) + "\n");
}

void ProgressReporter::OnCleaning() {
    if (!m_bCleaningShown) {
        Finish();
        m_sink("removing obsolete files\n");
        m_bCleaningShown = true;
    }
}

void ProgressReporter::OnTotal(std::uint32_t nTotal) {
    m_nTotal = nTotal;
}

void ProgressReporter::OnStep(std::uint32_t nStage, std::uint32_t nNumber) {
    switch (nStage) {
        case REPAIR_STAGE_TAKEN_UP:
            m_nNumber = nNumber;
            m_strPath.clear();
            m_bDownloading = false;
            m_bSettled = false;
            m_fFileFraction = 0;
            break;
        case REPAIR_STAGE_DOWNLOAD:
            m_bDownloading = true;
            break;
        case REPAIR_STAGE_VERIFIED:
            if (!m_bDownloading) {
                FileSettled("ok");
            }
            break;
        case REPAIR_STAGE_IN_PLACE:
            // The run ends with one more (4, N) after the last file.
            if (!m_bSettled && nNumber == m_nNumber) {
                FileSettled("updated");
            }
            break;
        default:
            break;
    }
    if (m_bTerminal && m_nTotal > 0) {
        DrawBar();
    }
}

void ProgressReporter::OnFile(std::string_view strPath) {
    m_strPath = strPath;
    if (m_bTerminal) {
        DrawBar();
    }
}

void ProgressReporter::OnSpeed(std::string_view strSpeed) {
    m_strSpeed = std::string(strSpeed) + "/s";
    if (m_bTerminal && m_bBarShown) {
        DrawBar();
    }
}

void ProgressReporter::OnBytes(std::uint32_t nDone, std::uint32_t nTotal) {
    m_fFileFraction = nTotal > 0 ? std::min(1.0, static_cast<double>(nDone) / nTotal) : 0;
    if (m_bTerminal && m_bBarShown) {
        DrawBar();
    }
}

void ProgressReporter::Finish() {
    if (m_bBarShown) {
        m_sink("\n");
        m_bBarShown = false;
    }
}

void ProgressReporter::FileSettled(const char* szHow) {
    m_bSettled = true;
    m_fFileFraction = 1;
    if (!m_bTerminal) {
        m_sink(Counter(m_nNumber, m_nTotal) + " " + m_strPath + " " + szHow + "\n");
    }
}

void ProgressReporter::DrawBar() {
    const double done =
        m_nTotal == 0 ? 1.0
                      : (std::max<std::uint32_t>(m_nNumber, 1) - 1 + m_fFileFraction) / m_nTotal;
    const int filled = static_cast<int>(done * kBarWidth);
    std::string path = m_strPath;
    if (path.size() > kPathWidth) {
        std::size_t start = path.size() - (kPathWidth - 3);
        while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80) {
            ++start;  // never start inside a UTF-8 character
        }
        path = "..." + path.substr(start);
    }
    // Carriage return and erase to the end of the line: the bar redraws in place.
    m_sink("\r\x1b[K[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " +
           Counter(m_nNumber, m_nTotal) + " " + path + (m_strSpeed.empty() ? "" : "  ") +
           m_strSpeed);
    m_bBarShown = true;
}
