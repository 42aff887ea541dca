// Message numbers, styles, show commands and hit-test codes of the original
// platform that the user-interface side of the layer produces or reads.
// Values are the original ones, because the system's code and its message
// protocol are written in them.
#pragma once

#include <cstdint>

#include "platform/window/Message.h"

namespace platform {

// Windows and painting.
constexpr std::uint32_t kMsgMove = 0x0003;
constexpr std::uint32_t kMsgSize = 0x0005;
constexpr std::uint32_t kMsgActivate = 0x0006;
constexpr std::uint32_t kMsgSetFocus = 0x0007;   // wParam: the window losing focus
constexpr std::uint32_t kMsgKillFocus = 0x0008;  // wParam: the window gaining focus
constexpr std::uint32_t kMsgEnable = 0x000A;
constexpr std::uint32_t kMsgSetText = 0x000C;  // lParam: const char16_t*, NUL-ended
constexpr std::uint32_t kMsgGetText = 0x000D;
constexpr std::uint32_t kMsgEraseBackground = 0x0014;  // wParam: gfx::DeviceContext*
constexpr std::uint32_t kMsgShowWindow = 0x0018;       // wParam: shown (1) or hidden (0)
constexpr std::uint32_t kMsgQueryDragIcon = 0x0037;
constexpr std::uint32_t kMsgContextMenu = 0x007B;  // wParam: window; lParam: screen point
constexpr std::uint32_t kMsgSetIcon =
    0x0080;  // wParam: kIconSmall/kIconBig; lParam: const gfx::Icon*
constexpr std::uint32_t kMsgNcHitTest = 0x0084;  // lParam: screen point, PackPoint
constexpr std::uint32_t kMsgDrawItem = 0x002B;   // lParam: DrawItemInfo*
constexpr std::uint32_t kMsgKeyDown = 0x0100;    // wParam: virtual key
constexpr std::uint32_t kMsgKeyUp = 0x0101;
constexpr std::uint32_t kMsgChar = 0x0102;
constexpr std::uint32_t kMsgInitDialog = 0x0110;
constexpr std::uint32_t kMsgCommand = 0x0111;     // wParam: MAKEWPARAM(id, code); lParam: control
constexpr std::uint32_t kMsgSysCommand = 0x0112;  // wParam: kSysCommand* or an added item's id
constexpr std::uint32_t kMsgCtlColorButton = 0x0135;
constexpr std::uint32_t kMsgCtlColorDialog = 0x0136;
constexpr std::uint32_t kMsgCtlColorStatic =
    0x0138;  // wParam: gfx::DeviceContext*; lParam: control
// Mouse: wParam key state (kMouseKey*), lParam PackPoint of the client point.
constexpr std::uint32_t kMsgMouseMove = 0x0200;
constexpr std::uint32_t kMsgLeftButtonDown = 0x0201;
constexpr std::uint32_t kMsgLeftButtonUp = 0x0202;
constexpr std::uint32_t kMsgLeftButtonDoubleClick = 0x0203;
constexpr std::uint32_t kMsgRightButtonDown = 0x0204;
constexpr std::uint32_t kMsgRightButtonUp = 0x0205;
constexpr std::uint32_t kMsgCaptureChanged = 0x0215;  // lParam: the new capture
constexpr std::uint32_t kMsgMouseLeave = 0x02A3;

// Button and progress-bar control messages.
constexpr std::uint32_t kMsgButtonGetCheck = 0x00F0;  // BM_GETCHECK
constexpr std::uint32_t kMsgButtonSetCheck = 0x00F1;  // BM_SETCHECK
constexpr std::uint32_t kMsgButtonGetState = 0x00F2;  // BM_GETSTATE
constexpr std::uint32_t kMsgButtonSetState = 0x00F3;  // BM_SETSTATE: wParam pushed
constexpr std::uint32_t kMsgButtonSetStyle = 0x00F4;
constexpr std::uint32_t kMsgButtonClick = 0x00F5;
constexpr std::uint32_t kMsgProgressSetRange = 0x0401;  // lParam: MAKELPARAM(lower, upper)
constexpr std::uint32_t kMsgProgressSetPos = 0x0402;
constexpr std::uint32_t kMsgProgressSetRange32 = 0x0406;
constexpr std::uint32_t kMsgProgressGetPos = 0x0408;
constexpr std::uint32_t kButtonStatePushed = 0x0004;  // BST_PUSHED
constexpr std::uint32_t kButtonStateFocus = 0x0008;
constexpr std::uint16_t kButtonClicked = 0;  // BN_CLICKED

// Window styles.
constexpr std::uint32_t kStylePopup = 0x80000000;
constexpr std::uint32_t kStyleChild = 0x40000000;
constexpr std::uint32_t kStyleMinimize = 0x20000000;
constexpr std::uint32_t kStyleVisible = 0x10000000;
constexpr std::uint32_t kStyleDisabled = 0x08000000;
constexpr std::uint32_t kStyleClipSiblings = 0x04000000;
constexpr std::uint32_t kStyleClipChildren = 0x02000000;
constexpr std::uint32_t kStyleCaption = 0x00C00000;
constexpr std::uint32_t kStyleSysMenu = 0x00080000;
constexpr std::uint32_t kStyleGroup = 0x00020000;
constexpr std::uint32_t kStyleTabStop = 0x00010000;
// Button styles (low bits of the style).
constexpr std::uint32_t kButtonPush = 0x0;
constexpr std::uint32_t kButtonDefPush = 0x1;
constexpr std::uint32_t kButtonCheckBox = 0x2;
constexpr std::uint32_t kButtonAutoCheckBox = 0x3;
constexpr std::uint32_t kButtonRadio = 0x4;
constexpr std::uint32_t kButtonAutoRadio = 0x9;
constexpr std::uint32_t kButtonOwnerDraw = 0xB;
constexpr std::uint32_t kButtonTypeMask = 0xF;
// Static and progress styles.
constexpr std::uint32_t kStaticNotify = 0x0100;
constexpr std::uint32_t kProgressSmooth = 0x01;
// Extended styles.
constexpr std::uint32_t kExStyleTopmost = 0x00000008;
constexpr std::uint32_t kExStyleTransparent = 0x00000020;
constexpr std::uint32_t kExStyleToolWindow = 0x00000080;
constexpr std::uint32_t kExStyleAppWindow = 0x00040000;
constexpr std::uint32_t kExStyleComposited = 0x02000000;
constexpr std::uint32_t kExStyleNoActivate = 0x08000000;

// Show commands.
constexpr int kShowHide = 0;
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowNoActivate = 4;
constexpr int kShowShow = 5;
constexpr int kShowMinimize = 6;
constexpr int kShowRestore = 9;

// Hit-test results of kMsgNcHitTest.
constexpr MessageResult kHitTransparent = -1;
constexpr MessageResult kHitNowhere = 0;
constexpr MessageResult kHitClient = 1;
constexpr MessageResult kHitCaption = 2;

// System commands.
constexpr MessageParam kSysCommandMinimize = 0xF020;
constexpr MessageParam kSysCommandClose = 0xF060;
constexpr MessageParam kSysCommandRestore = 0xF120;

// Icons of kMsgSetIcon.
constexpr MessageParam kIconSmall = 0;
constexpr MessageParam kIconBig = 1;

// Key state bits of mouse messages and virtual keys.
constexpr MessageParam kMouseKeyLeft = 0x0001;
constexpr MessageParam kMouseKeyRight = 0x0002;
constexpr std::uint32_t kKeyBack = 0x08;
constexpr std::uint32_t kKeyTab = 0x09;
constexpr std::uint32_t kKeyReturn = 0x0D;
constexpr std::uint32_t kKeyEscape = 0x1B;
constexpr std::uint32_t kKeySpace = 0x20;
constexpr std::uint32_t kKeyLeft = 0x25;
constexpr std::uint32_t kKeyUp = 0x26;
constexpr std::uint32_t kKeyRight = 0x27;
constexpr std::uint32_t kKeyDown = 0x28;

// Dialog results.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

constexpr MessageLong PackPoint(int x, int y) {
    return static_cast<MessageLong>(
        static_cast<std::uint32_t>(static_cast<std::uint16_t>(x)) |
        (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16));
}
constexpr int PointX(MessageLong l) {
    return static_cast<std::int16_t>(static_cast<std::uint32_t>(l) & 0xFFFF);
}
constexpr int PointY(MessageLong l) {
    return static_cast<std::int16_t>((static_cast<std::uint32_t>(l) >> 16) & 0xFFFF);
}
constexpr MessageParam MakeCommandParam(int id, std::uint16_t code) {
    return static_cast<MessageParam>(static_cast<std::uint16_t>(id)) |
           (static_cast<MessageParam>(code) << 16);
}
constexpr int CommandId(MessageParam w) {
    return static_cast<int>(w & 0xFFFF);
}
constexpr std::uint16_t CommandCode(MessageParam w) {
    return static_cast<std::uint16_t>((w >> 16) & 0xFFFF);
}

}  // namespace platform
