// A sandbox for tests of the curl downloader: libcurl initialised for the
// suite, the "temp_d" folder it writes into, and the run log kept off
// standard output and read back from "Launch.log".
#pragma once

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/RunLog.h"
#include "tests/support/Sandbox.h"

namespace testsupport {

class CurlSandboxTest : public SandboxTest {
  protected:
    static void SetUpTestSuite() { ASSERT_EQ(curl_global_init(CURL_GLOBAL_DEFAULT), CURLE_OK); }
    static void TearDownTestSuite() { curl_global_cleanup(); }

    void SetUp() override {
        SandboxTest::SetUp();
        std::filesystem::create_directory(work() / "temp_d");
        saved_log_ = CurrentRunLogOptions();
        ConfigureRunLog({.echo_to_stdout = false, .write_file = true});
    }
    void TearDown() override {
        ConfigureRunLog(saved_log_);
        SandboxTest::TearDown();
    }

    std::string RunLog() const { return ReadFile(work() / "Launch.log"); }

  private:
    RunLogOptions saved_log_;
};

}  // namespace testsupport
