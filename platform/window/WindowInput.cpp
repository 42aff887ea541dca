// Input: routing raw input to the thread that owns the window under it, hit
// tests through regions, the messages made from raw input (mouse, double
// clicks, caption drags, keys, close requests, tray clicks), and the input
// state around them (capture, leave tracking, focus, activation).
#include <cstdlib>

#include "platform/display/DisplayBackend.h"
#include "platform/time/Clock.h"
#include "platform/window/WindowUi.h"
#include "platform/window/WindowUiInternal.h"

namespace platform {

using window_internal::FindOwnWindow;
using window_internal::FindWindow;
using window_internal::ThreadQueue;
using window_internal::UiMutex;
using window_internal::WindowObject;

namespace {

constexpr std::uint32_t kDoubleClickTimeMs = 500;
// A second press counts as a double click this close to the first, per axis.
constexpr int kDoubleClickDistance = 4;

struct InputState {
    WindowHandle capture = 0;
    WindowHandle focus = 0;
    WindowHandle active = 0;
    WindowHandle tracked = 0;  // gets kMsgMouseLeave when the pointer leaves it
    WindowHandle hover = 0;    // under the pointer at the last mouse input
    std::optional<Point> cursor;
    bool left_down = false;
    bool right_down = false;
    WindowHandle dragged = 0;  // moved with the pointer by its caption
    Point drag_grip;           // the pointer within the dragged window
    WindowHandle last_click_window = 0;
    WindowHandle screen_grab = 0;
    std::uint64_t last_click_ms = 0;
    Point last_click_point;
    // Mouse input over no window goes where mouse input went last, so leave
    // tracking sees the pointer go.
    std::weak_ptr<ThreadQueue> last_mouse_queue;
};

std::mutex& InputMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

InputState& Input() {
    static auto* state = new InputState;
    return *state;
}

WindowHandle Live(WindowHandle window) {
    return IsWindowHandle(window) ? window : 0;
}

bool IsWithin(WindowHandle window, WindowHandle ancestor) {
    std::shared_ptr<WindowObject> current = FindWindow(window);
    while (current != nullptr) {
        if (current->handle == ancestor) {
            return true;
        }
        current = current->child ? FindWindow(current->parent) : nullptr;
    }
    return false;
}

struct Hit {
    WindowHandle window = 0;
    MessageResult code = kHitNowhere;
};

// Shown, not minimised top-level windows whose shape holds p, from the top.
std::vector<WindowHandle> TopLevelsAt(Point p) {
    std::vector<WindowHandle> found;
    std::lock_guard<std::mutex> lock(UiMutex());
    const auto& order = window_internal::ScreenOrderLocked();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        std::shared_ptr<WindowObject> top = FindWindow(*it);
        if (top == nullptr || (top->style & kStyleVisible) == 0 ||
            (top->style & kStyleMinimize) != 0) {
            continue;
        }
        if (window_internal::ShapeLocked(*top).Contains(p.x - top->x, p.y - top->y)) {
            found.push_back(*it);
        }
    }
    return found;
}

// The deepest window within this one that takes p: its children from the
// top first, then itself unless its hit test passes the point on. A disabled
// child is passed over (its parent gets the input); a disabled top-level
// window keeps the point and gets nothing.
std::optional<Hit> HitWithin(WindowHandle window, Point p, bool ask) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return std::nullopt;
    }
    std::vector<WindowHandle> children;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        if ((target->style & kStyleVisible) == 0) {
            return std::nullopt;
        }
        const Point origin = window_internal::ScreenOriginLocked(*target);
        if (!window_internal::ShapeLocked(*target).Contains(p.x - origin.x, p.y - origin.y)) {
            return std::nullopt;
        }
        if ((target->style & kStyleDisabled) != 0) {
            return target->child ? std::nullopt : std::optional<Hit>(Hit{window, kHitNowhere});
        }
        children = target->children;
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (std::optional<Hit> hit = HitWithin(*it, p, ask)) {
            return hit;
        }
    }
    const MessageResult code =
        ask ? SendMessageTo(window, kMsgNcHitTest, 0, PackPoint(p.x, p.y)) : kHitClient;
    if (code == kHitTransparent) {
        return std::nullopt;
    }
    return Hit{window, code};
}

Hit HitTest(Point p, bool ask) {
    for (WindowHandle top : TopLevelsAt(p)) {
        if (std::optional<Hit> hit = HitWithin(top, p, ask)) {
            return *hit;
        }
    }
    return Hit{};
}

MessageParam KeyStateLocked(const InputState& state) {
    return (state.left_down ? kMouseKeyLeft : 0) | (state.right_down ? kMouseKeyRight : 0);
}

std::uint32_t ClassStyleOf(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    return target->class_style;
}

