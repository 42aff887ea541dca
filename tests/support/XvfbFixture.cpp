#include "tests/support/XvfbFixture.h"

#include <signal.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/process/CommandLine.h"
#include "platform/text/TextConversion.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

// Generous: a loaded 2-core machine starts a server slowly.
constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr std::uint32_t kStopTimeoutMs = 10000;
constexpr std::uint32_t kScreenshotTimeoutMs = 30000;
constexpr int kFirstDisplay = 90;
constexpr int kLastDisplay = 119;
constexpr const char* kProbe = "/usr/bin/xprop";

std::u16string Line(const std::vector<std::string>& args) {
    std::vector<std::u16string> wide;
    for (const std::string& arg : args) {
        wide.push_back(platform::Utf8ToUtf16(arg));
    }
    return platform::BuildCommandLine(wide);
}

// True when a program ran to its end with status 0.
bool Succeeds(const std::vector<std::string>& args, std::uint32_t timeout_ms) {
    platform::ChildProcess child;
    platform::ProcessStartOptions options;
    options.capture_output = true;  // keep the test's output clean
    if (!child.Start(Line(args), options)) {
        return false;
    }
    if (!child.WaitForExit(timeout_ms)) {
        ::kill(child.pid(), SIGKILL);
        child.WaitForExit(kStopTimeoutMs);
        return false;
    }
    return child.exit_code() == 0;
}

// The server that holds a display number writes its pid into the lock file.
int LockHolder(int number) {
    std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
    int pid = 0;
    lock >> pid;
    return pid;
}

}  // namespace

XvfbFixture::~XvfbFixture() {
    Stop();
}

bool XvfbFixture::Available() {
    return fs::exists(kServer) && fs::exists(kScreenshot) && fs::exists(kProbe);
}

bool XvfbFixture::Start() {
    for (int number = kFirstDisplay; number <= kLastDisplay; ++number) {
        // A lock file means the number is taken, or was by a server that died.
        if (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
            continue;
        }
        if (StartOn(number)) {
            return true;
        }
    }
    return false;
}

bool XvfbFixture::StartOn(int number) {
    display_ = ":" + std::to_string(number);
    const std::string screen = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
    platform::ProcessStartOptions options;
    options.capture_output = true;
    // A white desktop: what a window leaves unpainted is black, so a missing
    // cut shows.
    if (!server_.Start(Line({kServer, display_, "-nolisten", "tcp", "-wr", "-screen", "0", screen}),
                       options)) {
        return false;
    }
    running_ = true;
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (server_.WaitForExit(0)) {
            running_ = false;  // lost the number to someone else
            return false;
        }
        // A server that answers may be another test's that won the number
        // while ours is still on its way out.
        if (LockHolder(number) == server_.pid() &&
            Succeeds({kProbe, "-display", display_, "-root", "-len", "0"}, 10000)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    Stop();
    return false;
}

void XvfbFixture::Stop() {
    if (!running_) {
        return;
    }
    ::kill(server_.pid(), SIGTERM);
    if (!server_.WaitForExit(kStopTimeoutMs)) {
        ::kill(server_.pid(), SIGKILL);
        server_.WaitForExit(kStopTimeoutMs);
    }
    running_ = false;
}

std::optional<platform::gfx::Bitmap> XvfbFixture::Screenshot(const fs::path& path) const {
    std::error_code ec;
    fs::remove(path, ec);
    if (!Succeeds({kScreenshot, "-D", display_, "-o", path.string()}, kScreenshotTimeoutMs)) {
        return std::nullopt;
    }
    return platform::gfx::Bitmap::ReadPng(path.string());
}

}  // namespace testsupport
