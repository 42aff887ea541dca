#include "platform/window/StaticControl.h"

#include "platform/window/FrameworkInternal.h"

namespace platform {

namespace {

constexpr std::uint32_t kStaticCenter = 0x0001;
constexpr std::uint32_t kStaticRight = 0x0002;
constexpr std::uint32_t kStaticNoPrefix = 0x0080;
constexpr std::uint16_t kStaticDoubleClicked = 1;

void Paint(WindowHandle window) {
    PaintScope scope(window);
    gfx::DeviceContext& dc = scope.Context();
    std::shared_ptr<const gfx::Font> font = GetWindowFont(window);
    if (font == nullptr) {
        font = gfx::Font::Default();
    }
    dc.SelectFont(font.get());
    dc.SetTextColor(gfx::kButtonTextColor);
    dc.SetBackgroundColor(gfx::kButtonFaceColor);
    dc.SetBackgroundMode(gfx::BackgroundMode::kOpaque);
    const WindowHandle parent = GetParentWindow(window);
    const gfx::Brush* brush =
        parent == 0 ? nullptr
                    : BrushFromResult(SendMessageTo(parent, kMsgCtlColorStatic,
                                                    reinterpret_cast<MessageParam>(&dc),
                                                    static_cast<MessageLong>(window)));
    const gfx::Rect client = GetClientRectOf(window);
    if (brush != nullptr) {
        brush->Fill(dc, client);
    } else {
        dc.FillRect(client, gfx::kButtonFaceColor);
    }
    const std::uint32_t style = GetWindowStyle(window);
    std::uint32_t flags = gfx::text_flags::kWordBreak;
    if ((style & 0x3) == kStaticCenter) {
        flags |= gfx::text_flags::kCenter;
    } else if ((style & 0x3) == kStaticRight) {
        flags |= gfx::text_flags::kRight;
    }
    if ((style & kStaticNoPrefix) != 0) {
        flags |= gfx::text_flags::kNoPrefix;
    }
    gfx::Rect text_rect = client;
    dc.DrawText(GetWindowTitle(window), text_rect, flags);
}

void Notify(WindowHandle window, std::uint16_t code) {
    const WindowHandle parent = GetParentWindow(window);
    if (parent != 0) {
        SendMessageTo(parent, kMsgCommand, MakeCommandParam(GetWindowId(window), code),
                      static_cast<MessageLong>(window));
    }
}

}  // namespace

namespace framework_internal {

MessageResult StaticClassProcedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                                   MessageLong lParam) {
    switch (message) {
        case kMsgNcHitTest:
            return (GetWindowStyle(window) & kStaticNotify) != 0 ? kHitClient : kHitTransparent;
        case kMsgLeftButtonDown:
            if ((GetWindowStyle(window) & kStaticNotify) != 0) {
                Notify(window, kStaticClicked);
            }
            return 0;
        case kMsgLeftButtonDoubleClick:
            if ((GetWindowStyle(window) & kStaticNotify) != 0) {
                Notify(window, kStaticDoubleClicked);
            }
            return 0;
        case kMsgEraseBackground:
            return 1;  // the paint fills with the parent's brush
        case kMsgPaint:
            Paint(window);
            return 0;
        case kMsgSetText:
        case kMsgEnable: {
            const MessageResult result = DefaultWindowProcedure(window, message, wParam, lParam);
            InvalidateWindow(window, std::nullopt, true);
            return result;
        }
        default:
            return DefaultWindowProcedure(window, message, wParam, lParam);
    }
}

}  // namespace framework_internal

bool StaticControl::Create(std::u16string_view text, std::uint32_t style, const gfx::Rect& rect,
                           WindowHandle parent, int id) {
    return CreateChild(kStaticClassName, text, style, rect, parent, id);
}

}  // namespace platform
