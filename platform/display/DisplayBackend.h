// What a display backend does for the window layer: show top-level windows
// (borderless, shaped, placed), take their composed surfaces, report the
// screen, carry notification-area icons, and turn native input into the
// layer's RawInput. Native types (SDL events, X11 windows) never leave the
// backend's folder.
//
// One backend per process, chosen on first use: VELA_DISPLAY=headless|sdl;
// without it, sdl when a display is present (DISPLAY set) and headless
// elsewhere. The window layer calls the backend only from the thread that owns
// the window concerned; the sdl backend expects every shown window to belong
// to one user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/Region.h"
#include "platform/window/Message.h"

namespace platform::display {

struct ScreenInfo {
    gfx::Size size{1920, 1080};
    gfx::Rect work_area{0, 0, 1920, 1040};
    std::optional<gfx::Rect> taskbar = gfx::Rect{0, 1040, 1920, 1080};
};

enum class ShowState { kHidden, kMinimized, kNormal };

// Input as a backend sees it, in screen coordinates.
struct RawInput {
    enum class Kind : std::uint8_t {
        kMouseMove,
        kButtonDown,
        kButtonUp,
        kKeyDown,
        kKeyUp,
        kChar,
        kCloseRequest,  // the desktop asks the window to close
        kTrayClick,     // an event on a notification-area icon
    };
    Kind kind = Kind::kMouseMove;
    gfx::Point screen_point;
    bool right_button = false;  // buttons and tray clicks
    std::uint32_t key = 0;      // virtual key, or the character of kChar
    WindowHandle window = 0;    // the top-level window concerned, where known
    std::uint32_t tray_id = 0;  // kTrayClick
    // kTrayClick: the icon's callback message, which the layer posts to the
    // owner (wParam the icon's id, lParam the button's down message).
    std::uint32_t tray_message = 0;
};

struct TrayIcon {
    WindowHandle owner = 0;
    std::uint32_t id = 0;
    std::uint32_t callback_message = 0;
    gfx::Icon icon;
    std::u16string tip;
};

class DisplayBackend {
  public:
    virtual ~DisplayBackend() = default;
    virtual std::string Name() const = 0;
    virtual ScreenInfo Screen() const = 0;

    // Top-level windows. A window is announced on its first show.
    virtual void ShowWindow(WindowHandle window, const gfx::Rect& screen_rect, ShowState state,
                            bool topmost) = 0;
    virtual void MoveWindow(WindowHandle window, const gfx::Rect& screen_rect) = 0;
    virtual void SetShape(WindowHandle window, const std::optional<gfx::Region>& shape) = 0;
    virtual void Raise(WindowHandle window, bool topmost) = 0;
    virtual void DestroyWindow(WindowHandle window) = 0;
    // The composed surface after a paint pass; dirty in window coordinates.
    virtual void Present(WindowHandle window, const gfx::Bitmap& surface,
                         const gfx::Rect& dirty) = 0;

    // Notification-area icons; false when the backend cannot add it.
    virtual bool AddTrayIcon(const TrayIcon& icon) = 0;
    virtual bool ModifyTrayIcon(const TrayIcon& icon) = 0;
    virtual bool RemoveTrayIcon(WindowHandle owner, std::uint32_t id) = 0;

    // While window (a shown top-level one) holds the grab, every press,
    // release and move of the pointer on the screen comes as input, also
    // outside the program's windows; 0 ends it, and so does the window's end.
    virtual void GrabPointer(WindowHandle window) = 0;

    // Pointer position as the backend last saw it.
    virtual gfx::Point CursorPosition() const = 0;
    // Reads native events and hands them to DeliverRawInput; waits at most
    // timeout_ms for one. Backends fed by tests return at once.
    virtual void PumpEvents(std::uint32_t timeout_ms) = 0;
    // True when the user-interface thread must call PumpEvents while it waits.
    virtual bool NeedsPumping() const = 0;
};

// The process's backend, chosen on first use.
DisplayBackend& Backend();
// Tests: a backend of their own for the rest of the process; returns the old.
std::unique_ptr<DisplayBackend> ReplaceBackend(std::unique_ptr<DisplayBackend> backend);

// Queues input for the thread that owns the window under it (or the window
// named); any thread.
void DeliverRawInput(const RawInput& input);

}  // namespace platform::display
