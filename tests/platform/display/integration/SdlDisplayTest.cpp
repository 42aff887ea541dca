// The sdl display on a real X server: windows shown through the window layer
// appear on the screen where the layer put them, cut by their region;
// notification-area icons dock into a tray manager and report clicks; popup
// menus see presses anywhere on the screen; a program ending right after its
// windows ends cleanly. Each test runs its own Xvfb and looks at the screen
// through scrot.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/process/ChildProcess.h"
#include "platform/process/CommandLine.h"
#include "platform/text/TextConversion.h"
#include "tests/support/Sandbox.h"
#include "tests/support/XvfbFixture.h"

namespace {

using platform::gfx::Bitmap;
using platform::gfx::Color;
using platform::gfx::Rgb;
using Clock = std::chrono::steady_clock;

// Generous: two cores shared with builds, a software GL stack.
constexpr auto kDeadline = std::chrono::seconds(45);
constexpr std::uint32_t kExitTimeoutMs = 20000;

std::string Hex(Color c) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", platform::gfx::RedOf(c),
                  platform::gfx::GreenOf(c), platform::gfx::BlueOf(c));
    return text;
}

// A child of the test with its standard output read line by line.
class Program {
  public:
    ~Program() {
        if (started_ && !child_.WaitForExit(0)) {
            ::kill(child_.pid(), SIGKILL);
            child_.WaitForExit(kExitTimeoutMs);
        }
    }

    bool Start(const std::vector<std::string>& args) {
        std::vector<std::u16string> wide;
        for (const std::string& arg : args) {
            wide.push_back(platform::Utf8ToUtf16(arg));
        }
        platform::ProcessStartOptions options;
        options.capture_output = true;
        started_ = child_.Start(platform::BuildCommandLine(wide), options);
        return started_;
    }

