#include <gtest/gtest.h>

#include "platform/time/Clock.h"
#include "tests/platform/ManualClockDriver.h"
#include "tests/platform/window/TestWindows.h"
#include "tests/support/HeadlessDisplayFixture.h"

namespace platform {
namespace {

using testwindows::Make;
using testwindows::MakeChild;
using testwindows::Probe;
using testwindows::ProbeSetup;

constexpr std::uint32_t kMsgTrayNotify = 1126;

Point ClientPoint(const Message& m) {
    return Point{PointX(m.lParam), PointY(m.lParam)};
}

class WindowInput : public testsupport::HeadlessDisplayTest {
  protected:
    void Click(Point p, bool right = false) {
        display().Click(p, right);
        testsupport::PumpUntilIdle();
    }
    void Move(Point p) {
        display().MoveMouse(p);
        testsupport::PumpUntilIdle();
    }
};

// A parent at (100, 100) with a 40 × 40 child at (10, 10) whose top-left
// 10 × 10 block is cut away.
struct CutChild {
    Probe parent_probe;
    Probe child_probe;
    WindowHandle top = 0;
    WindowHandle child = 0;
    CutChild() {
        top = Make(parent_probe, ProbeSetup{Rect::FromSize(100, 100, 100, 100)});
        child = MakeChild(child_probe, top, Rect::FromSize(10, 10, 40, 40));
        SetWindowRegion(
            child, gfx::Region(Rect{0, 0, 40, 40}).Subtract(gfx::Region(Rect{0, 0, 10, 10})), true);
    }
    ~CutChild() { DestroyWindowHandle(top); }
};

TEST_F(WindowInput, ClicksFindTheDeepestWindowThroughRegions) {
    CutChild w;
    testsupport::PumpUntilIdle();

    Click(Point{112, 112});  // on the child's cut-away corner
    ASSERT_EQ(w.parent_probe.Of(kMsgLeftButtonDown).size(), 1u);
    EXPECT_EQ(ClientPoint(w.parent_probe.Of(kMsgLeftButtonDown)[0]), (Point{12, 12}));
    EXPECT_TRUE(w.child_probe.Of(kMsgLeftButtonDown).empty());
    EXPECT_EQ(WindowAtScreenPoint(Point{112, 112}), w.top);

    Click(Point{130, 130});
    ASSERT_EQ(w.child_probe.Of(kMsgLeftButtonDown).size(), 1u);
    EXPECT_EQ(ClientPoint(w.child_probe.Of(kMsgLeftButtonDown)[0]), (Point{20, 20}));
    ASSERT_EQ(w.child_probe.Of(kMsgLeftButtonUp).size(), 1u);
    EXPECT_EQ(w.parent_probe.Of(kMsgLeftButtonDown).size(), 1u);
    EXPECT_EQ(WindowAtScreenPoint(Point{130, 130}), w.child);

    // A child whose hit test passes the point on leaves it to its parent.
    w.child_probe.hit = kHitTransparent;
    Click(Point{130, 130});
    EXPECT_EQ(w.parent_probe.Of(kMsgLeftButtonDown).size(), 2u);
    EXPECT_EQ(w.child_probe.Of(kMsgLeftButtonDown).size(), 1u);

    // A disabled child: its parent gets the input.
    w.child_probe.hit = kHitClient;
    EnableWindowInput(w.child, false);
    Click(Point{130, 130});
    EXPECT_EQ(w.parent_probe.Of(kMsgLeftButtonDown).size(), 3u);
    EXPECT_EQ(w.child_probe.Of(kMsgLeftButtonDown).size(), 1u);

    // A disabled top-level window takes nothing, and nothing below gets it.
    EnableWindowInput(w.top, false);
    Click(Point{180, 180});
    EXPECT_EQ(w.parent_probe.Of(kMsgLeftButtonDown).size(), 3u);
}

TEST_F(WindowInput, AWindowWithAnEmptyRegionLetsClicksThroughToTheOneBelow) {
    Probe below_probe;
    Probe above_probe;
    const WindowHandle below = Make(below_probe, ProbeSetup{Rect::FromSize(0, 0, 100, 100)});
    const WindowHandle above = Make(above_probe, ProbeSetup{Rect::FromSize(0, 0, 100, 100)});
    testsupport::PumpUntilIdle();
    Click(Point{50, 50});
    EXPECT_EQ(above_probe.Of(kMsgLeftButtonDown).size(), 1u);
    EXPECT_EQ(below_probe.Of(kMsgLeftButtonDown).size(), 0u);

    SetWindowRegion(above, gfx::Region(), true);
    Click(Point{50, 50});
    EXPECT_EQ(above_probe.Of(kMsgLeftButtonDown).size(), 1u);
    EXPECT_EQ(below_probe.Of(kMsgLeftButtonDown).size(), 1u);
    EXPECT_EQ(WindowAtScreenPoint(Point{50, 50}), below);
    EXPECT_EQ(GetActiveTopLevel(), below);  // pressing activates
    DestroyWindowHandle(above);
    DestroyWindowHandle(below);
}

TEST_F(WindowInput, LeaveTrackingPostsOneLeaveWhenThePointerGoes) {
    CutChild w;
    testsupport::PumpUntilIdle();
    Move(Point{130, 130});
    ASSERT_EQ(w.child_probe.Of(kMsgMouseMove).size(), 1u);
    EXPECT_FALSE(TrackMouseLeave(w.top));  // the pointer is not over it
    EXPECT_TRUE(TrackMouseLeave(w.child));

    Move(Point{135, 135});  // still over it
    EXPECT_TRUE(w.child_probe.Of(kMsgMouseLeave).empty());
    Move(Point{112, 112});  // the cut-away corner belongs to the parent
    EXPECT_EQ(w.child_probe.Of(kMsgMouseLeave).size(), 1u);
    Move(Point{500, 500});  // off every window
    EXPECT_EQ(w.child_probe.Of(kMsgMouseLeave).size(), 1u);

    // Leaving to the desktop is seen too.
    Move(Point{130, 130});
    EXPECT_TRUE(TrackMouseLeave(w.child));
    Move(Point{700, 700});
    EXPECT_EQ(w.child_probe.Of(kMsgMouseLeave).size(), 2u);

    // A cancelled tracking posts nothing.
    Move(Point{130, 130});
    EXPECT_TRUE(TrackMouseLeave(w.child));
    EXPECT_TRUE(CancelMouseLeave(w.child));
    Move(Point{180, 180});
    EXPECT_EQ(w.child_probe.Of(kMsgMouseLeave).size(), 2u);
}

TEST_F(WindowInput, TheCaptureWindowGetsThePointerWhereverItGoes) {
    CutChild w;
    Probe other_probe;
    const WindowHandle other = MakeChild(other_probe, w.top, Rect::FromSize(60, 60, 30, 30));
    testsupport::PumpUntilIdle();

    Move(Point{130, 130});
    display().PressButton();
    testsupport::PumpUntilIdle();
    EXPECT_EQ(SetMouseCapture(w.child), 0u);
    EXPECT_EQ(GetMouseCapture(), w.child);
    Move(Point{175, 175});  // over the other child
    display().ReleaseButton();
    testsupport::PumpUntilIdle();
    EXPECT_TRUE(other_probe.Of(kMsgMouseMove).empty());
    ASSERT_FALSE(w.child_probe.Of(kMsgLeftButtonUp).empty());
    EXPECT_EQ(ClientPoint(w.child_probe.Of(kMsgLeftButtonUp).back()), (Point{65, 65}));
    const Message drag = w.child_probe.Of(kMsgMouseMove).back();
    EXPECT_EQ(ClientPoint(drag), (Point{65, 65}));
    EXPECT_EQ(drag.wParam, kMouseKeyLeft);  // the button was held

    // Taking the capture away tells the loser, with the new holder.
    EXPECT_EQ(SetMouseCapture(other), w.child);
    ASSERT_EQ(w.child_probe.Of(kMsgCaptureChanged).size(), 1u);
    EXPECT_EQ(w.child_probe.Of(kMsgCaptureChanged)[0].lParam, static_cast<MessageLong>(other));
    EXPECT_TRUE(ReleaseMouseCapture());
    EXPECT_EQ(other_probe.Of(kMsgCaptureChanged).size(), 1u);
    EXPECT_EQ(GetMouseCapture(), 0u);

    // Hiding the capture window ends the capture.
    SetMouseCapture(other);
    ShowWindowAs(other, kShowHide);
    EXPECT_EQ(GetMouseCapture(), 0u);
    DestroyWindowHandle(other);  // before its probe goes
}

TEST_F(WindowInput, DoubleClicksNeedTheClassStyleTheSameWindowTimeAndPlace) {
    platform::ManualClock clock;
    testsupport::ScopedClock scoped(&clock);
    struct Case {
        const char* name;
        bool double_clicks;
        std::uint64_t gap_ms;
        Point second;
        bool expect_double;
    };
    const Case cases[] = {
        {"quick, same place", true, 100, {50, 50}, true},
        {"at the limit", true, 500, {54, 46}, true},
        {"too slow", true, 501, {50, 50}, false},
        {"too far", true, 100, {55, 50}, false},
        {"class without double clicks", false, 100, {50, 50}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Probe probe;
        ProbeSetup setup{Rect::FromSize(0, 0, 100, 100)};
        setup.double_clicks = c.double_clicks;
        const WindowHandle top = Make(probe, setup);
        testsupport::PumpUntilIdle();
        Click(Point{50, 50});
        clock.Advance(c.gap_ms);
        Click(c.second);
        const std::vector<std::uint32_t> expected =
            c.expect_double
                ? std::vector<std::uint32_t>{kMsgMouseMove,
                                             kMsgLeftButtonDown,
                                             kMsgLeftButtonUp,
                                             kMsgMouseMove,
                                             kMsgLeftButtonDoubleClick,
                                             kMsgLeftButtonUp}
                : std::vector<std::uint32_t>{kMsgMouseMove, kMsgLeftButtonDown, kMsgLeftButtonUp,
                                             kMsgMouseMove, kMsgLeftButtonDown, kMsgLeftButtonUp};
        EXPECT_EQ(probe.InputNumbers(), expected);
        if (c.expect_double) {
            // A third quick press starts again: a plain press.
            clock.Advance(10);
            Click(c.second);
            EXPECT_EQ(probe.Of(kMsgLeftButtonDown).size(), 2u);
            EXPECT_EQ(probe.Of(kMsgLeftButtonDoubleClick).size(), 1u);
        }
        DestroyWindowHandle(top);
        clock.Advance(1000);
    }
}

TEST_F(WindowInput, RightButtonsGiveDownAndUp) {
    Probe probe;
    const WindowHandle top = Make(
        probe, ProbeSetup{Rect::FromSize(0, 0, 100, 100), kStylePopup | kStyleVisible, 0, 0, true});
    testsupport::PumpUntilIdle();
    Click(Point{10, 20}, true);
    Click(Point{10, 20}, true);
    EXPECT_EQ(probe.Of(kMsgRightButtonDown).size(), 2u);
    ASSERT_EQ(probe.Of(kMsgRightButtonUp).size(), 2u);
    EXPECT_EQ(ClientPoint(probe.Of(kMsgRightButtonUp)[0]), (Point{10, 20}));
    EXPECT_TRUE(probe.Of(kMsgLeftButtonDoubleClick).empty());
    DestroyWindowHandle(top);
}

TEST_F(WindowInput, PressingOnACaptionDragsTheWindowAndItsChildrenKeepTheirClicks) {
    Probe probe;
    probe.hit = kHitCaption;
    Probe button_probe;
    const WindowHandle top = Make(probe, ProbeSetup{Rect::FromSize(100, 100, 200, 100)});
    const WindowHandle button = MakeChild(button_probe, top, Rect::FromSize(150, 10, 40, 20));
    testsupport::PumpUntilIdle();

    Move(Point{150, 150});
    display().PressButton();
    Move(Point{160, 170});
    Move(Point{170, 180});
    display().ReleaseButton();
    testsupport::PumpUntilIdle();
    EXPECT_EQ(GetWindowPlacement(top), Rect::FromSize(120, 130, 200, 100));
    EXPECT_EQ(display().Find(top)->screen_rect, Rect::FromSize(120, 130, 200, 100));
    EXPECT_TRUE(probe.InputNumbers().empty());  // no mouse messages meanwhile

    // After the release the pointer moves freely again.
    Move(Point{200, 200});
    EXPECT_EQ(GetWindowPlacement(top), Rect::FromSize(120, 130, 200, 100));

    Click(Point{120 + 160, 130 + 15});
    EXPECT_EQ(button_probe.Of(kMsgLeftButtonDown).size(), 1u);
    EXPECT_EQ(GetWindowPlacement(top), Rect::FromSize(120, 130, 200, 100));
    (void)button;
    DestroyWindowHandle(top);
}

TEST_F(WindowInput, KeysGoToTheFocusWindowElseTheActiveOne) {
    Probe top_probe;
    Probe a_probe;
    Probe b_probe;
    const WindowHandle top = Make(top_probe, ProbeSetup{Rect::FromSize(0, 0, 100, 100)});
    const WindowHandle a = MakeChild(a_probe, top, Rect::FromSize(0, 0, 10, 10));
    const WindowHandle b = MakeChild(b_probe, top, Rect::FromSize(20, 0, 10, 10));
    testsupport::PumpUntilIdle();
    EXPECT_EQ(GetActiveTopLevel(), top);  // shown normally, it is activated

    EXPECT_EQ(SetKeyboardFocus(a), 0u);
    EXPECT_EQ(SetKeyboardFocus(b), a);
    ASSERT_EQ(a_probe.Of(kMsgKillFocus).size(), 1u);
    EXPECT_EQ(a_probe.Of(kMsgKillFocus)[0].wParam, b);
    ASSERT_EQ(b_probe.Of(kMsgSetFocus).size(), 1u);
    EXPECT_EQ(b_probe.Of(kMsgSetFocus)[0].wParam, a);

    display().PressKey(kKeyReturn);
    testsupport::PumpUntilIdle();
    ASSERT_EQ(b_probe.Of(kMsgKeyDown).size(), 1u);
    EXPECT_EQ(b_probe.Of(kMsgKeyDown)[0].wParam, kKeyReturn);
    EXPECT_EQ(b_probe.Of(kMsgKeyUp).size(), 1u);

    // Hiding the focus window takes the focus away; keys go to the active one.
    ShowWindowAs(b, kShowHide);
    EXPECT_EQ(GetKeyboardFocus(), 0u);
    EXPECT_EQ(b_probe.Of(kMsgKillFocus).size(), 1u);
    display().PressKey(kKeyEscape);
    testsupport::PumpUntilIdle();
    ASSERT_EQ(top_probe.Of(kMsgKeyDown).size(), 1u);
    EXPECT_EQ(top_probe.Of(kMsgKeyDown)[0].wParam, kKeyEscape);

    // So does destroying it, and disabled windows take no focus.
    SetKeyboardFocus(a);
    DestroyWindowHandle(a);
    EXPECT_EQ(GetKeyboardFocus(), 0u);
    EnableWindowInput(b, false);
    EXPECT_EQ(SetKeyboardFocus(b), 0u);
    EXPECT_EQ(GetKeyboardFocus(), 0u);
    DestroyWindowHandle(top);
}

TEST_F(WindowInput, TheDesktopsCloseRequestClosesThroughTheSystemCommand) {
    Probe probe;
    const WindowHandle top = Make(probe, ProbeSetup{Rect::FromSize(0, 0, 50, 50)});
    testsupport::PumpUntilIdle();
    display().RequestClose(top);
    testsupport::PumpUntilIdle();
    ASSERT_EQ(probe.Of(kMsgSysCommand).size(), 1u);
    EXPECT_EQ(probe.Of(kMsgSysCommand)[0].wParam, kSysCommandClose);
    EXPECT_FALSE(IsWindowHandle(top));
    EXPECT_FALSE(display().Find(top).has_value());
}

TEST_F(WindowInput, MinimiseAndRestoreSystemCommandsChangeTheShowState) {
    Probe probe;
    const WindowHandle top = Make(probe, ProbeSetup{Rect::FromSize(0, 0, 50, 50)});
    SendMessageTo(top, kMsgSysCommand, kSysCommandMinimize, 0);
    EXPECT_TRUE(IsWindowMinimized(top));
    EXPECT_EQ(display().Find(top)->state, display::ShowState::kMinimized);
    SendMessageTo(top, kMsgSysCommand, kSysCommandRestore, 0);
    EXPECT_FALSE(IsWindowMinimized(top));
    EXPECT_EQ(display().Find(top)->state, display::ShowState::kNormal);
    DestroyWindowHandle(top);
}

TEST_F(WindowInput, TrayClicksReachTheIconsOwnerWithTheIconAndTheButton) {
    Probe probe;
    ProbeSetup setup{Rect::FromSize(0, 0, 50, 50)};
    setup.style = kStylePopup;  // hidden: tray clicks still arrive
    const WindowHandle owner = Make(probe, setup);
    display::TrayIcon icon;
    icon.owner = owner;
    icon.id = 7;
    icon.callback_message = kMsgTrayNotify;
    icon.tip = u"Tip";
    ASSERT_TRUE(display().AddTrayIcon(icon));

    display().ClickTrayIcon(owner, 7);
    display().ClickTrayIcon(owner, 7, true);
    display().ClickTrayIcon(owner, 8);  // no such icon
    testsupport::PumpUntilIdle();
    const std::vector<Message> seen = probe.Of(kMsgTrayNotify);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].wParam, 7u);
    EXPECT_EQ(seen[0].lParam, static_cast<MessageLong>(kMsgLeftButtonDown));
    EXPECT_EQ(seen[1].lParam, static_cast<MessageLong>(kMsgRightButtonDown));

