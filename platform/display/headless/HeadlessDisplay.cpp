#include "platform/display/headless/HeadlessDisplay.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace platform::display::headless {

struct HeadlessDisplay::State {
    mutable std::mutex mutex;
    ScreenInfo screen;
    gfx::Point cursor;
    std::vector<ShownWindow> windows;  // bottom to top, topmost ones last
    std::map<WindowHandle, gfx::Bitmap> surfaces;
    std::vector<TrayIcon> tray;
    WindowHandle grab = 0;

    std::vector<ShownWindow>::iterator FindLocked(WindowHandle window) {
        return std::find_if(windows.begin(), windows.end(),
                            [window](const ShownWindow& w) { return w.window == window; });
    }
    // At the top of its band.
    void RaiseLocked(WindowHandle window, bool topmost) {
        auto found = FindLocked(window);
        if (found == windows.end()) {
            return;
        }
        ShownWindow moved = *found;
        moved.topmost = topmost;
        windows.erase(found);
        auto place = moved.topmost ? windows.end()
                                   : std::find_if(windows.begin(), windows.end(),
                                                  [](const ShownWindow& w) { return w.topmost; });
        windows.insert(place, std::move(moved));
    }
};

HeadlessDisplay* Current() {
    return dynamic_cast<HeadlessDisplay*>(&Backend());
}

HeadlessDisplay::HeadlessDisplay() : state_(std::make_unique<State>()) {}

HeadlessDisplay::~HeadlessDisplay() = default;

void HeadlessDisplay::SetScreen(const ScreenInfo& screen) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->screen = screen;
}

void HeadlessDisplay::MoveMouse(gfx::Point screen_point) {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->cursor = screen_point;
    }
    RawInput input;
    input.kind = RawInput::Kind::kMouseMove;
    input.screen_point = screen_point;
    DeliverRawInput(input);
}

void HeadlessDisplay::PressButton(bool right) {
    RawInput input;
    input.kind = RawInput::Kind::kButtonDown;
    input.screen_point = CursorPosition();
    input.right_button = right;
    DeliverRawInput(input);
}

void HeadlessDisplay::ReleaseButton(bool right) {
    RawInput input;
    input.kind = RawInput::Kind::kButtonUp;
    input.screen_point = CursorPosition();
    input.right_button = right;
    DeliverRawInput(input);
}

void HeadlessDisplay::Click(gfx::Point screen_point, bool right) {
    MoveMouse(screen_point);
    PressButton(right);
    ReleaseButton(right);
}

void HeadlessDisplay::PressKey(std::uint32_t virtual_key) {
    RawInput input;
    input.kind = RawInput::Kind::kKeyDown;
    input.key = virtual_key;
    DeliverRawInput(input);
    input.kind = RawInput::Kind::kKeyUp;
    DeliverRawInput(input);
}

void HeadlessDisplay::ClickTrayIcon(WindowHandle owner, std::uint32_t id, bool right) {
    RawInput input;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        auto icon = std::find_if(state_->tray.begin(), state_->tray.end(),
                                 [&](const TrayIcon& t) { return t.owner == owner && t.id == id; });
        if (icon == state_->tray.end()) {
            return;  // no such icon: nothing to click
        }
        input.tray_message = icon->callback_message;
        input.screen_point = state_->cursor;
    }
    input.kind = RawInput::Kind::kTrayClick;
    input.window = owner;
    input.tray_id = id;
    input.right_button = right;
    DeliverRawInput(input);
}

void HeadlessDisplay::RequestClose(WindowHandle window) {
    RawInput input;
    input.kind = RawInput::Kind::kCloseRequest;
    input.window = window;
    DeliverRawInput(input);
}

std::optional<HeadlessDisplay::ShownWindow> HeadlessDisplay::Find(WindowHandle window) const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto found = state_->FindLocked(window);
    if (found == state_->windows.end()) {
        return std::nullopt;
    }
    return *found;
}

std::vector<HeadlessDisplay::ShownWindow> HeadlessDisplay::Windows() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->windows;
}

