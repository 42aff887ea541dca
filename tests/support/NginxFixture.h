// The system's nginx as a test server: a foreground child on a free port of
// 127.0.0.1, serving one folder, with its configuration, pid file, logs and
// temporary folders all inside a folder of the test. No system configuration
// is read and nothing is written outside that folder.
//
// One object belongs to one thread. The destructor stops a running server.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/process/ChildProcess.h"

namespace testsupport {

class NginxFixture {
  public:
    static constexpr const char* kProgram = "/usr/sbin/nginx";

    NginxFixture() = default;
    ~NginxFixture();
    NginxFixture(const NginxFixture&) = delete;
    NginxFixture& operator=(const NginxFixture&) = delete;

    // Serves root (native path) with nginx's own files in folder; false when
    // it does not come up in a few seconds (error_log() tells why).
    bool Start(const std::filesystem::path& root, const std::filesystem::path& folder);
    // True once the server has ended.
    bool Stop();

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by path.
    std::string Url(std::string_view path) const;
    std::string error_log() const;

  private:
    bool StartOnce();
    std::u16string CommandLine(std::initializer_list<std::string> extra) const;

    std::filesystem::path root_;
    std::filesystem::path folder_;
    int port_ = 0;
    platform::ChildProcess child_;
    bool running_ = false;
};

}  // namespace testsupport