bool Activates(WindowHandle top) {
    return (GetWindowExStyle(top) & kExStyleNoActivate) == 0;
}

void DragTo(WindowHandle window, Point grip, Point pointer) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    window_internal::RunOnOwner(target, [window, grip, pointer] {
        const Rect rect = GetWindowPlacement(window);
        MoveWindowTo(window, pointer.x - grip.x, pointer.y - grip.y, rect.Width(), rect.Height(),
                     false);
        return MessageResult{0};
    });
}

void TranslateMouse(const display::RawInput& input) {
    using Kind = display::RawInput::Kind;
    const Point p = input.screen_point;
    const bool right = input.right_button;
    WindowHandle dragged;
    Point grip;
    {
        std::lock_guard<std::mutex> lock(InputMutex());
        InputState& state = Input();
        state.cursor = p;
        if (input.kind == Kind::kButtonDown) {
            (right ? state.right_down : state.left_down) = true;
        } else if (input.kind == Kind::kButtonUp) {
            (right ? state.right_down : state.left_down) = false;
        }
        dragged = Live(state.dragged);
        grip = state.drag_grip;
        if (dragged != 0 && input.kind == Kind::kButtonUp && !right) {
            state.dragged = 0;
        }
    }
    // A caption drag takes the pointer until the button comes up.
    if (dragged != 0) {
        if (input.kind == Kind::kMouseMove) {
            DragTo(dragged, grip, p);
        }
        return;
    }

    const Hit hover = HitTest(p, true);
    WindowHandle leaving = 0;
    WindowHandle capture;
    {
        std::lock_guard<std::mutex> lock(InputMutex());
        InputState& state = Input();
        state.hover = hover.window;
        if (state.tracked != 0 && state.tracked != hover.window) {
            leaving = state.tracked;
            state.tracked = 0;
        }
        capture = Live(state.capture);
    }
    if (leaving != 0) {
        PostMessageTo(leaving, kMsgMouseLeave, 0, 0);
    }
    const Hit target = capture != 0 ? Hit{capture, kHitClient} : hover;
    if (target.window == 0 || !IsWindowEnabledState(target.window)) {
        return;
    }

    const bool down = input.kind == Kind::kButtonDown;
    if (down) {
        std::shared_ptr<WindowObject> top = window_internal::TopLevelOf(FindWindow(target.window));
        if (top != nullptr && Activates(top->handle)) {
            window_internal::ActivateTopLevel(top->handle);
        }
        if (!right && capture == 0 && target.code == kHitCaption && top != nullptr) {
            const Rect rect = GetWindowScreenRect(top->handle);
            std::lock_guard<std::mutex> lock(InputMutex());
            Input().dragged = top->handle;
            Input().drag_grip = Point{p.x - rect.left, p.y - rect.top};
            return;
        }
    }
    // A right click on a caption opens that window's system menu, as there.
    if (right && input.kind == Kind::kButtonUp && capture == 0 && target.code == kHitCaption) {
        PostMessageTo(target.window, kMsgContextMenu, target.window, PackPoint(p.x, p.y));
        return;
    }
    if (target.code != kHitClient) {
        return;
    }

    const Point client = ScreenToClient(target.window, p);
    std::uint32_t message = kMsgMouseMove;
    MessageParam keys;
    {
        std::lock_guard<std::mutex> lock(InputMutex());
        InputState& state = Input();
        keys = KeyStateLocked(state);
        if (down && right) {
            message = kMsgRightButtonDown;
        } else if (down) {
            message = kMsgLeftButtonDown;
            const std::uint64_t now = CurrentClock().MonotonicMs();
            const bool twice = state.last_click_window == target.window &&
                               now - state.last_click_ms <= kDoubleClickTimeMs &&
                               std::abs(p.x - state.last_click_point.x) <= kDoubleClickDistance &&
                               std::abs(p.y - state.last_click_point.y) <= kDoubleClickDistance;
            if (twice && (ClassStyleOf(target.window) & kClassDoubleClicks) != 0) {
                message = kMsgLeftButtonDoubleClick;
                state.last_click_window = 0;  // a third press starts again
            } else {
                state.last_click_window = target.window;
                state.last_click_ms = now;
                state.last_click_point = p;
            }
        } else if (input.kind == Kind::kButtonUp) {
            message = right ? kMsgRightButtonUp : kMsgLeftButtonUp;
        }
    }
    PostMessageTo(target.window, message, keys, PackPoint(client.x, client.y));
}

