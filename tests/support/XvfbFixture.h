// A private X server for tests that show real windows: Xvfb on the first free
// display number from :90 up, without TCP, with one screen of a fixed size
// and a white desktop.
// Start returns once the server answers an X client; the destructor ends it
// however the test went. Screenshots go through scrot.
//
// One object belongs to one thread.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/process/ChildProcess.h"

namespace testsupport {

class XvfbFixture {
  public:
    static constexpr const char* kServer = "/usr/bin/Xvfb";
    static constexpr const char* kScreenshot = "/usr/bin/scrot";
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    XvfbFixture() = default;
    ~XvfbFixture();
    XvfbFixture(const XvfbFixture&) = delete;
    XvfbFixture& operator=(const XvfbFixture&) = delete;

    // Whether the programs this fixture needs are installed.
    static bool Available();
    // False when no display number from :90 to :119 came up in time.
    bool Start();
    void Stop();

    // ":<number>", for DISPLAY.
    const std::string& display() const { return display_; }
    // The whole screen as it is now, written to path first; nullopt when
    // scrot fails.
    std::optional<platform::gfx::Bitmap> Screenshot(const std::filesystem::path& path) const;

  private:
    bool StartOn(int number);

    std::string display_;
    platform::ChildProcess server_;
    bool running_ = false;
};

}  // namespace testsupport
