// The headless display: every window's surface in memory, a configurable
// screen, input injected by tests, any window written as PNG. The default in
// tests and wherever no display is present.
//
// Calls come from the user-interface thread (the thread whose windows are
// shown); injected input is queued as the backend would queue native input,
// and the caller then lets its loop run (see tests' PumpUntilIdle).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/display/DisplayBackend.h"
#include "platform/files/PathArg.h"

namespace platform::display::headless {

// The headless backend of the process, or nullptr when another one runs.
class HeadlessDisplay* Current();

class HeadlessDisplay : public DisplayBackend {
  public:
    HeadlessDisplay();
    ~HeadlessDisplay() override;

    void SetScreen(const ScreenInfo& screen);

    // Input, in screen coordinates.
    void MoveMouse(gfx::Point screen_point);
    void PressButton(bool right = false);
    void ReleaseButton(bool right = false);
    void Click(gfx::Point screen_point, bool right = false);  // move, press, release
    void PressKey(std::uint32_t virtual_key);                 // down and up
    void ClickTrayIcon(WindowHandle owner, std::uint32_t id, bool right = false);
    void RequestClose(WindowHandle window);

    // What the screen holds.
    struct ShownWindow {
        WindowHandle window = 0;
        gfx::Rect screen_rect;
        ShowState state = ShowState::kHidden;
        bool topmost = false;
        std::optional<gfx::Region> shape;
    };
    std::optional<ShownWindow> Find(WindowHandle window) const;
    std::vector<ShownWindow> Windows() const;  // bottom to top
    // The last presented surface, with pixels outside the shape as they are.
    std::optional<gfx::Bitmap> Surface(WindowHandle window) const;
    bool WriteWindowPng(WindowHandle window, PathArg path) const;
    // The visible screen: windows composed bottom to top through their shapes
    // over a black desktop.
    gfx::Bitmap ComposeScreen() const;
    std::vector<TrayIcon> TrayIcons() const;
    // The window holding the pointer grab, 0 for none. Injected input reaches
    // the layer's capture anyway, so the grab changes nothing else here.
    WindowHandle PointerGrab() const;

    // DisplayBackend.
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
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace platform::display::headless
