// Fixture for tests that start the platform probe as a second process.
#pragma once

#include <string>
#include <vector>

#include "platform/process/ChildProcess.h"
#include "tests/support/Sandbox.h"

namespace testsupport {

class ProbeTest : public SandboxTest {
  protected:
    static std::u16string ProbePath();
    // The probe's command line with these arguments after the program.
    static std::u16string ProbeLine(const std::vector<std::u16string>& args);
    // Starts the probe with its output captured.
    static void StartProbe(platform::ChildProcess& child, const std::vector<std::u16string>& args);
    // Runs the probe to its end and gives what it wrote.
    static std::string RunProbe(const std::vector<std::u16string>& args);
    // Reads the captured output until it ends with suffix or 20 s pass.
    static std::string ReadUntil(platform::ChildProcess& child, const std::string& suffix);
    // A file the probe waits for before it ends; made by Release.
    std::u16string ReleaseFile() const;
    void Release() const;
};

}  // namespace testsupport
