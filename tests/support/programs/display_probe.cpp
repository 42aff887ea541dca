// A program that shows windows through the window layer on whatever display
// backend the environment chooses, for tests that look at a real screen.
//   window X Y STOP_FILE   a shaped 200 x 120 window at (X, Y): left half red,
//                          right half blue, the cut-away hole (60, 30)-(140, 90)
//                          painted green; prints "ready <backend>" once shown,
//                          then "down X Y", "up X Y", "rdown X Y" (client
//                          coordinates) and "close" for the input it gets;
//                          when STOP_FILE.<command> appears it removes it,
//                          prints "did <command>" and obeys: hide, show,
//                          minimize, or grow (move by (50, 40), size 260 x 160,
//                          no region: the hole shows its green)
//   tray STOP_FILE         a hidden window with a notification-area icon (a
//                          16 x 16 magenta square with a cut-away corner);
//                          prints "icon <added>" and then "click <id> <lParam>"
//                          for every callback message
// Both end when STOP_FILE appears, or after a minute at the latest.
//   menu X Y               a 200 x 120 window at (X, Y) that opens a popup
//                          menu of two items ("Open" 1001, "Exit" 1002) at
//                          (X + 20, Y + 20), twice; prints "menu L T R B" (its
//                          screen rectangle) once it is shown, then "chose
//                          <command>" when it ends (0 for none), and ends
//   flash N                N shaped windows shown and painted, then destroyed,
//                          and main returns at once: the backend's teardown
//                          must not race the end of the process.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/display/DisplayBackend.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/window/Menu.h"
#include "platform/window/MessageIds.h"
#include "platform/window/NotifyIcon.h"
#include "platform/window/WindowUi.h"

namespace {

using namespace platform;

constexpr std::uintptr_t kStopTimer = 1;
constexpr std::uintptr_t kMenuTimer = 2;
constexpr std::uint32_t kPollMs = 50;
constexpr int kMaxTicks = 60000 / kPollMs;
constexpr std::uint32_t kTrayMessage = 1126;
constexpr std::uint32_t kTrayId = 7;

std::string g_stop_file;
int g_ticks = 0;
bool g_menu_reported = false;

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void Obey(WindowHandle window) {
    for (const char* command : {"hide", "show", "minimize", "grow"}) {
        const std::string file = g_stop_file + "." + command;
        if (!std::filesystem::exists(file)) {
            continue;
        }
        std::filesystem::remove(file);
        const std::string name = command;
        if (name == "hide") {
            ShowWindowAs(window, kShowHide);
        } else if (name == "show") {
            ShowWindowAs(window, kShowNormal);
        } else if (name == "minimize") {
            ShowWindowAs(window, kShowMinimize);
        } else {
            const Rect now = GetWindowPlacement(window);
            MoveWindowTo(window, now.left + 50, now.top + 40, 260, 160, true);
            SetWindowRegion(window, std::nullopt, true);
        }
        UpdateWindowNow(window);
        Say("did " + name);
    }
}

MessageResult Procedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                        MessageLong lParam) {
    switch (message) {
        case kMsgPaint: {
            PaintScope paint(window);
            gfx::DeviceContext& dc = paint.Context();
            const Rect client = GetClientRectOf(window);
            const int middle = client.Width() / 2;
            dc.FillRect(Rect{0, 0, middle, client.bottom}, gfx::Rgb(255, 0, 0));
            dc.FillRect(Rect{middle, 0, client.right, client.bottom}, gfx::Rgb(0, 0, 255));
            dc.FillRect(Rect{60, 30, 140, 90}, gfx::Rgb(0, 255, 0));
            return 0;
        }
        case kMsgTimer:
            // Fires inside the menu's own loop.
            if (wParam == kMenuTimer && !g_menu_reported && TrackedMenuWindow() != 0) {
                const Rect menu = GetWindowScreenRect(TrackedMenuWindow());
                g_menu_reported = true;
                Say("menu " + std::to_string(menu.left) + " " + std::to_string(menu.top) + " " +
                    std::to_string(menu.right) + " " + std::to_string(menu.bottom));
            }
            if (wParam == kStopTimer) {
                Obey(window);
            }
            if (wParam == kStopTimer &&
                (std::filesystem::exists(g_stop_file) || ++g_ticks > kMaxTicks)) {
                KillWindowTimer(window, kStopTimer);
                DeleteNotifyIcon(window, kTrayId);
                DestroyWindowHandle(window);
                PostQuitToThread(0);
            }
            return 0;
        case kMsgLeftButtonDown:
        case kMsgLeftButtonUp:
        case kMsgRightButtonDown: {
            const char* name = message == kMsgLeftButtonDown ? "down "
                               : message == kMsgLeftButtonUp ? "up "
                                                             : "rdown ";
            Say(name + std::to_string(PointX(lParam)) + " " + std::to_string(PointY(lParam)));
            return 0;
        }
        case kMsgSysCommand:
            if (wParam == kSysCommandClose) {
                Say("close");
                return 0;
            }
            return DefaultWindowProcedure(window, message, wParam, lParam);
        case kTrayMessage:
            Say("click " + std::to_string(wParam) + " " + std::to_string(lParam));
            return 0;
        default:
            return DefaultWindowProcedure(window, message, wParam, lParam);
    }
}

