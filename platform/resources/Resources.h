// Resources of the running program: bitmaps, icons, strings, menus and dialog
// templates by numeric identifier, as a module carries them there. The build
// compiles a program's resource script (res/<program>/) and its generated
// artwork into one ResourceModule that the program installs at start, so a
// copied executable carries its resources.
//
// Installing happens once, before any window exists; lookups may come from
// any thread afterwards. A missing id gives nullopt / an empty value.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Icon.h"

namespace platform {

struct MenuItemTemplate {
    std::uint32_t command = 0;  // 0 for separators and popups
    std::u16string text;        // '&' marks the mnemonic
    bool separator = false;
    std::vector<MenuItemTemplate> popup;  // non-empty: a submenu
};

struct MenuTemplate {
    std::vector<MenuItemTemplate> items;  // top level (usually popups)
};

struct DialogControlTemplate {
    std::u16string class_name;  // "Button", "Static", "msctls_progress32", ...
    std::u16string text;
    int id = 0;
    std::uint32_t style = 0;  // includes child and visible bits as written
    std::uint32_t ex_style = 0;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
};

struct DialogTemplate {
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    std::u16string caption;
    int font_points = 8;
    std::u16string font_face = u"MS Shell Dlg";
    std::vector<DialogControlTemplate> controls;
};

// One embedded entry: raw bytes of a bitmap (BMP) or icon (BMP whose exact
// white pixels are transparent), or a parsed template or string.
struct ResourceModule {
    std::u16string_view program;  // u"Launcher" or u"VelaUninstall"
    struct Blob {
        int id;
        std::span<const std::uint8_t> bytes;
    };
    std::span<const Blob> bitmaps;
    std::span<const Blob> icons;
    std::span<const std::pair<int, std::u16string_view>> strings;
    std::span<const std::pair<int, const MenuTemplate*>> menus;
    std::span<const std::pair<int, const DialogTemplate*>> dialogs;
};

// Not owned; must outlive every lookup (the generated modules are static).
// Tests and the skin gallery may install another module between lookups.
void InstallResourceModule(const ResourceModule* module);
const ResourceModule* InstalledResourceModule();

std::optional<gfx::Bitmap> LoadBitmapResource(int id);
std::optional<gfx::Icon> LoadIconResource(int id);
std::u16string LoadStringResource(int id);  // empty when missing
const MenuTemplate* FindMenuResource(int id);
const DialogTemplate* FindDialogResource(int id);

}  // namespace platform
