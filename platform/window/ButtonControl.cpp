#include "platform/window/ButtonControl.h"

#include <algorithm>

#include "platform/window/FrameworkInternal.h"
#include "platform/window/WindowTable.h"

namespace platform {

namespace {

struct ButtonState {
    int check = 0;
    bool pushed = false;
    bool focus = false;
    bool tracking = false;  // pressed with the pointer, capture held
    bool space_down = false;
};

framework_internal::ControlStateTable<ButtonState>& States() {
    static auto* table = new framework_internal::ControlStateTable<ButtonState>;
    return *table;
}

std::uint32_t TypeOf(WindowHandle window) {
    return GetWindowStyle(window) & kButtonTypeMask;
}

bool HasCheckState(std::uint32_t type) {
    return type == kButtonCheckBox || type == kButtonAutoCheckBox || type == kButtonRadio ||
           type == kButtonAutoRadio || type == 0x5 || type == 0x6;  // three-state kinds
}

bool IsRadio(std::uint32_t type) {
    return type == kButtonRadio || type == kButtonAutoRadio;
}

void Repaint(WindowHandle window) {
    InvalidateWindow(window, std::nullopt, true);
}

void SetPushed(WindowHandle window, ButtonState& state, bool pushed) {
    if (state.pushed != pushed) {
        state.pushed = pushed;
        States().Put(window, state);
        Repaint(window);
    }
}

bool PointInside(WindowHandle window, MessageLong lParam) {
    return GetClientRectOf(window).Contains(Point{PointX(lParam), PointY(lParam)});
}

void Click(WindowHandle window) {
    const std::uint32_t type = TypeOf(window);
    if (type == kButtonAutoCheckBox) {
        ButtonState state = States().Get(window);
        state.check = state.check == 0 ? 1 : 0;
        States().Put(window, state);
        Repaint(window);
    } else if (type == kButtonAutoRadio) {
        ButtonState state = States().Get(window);
        if (state.check != 1) {
            state.check = 1;
            States().Put(window, state);
            Repaint(window);
        }
        const WindowHandle parent = GetParentWindow(window);
        for (WindowHandle other = NextGroupItem(parent, window); other != 0 && other != window;
             other = NextGroupItem(parent, other)) {
            if (GetWindowClassName(other) == kButtonClassName &&
                TypeOf(other) == kButtonAutoRadio) {
                SendMessageTo(other, kMsgButtonSetCheck, 0, 0);
            }
        }
    }
    const WindowHandle parent = GetParentWindow(window);
    if (parent != 0) {
        SendMessageTo(parent, kMsgCommand, MakeCommandParam(GetWindowId(window), kButtonClicked),
                      static_cast<MessageLong>(window));
    }
}

void DrawBevel(gfx::DeviceContext& dc, const gfx::Rect& r, bool sunken) {
    const gfx::Color light = gfx::kWhite;
    const gfx::Color dark = gfx::Rgb(105, 105, 105);
    const gfx::Color shadow = gfx::Rgb(160, 160, 160);
    const gfx::Color top_left = sunken ? dark : light;
    const gfx::Color bottom_right = sunken ? light : dark;
    dc.FillRect(gfx::Rect{r.left, r.top, r.right, r.top + 1}, top_left);
    dc.FillRect(gfx::Rect{r.left, r.top, r.left + 1, r.bottom}, top_left);
    dc.FillRect(gfx::Rect{r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
    dc.FillRect(gfx::Rect{r.right - 1, r.top, r.right, r.bottom}, bottom_right);
    if (!sunken && r.Width() > 2 && r.Height() > 2) {
        dc.FillRect(gfx::Rect{r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, shadow);
        dc.FillRect(gfx::Rect{r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, shadow);
    }
}

void PaintPlain(WindowHandle window, gfx::DeviceContext& dc, const ButtonState& state) {
    const gfx::Rect client = GetClientRectOf(window);
    const std::uint32_t type = TypeOf(window);
    std::shared_ptr<const gfx::Font> font = GetWindowFont(window);
    if (font == nullptr) {
        font = gfx::Font::Default();
    }
    dc.SelectFont(font.get());
    dc.SetBackgroundMode(gfx::BackgroundMode::kTransparent);
    const bool enabled = IsWindowEnabledState(window);
    dc.SetTextColor(enabled ? gfx::kButtonTextColor : gfx::kGrayTextColor);
    const std::u16string text = GetWindowTitle(window);
    if (!HasCheckState(type)) {
        dc.FillRect(client, gfx::kButtonFaceColor);
        DrawBevel(dc, client, state.pushed);
        gfx::Rect text_rect = client;
        if (state.pushed) {
            text_rect = text_rect.Offset(1, 1);
        }
        dc.DrawText(
            text, text_rect,
            gfx::text_flags::kCenter | gfx::text_flags::kVCenter | gfx::text_flags::kSingleLine);
        return;
    }
    // A mark at the left and the text beside it, over the brush the parent
    // gives statics, as there.
    const WindowHandle parent = GetParentWindow(window);
    const gfx::Brush* brush =
        parent == 0 ? nullptr
                    : BrushFromResult(SendMessageTo(parent, kMsgCtlColorStatic,
                                                    reinterpret_cast<MessageParam>(&dc),
                                                    static_cast<MessageLong>(window)));
    if (brush != nullptr) {
        brush->Fill(dc, client);
    } else {
        dc.FillRect(client, gfx::kButtonFaceColor);
    }
    constexpr int kMark = 13;
    const int top = client.top + (client.Height() - kMark) / 2;
    const gfx::Rect box = gfx::Rect::FromSize(client.left, top, kMark, kMark);
    dc.FillRect(box, state.pushed ? gfx::kButtonFaceColor : gfx::kWhite);
    DrawBevel(dc, box, true);
    if (state.check != 0) {
        const gfx::Color mark = enabled ? gfx::kButtonTextColor : gfx::kGrayTextColor;
        if (IsRadio(type)) {
            dc.FillRect(gfx::Rect{box.left + 4, box.top + 4, box.right - 4, box.bottom - 4}, mark);
        } else {
            // A tick: down from the left, then up to the right.
            for (int i = 0; i < 3; ++i) {
                dc.FillRect(gfx::Rect::FromSize(box.left + 3 + i, box.top + 5 + i, 1, 3), mark);
            }
            for (int i = 0; i < 4; ++i) {
                dc.FillRect(gfx::Rect::FromSize(box.left + 6 + i, box.top + 6 - i, 1, 3), mark);
            }
        }
    }
    gfx::Rect text_rect{box.right + 4, client.top, client.right, client.bottom};
    dc.DrawText(text, text_rect,
                gfx::text_flags::kLeft | gfx::text_flags::kVCenter | gfx::text_flags::kSingleLine);
}

void Paint(WindowHandle window) {
    PaintScope scope(window);
    gfx::DeviceContext& dc = scope.Context();
    const ButtonState state = States().Get(window);
    if (TypeOf(window) == kButtonOwnerDraw) {
        DrawItemInfo info;
        info.control_id = GetWindowId(window);
        info.window = window;
        info.dc = &dc;
        info.item_rect = GetClientRectOf(window);
        info.state = (state.pushed ? kDrawItemSelected : 0) |
                     (IsWindowEnabledState(window) ? 0 : kDrawItemDisabled) |
                     (state.focus ? kDrawItemFocus : 0);
        const WindowHandle parent = GetParentWindow(window);
        if (parent != 0) {
            SendMessageTo(parent, kMsgDrawItem, static_cast<MessageParam>(info.control_id),
                          reinterpret_cast<MessageLong>(&info));
        }
        return;
    }
    PaintPlain(window, dc, state);
}

}  // namespace

namespace framework_internal {

MessageResult ButtonClassProcedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                                   MessageLong lParam) {
    ButtonState state = States().Get(window);
    switch (message) {
        case kMsgCreate:
            States().Put(window, ButtonState{});
            return 0;
        case kMsgDestroy:
            States().Erase(window);
            return 0;
        case kMsgLeftButtonDown:
        case kMsgLeftButtonDoubleClick:
            if (GetKeyboardFocus() != window) {
                SetKeyboardFocus(window);
                state = States().Get(window);
            }
            SetMouseCapture(window);
            state.tracking = true;
            States().Put(window, state);
            SetPushed(window, state, true);
            return 0;
        case kMsgMouseMove:
            if (state.tracking && GetMouseCapture() == window) {
                SetPushed(window, state, PointInside(window, lParam));
            }
            return 0;
        case kMsgLeftButtonUp: {
            if (!state.tracking) {
                return 0;
            }
            const bool click = state.pushed && PointInside(window, lParam);
            state.tracking = false;
            States().Put(window, state);
            if (GetMouseCapture() == window) {
                ReleaseMouseCapture();
            }
            state = States().Get(window);
            SetPushed(window, state, false);
            if (click) {
                Click(window);
            }
            return 0;
        }
        case kMsgCaptureChanged:
            if (state.tracking && static_cast<WindowHandle>(lParam) != window) {
                state.tracking = false;
                States().Put(window, state);
                SetPushed(window, state, false);
            }
            return 0;
        case kMsgKeyDown:
            if (wParam == kKeySpace && !state.tracking) {
                state.space_down = true;
                States().Put(window, state);
                SetPushed(window, state, true);
            }
            return 0;
        case kMsgKeyUp:
            if (wParam == kKeySpace && state.space_down) {
                state.space_down = false;
                const bool click = state.pushed;
                States().Put(window, state);
                SetPushed(window, state, false);
                if (click) {
                    Click(window);
                }
            }
            return 0;
        case kMsgSetFocus:
            state.focus = true;
            States().Put(window, state);
            Repaint(window);
            return 0;
        case kMsgKillFocus:
            state.focus = false;
            state.space_down = false;
            if (state.tracking) {
                state.tracking = false;
                States().Put(window, state);
                if (GetMouseCapture() == window) {
                    ReleaseMouseCapture();
                }
                state = States().Get(window);
            }
            States().Put(window, state);
            SetPushed(window, state, false);
            Repaint(window);
            return 0;
        case kMsgButtonGetCheck:
            return state.check;
        case kMsgButtonSetCheck: {
            if (!HasCheckState(TypeOf(window))) {
                return 0;
            }
            const int check = static_cast<int>(wParam);
            if (state.check != check) {
                state.check = check;
                States().Put(window, state);
                Repaint(window);
            }
            return 0;
        }
        case kMsgButtonGetState:
            return static_cast<MessageResult>(static_cast<std::uint32_t>(state.check) |
                                              (state.pushed ? kButtonStatePushed : 0) |
                                              (state.focus ? kButtonStateFocus : 0));
        case kMsgButtonSetState:
            SetPushed(window, state, wParam != 0);
            return 0;
        case kMsgButtonSetStyle:
            SetWindowStyle(window, (GetWindowStyle(window) & ~0xFFFFu) | (wParam & 0xFFFFu));
            if (lParam != 0) {
                Repaint(window);
            }
            return 0;
        case kMsgButtonClick:
            Click(window);
            return 0;
        case kMsgEnable:
            Repaint(window);
            return 0;
        case kMsgSetText: {
            const MessageResult result = DefaultWindowProcedure(window, message, wParam, lParam);
            Repaint(window);
            return result;
        }
        case kMsgEraseBackground:
            return 1;  // the paint covers the button
        case kMsgPaint:
            Paint(window);
            return 0;
        default:
            return DefaultWindowProcedure(window, message, wParam, lParam);
    }
}

}  // namespace framework_internal

bool ButtonControl::Create(std::u16string_view text, std::uint32_t style, const gfx::Rect& rect,
                           WindowHandle parent, int id) {
    return CreateChild(kButtonClassName, text, style, rect, parent, id);
}

int ButtonControl::GetCheck() const {
    return static_cast<int>(SendMessageTo(Handle(), kMsgButtonGetCheck, 0, 0));
}

void ButtonControl::SetCheck(int check) {
    SendMessageTo(Handle(), kMsgButtonSetCheck, static_cast<MessageParam>(check), 0);
}

std::uint32_t ButtonControl::GetState() const {
    return static_cast<std::uint32_t>(SendMessageTo(Handle(), kMsgButtonGetState, 0, 0));
}

void ButtonControl::SetState(bool pushed) {
    SendMessageTo(Handle(), kMsgButtonSetState, pushed ? 1 : 0, 0);
}

std::vector<WindowHandle> ChildrenInDialogOrder(WindowHandle parent) {
    std::vector<WindowHandle> children;
    if (parent == 0) {
        return children;
    }
    for (WindowHandle child : window_internal::WindowTable::Instance().ChildrenOf(parent)) {
        if ((GetWindowStyle(child) & kStyleChild) != 0) {
            children.push_back(child);
        }
    }
    // Handles count up, so their order is the order of creation.
    std::sort(children.begin(), children.end());
    return children;
}

WindowHandle NextGroupItem(WindowHandle dialog, WindowHandle control, bool previous) {
    const std::vector<WindowHandle> children = ChildrenInDialogOrder(dialog);
    const auto at = std::find(children.begin(), children.end(), control);
    if (at == children.end()) {
        return 0;
    }
    const std::size_t index = static_cast<std::size_t>(at - children.begin());
    auto starts_group = [&](std::size_t i) {
        return (GetWindowStyle(children[i]) & kStyleGroup) != 0;
    };
    std::size_t first = index;
    while (first > 0 && !starts_group(first)) {
        --first;
    }
    std::size_t end = index + 1;
    while (end < children.size() && !starts_group(end)) {
        ++end;
    }
    const std::size_t count = end - first;
    for (std::size_t step = 1; step < count; ++step) {
        const std::size_t offset = previous ? count - step : step;
        const WindowHandle candidate = children[first + (index - first + offset) % count];
        const std::uint32_t style = GetWindowStyle(candidate);
        if ((style & kStyleVisible) != 0 && (style & kStyleDisabled) == 0) {
            return candidate;
        }
    }
    return control;
}

}  // namespace platform
