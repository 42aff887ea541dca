// The run log: every subsystem reports what it does through WriteLog, which
// appends one time-stamped line to "Launch.log" in the current directory.
//
// WriteLog may be called from any thread and any number of processes at once:
// each call opens the file, writes its line with a single append and closes
// it, so lines never mix. ConfigureRunLog is meant for start-up; it is safe
// to call at any time, and calls already running keep the old settings.
#pragma once

#include <cstdarg>

struct RunLogOptions {
    // Command-line tools keep standard output for their own results.
    bool echo_to_stdout = true;
    // Tools that do not work on an installation write no "Launch.log".
    bool write_file = true;
};

void ConfigureRunLog(const RunLogOptions& options);
RunLogOptions CurrentRunLogOptions();

// printf rules; the message is cut to 1023 bytes. Never reports a failure.
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
void WriteLogV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));
