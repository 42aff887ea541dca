// The sdl display: real top-level windows through SDL2 under X11, and the
// notification-area icons through the desktop's system tray.
//
// One thread of the backend's own owns SDL: initialisation, every native
// window, renderer and texture, and the event loop. Calls from the
// user-interface thread are queued to it and return at once (Present copies
// the dirty part of the surface first); Screen and CursorPosition wait for
// its answer and may come from any thread. Native input is handed to
// DeliverRawInput from that thread, so the user-interface thread never pumps.
#pragma once

#include <memory>

#include "platform/display/DisplayBackend.h"

namespace platform::display::sdl {

// nullptr when SDL's video cannot start (no display, no X server).
std::unique_ptr<DisplayBackend> CreateSdlDisplay();

class SdlDisplay : public DisplayBackend {
  public:
    // Use CreateSdlDisplay; Started() tells whether SDL came up.
    SdlDisplay();
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    bool Started() const;

    std::string Name() const override;
    ScreenInfo Screen() const override;
    void ShowWindow(WindowHandle window, const gfx::Rect& screen_rect, ShowState state,
                    bool topmost) override;
    void MoveWindow(WindowHandle window, const gfx::Rect& screen_rect) override;
    void SetShape(WindowHandle window, const std::optional<gfx::Region>& shape) override;
    void Raise(WindowHandle window, bool topmost) override;
    void DestroyWindow(WindowHandle window) override;
    void Present(WindowHandle window, const gfx::Bitmap& surface, const gfx::Rect& dirty) override;
    bool AddTrayIcon(const TrayIcon& icon) override;
    bool ModifyTrayIcon(const TrayIcon& icon) override;
    bool RemoveTrayIcon(WindowHandle owner, std::uint32_t id) override;
    void GrabPointer(WindowHandle window) override;
    gfx::Point CursorPosition() const override;
    void PumpEvents(std::uint32_t timeout_ms) override;
    bool NeedsPumping() const override;

  private:
    class Loop;
    std::unique_ptr<Loop> loop_;
};

}  // namespace platform::display::sdl
