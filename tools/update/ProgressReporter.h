// Turns the repair run's progress messages into text for standard error: on a
// terminal one bar, redrawn in place, with the current file and the speed;
// elsewhere one line per file once it is settled, so logs stay readable.
//
// One object belongs to the thread that owns the notify window; the sink is
// called on that thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class ProgressReporter {
  public:
    using Sink = std::function<void(std::string_view)>;

    ProgressReporter(bool bTerminal, Sink sink);

    void OnVersions(std::string_view strNew, std::string_view strOld);
    void OnCleaning();
    void OnTotal(std::uint32_t nTotal);
    void OnStep(std::uint32_t nStage, std::uint32_t nNumber);
    void OnFile(std::string_view strPath);
    void OnSpeed(std::string_view strSpeed);
    void OnBytes(std::uint32_t nDone, std::uint32_t nTotal);
    // Ends the bar's line before anything else is written.
    void Finish();

  private:
    void FileSettled(const char* szHow);
    void DrawBar();

    bool m_bTerminal;
    Sink m_sink;
    std::uint32_t m_nTotal = 0;
    std::uint32_t m_nNumber = 0;
    std::string m_strPath;
    bool m_bDownloading = false;
    bool m_bSettled = true;
    bool m_bCleaningShown = false;
    std::string m_strSpeed;
    double m_fFileFraction = 0;
    bool m_bBarShown = false;
};
