#include <gtest/gtest.h>

#include "platform/time/Clock.h"
#include "tests/platform/ManualClockDriver.h"
#include "tests/platform/window/TestWindows.h"
#include "tests/support/HeadlessDisplayFixture.h"

namespace platform {
namespace {

using display::ShowState;
using testwindows::Make;
using testwindows::MakeChild;
using testwindows::Probe;
using testwindows::ProbeSetup;

constexpr gfx::Color kRed = gfx::Rgb(200, 0, 0);
constexpr gfx::Color kBlue = gfx::Rgb(0, 0, 200);
constexpr gfx::Color kGreen = gfx::Rgb(0, 200, 0);
constexpr gfx::Color kYellow = gfx::Rgb(200, 200, 0);

// A rectangle with its top-left 5 × 5 corner cut away.
gfx::Region NotchedRect(int width, int height) {
    return gfx::Region(Rect{0, 0, width, height}).Subtract(gfx::Region(Rect{0, 0, 5, 5}));
}

class WindowPaint : public testsupport::HeadlessDisplayTest {
  protected:
    gfx::Color SurfacePixel(WindowHandle window, int x, int y) {
        std::optional<gfx::Bitmap> surface = display().Surface(window);
        return surface.has_value() ? surface->GetPixel(x, y) : 0x12345678;
    }
};

TEST_F(WindowPaint, ChildrenDrawOverTheirParentThroughTheirRegionsAndHiddenOnesNotAtAll) {
    Probe parent_probe{kRed};
    Probe child_probe{kBlue};
    Probe hidden_probe{kGreen};
    const WindowHandle top = Make(parent_probe, ProbeSetup{Rect::FromSize(50, 60, 100, 80)});
    const WindowHandle child = MakeChild(child_probe, top, Rect::FromSize(10, 10, 30, 20));
    SetWindowRegion(child, NotchedRect(30, 20), true);
    const WindowHandle hidden = MakeChild(hidden_probe, top, Rect::FromSize(60, 10, 20, 20), 0);
    ASSERT_NE(hidden, 0u);
    testsupport::PumpUntilIdle();

    EXPECT_EQ(SurfacePixel(top, 20, 20), kBlue);  // the child
    EXPECT_EQ(SurfacePixel(top, 11, 11), kRed);   // cut away: the parent shows
    EXPECT_EQ(SurfacePixel(top, 65, 15), kRed);   // the hidden child
    EXPECT_EQ(SurfacePixel(top, 5, 5), kRed);
    EXPECT_EQ(hidden_probe.passes, 0);

    const gfx::Bitmap screen = display().ComposeScreen();
    EXPECT_EQ(screen.GetPixel(50 + 20, 60 + 20), kBlue);
    EXPECT_EQ(screen.GetPixel(50 + 65, 60 + 15), kRed);
    EXPECT_EQ(screen.GetPixel(49, 60), gfx::kBlack);  // the desktop

    // Shown later, it appears; hidden again, the parent paints over it.
    ShowWindowAs(hidden, kShowShow);
    testsupport::PumpUntilIdle();
    EXPECT_EQ(SurfacePixel(top, 65, 15), kGreen);
    ShowWindowAs(hidden, kShowHide);
    testsupport::PumpUntilIdle();
    EXPECT_EQ(SurfacePixel(top, 65, 15), kRed);
    DestroyWindowHandle(top);
}

TEST_F(WindowPaint, SiblingsOverlapInTheirZOrder) {
    Probe parent_probe{kRed};
    Probe first_probe{kYellow};
    Probe second_probe{kBlue};
    const WindowHandle top = Make(parent_probe, ProbeSetup{Rect::FromSize(0, 0, 100, 100)});
    const WindowHandle first = MakeChild(first_probe, top, Rect::FromSize(10, 10, 40, 40));
    const WindowHandle second = MakeChild(second_probe, top, Rect::FromSize(30, 30, 40, 40));
    testsupport::PumpUntilIdle();
    EXPECT_EQ(SurfacePixel(top, 40, 40), kBlue);  // the later one is on top
    EXPECT_EQ(GetTopChild(top), second);
    EXPECT_EQ(GetNextSibling(second), first);
    EXPECT_EQ(GetPreviousSibling(first), second);

    SetWindowZOrder(first, ZOrder::kTop);
    testsupport::PumpUntilIdle();
    EXPECT_EQ(SurfacePixel(top, 40, 40), kYellow);
    EXPECT_EQ(GetTopChild(top), first);
    EXPECT_EQ(GetNextSibling(first), second);
    EXPECT_EQ(GetNextSibling(second), 0u);
    DestroyWindowHandle(top);
}

TEST_F(WindowPaint, ATopLevelRegionShapesWhatTheScreenShows) {
    Probe probe{kRed};
    const WindowHandle top = Make(probe, ProbeSetup{Rect::FromSize(100, 100, 50, 50)});
    SetWindowRegion(top, NotchedRect(50, 50), true);
    testsupport::PumpUntilIdle();
    gfx::Bitmap screen = display().ComposeScreen();
    EXPECT_EQ(screen.GetPixel(102, 102), gfx::kBlack);
    EXPECT_EQ(screen.GetPixel(110, 110), kRed);
    ASSERT_TRUE(display().Find(top)->shape.has_value());
    EXPECT_EQ(*display().Find(top)->shape, NotchedRect(50, 50));

    // An empty region: nothing of the window shows.
    SetWindowRegion(top, gfx::Region(), true);
    testsupport::PumpUntilIdle();
    screen = display().ComposeScreen();
    EXPECT_EQ(screen.GetPixel(110, 110), gfx::kBlack);
    DestroyWindowHandle(top);
}

TEST_F(WindowPaint, InvalidationsCoalesceIntoOnePassAndAPassValidates) {
    Probe parent_probe{kRed};
    Probe child_probe{kBlue};
    const WindowHandle top = Make(parent_probe, ProbeSetup{Rect::FromSize(0, 0, 100, 100)});
    const WindowHandle child = MakeChild(child_probe, top, Rect::FromSize(10, 10, 20, 20));
    testsupport::PumpUntilIdle();
    ASSERT_EQ(child_probe.passes, 1);
    ASSERT_EQ(parent_probe.passes, 1);

    InvalidateWindow(child, Rect{0, 0, 5, 5}, true);
    InvalidateWindow(child, std::nullopt, false);
    EXPECT_TRUE(HasPendingPaint(child));
    EXPECT_TRUE(HasPendingPaint(top));
    testsupport::PumpUntilIdle();
    EXPECT_EQ(child_probe.passes, 2);
    EXPECT_EQ(parent_probe.passes, 2);  // it lies under the child, so it paints first
    EXPECT_FALSE(HasPendingPaint(child));

    // A child elsewhere is not painted when a part away from it is dirty.
    InvalidateWindow(top, Rect{60, 60, 70, 70}, true);
    testsupport::PumpUntilIdle();
    EXPECT_EQ(child_probe.passes, 2);
    EXPECT_EQ(parent_probe.passes, 3);

    // UpdateWindowNow paints at once, leaving nothing for the queue.
    InvalidateWindow(child, std::nullopt, true);
    UpdateWindowNow(child);
    EXPECT_EQ(child_probe.passes, 3);
    EXPECT_EQ(testsupport::PumpUntilIdle(), 0);
    DestroyWindowHandle(top);
}

TEST_F(WindowPaint, AProcedureIgnoringPaintDoesNotRepaintForever) {
    Probe probe;
    probe.paints = false;
    const WindowHandle top = Make(probe, ProbeSetup{Rect::FromSize(0, 0, 40, 40)});
    const int dispatched = testsupport::PumpUntilIdle(100);
    EXPECT_LE(dispatched, 2);
    EXPECT_EQ(probe.passes, 1);
    EXPECT_FALSE(HasPendingPaint(top));
    DestroyWindowHandle(top);
}

TEST_F(WindowPaint, PassesComeAfterPostedMessagesAndBeforeTimers) {
    platform::ManualClock clock;
    testsupport::ScopedClock scoped(&clock);
    Probe probe{kRed};
    const WindowHandle top = Make(probe, ProbeSetup{Rect::FromSize(0, 0, 40, 40)});
    testsupport::PumpUntilIdle();
    ASSERT_TRUE(SetWindowTimer(top, 5, 10));
    clock.Advance(20);
    InvalidateWindow(top, std::nullopt, true);
    PostMessageTo(top, kMsgUser + 1, 0, 0);

    std::vector<std::uint32_t> order;
    Message message;
    while (order.size() < 3 && PeekNextMessage(message, true)) {
        order.push_back(message.message);
        DispatchMessageToWindow(message);
    }
    EXPECT_EQ(order, (std::vector<std::uint32_t>{kMsgUser + 1, kMsgPaint, kMsgTimer}));
    KillWindowTimer(top, 5);
    DestroyWindowHandle(top);
}

TEST_F(WindowPaint, DrawingOutsideAPassIsShownAfterTheNextPass) {
    Probe probe{kRed};
    const WindowHandle top = Make(probe, ProbeSetup{Rect::FromSize(0, 0, 40, 40)});
    testsupport::PumpUntilIdle();
    {
        PaintScope paint(top);
        paint.Context().FillRect(Rect{0, 0, 10, 10}, kGreen);
    }
    EXPECT_EQ(SurfacePixel(top, 2, 2), kRed);  // not yet shown
    testsupport::PumpUntilIdle();
    EXPECT_EQ(SurfacePixel(top, 2, 2), kGreen);
    EXPECT_EQ(SurfacePixel(top, 20, 20), kRed);
    DestroyWindowHandle(top);
}

TEST_F(WindowPaint, ShowStatesReachTheDisplay) {
    Probe probe{kRed};
    ProbeSetup setup{Rect::FromSize(10, 20, 30, 40)};
    setup.style = kStylePopup;
    const WindowHandle top = Make(probe, setup);
    testsupport::PumpUntilIdle();
    EXPECT_FALSE(display().Find(top).has_value());  // never shown, never announced

    struct Case {
        int command;
        bool was_visible;
        ShowState state;
        bool shown;
        bool minimized;
    };
    const Case cases[] = {
        {kShowNormal, false, ShowState::kNormal, true, false},
        {kShowMinimize, true, ShowState::kMinimized, true, true},
        {kShowShow, true, ShowState::kMinimized, true, true},  // stays minimised
        {kShowRestore, true, ShowState::kNormal, true, false},
        {kShowHide, true, ShowState::kHidden, false, false},
        {kShowShow, false, ShowState::kNormal, true, false},
        {kShowMinimized, true, ShowState::kMinimized, true, true},
        {kShowHide, true, ShowState::kHidden, false, true},
        {kShowNoActivate, false, ShowState::kNormal, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command);
        EXPECT_EQ(ShowWindowAs(top, c.command), c.was_visible);
        testsupport::PumpUntilIdle();
        ASSERT_TRUE(display().Find(top).has_value());
        EXPECT_EQ(display().Find(top)->state, c.state);
        EXPECT_EQ(display().Find(top)->screen_rect, Rect::FromSize(10, 20, 30, 40));
        EXPECT_EQ(IsWindowShown(top), c.shown);
        EXPECT_EQ(IsWindowMinimized(top), c.minimized);
        const bool on_screen = display().ComposeScreen().GetPixel(15, 25) == kRed;
        EXPECT_EQ(on_screen, c.state == ShowState::kNormal);
    }
    MoveWindowTo(top, 300, 200, 30, 40, true);
    EXPECT_EQ(display().Find(top)->screen_rect, Rect::FromSize(300, 200, 30, 40));
    DestroyWindowHandle(top);
    EXPECT_FALSE(display().Find(top).has_value());
}

TEST_F(WindowPaint, AResizedTopLevelWindowIsPaintedAtItsNewSize) {
    Probe probe{kBlue};
    const WindowHandle top = Make(probe, ProbeSetup{Rect::FromSize(0, 0, 20, 20)});
    testsupport::PumpUntilIdle();
    MoveWindowTo(top, 0, 0, 60, 30, true);
    testsupport::PumpUntilIdle();
    std::optional<gfx::Bitmap> surface = display().Surface(top);
    ASSERT_TRUE(surface.has_value());
    EXPECT_EQ(surface->Dimensions(), (Size{60, 30}));
    EXPECT_EQ(surface->GetPixel(55, 25), kBlue);
    ASSERT_EQ(probe.Of(kMsgSize).size(), 1u);
    EXPECT_EQ(PointX(probe.Of(kMsgSize)[0].lParam), 60);
    DestroyWindowHandle(top);
}

}  // namespace
}  // namespace platform
