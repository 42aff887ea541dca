#include "platform/window/Menu.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "platform/gfx/Font.h"
#include "platform/window/FrameworkInternal.h"
#include "platform/window/WindowBase.h"

namespace platform {

namespace {

constexpr int kBorder = 2;
constexpr int kTextIndent = 20;
constexpr int kSeparatorHeight = 7;
constexpr int kMinimumWidth = 80;
constexpr gfx::Color kMenuBackground = gfx::Rgb(249, 249, 249);
constexpr gfx::Color kMenuBorder = gfx::Rgb(160, 160, 160);
constexpr gfx::Color kSeparatorColor = gfx::Rgb(215, 215, 215);

MenuItem FromItemTemplate(const MenuItemTemplate& item) {
    MenuItem result;
    result.command = item.command;
    result.text = item.text;
    result.separator = item.separator;
    for (const MenuItemTemplate& child : item.popup) {
        result.popup.push_back(FromItemTemplate(child));
    }
    return result;
}

bool Choosable(const MenuItem& item) {
    return !item.separator && item.popup.empty();
}

// The mnemonic of an item's text, upper-cased ASCII; 0 when there is none.
char16_t MnemonicOf(const std::u16string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'&') {
            if (text[i + 1] == u'&') {
                ++i;
                continue;
            }
            char16_t c = text[i + 1];
            if (c >= u'a' && c <= u'z') {
                c = static_cast<char16_t>(c - u'a' + u'A');
            }
            return c;
        }
    }
    return 0;
}

std::u16string WithoutPrefix(const std::u16string& text) {
    std::u16string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        plain.push_back(text[i]);
    }
    return plain;
}

// One menu being tracked on this thread.
struct Tracking {
    const std::vector<MenuItem>* items = nullptr;
    std::vector<gfx::Rect> rects;  // client coordinates, per item
    std::shared_ptr<const gfx::Font> font;
    std::uint32_t flags = 0;
    WindowHandle window = 0;
    int highlighted = -1;
    std::uint32_t chosen = 0;
    bool done = false;
};

thread_local Tracking* t_tracking = nullptr;

