#include "platform/display/sdl/SdlWindow.h"

#include <SDL_shape.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstring>

namespace platform::display::sdl {

namespace {

constexpr Uint32 kWindowFlags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;

struct NativeX11 {
    Display* display = nullptr;
    Window window = 0;
};

NativeX11 X11Of(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return {};
    }
    return {info.info.x11.display, info.info.x11.window};
}

// Without a window manager nobody honours an iconify request.
bool WindowManagerRuns(SDL_Window* window) {
    static int known = -1;
    if (known >= 0) {
        return known == 1;
    }
    const NativeX11 x = X11Of(window);
    if (x.display == nullptr) {
        return true;  // not X11: leave it to SDL
    }
    const Atom check = XInternAtom(x.display, "_NET_SUPPORTING_WM_CHECK", True);
    bool present = false;
    if (check != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(x.display, DefaultRootWindow(x.display), check, 0, 1, False,
                               XA_WINDOW, &type, &format, &count, &after, &data) == Success) {
            present = type == XA_WINDOW && count == 1;
        }
        if (data != nullptr) {
            XFree(data);
        }
    }
    known = present ? 1 : 0;
    return present;
}

int Clamped(int extent) {
    return std::max(extent, 1);
}

// An RGBA mask of the window: opaque inside the region, clear outside.
SDL_Surface* ShapeSurface(const gfx::Region& region, int width, int height) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) {
        return nullptr;
    }
    SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, 0, 0, 0, 0));
    const Uint32 inside = SDL_MapRGBA(surface->format, 255, 255, 255, 255);
    const gfx::Rect bounds{0, 0, width, height};
    for (const gfx::Rect& piece : region.Rects()) {
        const gfx::Rect r = piece.Intersect(bounds);
        if (r.IsEmpty()) {
            continue;
        }
        SDL_Rect fill{r.left, r.top, r.Width(), r.Height()};
        SDL_FillRect(surface, &fill, inside);
    }
    return surface;
}

}  // namespace

std::unique_ptr<SdlWindow> SdlWindow::Create(const gfx::Rect& rect,
                                             const std::optional<gfx::Region>& shape) {
    std::unique_ptr<SdlWindow> w(new SdlWindow());
    w->rect_ = rect;
    w->shape_ = shape;
    if (!w->Build()) {
        return nullptr;
    }
    return w;
}

SdlWindow::~SdlWindow() {
    Release();
}

void SdlWindow::Release() {
    if (texture_ != nullptr) {
        SDL_DestroyTexture(texture_);
        texture_ = nullptr;
    }
    if (renderer_ != nullptr) {
        SDL_DestroyRenderer(renderer_);
        renderer_ = nullptr;
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
}

bool SdlWindow::Build() {
    Release();
    const int width = Clamped(rect_.Width());
    const int height = Clamped(rect_.Height());
    window_ = SDL_CreateShapedWindow("", static_cast<unsigned>(rect_.left),
                                     static_cast<unsigned>(rect_.top), static_cast<unsigned>(width),
                                     static_cast<unsigned>(height), kWindowFlags);
    if (window_ == nullptr) {
        return false;
    }
    // The renderer comes after the shape: X11 refuses a shape once it exists.
    if (shape_ && !ApplyShape()) {
        Release();
        return false;
    }
    // SDL parks shaped windows off screen until their first shape and skips
    // the move back when either coordinate is 0.
    SDL_SetWindowPosition(window_, rect_.left, rect_.top);
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (renderer_ == nullptr) {
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
    }
    if (renderer_ == nullptr || !MakeTexture()) {
        Release();
        return false;
    }
    if (!picture_.IsEmpty()) {
        Upload(picture_, picture_.Bounds());
    }
    if (topmost_) {
        SDL_SetWindowAlwaysOnTop(window_, SDL_TRUE);
    }
    const ShowState state = state_;
    state_ = ShowState::kHidden;
    SetState(state, topmost_);
    return true;
}

bool SdlWindow::MakeTexture() {
    if (texture_ != nullptr) {
        SDL_DestroyTexture(texture_);
    }
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING,
                                 Clamped(rect_.Width()), Clamped(rect_.Height()));
    return texture_ != nullptr;
}

