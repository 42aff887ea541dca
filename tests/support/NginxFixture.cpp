#include "tests/support/NginxFixture.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/process/CommandLine.h"
#include "platform/text/TextConversion.h"
#include "tests/support/HttpFixtureServer.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr uint32_t kStopTimeoutMs = 10000;

// A port nobody listens on right now; nginx may still lose it to another
// process, which Start answers with a retry.
int FreeLoopbackPort() {
    HttpFixtureServer probe;
    return probe.port();
}

bool RunningAsRoot() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Uid:", 0) == 0) {
            std::istringstream fields(line.substr(4));
            int real = -1;
            fields >> real;
            return real == 0;
        }
    }
    return false;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

NginxFixture::~NginxFixture() {
    Stop();
}

std::string NginxFixture::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::string NginxFixture::error_log() const {
    return ReadText(folder_ / "error.log");
}

std::u16string NginxFixture::CommandLine(std::initializer_list<std::string> extra) const {
    std::vector<std::u16string> args = {
        platform::Utf8ToUtf16(kProgram),
        u"-p",
        platform::Utf8ToUtf16(folder_.string() + "/"),
        u"-c",
        platform::Utf8ToUtf16((folder_ / "nginx.conf").string()),
        u"-e",
        platform::Utf8ToUtf16((folder_ / "error.log").string()),
    };
    for (const std::string& arg : extra) {
        args.push_back(platform::Utf8ToUtf16(arg));
    }
    return platform::BuildCommandLine(args);
}

bool NginxFixture::Start(const fs::path& root, const fs::path& folder) {
    root_ = fs::absolute(root);
    folder_ = fs::absolute(folder);
    fs::create_directories(folder_ / "temp");
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (StartOnce()) {
            return true;
        }
    }
    return false;
}

bool NginxFixture::StartOnce() {
    port_ = FreeLoopbackPort();
    if (port_ <= 0) {
        return false;
    }
    const std::string f = folder_.string();
    const fs::path pid_file = folder_ / "nginx.pid";
    fs::remove(pid_file);
    std::ofstream conf(folder_ / "nginx.conf", std::ios::trunc);
    // One process: no workers, so no change of user and nothing to reap.
    conf << "daemon off;\nmaster_process off;\n"
         << (RunningAsRoot() ? "user root;\n" : "") << "pid " << f << "/nginx.pid;\n"
         << "error_log " << f << "/error.log info;\n"
         << "events { worker_connections 64; }\n"
         << "http {\n"
         << "  access_log " << f << "/access.log;\n"
         << "  client_body_temp_path " << f << "/temp/body;\n"
         << "  proxy_temp_path " << f << "/temp/proxy;\n"
         << "  fastcgi_temp_path " << f << "/temp/fastcgi;\n"
         << "  uwsgi_temp_path " << f << "/temp/uwsgi;\n"
         << "  scgi_temp_path " << f << "/temp/scgi;\n"
         << "  types { text/plain txt; }\n"
         << "  default_type application/octet-stream;\n"
         << "  server {\n"
         << "    listen 127.0.0.1:" << port_ << ";\n"
         << "    root " << root_.string() << ";\n"
         << "  }\n"
         << "}\n";
    conf.close();
    if (!conf || !child_.Start(CommandLine({}))) {
        return false;
    }
    // nginx writes its pid file after it has bound its port.
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (child_.WaitForExit(0)) {
            return false;
        }
        if (fs::exists(pid_file) && !ReadText(pid_file).empty()) {
            running_ = true;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    running_ = true;
    Stop();
    return false;
}

bool NginxFixture::Stop() {
    if (!running_) {
        return true;
    }
    platform::ChildProcess signaller;
    if (signaller.Start(CommandLine({"-s", "stop"}))) {
        signaller.WaitForExit(kStopTimeoutMs);
    }
    running_ = !child_.WaitForExit(kStopTimeoutMs);
    return !running_;
}

}  // namespace testsupport