void TranslateKey(const display::RawInput& input) {
    using Kind = display::RawInput::Kind;
    WindowHandle target;
    {
        std::lock_guard<std::mutex> lock(InputMutex());
        target = Live(Input().focus);
        if (target == 0) {
            target = Live(Input().active);
        }
    }
    if (target == 0) {
        target = Live(input.window);
    }
    if (target == 0 || !IsWindowEnabledState(target)) {
        return;
    }
    switch (input.kind) {
        case Kind::kKeyDown:
            PostMessageTo(target, kMsgKeyDown, input.key, 1);
            break;
        case Kind::kKeyUp:
            PostMessageTo(target, kMsgKeyUp, input.key, static_cast<MessageLong>(0xC0000001u));
            break;
        default:
            PostMessageTo(target, kMsgChar, input.key, 1);
            break;
    }
}

}  // namespace

namespace window_internal {

void QueueRawInput(const display::RawInput& input) {
    using Kind = display::RawInput::Kind;
    WindowHandle window = 0;
    bool mouse = false;
    switch (input.kind) {
        case Kind::kMouseMove:
        case Kind::kButtonDown:
        case Kind::kButtonUp: {
            mouse = true;
            {
                std::lock_guard<std::mutex> lock(InputMutex());
                window = Live(Input().capture);
                if (window == 0) {
                    window = Live(Input().dragged);
                }
            }
            if (window == 0) {
                window = Live(input.window);
            }
            if (window == 0) {
                std::vector<WindowHandle> tops = TopLevelsAt(input.screen_point);
                window = tops.empty() ? 0 : tops.front();
            }
            break;
        }
        case Kind::kKeyDown:
        case Kind::kKeyUp:
        case Kind::kChar: {
            std::lock_guard<std::mutex> lock(InputMutex());
            window = Live(Input().focus);
            if (window == 0) {
                window = Live(Input().active);
            }
            if (window == 0) {
                window = Live(input.window);
            }
            break;
        }
        case Kind::kCloseRequest:
        case Kind::kTrayClick:
            window = Live(input.window);
            break;
    }
    std::shared_ptr<ThreadQueue> queue;
    if (std::shared_ptr<WindowObject> target = FindWindow(window)) {
        queue = target->owner;
    } else if (mouse) {
        std::lock_guard<std::mutex> lock(InputMutex());
        queue = Input().last_mouse_queue.lock();
    }
    if (queue == nullptr) {
        return;  // nobody's: the desktop's
    }
    if (mouse) {
        std::lock_guard<std::mutex> lock(InputMutex());
        Input().last_mouse_queue = queue;
    }
    queue->PostRawInput(input);
}

void TranslateRawInput(const display::RawInput& input) {
    using Kind = display::RawInput::Kind;
    switch (input.kind) {
        case Kind::kMouseMove:
        case Kind::kButtonDown:
        case Kind::kButtonUp:
            TranslateMouse(input);
            break;
        case Kind::kKeyDown:
        case Kind::kKeyUp:
        case Kind::kChar:
            TranslateKey(input);
            break;
        case Kind::kCloseRequest:
            if (IsWindowEnabledState(input.window)) {
                PostMessageTo(input.window, kMsgSysCommand, kSysCommandClose, 0);
            }
            break;
        case Kind::kTrayClick:
            if (input.tray_message != 0) {
                PostMessageTo(input.window, input.tray_message, input.tray_id,
                              input.right_button ? kMsgRightButtonDown : kMsgLeftButtonDown);
            }
            break;
    }
}

void ActivateTopLevel(WindowHandle window) {
    WindowHandle previous;
    {
        std::lock_guard<std::mutex> lock(InputMutex());
        previous = Live(Input().active);
        if (previous == window) {
            return;
        }
        Input().active = window;
    }
    if (std::shared_ptr<WindowObject> target = FindWindow(window);
        target != nullptr && target->owner->IsOwnedByCurrentThread()) {
        SetWindowZOrder(window, ZOrder::kTop);
    }
    if (previous != 0) {
        SendMessageTo(previous, kMsgActivate, 0, static_cast<MessageLong>(window));
    }
    if (window != 0) {
        SendMessageTo(window, kMsgActivate, 1, static_cast<MessageLong>(previous));
    }
}

void DropInputStateWithin(WindowHandle window) {
    WindowHandle lost_focus = 0;
    WindowHandle lost_capture = 0;
    {
        std::lock_guard<std::mutex> lock(InputMutex());
        InputState& state = Input();
        if (state.focus != 0 && IsWithin(state.focus, window)) {
            lost_focus = state.focus;
            state.focus = 0;
        }
        if (state.capture != 0 && IsWithin(state.capture, window)) {
            lost_capture = state.capture;
            state.capture = 0;
        }
        if (state.tracked != 0 && IsWithin(state.tracked, window)) {
            state.tracked = 0;
        }
        if (state.dragged == window) {
            state.dragged = 0;
        }
    }
    if (lost_capture != 0) {
        SendMessageTo(lost_capture, kMsgCaptureChanged, 0, 0);
    }
    if (lost_focus != 0) {
        SendMessageTo(lost_focus, kMsgKillFocus, 0, 0);
    }
}

void ForgetWindow(const std::shared_ptr<WindowObject>& window) {
    const WindowHandle handle = window->handle;
    bool shown_child = false;
    Rect placement;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        if (window->child) {
            if (std::shared_ptr<WindowObject> parent = FindWindow(window->parent)) {
                std::erase(parent->children, handle);
            }
            shown_child = IsShownLocked(*window);
            placement = Rect::FromSize(window->x, window->y, window->width, window->height);
        } else {
            std::erase(ScreenOrderLocked(), handle);
        }
    }
    {
        // A window that is going gets no more messages of its own state.
        std::lock_guard<std::mutex> lock(InputMutex());
        InputState& state = Input();
        for (WindowHandle* held :
             {&state.capture, &state.focus, &state.active, &state.tracked, &state.hover,
              &state.dragged, &state.last_click_window, &state.screen_grab}) {
            if (*held == handle) {
                *held = 0;
            }
        }
    }
    if (window->announced) {
        window->announced = false;
        display::Backend().DestroyWindow(handle);
    }
    if (shown_child) {
        if (std::shared_ptr<WindowObject> parent = FindWindow(window->parent);
            parent != nullptr && !parent->destroying) {
            InvalidateLocal(parent, placement);
        }
    }
}

}  // namespace window_internal

