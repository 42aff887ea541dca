// The user-interface side of windows: geometry, z-order, showing, regions,
// invalidation and painting, mouse capture and leave tracking, focus, the
// screen. Windows here have no frame of their own: the window rectangle is
// the client rectangle, and top-level windows are what the display backend
// shows (borderless, shaped by their region).
//
// Painting is composed: a top-level window owns a surface (a 24-bit bitmap of
// its size). A paint pass over a dirty part of it sends kMsgEraseBackground
// and kMsgPaint to the window and then, in z-order from the bottom, to each
// visible descendant that intersects it, each drawing through a context whose
// clip is its own rectangle and region within the dirty part. A child thus
// sees its parent's picture under it, which is what masked and transparent
// controls draw over. The pass runs when the owning thread's queue holds no
// posted message or input (as there: after input, before timers) or at once
// through UpdateWindowNow; then the surface goes to the display backend.
//
// Input from the backend is queued per thread as raw input and turned into
// messages when the thread reads its queue: the target is the capture window,
// else the deepest visible, enabled window under the point whose region holds
// it and whose kMsgNcHitTest does not answer kHitTransparent. A press where a
// top-level window answers kHitCaption drags that window. Double clicks go to
// classes registered with kClassDoubleClicks.
//
// Thread rules: all calls here are for windows of the calling thread, except
// the read-only queries marked "any thread" and ShowWindowAs,
// EnableWindowInput and InvalidateWindow, which from another thread run on
// the window's own thread while the caller waits (as a send does).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/Region.h"
#include "platform/window/Message.h"
#include "platform/window/MessageIds.h"

namespace platform {

using gfx::Point;
using gfx::Rect;
using gfx::Size;

constexpr std::uint32_t kClassDoubleClicks = 0x0008;  // CS_DBLCLKS
bool RegisterWindowClassEx(std::u16string_view class_name, WindowProcedure procedure,
                           std::uint32_t class_style);

struct WindowCreation {
    std::u16string_view class_name;
    std::u16string_view title;
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    Rect rect;                // screen for top-level windows, the parent's client for children
    WindowHandle parent = 0;  // for a top-level window: its owner
    int id = 0;               // control id of a child
    MessageLong create_param = 0;
};
// kMsgCreate as CreateWindowOfClass; a window created with kStyleVisible is
// shown (and painted) at once.
WindowHandle CreateWindowWith(const WindowCreation& creation);

// Any thread.
WindowHandle GetParentWindow(WindowHandle window);
int GetWindowId(WindowHandle window);
WindowHandle FindChildById(WindowHandle parent, int id);  // direct children
std::uint32_t GetWindowStyle(WindowHandle window);
std::uint32_t GetWindowExStyle(WindowHandle window);
bool IsChildWindow(WindowHandle window);
std::u16string GetWindowTitle(WindowHandle window);
std::u16string GetWindowClassName(WindowHandle window);
// Visible: its own visible style and every ancestor's. A minimised window
// counts as visible, as there.
bool IsWindowShown(WindowHandle window);
bool IsWindowMinimized(WindowHandle window);
bool IsWindowEnabledState(WindowHandle window);

void SetWindowStyle(WindowHandle window, std::uint32_t style);
void SetWindowExStyle(WindowHandle window, std::uint32_t ex_style);
void SetWindowTitle(WindowHandle window, std::u16string_view title);
void SetWindowIconOf(WindowHandle window, bool big, const gfx::Icon* icon);  // not owned
const gfx::Icon* GetWindowIconOf(WindowHandle window, bool big);

// Geometry. Window rectangles of children are in their parent's client
// coordinates; GetWindowScreenRect gives screen coordinates for any window.
Rect GetWindowPlacement(WindowHandle window);
Rect GetWindowScreenRect(WindowHandle window);
Rect GetClientRectOf(WindowHandle window);  // (0, 0, width, height)
bool MoveWindowTo(WindowHandle window, int x, int y, int width, int height, bool repaint);
Point ClientToScreen(WindowHandle window, Point p);
Point ScreenToClient(WindowHandle window, Point p);

// Z-order. For children: among their siblings; for top-level windows: on the
// screen, topmost windows above the rest.
enum class ZOrder { kTop, kBottom, kTopmost, kNoTopmost };
void SetWindowZOrder(WindowHandle window, ZOrder order);
// Siblings from the top of the z-order down; next/previous sibling.
WindowHandle GetTopChild(WindowHandle parent);
WindowHandle GetNextSibling(WindowHandle window);
WindowHandle GetPreviousSibling(WindowHandle window);

// kShow* commands; returns whether the window was visible before.
bool ShowWindowAs(WindowHandle window, int show_command);
// Returns whether the window was disabled before, as there.
bool EnableWindowInput(WindowHandle window, bool enable);

// Shape: the window's region in window coordinates; nullopt is its whole
// rectangle. The layer keeps its own copy.
void SetWindowRegion(WindowHandle window, std::optional<gfx::Region> region, bool redraw);
std::optional<gfx::Region> GetWindowRegionOf(WindowHandle window);

// Invalidation and painting. rect in client coordinates; nullopt = all. A
// pass redraws every window under the dirty part, so it always sends
// kMsgEraseBackground; Erase() tells whether that went unanswered (0).
void InvalidateWindow(WindowHandle window, std::optional<Rect> rect, bool erase);
void UpdateWindowNow(WindowHandle window);  // runs a pending paint pass now
bool HasPendingPaint(WindowHandle window);

// Inside kMsgPaint: the context of this pass for the window (client
// coordinates, clipped), and the part to paint. Outside a pass it draws onto
// the window's surface clipped to its visible part, and the surface is shown
// after the next pass.
struct PaintScope {
    explicit PaintScope(WindowHandle window);
    ~PaintScope();
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    gfx::DeviceContext& Context();
    Rect PaintRect() const;
    bool Erase() const;

  private:
    struct State;
    State* state_;
};
// A context on the window's surface, as GetDC there: for measuring text and
// for drawing outside a pass. Client coordinates, clipped to the window.
gfx::DeviceContext GetWindowContext(WindowHandle window);

// Input state.
WindowHandle SetMouseCapture(WindowHandle window);  // returns the previous capture
bool ReleaseMouseCapture();
WindowHandle GetMouseCapture();  // any thread
// For popup menus: while the top-level window holds it, presses, releases and
// moves of the pointer anywhere on the screen reach the program, also outside
// its windows, and go to the capture as usual; 0 ends it, and so does the
// window's end. Returns the holder before, 0 for a child or unknown window.
WindowHandle GrabScreenPointer(WindowHandle window);
// Leave tracking: one kMsgMouseLeave when the pointer leaves the window
// (or its visible region); false if the pointer is not over it.
bool TrackMouseLeave(WindowHandle window);
bool CancelMouseLeave(WindowHandle window);
WindowHandle SetKeyboardFocus(WindowHandle window);  // returns the previous focus
WindowHandle GetKeyboardFocus();
WindowHandle GetActiveTopLevel();
Point GetCursorScreenPosition();
WindowHandle WindowAtScreenPoint(Point p);  // deepest visible window, through regions
std::uint32_t GetDoubleClickTimeMs();       // 500

// The screen of the display backend (any thread).
Size GetScreenSize();
Rect GetWorkArea();
bool GetTaskbarRect(Rect& rect);  // false when there is none

}  // namespace platform
