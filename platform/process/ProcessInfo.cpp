#include "platform/process/ProcessInfo.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include "platform/process/CommandLine.h"
#include "platform/process/ProcessInternal.h"
#include "platform/text/TextConversion.h"

namespace platform {
namespace {

std::u16string ReadOwnCommandLine() {
    // Files of /proc report no size, so read until the end.
    int fd = open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    std::string raw;
    char chunk[4096];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0 || (n < 0 && errno == EINTR)) {
        raw.append(chunk, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    }
    close(fd);
    std::vector<std::u16string> args;
    std::size_t start = 0;
    while (start < raw.size()) {
        std::size_t end = raw.find('\0', start);
        if (end == std::string::npos) {
            end = raw.size();
        }
        args.push_back(Utf8ToUtf16(std::string_view(raw).substr(start, end - start)));
        start = end + 1;
    }
    return BuildCommandLine(args);
}

}  // namespace

const std::u16string& GetProcessCommandLine() {
    static const std::u16string line = ReadOwnCommandLine();
    return line;
}

std::string GetModulePathNative() {
    return process_internal::ReadLinkTarget("/proc/self/exe").value_or(std::string());
}

std::u16string GetModulePathWide() {
    return process_internal::WideReportedPath(GetModulePathNative());
}

std::string GetModulePathCp936() {
    std::optional<std::string> narrow = Utf16ToCp936Strict(GetModulePathWide());
    return narrow.value_or(std::string());
}

int GetCurrentProcessId() {
    return static_cast<int>(getpid());
}

}  // namespace platform
