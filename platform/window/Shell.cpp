#include "platform/window/Shell.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/process/ChildProcess.h"
#include "platform/process/CommandLine.h"
#include "platform/text/TextConversion.h"

namespace platform {

namespace {

std::mutex& OpenerMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

WebAddressOpener& Opener() {
    static auto* opener = new WebAddressOpener;
    return *opener;
}

bool IsAcceptableAddress(std::u16string_view address) {
    if (address.empty() || address.front() == u'-') {
        return false;
    }
    for (char16_t c : address) {
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
    }
    return true;
}

// xdg-open from an absolute directory of PATH only: the current directory
// (an installation folder) must not supply the program.
std::optional<std::string> FindOpener() {
    const char* path_env = std::getenv("PATH");
    std::string_view dirs = path_env != nullptr ? path_env : "/usr/bin:/bin";
    while (!dirs.empty()) {
        const std::size_t colon = dirs.find(':');
        const std::string_view dir = dirs.substr(0, colon);
        dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
        if (dir.empty() || dir.front() != '/') {
            continue;
        }
        std::string candidate = std::string(dir) + "/xdg-open";
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

bool StartXdgOpen(std::u16string_view address) {
    const std::optional<std::string> program = FindOpener();
    if (!program) {
        return false;
    }
    const std::u16string line = BuildCommandLine({Utf8ToUtf16(*program), std::u16string(address)});
    ChildProcess child;
    if (!child.Start(line)) {
        return false;
    }
    // Reaped in the background so no zombie stays; nobody waits for it.
    std::thread([child = std::move(child)]() mutable {
        int status = 0;
        while (waitpid(child.pid(), &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

}  // namespace

bool OpenWebAddress(std::u16string_view address) {
    if (!IsAcceptableAddress(address)) {
        return false;
    }
    WebAddressOpener opener;
    {
        std::lock_guard<std::mutex> lock(OpenerMutex());
        opener = Opener();
    }
    return opener ? opener(address) : StartXdgOpen(address);
}

WebAddressOpener SetWebAddressOpenerForTesting(WebAddressOpener opener) {
    std::lock_guard<std::mutex> lock(OpenerMutex());
    WebAddressOpener previous = std::move(Opener());
    Opener() = std::move(opener);
    return previous;
}

}  // namespace platform
