// Notification-area icons. The layer keeps every icon added here in a model
// of its own and hands it to the display backend; an icon stays in the model
// even when the backend has no tray, so it can still be found and routed.
// A click on an icon (RouteNotifyIconClick, called by the window layer for
// the backend's tray input) posts the icon's callback message to its owner
// with wParam = the icon id and lParam = kMsgLeftButtonDown or
// kMsgRightButtonDown.
//
// Thread rules: any thread; the model is locked. The backend is called from
// the calling thread, which should be the owner's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Icon.h"
#include "platform/window/Message.h"

namespace platform {

// Which parts an add or modify sets, with the original values.
constexpr std::uint32_t kNotifyIconMessage = 0x1;
constexpr std::uint32_t kNotifyIconIcon = 0x2;
constexpr std::uint32_t kNotifyIconTip = 0x4;

struct NotifyIconData {
    WindowHandle owner = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = kNotifyIconMessage | kNotifyIconIcon | kNotifyIconTip;
    std::uint32_t callback_message = 0;
    gfx::Icon icon;
    std::u16string tip;
};

// False when the owner is no window or an icon with its owner and id exists.
bool AddNotifyIcon(const NotifyIconData& data);
// Changes the parts named in flags; false when there is no such icon.
bool ModifyNotifyIcon(const NotifyIconData& data);
bool DeleteNotifyIcon(WindowHandle owner, std::uint32_t id);

std::optional<NotifyIconData> FindNotifyIcon(WindowHandle owner, std::uint32_t id);
std::vector<NotifyIconData> NotifyIcons();

// Posts the icon's callback message for a click; false when the icon is not
// in the model or has no callback message.
bool RouteNotifyIconClick(WindowHandle owner, std::uint32_t id, bool right_button);

}  // namespace platform