int ItemAt(const Tracking& tracking, Point p) {
    for (std::size_t i = 0; i < tracking.rects.size(); ++i) {
        if (tracking.rects[i].Contains(p)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void Highlight(Tracking& tracking, int index) {
    if (index >= 0 && !Choosable((*tracking.items)[static_cast<std::size_t>(index)])) {
        index = -1;
    }
    if (index != tracking.highlighted) {
        tracking.highlighted = index;
        InvalidateWindow(tracking.window, std::nullopt, true);
    }
}

void Choose(Tracking& tracking, int index) {
    if (index < 0) {
        return;
    }
    const MenuItem& item = (*tracking.items)[static_cast<std::size_t>(index)];
    if (Choosable(item)) {
        tracking.chosen = item.command;
        tracking.done = true;
    }
}

void MoveHighlight(Tracking& tracking, int direction) {
    const int count = static_cast<int>(tracking.items->size());
    int index = tracking.highlighted;
    for (int step = 0; step < count; ++step) {
        index = index < 0 ? (direction > 0 ? 0 : count - 1) : (index + direction + count) % count;
        if (Choosable((*tracking.items)[static_cast<std::size_t>(index)])) {
            Highlight(tracking, index);
            return;
        }
    }
}

void PaintMenu(WindowHandle window, const Tracking& tracking) {
    PaintScope scope(window);
    gfx::DeviceContext& dc = scope.Context();
    const gfx::Rect client = GetClientRectOf(window);
    dc.FillRect(client, kMenuBorder);
    dc.FillRect(gfx::Rect{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1},
                kMenuBackground);
    dc.SelectFont(tracking.font.get());
    dc.SetBackgroundMode(gfx::BackgroundMode::kTransparent);
    for (std::size_t i = 0; i < tracking.items->size(); ++i) {
        const MenuItem& item = (*tracking.items)[i];
        const gfx::Rect& r = tracking.rects[i];
        if (item.separator) {
            const int y = r.top + r.Height() / 2;
            dc.FillRect(gfx::Rect{r.left + 4, y, r.right - 4, y + 1}, kSeparatorColor);
            continue;
        }
        const bool lit = static_cast<int>(i) == tracking.highlighted;
        if (lit) {
            dc.FillRect(r, gfx::kHighlightColor);
        }
        dc.SetTextColor(lit ? gfx::kHighlightTextColor : gfx::kButtonTextColor);
        gfx::Rect text_rect{r.left + kTextIndent, r.top, r.right - kTextIndent, r.bottom};
        dc.DrawText(
            item.text, text_rect,
            gfx::text_flags::kLeft | gfx::text_flags::kVCenter | gfx::text_flags::kSingleLine);
        if (!item.popup.empty()) {
            gfx::Rect arrow{r.right - kTextIndent, r.top, r.right - 4, r.bottom};
            dc.DrawText(u">", arrow,
                        gfx::text_flags::kCenter | gfx::text_flags::kVCenter |
                            gfx::text_flags::kSingleLine);
        }
    }
}

bool IsMouseMessage(std::uint32_t message) {
    return message >= kMsgMouseMove && message <= kMsgRightButtonUp;
}

bool IsButtonDown(std::uint32_t message) {
    return message == kMsgLeftButtonDown || message == kMsgRightButtonDown ||
           message == kMsgLeftButtonDoubleClick;
}

void HandleKey(Tracking& tracking, std::uint32_t key) {
    switch (key) {
        case kKeyEscape:
            tracking.done = true;
            return;
        case kKeyUp:
            MoveHighlight(tracking, -1);
            return;
        case kKeyDown:
            MoveHighlight(tracking, 1);
            return;
        case kKeyReturn:
            Choose(tracking, tracking.highlighted);
            return;
        default:
            break;
    }
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        for (std::size_t i = 0; i < tracking.items->size(); ++i) {
            if (MnemonicOf((*tracking.items)[i].text) == static_cast<char16_t>(key)) {
                Choose(tracking, static_cast<int>(i));
                return;
            }
        }
    }
}

// Mouse input of the menu window (it holds the capture, so presses outside
// the menu come here too, with points outside the client area).
void HandleMouse(Tracking& tracking, std::uint32_t message, MessageLong lParam) {
    const Point p{PointX(lParam), PointY(lParam)};
    const bool inside = GetClientRectOf(tracking.window).Contains(p);
    switch (message) {
        case kMsgMouseMove:
            Highlight(tracking, inside ? ItemAt(tracking, p) : -1);
            return;
        case kMsgLeftButtonDown:
        case kMsgLeftButtonDoubleClick:
        case kMsgRightButtonDown:
            if (!inside) {
                tracking.done = true;
            } else {
                Highlight(tracking, ItemAt(tracking, p));
            }
            return;
        case kMsgLeftButtonUp:
            if (inside) {
                Choose(tracking, ItemAt(tracking, p));
            }
            return;
        case kMsgRightButtonUp:
            if (inside && (tracking.flags & kTrackRightButton) != 0) {
                Choose(tracking, ItemAt(tracking, p));
            }
            return;
        default:
            return;
    }
}

// System menus by window; values keep their address while they live.
struct SystemMenus {
    std::mutex mutex;
    std::unordered_map<WindowHandle, Menu> menus;
    std::size_t prune_at = 64;
};

SystemMenus& SystemMenuTable() {
    static auto* table = new SystemMenus;
    return *table;
}

}  // namespace

namespace framework_internal {

MessageResult MenuClassProcedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                                 MessageLong lParam) {
    Tracking* tracking = t_tracking;
    if (tracking == nullptr || tracking->window != window) {
        return DefaultWindowProcedure(window, message, wParam, lParam);
    }
    switch (message) {
        case kMsgPaint:
            PaintMenu(window, *tracking);
            return 0;
        case kMsgEraseBackground:
            return 1;
        case kMsgCaptureChanged:
            if (static_cast<WindowHandle>(lParam) != window) {
                tracking->done = true;
            }
            return 0;
        default:
            if (IsMouseMessage(message)) {
                HandleMouse(*tracking, message, lParam);
                return 0;
            }
            return DefaultWindowProcedure(window, message, wParam, lParam);
    }
}

}  // namespace framework_internal

