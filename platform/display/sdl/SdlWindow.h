// One top-level window of the sdl display: a borderless SDL window with its
// renderer and streaming texture. Shaped windows must be built in one order
// under X11 (shaped window with OpenGL, then the shape, then the renderer),
// so a shape the live window refuses rebuilds it in that order.
//
// Backend thread only; it owns SDL.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/display/DisplayBackend.h"

namespace platform::display::sdl {

class SdlWindow {
  public:
    // nullptr (SDL's error logged by the caller) when SDL cannot make it.
    static std::unique_ptr<SdlWindow> Create(const gfx::Rect& rect,
                                             const std::optional<gfx::Region>& shape);
    ~SdlWindow();
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    std::uint32_t NativeId() const;
    SDL_Window* Native() const { return window_; }
    gfx::Point Position() const;
    const gfx::Rect& ScreenRect() const { return rect_; }

    void SetState(ShowState state, bool topmost);
    ShowState State() const { return state_; }
    bool Topmost() const { return topmost_; }
    void SetTopmost(bool topmost);
    // Stacks the window above its siblings without taking the focus.
    void RaiseNative();
    // False when the window had to be rebuilt and that failed.
    bool Move(const gfx::Rect& rect);
    bool SetShape(const std::optional<gfx::Region>& shape);
    // Pixels of the 24-bit surface in the dirty part; the rest is kept.
    void Upload(const gfx::Bitmap& surface, const gfx::Rect& dirty);
    void Render();

  private:
    SdlWindow() = default;
    bool Build();
    void Release();
    bool ApplyShape();
    bool MakeTexture();

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    gfx::Rect rect_;
    std::optional<gfx::Region> shape_;
    ShowState state_ = ShowState::kHidden;
    bool topmost_ = false;
    gfx::Bitmap picture_;  // what the texture shows, kept for a rebuild
};

}  // namespace platform::display::sdl