WindowHandle SetMouseCapture(WindowHandle window) {
    if (FindOwnWindow(window) == nullptr) {
        return 0;
    }
    WindowHandle previous;
    {
        std::lock_guard<std::mutex> lock(InputMutex());
        previous = Live(Input().capture);
        Input().capture = window;
    }
    if (previous != 0 && previous != window) {
        SendMessageTo(previous, kMsgCaptureChanged, 0, static_cast<MessageLong>(window));
    }
    return previous;
}

bool ReleaseMouseCapture() {
    WindowHandle previous;
    {
        std::lock_guard<std::mutex> lock(InputMutex());
        previous = Live(Input().capture);
        Input().capture = 0;
    }
    if (previous != 0) {
        SendMessageTo(previous, kMsgCaptureChanged, 0, 0);
    }
    return true;
}

WindowHandle GrabScreenPointer(WindowHandle window) {
    if (window != 0) {
        const std::shared_ptr<WindowObject> object = FindOwnWindow(window);
        if (object == nullptr || object->child) {
            return 0;
        }
    }
    WindowHandle previous;
    {
        std::lock_guard<std::mutex> lock(InputMutex());
        previous = Live(Input().screen_grab);
        Input().screen_grab = window;
    }
    // The backend forgets a grab by itself when its window goes.
    display::Backend().GrabPointer(window);
    return previous;
}

WindowHandle GetMouseCapture() {
    std::lock_guard<std::mutex> lock(InputMutex());
    return Live(Input().capture);
}

bool TrackMouseLeave(WindowHandle window) {
    if (FindOwnWindow(window) == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> lock(InputMutex());
    InputState& state = Input();
    if (state.hover != window) {
        return false;
    }
    state.tracked = window;
    return true;
}

bool CancelMouseLeave(WindowHandle window) {
    std::lock_guard<std::mutex> lock(InputMutex());
    if (window == 0 || Input().tracked != window) {
        return false;
    }
    Input().tracked = 0;
    return true;
}

WindowHandle SetKeyboardFocus(WindowHandle window) {
    if (window != 0 && (FindOwnWindow(window) == nullptr || !IsWindowEnabledState(window))) {
        return 0;
    }
    WindowHandle previous;
    {
        std::lock_guard<std::mutex> lock(InputMutex());
        previous = Live(Input().focus);
        if (previous == window) {
            return previous;
        }
        Input().focus = window;
    }
    if (previous != 0) {
        SendMessageTo(previous, kMsgKillFocus, window, 0);
    }
    if (window != 0 && IsWindowHandle(window)) {
        SendMessageTo(window, kMsgSetFocus, previous, 0);
    }
    return previous;
}

WindowHandle GetKeyboardFocus() {
    std::lock_guard<std::mutex> lock(InputMutex());
    return Live(Input().focus);
}

WindowHandle GetActiveTopLevel() {
    std::lock_guard<std::mutex> lock(InputMutex());
    return Live(Input().active);
}

Point GetCursorScreenPosition() {
    {
        std::lock_guard<std::mutex> lock(InputMutex());
        if (Input().cursor.has_value()) {
            return *Input().cursor;
        }
    }
    return display::Backend().CursorPosition();
}

WindowHandle WindowAtScreenPoint(Point p) {
    return HitTest(p, false).window;
}

std::uint32_t GetDoubleClickTimeMs() {
    return kDoubleClickTimeMs;
}

}  // namespace platform
