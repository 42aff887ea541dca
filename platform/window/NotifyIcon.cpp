#include "platform/window/NotifyIcon.h"

#include <algorithm>
#include <mutex>

#include "platform/display/DisplayBackend.h"
#include "platform/window/MessageIds.h"

namespace platform {

namespace {

struct IconModel {
    std::mutex mutex;
    std::vector<NotifyIconData> icons;  // in the order they were added
};

IconModel& Model() {
    static auto* model = new IconModel;
    return *model;
}

std::vector<NotifyIconData>::iterator FindLocked(IconModel& model, WindowHandle owner,
                                                 std::uint32_t id) {
    return std::find_if(model.icons.begin(), model.icons.end(), [&](const NotifyIconData& icon) {
        return icon.owner == owner && icon.id == id;
    });
}

display::TrayIcon ToTrayIcon(const NotifyIconData& data) {
    display::TrayIcon icon;
    icon.owner = data.owner;
    icon.id = data.id;
    icon.callback_message = data.callback_message;
    icon.icon = data.icon;
    icon.tip = data.tip;
    return icon;
}

// The parts of an add or modify that flags name.
void Apply(NotifyIconData& target, const NotifyIconData& data) {
    if ((data.flags & kNotifyIconMessage) != 0) {
        target.callback_message = data.callback_message;
    }
    if ((data.flags & kNotifyIconIcon) != 0) {
        target.icon = data.icon;
    }
    if ((data.flags & kNotifyIconTip) != 0) {
        target.tip = data.tip;
    }
}

}  // namespace

bool AddNotifyIcon(const NotifyIconData& data) {
    if (!IsWindowHandle(data.owner)) {
        return false;
    }
    NotifyIconData added;
    added.owner = data.owner;
    added.id = data.id;
    added.flags = data.flags;
    Apply(added, data);
    {
        IconModel& model = Model();
        std::lock_guard<std::mutex> lock(model.mutex);
        if (FindLocked(model, data.owner, data.id) != model.icons.end()) {
            return false;
        }
        model.icons.push_back(added);
    }
    // A backend without a tray keeps nothing; the model still has the icon.
    display::Backend().AddTrayIcon(ToTrayIcon(added));
    return true;
}

bool ModifyNotifyIcon(const NotifyIconData& data) {
    NotifyIconData changed;
    {
        IconModel& model = Model();
        std::lock_guard<std::mutex> lock(model.mutex);
        auto found = FindLocked(model, data.owner, data.id);
        if (found == model.icons.end()) {
            return false;
        }
        Apply(*found, data);
        changed = *found;
    }
    display::Backend().ModifyTrayIcon(ToTrayIcon(changed));
    return true;
}

bool DeleteNotifyIcon(WindowHandle owner, std::uint32_t id) {
    {
        IconModel& model = Model();
        std::lock_guard<std::mutex> lock(model.mutex);
        auto found = FindLocked(model, owner, id);
        if (found == model.icons.end()) {
            return false;
        }
        model.icons.erase(found);
    }
    display::Backend().RemoveTrayIcon(owner, id);
    return true;
}

std::optional<NotifyIconData> FindNotifyIcon(WindowHandle owner, std::uint32_t id) {
    IconModel& model = Model();
    std::lock_guard<std::mutex> lock(model.mutex);
    auto found = FindLocked(model, owner, id);
    if (found == model.icons.end()) {
        return std::nullopt;
    }
    return *found;
}

std::vector<NotifyIconData> NotifyIcons() {
    IconModel& model = Model();
    std::lock_guard<std::mutex> lock(model.mutex);
    return model.icons;
}

bool RouteNotifyIconClick(WindowHandle owner, std::uint32_t id, bool right_button) {
    const std::optional<NotifyIconData> icon = FindNotifyIcon(owner, id);
    if (!icon || icon->callback_message == 0) {
        return false;
    }
    return PostMessageTo(owner, icon->callback_message, id,
                         right_button ? kMsgRightButtonDown : kMsgLeftButtonDown);
}

}  // namespace platform