WindowHandle Create(const Rect& rect) {
    RegisterWindowClassEx(u"DisplayProbe", Procedure, 0);
    WindowCreation creation;
    creation.class_name = u"DisplayProbe";
    creation.title = u"Display probe";
    creation.style = kStylePopup;
    creation.rect = rect;
    return CreateWindowWith(creation);
}

int ShowShapedWindow(int x, int y) {
    const WindowHandle window = Create(Rect::FromSize(x, y, 200, 120));
    if (window == 0) {
        return 2;
    }
    SetWindowRegion(window,
                    gfx::Region(Rect{0, 0, 200, 120}).Subtract(gfx::Region(Rect{60, 30, 140, 90})),
                    false);
    ShowWindowAs(window, kShowNormal);
    UpdateWindowNow(window);
    SetWindowTimer(window, kStopTimer, kPollMs);
    Say("ready " + display::Backend().Name());
    return RunMessageLoop();
}

int ShowTrayIcon() {
    const WindowHandle window = Create(Rect::FromSize(0, 0, 100, 100));
    if (window == 0) {
        return 2;
    }
    NotifyIconData icon;
    icon.owner = window;
    icon.id = kTrayId;
    icon.callback_message = kTrayMessage;
    icon.icon.image = gfx::Bitmap(16, 16, gfx::Rgb(255, 0, 255));
    icon.icon.shape = gfx::Region(Rect{0, 0, 16, 16}).Subtract(gfx::Region(Rect{0, 0, 8, 8}));
    icon.tip = u"Display probe";
    const bool added = AddNotifyIcon(icon);
    SetWindowTimer(window, kStopTimer, kPollMs);
    Say("icon " + std::to_string(added ? 1 : 0) + " " + display::Backend().Name());
    return RunMessageLoop();
}

int OpenMenus(int x, int y) {
    const WindowHandle window = Create(Rect::FromSize(x, y, 200, 120));
    if (window == 0) {
        return 2;
    }
    ShowWindowAs(window, kShowNormal);
    UpdateWindowNow(window);
    Menu menu;
    menu.AppendItem(1001, u"Open");
    menu.AppendItem(1002, u"Exit");
    SetWindowTimer(window, kMenuTimer, kPollMs);
    for (int round = 0; round < 2; ++round) {
        g_menu_reported = false;
        const std::uint32_t chosen =
            menu.TrackPopup(kTrackReturnCommand, Point{x + 20, y + 20}, window);
        Say("chose " + std::to_string(chosen));
    }
    DestroyWindowHandle(window);
    return 0;
}

int FlashWindows(int count) {
    std::vector<WindowHandle> windows;
    for (int i = 0; i < count; ++i) {
        const WindowHandle window = Create(Rect::FromSize(40 + 10 * i, 40 + 10 * i, 200, 120));
        if (window == 0) {
            return 2;
        }
        SetWindowRegion(
            window, gfx::Region(Rect{0, 0, 200, 120}).Subtract(gfx::Region(Rect{60, 30, 140, 90})),
            false);
        ShowWindowAs(window, kShowNormal);
        UpdateWindowNow(window);
        windows.push_back(window);
    }
    for (const WindowHandle window : windows) {
        DestroyWindowHandle(window);
    }
    Say("flashed " + display::Backend().Name());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "window" && argc == 5) {
        g_stop_file = argv[4];
        return ShowShapedWindow(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (mode == "tray" && argc == 3) {
        g_stop_file = argv[2];
        return ShowTrayIcon();
    }
    if (mode == "menu" && argc == 4) {
        return OpenMenus(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (mode == "flash" && argc == 3) {
        return FlashWindows(std::atoi(argv[2]));
    }
    std::fputs("usage: display_probe window X Y STOP_FILE | tray STOP_FILE | menu X Y | flash N\n",
               stderr);
    return 64;
}
