// What controls and their parents exchange: the owner-draw record of
// kMsgDrawItem, and the answer to the control colour messages.
//
// kMsgDrawItem: sent by an owner-draw control to its parent while it paints;
// lParam is a DrawItemInfo* valid during the call. The framework passes it on
// to the control object's DrawItem unless the parent handles it itself.
//
// kMsgCtlColorStatic / kMsgCtlColorButton / kMsgCtlColorDialog: wParam is the
// gfx::DeviceContext* the control is about to draw with (the answer may set
// its text colour, background mode and font), lParam the control's handle.
// The result is a const gfx::Brush* for the background, owned by the
// answering window, or 0 for the default (the button-face colour).
#pragma once

#include <cstdint>

#include "platform/gfx/Brush.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Geometry.h"
#include "platform/window/Message.h"

namespace platform {

// State bits of DrawItemInfo, with the original values.
constexpr std::uint32_t kDrawItemSelected = 0x0001;  // pressed
constexpr std::uint32_t kDrawItemDisabled = 0x0004;
constexpr std::uint32_t kDrawItemChecked = 0x0008;
constexpr std::uint32_t kDrawItemFocus = 0x0010;

struct DrawItemInfo {
    int control_id = 0;
    WindowHandle window = 0;
    gfx::DeviceContext* dc = nullptr;  // the control's paint context
    gfx::Rect item_rect;               // the control's client rectangle
    std::uint32_t state = 0;           // kDrawItem* bits
};

inline MessageResult BrushResult(const gfx::Brush* brush) {
    return reinterpret_cast<MessageResult>(brush);
}
inline const gfx::Brush* BrushFromResult(MessageResult result) {
    return reinterpret_cast<const gfx::Brush*>(result);
}
inline gfx::DeviceContext* ContextFromParam(MessageParam wParam) {
    return reinterpret_cast<gfx::DeviceContext*>(wParam);
}

}  // namespace platform
