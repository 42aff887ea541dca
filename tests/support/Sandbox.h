// Every test runs in a folder of its own: VELA_SANDBOX points below it (so the
// layer's user and machine folders live there) and it is the current directory.
// The folder is removed when the test passes and kept when it fails.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace testsupport {

class SandboxTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The test's working directory (native path).
    const std::filesystem::path& work() const { return work_; }
    // Native path of a built program, such as a helper or a tool.
    static std::string BinPath(const std::string& program);

    // Small file helpers for fixtures.
    static void WriteFile(const std::filesystem::path& path, std::string_view bytes);
    static std::string ReadFile(const std::filesystem::path& path);

  private:
    std::filesystem::path root_;
    std::filesystem::path work_;
    std::filesystem::path previous_cwd_;
};

}  // namespace testsupport