Menu Menu::FromTemplate(const MenuTemplate& menu) {
    Menu result;
    for (const MenuItemTemplate& item : menu.items) {
        result.items_.push_back(FromItemTemplate(item));
    }
    return result;
}

std::optional<Menu> Menu::Load(int resource_id) {
    const MenuTemplate* menu = FindMenuResource(resource_id);
    if (menu == nullptr) {
        return std::nullopt;
    }
    return FromTemplate(*menu);
}

void Menu::AppendItem(std::uint32_t command, std::u16string_view text) {
    MenuItem item;
    item.command = command;
    item.text = std::u16string(text);
    items_.push_back(std::move(item));
}

void Menu::AppendSeparator() {
    MenuItem item;
    item.separator = true;
    items_.push_back(std::move(item));
}

void Menu::AppendSubmenu(std::u16string_view text, const Menu& submenu) {
    MenuItem item;
    item.text = std::u16string(text);
    item.popup = submenu.items_;
    items_.push_back(std::move(item));
}

std::optional<Menu> Menu::SubMenu(std::size_t index) const {
    if (index >= items_.size() || items_[index].popup.empty()) {
        return std::nullopt;
    }
    Menu menu;
    menu.items_ = items_[index].popup;
    return menu;
}

std::uint32_t Menu::TrackPopup(std::uint32_t flags, gfx::Point screen_point,
                               WindowHandle owner) const {
    if (items_.empty() || t_tracking != nullptr) {
        return 0;  // one menu at a time per thread, as there
    }
    RegisterFrameworkClasses();
    Tracking tracking;
    tracking.items = &items_;
    tracking.flags = flags;
    gfx::FontDescription description;
    description.height = -12;
    description.face = u"微软雅黑";
    tracking.font = gfx::Font::Create(description);

    // Layout: one row per item, as wide as the widest text.
    const int row = std::max(20, tracking.font->LineHeight() + 8);
    int width = kMinimumWidth;
    {
        gfx::Bitmap scratch(1, 1);
        gfx::DeviceContext measure(scratch);
        measure.SelectFont(tracking.font.get());
        for (const MenuItem& item : items_) {
            if (!item.separator) {
                width = std::max(
                    width, measure.GetTextExtent(WithoutPrefix(item.text)).width + 2 * kTextIndent);
            }
        }
    }
    int y = kBorder;
    for (const MenuItem& item : items_) {
        const int h = item.separator ? kSeparatorHeight : row;
        tracking.rects.push_back(gfx::Rect{kBorder, y, kBorder + width, y + h});
        y += h;
    }
    const gfx::Size size{width + 2 * kBorder, y + kBorder};
    // Opens down and right of the point, flipped where the work area ends.
    const gfx::Rect work = GetWorkArea();
    int left = screen_point.x;
    int top = screen_point.y;
    if (left + size.width > work.right) {
        left = std::max(work.left, screen_point.x - size.width);
    }
    if (top + size.height > work.bottom) {
        top = std::max(work.top, screen_point.y - size.height);
    }

    WindowCreation creation;
    creation.class_name = framework_internal::kMenuClassName;
    creation.style = kStylePopup;
    creation.ex_style = kExStyleTopmost | kExStyleToolWindow | kExStyleNoActivate;
    creation.rect = gfx::Rect::FromSize(left, top, size.width, size.height);
    creation.parent = owner;
    t_tracking = &tracking;
    tracking.window = CreateWindowWith(creation);
    if (tracking.window == 0) {
        t_tracking = nullptr;
        return 0;
    }
    ShowWindowAs(tracking.window, kShowNoActivate);
    SetWindowZOrder(tracking.window, ZOrder::kTopmost);
    const WindowHandle previous_focus = SetKeyboardFocus(tracking.window);
    SetMouseCapture(tracking.window);
    // A press anywhere on the desktop ends the menu.
    const WindowHandle previous_grab = GrabScreenPointer(tracking.window);

    // The menu's own loop: keys and pointer belong to the menu; everything
    // else is dispatched as usual.
    Message message;
    bool quit = false;
    while (!tracking.done && IsWindowHandle(tracking.window)) {
        if (!GetNextMessage(message)) {
            quit = true;
            break;
        }
        if (message.message == kMsgKeyDown) {
            HandleKey(tracking, static_cast<std::uint32_t>(message.wParam));
            continue;
        }
        if (message.message == kMsgKeyUp || message.message == kMsgChar) {
            continue;
        }
        if (IsMouseMessage(message.message) && message.window != tracking.window) {
            // The capture went elsewhere: a press anywhere ends the menu.
            if (IsButtonDown(message.message)) {
                tracking.done = true;
            }
            continue;
        }
        DispatchMessageToWindow(message);
    }
    t_tracking = nullptr;
    if (GetMouseCapture() == tracking.window) {
        ReleaseMouseCapture();
    }
    GrabScreenPointer(previous_grab);
    DestroyWindowHandle(tracking.window);
    if (previous_focus != 0 && IsWindowHandle(previous_focus)) {
        SetKeyboardFocus(previous_focus);
    }
    if (quit) {
        PostQuitToThread(static_cast<int>(message.wParam));
        return 0;
    }
    if (tracking.chosen != 0 && (flags & kTrackReturnCommand) == 0 && owner != 0) {
        PostMessageTo(owner, kMsgCommand, MakeCommandParam(static_cast<int>(tracking.chosen), 0),
                      0);
    }
    return tracking.chosen;
}