bool SdlWindow::ApplyShape() {
    const int width = Clamped(rect_.Width());
    const int height = Clamped(rect_.Height());
    SDL_Surface* mask =
        ShapeSurface(shape_ ? *shape_ : gfx::Region(gfx::Rect{0, 0, width, height}), width, height);
    if (mask == nullptr) {
        return false;
    }
    SDL_WindowShapeMode mode;
    mode.mode = ShapeModeBinarizeAlpha;
    mode.parameters.binarizationCutoff = 128;
    const int result = SDL_SetWindowShape(window_, mask, &mode);
    SDL_FreeSurface(mask);
    return result == 0;
}

std::uint32_t SdlWindow::NativeId() const {
    return window_ != nullptr ? SDL_GetWindowID(window_) : 0;
}

gfx::Point SdlWindow::Position() const {
    gfx::Point p{rect_.left, rect_.top};
    if (window_ != nullptr) {
        SDL_GetWindowPosition(window_, &p.x, &p.y);
    }
    return p;
}

void SdlWindow::SetState(ShowState state, bool topmost) {
    SetTopmost(topmost);
    const ShowState before = state_;
    state_ = state;
    switch (state) {
        case ShowState::kHidden:
            SDL_HideWindow(window_);
            break;
        case ShowState::kMinimized:
            if (WindowManagerRuns(window_)) {
                if (before == ShowState::kHidden) {
                    SDL_ShowWindow(window_);
                }
                SDL_MinimizeWindow(window_);
            } else {
                SDL_HideWindow(window_);
            }
            break;
        case ShowState::kNormal:
            if (before == ShowState::kMinimized && WindowManagerRuns(window_)) {
                SDL_RestoreWindow(window_);
            }
            SDL_ShowWindow(window_);
            Render();
            break;
    }
}

void SdlWindow::SetTopmost(bool topmost) {
    if (topmost == topmost_) {
        return;
    }
    topmost_ = topmost;
    SDL_SetWindowAlwaysOnTop(window_, topmost ? SDL_TRUE : SDL_FALSE);
}

void SdlWindow::RaiseNative() {
    // SDL_RaiseWindow would also take the focus; tips must not.
    const NativeX11 x = X11Of(window_);
    if (x.display != nullptr) {
        XRaiseWindow(x.display, x.window);
        XFlush(x.display);
    } else {
        SDL_RaiseWindow(window_);
    }
}

bool SdlWindow::Move(const gfx::Rect& rect) {
    const bool resized = rect.Width() != rect_.Width() || rect.Height() != rect_.Height();
    rect_ = rect;
    SDL_SetWindowPosition(window_, rect.left, rect.top);
    if (!resized) {
        return true;
    }
    SDL_SetWindowSize(window_, Clamped(rect.Width()), Clamped(rect.Height()));
    if (!MakeTexture()) {
        return Build();
    }
    // The old picture no longer fits; the next Present brings the new one.
    picture_ = gfx::Bitmap();
    if (shape_) {
        return SetShape(shape_);
    }
    return true;
}

bool SdlWindow::SetShape(const std::optional<gfx::Region>& shape) {
    shape_ = shape;
    if (ApplyShape()) {
        return true;
    }
    return Build();
}

void SdlWindow::Upload(const gfx::Bitmap& surface, const gfx::Rect& dirty) {
    if (surface.IsEmpty() || texture_ == nullptr) {
        return;
    }
    const bool own = &surface == &picture_;
    const gfx::Size size{Clamped(rect_.Width()), Clamped(rect_.Height())};
    if (!own && picture_.Dimensions() != size) {
        picture_ = gfx::Bitmap(size.width, size.height);
    }
    const gfx::Rect part = dirty.Intersect(surface.Bounds()).Intersect(picture_.Bounds());
    if (part.IsEmpty()) {
        return;
    }
    const std::size_t offset = static_cast<std::size_t>(part.left) * 3;
    if (!own) {
        const std::size_t bytes = static_cast<std::size_t>(part.Width()) * 3;
        for (int y = part.top; y < part.bottom; ++y) {
            std::memcpy(picture_.Row(y) + offset, surface.Row(y) + offset, bytes);
        }
    }
    SDL_Rect area{part.left, part.top, part.Width(), part.Height()};
    SDL_UpdateTexture(texture_, &area, picture_.Row(part.top) + offset,
                      static_cast<int>(picture_.Stride()));
}

void SdlWindow::Render() {
    // Also while minimised: the desktop may restore it without telling us.
    if (renderer_ == nullptr || state_ == ShowState::kHidden) {
        return;
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (!picture_.IsEmpty()) {
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    }
    SDL_RenderPresent(renderer_);
}

}  // namespace platform::display::sdl
