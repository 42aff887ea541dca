#include "platform/window/ProgressControl.h"

#include <algorithm>

#include "platform/window/FrameworkInternal.h"

namespace platform {

namespace {

struct ProgressState {
    int lower = 0;
    int upper = 100;
    int pos = 0;
};

framework_internal::ControlStateTable<ProgressState>& States() {
    static auto* table = new framework_internal::ControlStateTable<ProgressState>;
    return *table;
}

MessageResult PackRange(int lower, int upper) {
    return static_cast<MessageResult>((static_cast<std::uint32_t>(lower) & 0xFFFF) |
                                      ((static_cast<std::uint32_t>(upper) & 0xFFFF) << 16));
}

// Stores the range in order and brings the position into it.
MessageResult ApplyRange(WindowHandle window, int lower, int upper) {
    ProgressState state = States().Get(window);
    const MessageResult previous = PackRange(state.lower, state.upper);
    state.lower = std::min(lower, upper);
    state.upper = std::max(lower, upper);
    state.pos = std::clamp(state.pos, state.lower, state.upper);
    States().Put(window, state);
    InvalidateWindow(window, std::nullopt, true);
    return previous;
}

void Paint(WindowHandle window) {
    PaintScope scope(window);
    gfx::DeviceContext& dc = scope.Context();
    const ProgressState state = States().Get(window);
    const gfx::Rect client = GetClientRectOf(window);
    const gfx::Color dark = gfx::Rgb(160, 160, 160);
    dc.FillRect(client, gfx::Rgb(230, 230, 230));
    dc.FillRect(gfx::Rect{client.left, client.top, client.right, client.top + 1}, dark);
    dc.FillRect(gfx::Rect{client.left, client.top, client.left + 1, client.bottom}, dark);
    dc.FillRect(gfx::Rect{client.left, client.bottom - 1, client.right, client.bottom},
                gfx::kWhite);
    dc.FillRect(gfx::Rect{client.right - 1, client.top, client.right, client.bottom}, gfx::kWhite);
    const gfx::Rect inner{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
    if (inner.IsEmpty() || state.upper <= state.lower) {
        return;
    }
    const long long span = static_cast<long long>(state.upper) - state.lower;
    const int filled =
        static_cast<int>(inner.Width() * (static_cast<long long>(state.pos) - state.lower) / span);
    if ((GetWindowStyle(window) & kProgressSmooth) != 0) {
        dc.FillRect(gfx::Rect{inner.left, inner.top, inner.left + filled, inner.bottom},
                    gfx::kHighlightColor);
        return;
    }
    // Blocks two thirds as wide as the bar is high, with a gap of two pixels.
    const int block = std::max(2, inner.Height() * 2 / 3);
    for (int x = inner.left; x < inner.left + filled; x += block + 2) {
        dc.FillRect(gfx::Rect{x, inner.top, std::min(x + block, inner.left + filled), inner.bottom},
                    gfx::kHighlightColor);
    }
}

}  // namespace

namespace framework_internal {

MessageResult ProgressClassProcedure(WindowHandle window, std::uint32_t message,
                                     MessageParam wParam, MessageLong lParam) {
    switch (message) {
        case kMsgCreate:
            States().Put(window, ProgressState{});
            return 0;
        case kMsgDestroy:
            States().Erase(window);
            return 0;
        case kMsgProgressSetRange: {
            const auto packed = static_cast<std::uint32_t>(lParam);
            return ApplyRange(window, static_cast<int>(packed & 0xFFFF),
                              static_cast<int>((packed >> 16) & 0xFFFF));
        }
        case kMsgProgressSetRange32:
            return ApplyRange(window, static_cast<int>(wParam), static_cast<int>(lParam));
        case kMsgProgressGetRange: {
            const ProgressState state = States().Get(window);
            return wParam != 0 ? state.lower : state.upper;
        }
        case kMsgProgressSetPos: {
            ProgressState state = States().Get(window);
            const int previous = state.pos;
            state.pos = std::clamp(static_cast<int>(wParam), state.lower, state.upper);
            States().Put(window, state);
            if (state.pos != previous) {
                InvalidateWindow(window, std::nullopt, true);
            }
            return previous;
        }
        case kMsgProgressGetPos:
            return States().Get(window).pos;
        case kMsgEraseBackground:
            return 1;
        case kMsgPaint:
            Paint(window);
            return 0;
        default:
            return DefaultWindowProcedure(window, message, wParam, lParam);
    }
}

}  // namespace framework_internal

bool ProgressControl::Create(std::uint32_t style, const gfx::Rect& rect, WindowHandle parent,
                             int id) {
    return CreateChild(kProgressClassName, u"", style, rect, parent, id);
}

void ProgressControl::SetRange(int lower, int upper) {
    SendMessageTo(Handle(), kMsgProgressSetRange32, static_cast<MessageParam>(lower),
                  static_cast<MessageLong>(upper));
}

int ProgressControl::Lower() const {
    return static_cast<int>(SendMessageTo(Handle(), kMsgProgressGetRange, 1, 0));
}

int ProgressControl::Upper() const {
    return static_cast<int>(SendMessageTo(Handle(), kMsgProgressGetRange, 0, 0));
}

int ProgressControl::SetPos(int pos) {
    return static_cast<int>(
        SendMessageTo(Handle(), kMsgProgressSetPos, static_cast<MessageParam>(pos), 0));
}

int ProgressControl::GetPos() const {
    return static_cast<int>(SendMessageTo(Handle(), kMsgProgressGetPos, 0, 0));
}

}  // namespace platform
