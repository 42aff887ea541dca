// Show states (hidden, minimised, normal) and enabling, with what the backend
// is told of top-level windows.
#include "platform/display/DisplayBackend.h"
#include "platform/window/WindowUi.h"
#include "platform/window/WindowUiInternal.h"

namespace platform {

using window_internal::CurrentQueue;
using window_internal::FindWindow;
using window_internal::UiMutex;
using window_internal::WindowObject;

namespace {

display::ShowState StateOfLocked(const WindowObject& window) {
    if ((window.style & kStyleVisible) == 0) {
        return display::ShowState::kHidden;
    }
    return (window.style & kStyleMinimize) != 0 ? display::ShowState::kMinimized
                                                : display::ShowState::kNormal;
}

}  // namespace

namespace window_internal {

void AnnounceToBackend(const std::shared_ptr<WindowObject>& window) {
    Rect rect;
    display::ShowState state;
    bool topmost;
    std::optional<gfx::Region> shape;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        rect = Rect::FromSize(window->x, window->y, window->width, window->height);
        state = StateOfLocked(*window);
        topmost = window->topmost;
        shape = window->region;
    }
    // A window that was never shown stays unknown to the display: hidden
    // windows of worker threads never reach it.
    if (!window->announced && state == display::ShowState::kHidden) {
        return;
    }
    const bool first = !window->announced;
    window->announced = true;
    window->owner->SetShowsWindows();
    display::Backend().ShowWindow(window->handle, rect, state, topmost);
    if (first && shape.has_value()) {
        display::Backend().SetShape(window->handle, shape);
    }
}

}  // namespace window_internal

bool ShowWindowAs(WindowHandle window, int show_command) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return false;
    }
    if (!target->owner->IsOwnedByCurrentThread()) {
        return window_internal::RunOnOwner(target, [window, show_command] {
                   return static_cast<MessageResult>(ShowWindowAs(window, show_command));
               }) != 0;
    }
    bool was_visible;
    bool was_minimized;
    bool visible;
    bool minimized;
    bool no_activate;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        was_visible = (target->style & kStyleVisible) != 0;
        was_minimized = (target->style & kStyleMinimize) != 0;
        visible = show_command != kShowHide;
        minimized = was_minimized;
        switch (show_command) {
            case kShowNormal:
            case kShowRestore:
            case kShowNoActivate:
                minimized = false;
                break;
            case kShowMinimize:
            case kShowMinimized:
                minimized = true;
                break;
            default:  // kShowShow and kShowHide keep the minimised state
                break;
        }
        target->style = (target->style & ~(kStyleVisible | kStyleMinimize)) |
                        (visible ? kStyleVisible : 0) | (minimized ? kStyleMinimize : 0);
        no_activate = target->child || (target->ex_style & kExStyleNoActivate) != 0;
    }
    if (visible != was_visible) {
        SendMessageTo(window, kMsgShowWindow, visible ? 1 : 0, 0);
    }
    if (!IsWindowHandle(window)) {
        return was_visible;
    }
    const bool changed = visible != was_visible || minimized != was_minimized;
    if (target->child) {
        if (visible != was_visible) {
            if (std::shared_ptr<WindowObject> parent = FindWindow(target->parent)) {
                window_internal::InvalidateLocal(parent, GetWindowPlacement(window));
            }
        }
    } else {
        if (changed) {
            window_internal::AnnounceToBackend(target);
        }
        if (visible && !minimized && (!was_visible || was_minimized)) {
            window_internal::InvalidateLocal(target, std::nullopt);
        }
    }
    if (!visible || (minimized && !was_minimized)) {
        window_internal::DropInputStateWithin(window);
        if (GetActiveTopLevel() == window) {
            window_internal::ActivateTopLevel(0);
        }
    }
    const bool activates = show_command == kShowNormal || show_command == kShowRestore ||
                           show_command == kShowShow || show_command == kShowMinimized;
    if (visible && activates && !no_activate && !(minimized && show_command != kShowMinimized)) {
        window_internal::ActivateTopLevel(window);
    }
    return was_visible;
}

bool EnableWindowInput(WindowHandle window, bool enable) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return false;
    }
    if (!target->owner->IsOwnedByCurrentThread()) {
        return window_internal::RunOnOwner(target, [window, enable] {
                   return static_cast<MessageResult>(EnableWindowInput(window, enable));
               }) != 0;
    }
    bool was_disabled;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        was_disabled = (target->style & kStyleDisabled) != 0;
        if (enable) {
            target->style &= ~kStyleDisabled;
        } else {
            target->style |= kStyleDisabled;
        }
    }
    if (was_disabled == enable) {
        if (!enable) {
            window_internal::DropInputStateWithin(window);
        }
        SendMessageTo(window, kMsgEnable, enable ? 1 : 0, 0);
    }
    return was_disabled;
}

}  // namespace platform
