// Regions, invalidation and the composed paint pass of a top-level window.
//
// Each top-level window keeps a surface and the part of it still to paint.
// A pass takes that part and lets the window and then its visible
// descendants, bottom to top, draw into it through contexts clipped to their
// own shapes, so every window paints over what lies beneath it; the surface
// then goes to the backend.
#include <vector>

#include "platform/display/DisplayBackend.h"
#include "platform/window/WindowUi.h"
#include "platform/window/WindowUiInternal.h"

namespace platform {

using window_internal::FindOwnWindow;
using window_internal::FindWindow;
using window_internal::UiMutex;
using window_internal::WindowObject;

namespace {

// The window being painted by a pass on this thread, innermost last.
struct PassFrame {
    WindowHandle window;
    gfx::DeviceContext* context;
    Rect paint_rect;
    bool erase;
};
thread_local std::vector<PassFrame> t_pass;

// A surface of the window's size; a new size starts a new picture.
// True when it had to be made again.
bool EnsureSurfaceLocked(WindowObject& top) {
    if (top.surface == nullptr) {
        top.surface = std::make_unique<gfx::Bitmap>(top.width, top.height);
    } else if (top.surface->Width() != top.width || top.surface->Height() != top.height) {
        *top.surface = gfx::Bitmap(top.width, top.height);
    } else {
        return false;
    }
    top.dirty = gfx::Region(Rect{0, 0, top.width, top.height});
    return true;
}

void PaintTree(WindowHandle window, gfx::Bitmap& surface, const gfx::Region& within) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return;
    }
    Point offset;
    gfx::Region clip;
    std::vector<WindowHandle> children;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        if ((target->style & kStyleVisible) == 0) {
            return;  // nor its children
        }
        offset = window_internal::OffsetInTopLevelLocked(*target);
        clip = within.Intersect(window_internal::ShapeLocked(*target).Offset(offset.x, offset.y));
        children = target->children;
    }
    if (clip.IsEmpty()) {
        return;  // its children lie within it
    }
    {
        gfx::DeviceContext context(surface, offset, clip);
        t_pass.push_back(
            PassFrame{window, &context, clip.Bounds().Offset(-offset.x, -offset.y), true});
        const MessageResult erased =
            SendMessageTo(window, kMsgEraseBackground, reinterpret_cast<MessageParam>(&context), 0);
        t_pass.back().erase = erased == 0;
        SendMessageTo(window, kMsgPaint, 0, 0);
        t_pass.pop_back();
    }
    for (WindowHandle child : children) {
        PaintTree(child, surface, clip);
    }
}

void RunPass(const std::shared_ptr<WindowObject>& top) {
    gfx::Region dirty;
    bool present;
    Rect bounds;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        if ((top->style & kStyleVisible) == 0 || (top->style & kStyleMinimize) != 0) {
            // Showing or restoring it paints it whole.
            top->dirty = gfx::Region();
            top->present_pending = false;
            top->owner->ClearPaint(top->handle);
            return;
        }
        EnsureSurfaceLocked(*top);
        bounds = top->surface->Bounds();
        dirty = top->dirty.Intersect(gfx::Region(bounds));
        present = top->present_pending;
        top->dirty = gfx::Region();
        top->present_pending = false;
    }
    // Validated before painting: what the procedures invalidate meanwhile
    // makes the next pass, and a procedure ignoring kMsgPaint ends this one.
    top->owner->ClearPaint(top->handle);
    if (dirty.IsEmpty() && !present) {
        return;
    }
    // The pass holds the window, so its surface outlives the pass even if a
    // procedure destroys the window.
    if (!dirty.IsEmpty()) {
        PaintTree(top->handle, *top->surface, dirty);
    }
    if (top->announced && IsWindowHandle(top->handle) && !IsWindowMinimized(top->handle) &&
        IsWindowShown(top->handle)) {
        display::Backend().Present(top->handle, *top->surface, present ? bounds : dirty.Bounds());
    }
}

}  // namespace

namespace window_internal {

void InvalidateLocal(const std::shared_ptr<WindowObject>& window, std::optional<Rect> rect) {
    std::shared_ptr<WindowObject> top = TopLevelOf(window);
    if (top == nullptr) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        // Hidden windows collect nothing: showing paints them whole.
        if (!IsShownLocked(*window) || (top->style & kStyleMinimize) != 0) {
            return;
        }
        const Rect client{0, 0, window->width, window->height};
        const Rect area = rect.has_value() ? rect->Intersect(client) : client;
        if (area.IsEmpty()) {
            return;
        }
        const Point offset = OffsetInTopLevelLocked(*window);
        const gfx::Region part =
            gfx::Region(area.Offset(offset.x, offset.y)).Intersect(VisiblePartLocked(*window));
        if (part.IsEmpty()) {
            return;
        }
        top->dirty = top->dirty.Union(part);
    }
    top->owner->MarkPaint(top->handle);
}