std::optional<gfx::Bitmap> HeadlessDisplay::Surface(WindowHandle window) const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto found = state_->surfaces.find(window);
    if (found == state_->surfaces.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool HeadlessDisplay::WriteWindowPng(WindowHandle window, PathArg path) const {
    std::optional<gfx::Bitmap> surface = Surface(window);
    return surface.has_value() && surface->WritePng(path);
}

gfx::Bitmap HeadlessDisplay::ComposeScreen() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    gfx::Bitmap screen(state_->screen.size.width, state_->screen.size.height, gfx::kBlack);
    for (const ShownWindow& window : state_->windows) {
        auto surface = state_->surfaces.find(window.window);
        if (window.state != ShowState::kNormal || surface == state_->surfaces.end()) {
            continue;
        }
        const gfx::Bitmap& pixels = surface->second;
        const gfx::Rect own{0, 0, std::min(window.screen_rect.Width(), pixels.Width()),
                            std::min(window.screen_rect.Height(), pixels.Height())};
        const gfx::Region visible =
            window.shape.has_value() ? window.shape->Intersect(gfx::Region(own)) : gfx::Region(own);
        const int dx = window.screen_rect.left;
        const int dy = window.screen_rect.top;
        for (const gfx::Rect& part :
             visible.Offset(dx, dy).Intersect(gfx::Region(screen.Bounds())).Rects()) {
            for (int y = part.top; y < part.bottom; ++y) {
                const std::uint8_t* from =
                    pixels.Row(y - dy) + static_cast<std::size_t>(part.left - dx) * 3;
                std::copy(from, from + static_cast<std::size_t>(part.Width()) * 3,
                          screen.Row(y) + static_cast<std::size_t>(part.left) * 3);
            }
        }
    }
    return screen;
}

std::vector<TrayIcon> HeadlessDisplay::TrayIcons() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->tray;
}

std::string HeadlessDisplay::Name() const {
    return "headless";
}

ScreenInfo HeadlessDisplay::Screen() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->screen;
}

void HeadlessDisplay::ShowWindow(WindowHandle window, const gfx::Rect& screen_rect, ShowState state,
                                 bool topmost) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto found = state_->FindLocked(window);
    if (found == state_->windows.end()) {
        state_->windows.push_back(ShownWindow{window, screen_rect, state, topmost, std::nullopt});
    } else {
        found->screen_rect = screen_rect;
        found->state = state;
    }
    if (state != ShowState::kHidden) {
        state_->RaiseLocked(window, topmost);
    } else if (found != state_->windows.end()) {
        found->topmost = topmost;
    }
}

void HeadlessDisplay::MoveWindow(WindowHandle window, const gfx::Rect& screen_rect) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto found = state_->FindLocked(window);
    if (found != state_->windows.end()) {
        found->screen_rect = screen_rect;
    }
}

void HeadlessDisplay::SetShape(WindowHandle window, const std::optional<gfx::Region>& shape) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto found = state_->FindLocked(window);
    if (found != state_->windows.end()) {
        found->shape = shape;
    }
}

void HeadlessDisplay::Raise(WindowHandle window, bool topmost) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->RaiseLocked(window, topmost);
}

void HeadlessDisplay::DestroyWindow(WindowHandle window) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto found = state_->FindLocked(window);
    if (found != state_->windows.end()) {
        state_->windows.erase(found);
    }
    state_->surfaces.erase(window);
    if (state_->grab == window) {
        state_->grab = 0;
    }
}

void HeadlessDisplay::Present(WindowHandle window, const gfx::Bitmap& surface,
                              const gfx::Rect& /*dirty*/) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->FindLocked(window) == state_->windows.end()) {
        return;  // never shown
    }
    state_->surfaces[window] = surface;
}

bool HeadlessDisplay::AddTrayIcon(const TrayIcon& icon) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    for (const TrayIcon& existing : state_->tray) {
        if (existing.owner == icon.owner && existing.id == icon.id) {
            return false;  // as there: adding twice fails
        }
    }
    state_->tray.push_back(icon);
    return true;
}

bool HeadlessDisplay::ModifyTrayIcon(const TrayIcon& icon) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    for (TrayIcon& existing : state_->tray) {
        if (existing.owner == icon.owner && existing.id == icon.id) {
            existing = icon;
            return true;
        }
    }
    return false;
}

bool HeadlessDisplay::RemoveTrayIcon(WindowHandle owner, std::uint32_t id) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return std::erase_if(state_->tray,
                         [&](const TrayIcon& t) { return t.owner == owner && t.id == id; }) != 0;
}

void HeadlessDisplay::GrabPointer(WindowHandle window) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->grab = window;
}

WindowHandle HeadlessDisplay::PointerGrab() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->grab;
}

gfx::Point HeadlessDisplay::CursorPosition() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->cursor;
}

void HeadlessDisplay::PumpEvents(std::uint32_t /*timeout_ms*/) {}

bool HeadlessDisplay::NeedsPumping() const {
    return false;
}

}  // namespace platform::display::headless
