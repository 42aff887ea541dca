#include "app/RunLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/files/FileSystem.h"
#include "platform/time/Clock.h"

namespace {

constexpr std::size_t kMessageBufferSize = 1024;
constexpr const char* kLogFileName = "Launch.log";

std::atomic<bool> g_bEchoToStdout{true};
std::atomic<bool> g_bWriteLogFile{true};

// The log was a text-mode file there: every LF reaches the disk as CR LF.
std::string MakeLogLine(const platform::LocalTime& now, std::string_view message) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%02d_%02d:%02d:%02d]: ", now.day, now.hour, now.minute,
                  now.second);
    std::string line;
    line.reserve(sizeof stamp + message.size() * 2 + 2);
    line += stamp;
    for (char c : message) {
        if (c == '\n') {
            line += '\r';
        }
        line += c;
    }
    line += "\r\n";
    return line;
}

void AppendToLogFile(std::string_view message) {
    platform::FileWriter writer;
    if (!writer.Open(kLogFileName, platform::FileWriter::Mode::kAppend) &&
        !writer.Open(kLogFileName, platform::FileWriter::Mode::kTruncate)) {
        return;
    }
    std::string line = MakeLogLine(platform::GetLocalTime(), message);
    // One write per line keeps lines of concurrent writers apart.
    writer.Write(line.data(), line.size());
    writer.Close();
}

}  // namespace

void ConfigureRunLog(const RunLogOptions& options) {
    g_bEchoToStdout.store(options.echo_to_stdout);
    g_bWriteLogFile.store(options.write_file);
}

RunLogOptions CurrentRunLogOptions() {
    return RunLogOptions{g_bEchoToStdout.load(), g_bWriteLogFile.load()};
}

void WriteLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteLogV(format, args);
    va_end(args);
}

void WriteLogV(const char* format, va_list args) {
    char szMessage[kMessageBufferSize] = {};
    int length = std::vsnprintf(szMessage, sizeof szMessage, format, args);
    if (length < 0) {
        szMessage[0] = '\0';
    }
    std::string_view message(szMessage);

    if (g_bEchoToStdout.load()) {
        std::string echo(message);
        echo += '\n';
        std::fwrite(echo.data(), 1, echo.size(), stdout);
        std::fflush(stdout);
    }
    if (g_bWriteLogFile.load()) {
        AppendToLogFile(message);
    }
}