    ASSERT_TRUE(display().RemoveTrayIcon(owner, 7));
    display().ClickTrayIcon(owner, 7);
    testsupport::PumpUntilIdle();
    EXPECT_EQ(probe.Of(kMsgTrayNotify).size(), 2u);
    DestroyWindowHandle(owner);
}

TEST_F(WindowInput, TopmostWindowsStayAboveOthersOnTheScreen) {
    Probe low_probe;
    Probe high_probe;
    ProbeSetup high_spec{Rect::FromSize(0, 0, 50, 50)};
    high_spec.ex_style = kExStyleTopmost;
    const WindowHandle high = Make(high_probe, high_spec);
    const WindowHandle low = Make(low_probe, ProbeSetup{Rect::FromSize(0, 0, 50, 50)});
    testsupport::PumpUntilIdle();
    EXPECT_EQ(WindowAtScreenPoint(Point{10, 10}), high);
    EXPECT_EQ(display().Windows().back().window, high);
    EXPECT_TRUE(display().Windows().back().topmost);

    SetWindowZOrder(high, ZOrder::kNoTopmost);
    SetWindowZOrder(low, ZOrder::kTop);
    EXPECT_EQ(WindowAtScreenPoint(Point{10, 10}), low);
    EXPECT_EQ(display().Windows().back().window, low);

    // The style bit alone does not move a window, as there.
    SetWindowExStyle(high, GetWindowExStyle(high) | kExStyleTopmost);
    EXPECT_EQ(WindowAtScreenPoint(Point{10, 10}), low);
    DestroyWindowHandle(low);
    DestroyWindowHandle(high);
}

}  // namespace
}  // namespace platform