bool DispatchPaintPass(const Message& message) {
    std::shared_ptr<WindowObject> target = FindOwnWindow(message.window);
    if (target == nullptr || target->child) {
        return false;
    }
    RunPass(target);
    return true;
}

}  // namespace window_internal

void SetWindowRegion(WindowHandle window, std::optional<gfx::Region> region, bool redraw) {
    std::shared_ptr<WindowObject> target = FindOwnWindow(window);
    if (target == nullptr) {
        return;
    }
    Rect placement;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        target->region = region;
        placement = Rect::FromSize(target->x, target->y, target->width, target->height);
    }
    if (!target->child) {
        if (target->announced) {
            display::Backend().SetShape(window, region);
        }
        if (redraw) {
            window_internal::InvalidateLocal(target, std::nullopt);
        }
    } else if (redraw) {
        // What the old shape covered shows the parent again.
        if (std::shared_ptr<WindowObject> parent = FindWindow(target->parent)) {
            window_internal::InvalidateLocal(parent, placement);
        }
    }
}

std::optional<gfx::Region> GetWindowRegionOf(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return std::nullopt;
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    return target->region;
}

// The erase flag is kept for callers written for it: a composed pass redraws
// every window under the dirty part, background included, so it always sends
// kMsgEraseBackground.
void InvalidateWindow(WindowHandle window, std::optional<Rect> rect, bool /*erase*/) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return;
    }
    if (!target->owner->IsOwnedByCurrentThread()) {
        window_internal::RunOnOwner(target, [target, rect] {
            window_internal::InvalidateLocal(target, rect);
            return MessageResult{0};
        });
        return;
    }
    window_internal::InvalidateLocal(target, rect);
}

void UpdateWindowNow(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindOwnWindow(window);
    if (target == nullptr) {
        return;
    }
    std::shared_ptr<WindowObject> top = window_internal::TopLevelOf(target);
    if (top != nullptr) {
        RunPass(top);
    }
}

bool HasPendingPaint(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    std::shared_ptr<WindowObject> top = window_internal::TopLevelOf(target);
    if (top == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    if (top == target && top->present_pending) {
        return true;
    }
    return !top->dirty.Intersect(window_internal::VisiblePartLocked(*target)).IsEmpty();
}

struct PaintScope::State {
    std::optional<gfx::DeviceContext> own;
    gfx::DeviceContext* context = nullptr;
    Rect paint_rect;
    bool erase = false;
};

PaintScope::PaintScope(WindowHandle window) : state_(new State) {
    if (!t_pass.empty() && t_pass.back().window == window) {
        state_->context = t_pass.back().context;
        state_->paint_rect = t_pass.back().paint_rect;
        state_->erase = t_pass.back().erase;
        return;
    }
    state_->own.emplace(GetWindowContext(window));
    state_->context = &*state_->own;
    state_->paint_rect = GetClientRectOf(window);
    // Drawn outside a pass: the next pass shows it.
    std::shared_ptr<WindowObject> target = FindOwnWindow(window);
    if (std::shared_ptr<WindowObject> top = window_internal::TopLevelOf(target)) {
        {
            std::lock_guard<std::mutex> lock(UiMutex());
            top->present_pending = true;
        }
        top->owner->MarkPaint(top->handle);
    }
}

PaintScope::~PaintScope() {
    delete state_;
}

gfx::DeviceContext& PaintScope::Context() {
    return *state_->context;
}

Rect PaintScope::PaintRect() const {
    return state_->paint_rect;
}

bool PaintScope::Erase() const {
    return state_->erase;
}

gfx::DeviceContext GetWindowContext(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    std::shared_ptr<WindowObject> top = window_internal::TopLevelOf(target);
    if (top == nullptr || !top->owner->IsOwnedByCurrentThread()) {
        // Measures text; draws nowhere.
        thread_local gfx::Bitmap nowhere(1, 1);
        return gfx::DeviceContext(nowhere, Point{}, gfx::Region());
    }
    Point offset;
    gfx::Region visible;
    bool fresh;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        fresh = EnsureSurfaceLocked(*top);
        offset = window_internal::OffsetInTopLevelLocked(*target);
        visible = window_internal::VisiblePartLocked(*target);
    }
    if (fresh) {
        top->owner->MarkPaint(top->handle);
    }
    return gfx::DeviceContext(*top->surface, offset, std::move(visible));
}

}  // namespace platform
