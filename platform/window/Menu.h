// Menus: items with text ('&' marks the mnemonic), separators and submenus,
// made from a menu template or by appending. A menu is tracked as a popup at
// a screen point: the layer draws it in a topmost popup window of its own,
// highlights the item under the pointer, and the call returns once the menu
// has closed. A click on an item (or Enter, or its mnemonic) chooses it and
// posts kMsgCommand (command, 0) to the owner; a press outside the menu or
// Escape dismisses it. With kTrackRightButton the right button chooses too.
// Submenus are shown as items of their own that choose nothing.
//
// System menus: every window with kStyleSysMenu has one (Restore, Minimise,
// a separator, Close) that code may append to; the framework shows it on
// kMsgContextMenu over the window's caption, and choosing sends
// kMsgSysCommand with the item's command to the window.
//
// Thread rules: a Menu is a value owned by its user; tracking runs on the
// calling thread, which must own the owner window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/resources/Resources.h"
#include "platform/window/Message.h"

namespace platform {

constexpr std::uint32_t kTrackRightButton = 0x0002;    // TPM_RIGHTBUTTON
constexpr std::uint32_t kTrackReturnCommand = 0x0100;  // return the command, post nothing

struct MenuItem {
    std::uint32_t command = 0;
    std::u16string text;
    bool separator = false;
    std::vector<MenuItem> popup;  // non-empty: a submenu
};

class Menu {
  public:
    Menu() = default;
    static Menu FromTemplate(const MenuTemplate& menu);
    static std::optional<Menu> Load(int resource_id);

    void AppendItem(std::uint32_t command, std::u16string_view text);
    void AppendSeparator();
    void AppendSubmenu(std::u16string_view text, const Menu& submenu);

    const std::vector<MenuItem>& Items() const { return items_; }
    std::size_t ItemCount() const { return items_.size(); }
    // The submenu at index as a menu of its own; nullopt if the item has none.
    std::optional<Menu> SubMenu(std::size_t index) const;

    // Returns the chosen command (0 for none); without kTrackReturnCommand
    // the choice is also posted to owner.
    std::uint32_t TrackPopup(std::uint32_t flags, gfx::Point screen_point,
                             WindowHandle owner) const;

  private:
    std::vector<MenuItem> items_;
};

// The system menu of a window (with the default items on first use);
// nullptr when the window does not exist or has no kStyleSysMenu. Kept until
// the window is gone.
Menu* SystemMenuOf(WindowHandle window);
// Tracks it at the screen point and sends kMsgSysCommand with the choice.
void ShowSystemMenu(WindowHandle window, gfx::Point screen_point);

// The popup window of the menu being tracked on the calling thread, for tests
// (0 when none).
WindowHandle TrackedMenuWindow();

}  // namespace platform