Menu* SystemMenuOf(WindowHandle window) {
    if (!IsWindowHandle(window) || (GetWindowStyle(window) & kStyleSysMenu) == 0) {
        return nullptr;
    }
    SystemMenus& table = SystemMenuTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto found = table.menus.find(window);
    if (found != table.menus.end()) {
        return &found->second;
    }
    if (table.menus.size() >= table.prune_at) {
        std::erase_if(table.menus, [](const auto& entry) { return !IsWindowHandle(entry.first); });
        table.prune_at = table.menus.size() * 2 + 64;
    }
    Menu menu;
    menu.AppendItem(static_cast<std::uint32_t>(kSysCommandRestore), u"&Restore");
    menu.AppendItem(static_cast<std::uint32_t>(kSysCommandMinimize), u"Mi&nimize");
    menu.AppendSeparator();
    menu.AppendItem(static_cast<std::uint32_t>(kSysCommandClose), u"&Close");
    return &table.menus.emplace(window, std::move(menu)).first->second;
}

void ShowSystemMenu(WindowHandle window, gfx::Point screen_point) {
    Menu* menu = SystemMenuOf(window);
    if (menu == nullptr) {
        return;
    }
    const Menu copy = *menu;  // the menu may change while it is open
    const std::uint32_t command =
        copy.TrackPopup(kTrackReturnCommand | kTrackRightButton, screen_point, window);
    if (command != 0 && IsWindowHandle(window)) {
        SendMessageTo(window, kMsgSysCommand, command, PackPoint(screen_point.x, screen_point.y));
    }
}

WindowHandle TrackedMenuWindow() {
    return t_tracking == nullptr ? 0 : t_tracking->window;
}

}  // namespace platform
