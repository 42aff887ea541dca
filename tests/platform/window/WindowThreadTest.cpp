#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/sync/Event.h"
#include "tests/platform/Watchdog.h"
#include "tests/platform/window/TestWindows.h"
#include "tests/support/HeadlessDisplayFixture.h"

namespace platform {
namespace {

using testwindows::Make;
using testwindows::MakeChild;
using testwindows::Probe;
using testwindows::ProbeSetup;

// A headless display that notes which window each call was about and on
// which thread it came.
class NotingDisplay : public display::headless::HeadlessDisplay {
  public:
    struct Call {
        std::string what;
        WindowHandle window;
        std::thread::id thread;
    };
    std::vector<Call> Calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

    void ShowWindow(WindowHandle window, const gfx::Rect& rect, display::ShowState state,
                    bool topmost) override {
        Note("show", window);
        HeadlessDisplay::ShowWindow(window, rect, state, topmost);
    }
    void MoveWindow(WindowHandle window, const gfx::Rect& rect) override {
        Note("move", window);
        HeadlessDisplay::MoveWindow(window, rect);
    }
    void SetShape(WindowHandle window, const std::optional<gfx::Region>& shape) override {
        Note("shape", window);
        HeadlessDisplay::SetShape(window, shape);
    }
    void Raise(WindowHandle window, bool topmost) override {
        Note("raise", window);
        HeadlessDisplay::Raise(window, topmost);
    }
    void DestroyWindow(WindowHandle window) override {
        Note("destroy", window);
        HeadlessDisplay::DestroyWindow(window);
    }
    void Present(WindowHandle window, const gfx::Bitmap& surface, const gfx::Rect& dirty) override {
        Note("present", window);
        HeadlessDisplay::Present(window, surface, dirty);
    }

  private:
    void Note(const char* what, WindowHandle window) {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(Call{what, window, std::this_thread::get_id()});
    }
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
};

class WindowThreads : public ::testing::Test {
  protected:
    void SetUp() override {
        auto noting = std::make_unique<NotingDisplay>();
        display_ = noting.get();
        previous_ = display::ReplaceBackend(std::move(noting));
    }
    void TearDown() override { display::ReplaceBackend(std::move(previous_)); }

    NotingDisplay* display_ = nullptr;

  private:
    std::unique_ptr<display::DisplayBackend> previous_;
};

TEST_F(WindowThreads, AWorkersHiddenWindowNeverReachesTheDisplay) {
    testsupport::Watchdog watchdog;
    std::thread([] {
        Probe probe;
        ProbeSetup setup{Rect::FromSize(0, 0, 40, 40)};
        setup.style = kStylePopup;
        const WindowHandle window = Make(probe, setup);
        ASSERT_NE(window, 0u);
        Probe child_probe;
        MakeChild(child_probe, window, Rect::FromSize(0, 0, 10, 10));
        MoveWindowTo(window, 10, 10, 50, 50, true);
        SetWindowRegion(window, gfx::Region(Rect{0, 0, 5, 5}), true);
        SetWindowZOrder(window, ZOrder::kTopmost);
        InvalidateWindow(window, std::nullopt, true);
        GetWindowContext(window).GetTextExtent(u"measure");
        testsupport::PumpUntilIdle();
        EXPECT_EQ(probe.passes, 0);
        DestroyWindowHandle(window);
    }).join();
    EXPECT_TRUE(display_->Calls().empty());
}

TEST_F(WindowThreads, WindowsOfAThreadThatEndsLeaveTheScreen) {
    testsupport::Watchdog watchdog;
    WindowHandle window = 0;
    std::thread([&] {
        Probe probe;
        window = Make(probe, ProbeSetup{Rect::FromSize(500, 500, 40, 40)});
        testsupport::PumpUntilIdle();
        EXPECT_TRUE(display_->Find(window).has_value());
        SetWindowUserData(window, 0);  // the probe goes before the window
    }).join();
    EXPECT_FALSE(IsWindowHandle(window));
    EXPECT_FALSE(display_->Find(window).has_value());
    EXPECT_EQ(WindowAtScreenPoint(Point{510, 510}), 0u);
    EXPECT_NE(GetTopChild(0), window);
}

TEST_F(WindowThreads, ShowEnableAndInvalidateFromAWorkerRunOnTheOwnersThread) {
    testsupport::Watchdog watchdog;
    Probe top_probe{gfx::Rgb(10, 20, 30)};
    Probe child_probe{gfx::Rgb(40, 50, 60)};
    const WindowHandle top = Make(top_probe, ProbeSetup{Rect::FromSize(0, 0, 60, 60)});
    const WindowHandle child = MakeChild(child_probe, top, Rect::FromSize(10, 10, 20, 20));
    testsupport::PumpUntilIdle();
    const int passes_before = child_probe.passes;

    // The owner keeps answering while it waits, as a modal loop does.
    const auto on_worker = [](const std::function<void()>& work) {
        Event done(Event::Mode::kManualReset);
        std::thread worker([&] {
            work();
            done.Set();
        });
        EXPECT_TRUE(WaitForEventPumping(done, 10000));
        worker.join();
        testsupport::PumpUntilIdle();
    };
    bool was_disabled = true;
    on_worker([&] {
        was_disabled = EnableWindowInput(top, false);
        InvalidateWindow(child, std::nullopt, true);
    });
    EXPECT_FALSE(was_disabled);
    EXPECT_FALSE(IsWindowEnabledState(top));
    ASSERT_EQ(top_probe.Of(kMsgEnable).size(), 1u);
    EXPECT_EQ(top_probe.Of(kMsgEnable)[0].wParam, 0u);
    EXPECT_EQ(child_probe.passes, passes_before + 1);

    on_worker([&] { ShowWindowAs(top, kShowMinimize); });
    EXPECT_TRUE(IsWindowMinimized(top));
    for (const NotingDisplay::Call& call : display_->Calls()) {
        EXPECT_EQ(call.thread, std::this_thread::get_id()) << call.what;
    }
    EXPECT_EQ(display_->Find(top)->state, display::ShowState::kMinimized);
    DestroyWindowHandle(top);
}

// A display that must be pumped: its third pump brings the pointer over a
// window.
class PumpedDisplay : public display::headless::HeadlessDisplay {
  public:
    void PumpEvents(std::uint32_t /*timeout_ms*/) override {
        if (++pumps_ == 3) {
            MoveMouse(Point{20, 20});
        }
    }
    bool NeedsPumping() const override { return true; }
    int pumps() const { return pumps_; }

  private:
    std::atomic<int> pumps_{0};
};

TEST(WindowPumping, AWaitingThreadThatShowsWindowsPumpsTheDisplay) {
    testsupport::Watchdog watchdog;
    auto pumped = std::make_unique<PumpedDisplay>();
    PumpedDisplay* display = pumped.get();
    std::unique_ptr<display::DisplayBackend> previous = display::ReplaceBackend(std::move(pumped));
    Probe probe;
    const WindowHandle window = Make(probe, ProbeSetup{Rect::FromSize(0, 0, 50, 50)});
    testsupport::PumpUntilIdle();
    // Nothing else will ever wake this loop: only the pumped pointer can.
    RunModalLoop([&] { return probe.Of(kMsgMouseMove).empty(); });
    EXPECT_GE(display->pumps(), 3);
    DestroyWindowHandle(window);
    display::ReplaceBackend(std::move(previous));
}

}  // namespace
}  // namespace platform