    // The first line beginning with prefix that arrives before the deadline;
    // nullopt when the program ends or the deadline passes first.
    std::optional<std::string> WaitForLine(const std::string& prefix,
                                           Clock::duration within = kDeadline) {
        const auto deadline = Clock::now() + within;
        for (;;) {
            for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                seen_ += line + "\n";
                if (line.rfind(prefix, 0) == 0) {
                    return line;
                }
            }
            const std::string more = child_.ReadOutput(4096);
            if (!more.empty()) {
                pending_ += more;
                continue;
            }
            if (child_.WaitForExit(0) || Clock::now() > deadline) {
                pending_ += child_.ReadOutput(4096);
                if (pending_.find('\n') != std::string::npos) {
                    continue;
                }
                return std::nullopt;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    // Waits for the end; the exit code, or nullopt when it does not end.
    std::optional<int> Finish() {
        if (!child_.WaitForExit(kExitTimeoutMs)) {
            return std::nullopt;
        }
        seen_ += pending_ + child_.ReadOutput(1 << 16);
        pending_.clear();
        return child_.exit_code();
    }

    const std::string& seen() const { return seen_; }

  private:
    platform::ChildProcess child_;
    bool started_ = false;
    std::string pending_;
    std::string seen_;
};

class SdlDisplayTest : public testsupport::SandboxTest {
  protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (!testsupport::XvfbFixture::Available()) {
            GTEST_SKIP() << "Xvfb, scrot or xprop is not installed (scripts/bootstrap)";
        }
        ASSERT_TRUE(xvfb_.Start()) << "no Xvfb came up on :90 to :119";
        // The children show real windows on our private server.
        SetEnv("DISPLAY", xvfb_.display());
        SetEnv("VELA_DISPLAY", "sdl");
    }

    void TearDown() override {
        for (const auto& [name, value] : saved_env_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        xvfb_.Stop();
        SandboxTest::TearDown();
    }

    void SetEnv(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        saved_env_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }

    std::optional<Bitmap> Shot() { return xvfb_.Screenshot(work() / "screen.png"); }

    // Takes screenshots until every expected pixel is there or the deadline
    // passes; returns the differences of the last one.
    struct Expected {
        int x;
        int y;
        Color color;
        const char* what;
    };
    std::string WaitForPixels(const std::vector<Expected>& expected) {
        const auto deadline = Clock::now() + kDeadline;
        std::string differences = "no screenshot";
        do {
            std::optional<Bitmap> screen = Shot();
            if (screen) {
                differences.clear();
                for (const Expected& e : expected) {
                    const Color got = screen->GetPixel(e.x, e.y);
                    if (got != e.color) {
                        differences += std::string(e.what) + " at (" + std::to_string(e.x) + ", " +
                                       std::to_string(e.y) + "): " + Hex(got) + ", expected " +
                                       Hex(e.color) + "\n";
                    }
                }
                if (differences.empty()) {
                    return differences;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } while (Clock::now() < deadline);
        return differences;
    }

    testsupport::XvfbFixture xvfb_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_env_;
};

TEST_F(SdlDisplayTest, ShapedWindowAppearsAtItsPlaceCutByItsRegion) {
    const std::optional<Bitmap> before = Shot();
    ASSERT_TRUE(before) << "scrot failed on " << xvfb_.display();
    // Neither 0 nor round numbers, so an offset or a lost coordinate shows.
    const int left = 137;
    const int top = 211;
    const Color desktop_inside_hole = before->GetPixel(left + 100, top + 60);
    const Color desktop_left_of_window = before->GetPixel(left - 1, top);
    const Color desktop_above_window = before->GetPixel(left, top - 1);

    const std::string stop = (work() / "stop").string();
    Program probe;
    ASSERT_TRUE(probe.Start(
        {BinPath("display_probe"), "window", std::to_string(left), std::to_string(top), stop}));
    const std::optional<std::string> ready = probe.WaitForLine("ready");
    ASSERT_TRUE(ready) << probe.seen();
    ASSERT_EQ(*ready, "ready sdl") << "the sdl display did not start:\n" << probe.seen();

    const Color red = Rgb(255, 0, 0);
    const Color blue = Rgb(0, 0, 255);
    EXPECT_EQ(WaitForPixels({
                  {left, top, red, "top left corner"},
                  {left + 20, top + 60, red, "left half"},
                  {left + 199, top + 119, blue, "bottom right corner"},
                  {left + 150, top + 10, blue, "right half"},
                  {left + 59, top + 60, red, "left of the hole"},
                  {left + 140, top + 60, blue, "right of the hole"},
                  {left + 100, top + 60, desktop_inside_hole, "inside the hole (cut away)"},
                  {left + 60, top + 30, desktop_inside_hole, "hole's corner (cut away)"},
                  {left - 1, top, desktop_left_of_window, "left of the window"},
                  {left, top - 1, desktop_above_window, "above the window"},
              }),
              "");

    WriteFile(stop, "");
    EXPECT_EQ(probe.Finish(), 0) << probe.seen();
}

TEST_F(SdlDisplayTest, HidingMinimisingMovingAndReshapingReachTheScreen) {
    const int left = 401;
    const int top = 93;
    const Color white = Rgb(255, 255, 255);  // the desktop
    const Color red = Rgb(255, 0, 0);
    const Color blue = Rgb(0, 0, 255);
    const Color green = Rgb(0, 255, 0);
    const std::string stop = (work() / "stop").string();
    Program probe;
    ASSERT_TRUE(probe.Start(
        {BinPath("display_probe"), "window", std::to_string(left), std::to_string(top), stop}));
    ASSERT_EQ(probe.WaitForLine("ready").value_or(probe.seen()), "ready sdl");
    const std::vector<Expected> shown = {
        {left + 20, top + 60, red, "left half"},
        {left + 150, top + 10, blue, "right half"},
    };
    const std::vector<Expected> gone = {
        {left + 20, top + 60, white, "left half"},
        {left + 150, top + 10, white, "right half"},
    };
    ASSERT_EQ(WaitForPixels(shown), "");

    struct Step {
        const char* command;
        std::vector<Expected> screen;
    };
    // Xvfb runs no window manager: a minimised window has nowhere to go but
    // off the screen.
    const int l = left + 50;
    const int t = top + 40;
    const Step steps[] = {
        {"hide", gone},
        {"show", shown},
        {"minimize", gone},
        {"show", shown},
        {"grow",
         {{l + 20, t + 150, red, "grown left half"},
          {l + 250, t + 150, blue, "grown right half"},
          {l + 100, t + 60, green, "former hole, now inside"},
          {left + 10, top + 10, white, "where the window was"}}},
    };
    for (const Step& step : steps) {
        WriteFile(stop + "." + step.command, "");
        ASSERT_EQ(probe.WaitForLine("did").value_or(probe.seen()),
                  std::string("did ") + step.command);
        EXPECT_EQ(WaitForPixels(step.screen), "") << "after " << step.command;
    }

    WriteFile(stop, "");
    EXPECT_EQ(probe.Finish(), 0) << probe.seen();
}

TEST_F(SdlDisplayTest, InputOnTheWindowReachesItInClientCoordinates) {
    const int left = 311;
    const int top = 157;
    const std::string stop = (work() / "stop").string();
    Program probe;
    ASSERT_TRUE(probe.Start(
        {BinPath("display_probe"), "window", std::to_string(left), std::to_string(top), stop}));
    const std::optional<std::string> ready = probe.WaitForLine("ready");
    ASSERT_EQ(ready.value_or(probe.seen()), "ready sdl");
    // Input needs the window mapped where it belongs.
    ASSERT_EQ(WaitForPixels({{left + 20, top + 60, Rgb(255, 0, 0), "left half"}}), "");

    struct Case {
        std::vector<std::string> input;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {{"click", std::to_string(left + 20), std::to_string(top + 60)},
         {"down 20 60", "up 20 60"}},
        {{"click", std::to_string(left + 150), std::to_string(top + 10), "right"},
         {"rdown 150 10"}},
        {{"close", std::to_string(left + 20), std::to_string(top + 60)}, {"close"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {BinPath("x_send_input")};
        args.insert(args.end(), c.input.begin(), c.input.end());
        Program sender;
        ASSERT_TRUE(sender.Start(args));
        ASSERT_EQ(sender.Finish(), 0)
            << "no window at the point: " << c.input[1] << ", " << c.input[2];
        for (const std::string& line : c.lines) {
            const std::string word = line.substr(0, line.find(' '));
            EXPECT_EQ(probe.WaitForLine(word).value_or("nothing:\n" + probe.seen()), line);
        }
    }

    WriteFile(stop, "");
    EXPECT_EQ(probe.Finish(), 0) << probe.seen();
}

// The menu's pointer grab starts as soon as the menu is on the screen; until
// then a press outside reaches only the desktop, so the test presses again.
TEST_F(SdlDisplayTest, APopupMenuEndsOnAPressOutsideAndChoosesOnAPressInside) {
    const int left = 233;
    const int top = 175;
    Program probe;
    ASSERT_TRUE(
        probe.Start({BinPath("display_probe"), "menu", std::to_string(left), std::to_string(top)}));
    const auto press = [](int x, int y) {
        Program sender;
        return sender.Start(
                   {BinPath("x_send_input"), "press", std::to_string(x), std::to_string(y)}) &&
               sender.Finish() == 0;
    };

    // Far from the probe's windows, on the bare desktop.
    ASSERT_TRUE(probe.WaitForLine("menu")) << probe.seen();
    std::optional<std::string> chose;
    for (int attempt = 0; attempt < 20 && !chose; ++attempt) {
        ASSERT_TRUE(press(1000, 700));
        chose = probe.WaitForLine("chose", std::chrono::milliseconds(500));
    }
    EXPECT_EQ(chose.value_or("nothing:\n" + probe.seen()), "chose 0");

    // The second row of the menu, through the same grab.
    const std::optional<std::string> shown = probe.WaitForLine("menu");
    ASSERT_TRUE(shown) << probe.seen();
    int l = 0, t = 0, r = 0, b = 0;
    ASSERT_EQ(std::sscanf(shown->c_str(), "menu %d %d %d %d", &l, &t, &r, &b), 4) << *shown;
    const int row = (b - t - 4) / 2;
    chose.reset();
    for (int attempt = 0; attempt < 20 && !chose; ++attempt) {
        ASSERT_TRUE(press((l + r) / 2, t + 2 + row + row / 2));
        chose = probe.WaitForLine("chose", std::chrono::milliseconds(500));
    }
    EXPECT_EQ(chose.value_or("nothing:\n" + probe.seen()), "chose 1002");
    EXPECT_EQ(probe.Finish(), 0) << probe.seen();
}

// Windows destroyed right before main returns are still being torn down on
// the backend thread while the process ends.
TEST_F(SdlDisplayTest, AProgramEndingRightAfterItsWindowsEndsCleanly) {
    for (int run = 0; run < 8; ++run) {
        Program probe;
        ASSERT_TRUE(probe.Start({BinPath("display_probe"), "flash", "6"}));
        ASSERT_EQ(probe.WaitForLine("flashed").value_or(probe.seen()), "flashed sdl");
        EXPECT_EQ(probe.Finish(), 0) << "run " << run << ":\n" << probe.seen();
    }
}

TEST_F(SdlDisplayTest, TrayIconDocksWhenAManagerAppearsAndReportsClicks) {
    const std::string stop = (work() / "stop").string();
    Program probe;
    ASSERT_TRUE(probe.Start({BinPath("display_probe"), "tray", stop}));
    // No tray manager yet: the icon is still added.
    const std::optional<std::string> icon = probe.WaitForLine("icon");
    ASSERT_TRUE(icon) << probe.seen();
    ASSERT_EQ(*icon, "icon 1 sdl") << probe.seen();

    const int tray_x = 500;
    const int tray_y = 300;
    Program host;
    ASSERT_TRUE(
        host.Start({BinPath("tray_host"), std::to_string(tray_x), std::to_string(tray_y), stop}));
    ASSERT_TRUE(host.WaitForLine("ready")) << host.seen();
    ASSERT_TRUE(host.WaitForLine("docked")) << "the icon never asked to dock\n" << host.seen();

    // The host presses the right button, then the left one.
    const std::optional<std::string> right = probe.WaitForLine("click");
    const std::optional<std::string> left = probe.WaitForLine("click");
    EXPECT_EQ(right.value_or(probe.seen()), "click 7 516");
    EXPECT_EQ(left.value_or(probe.seen()), "click 7 513");

    // Drawn through its shape: the cut-away corner shows the tray.
    EXPECT_EQ(WaitForPixels({
                  {tray_x + 12, tray_y + 12, Rgb(255, 0, 255), "icon"},
                  {tray_x + 2, tray_y + 2, Rgb(128, 128, 128), "icon's cut-away corner"},
              }),
              "");

    WriteFile(stop, "");
    EXPECT_EQ(probe.Finish(), 0) << probe.seen();
    EXPECT_EQ(host.Finish(), 0) << host.seen();
}

}  // namespace
