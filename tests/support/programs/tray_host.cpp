// A minimal system-tray manager, standing in for the desktop's panel in
// tests: owns _NET_SYSTEM_TRAY_S0 with a grey 32 x 32 window at (X, Y),
// announces itself, and embeds every icon window that asks to dock at the
// window's top left corner. For each docked icon it prints "docked" and then
// presses the right and the left button on it, as a user would.
//   tray_host X Y STOP_FILE
// Ends when STOP_FILE appears, or after a minute at the latest.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

void Press(Display* display, Window icon, unsigned button, int root_x, int root_y) {
    XEvent press{};
    press.xbutton.type = ButtonPress;
    press.xbutton.display = display;
    press.xbutton.window = icon;
    press.xbutton.root = DefaultRootWindow(display);
    press.xbutton.button = button;
    press.xbutton.x = 4;
    press.xbutton.y = 4;
    press.xbutton.x_root = root_x;
    press.xbutton.y_root = root_y;
    press.xbutton.same_screen = True;
    XSendEvent(display, icon, False, ButtonPressMask, &press);
    XFlush(display);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: tray_host X Y STOP_FILE\n", stderr);
        return 64;
    }
    const int x = std::atoi(argv[1]);
    const int y = std::atoi(argv[2]);
    const std::filesystem::path stop = argv[3];
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("tray_host: no display\n", stderr);
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    const Window tray = XCreateSimpleWindow(display, root, x, y, 32, 32, 0, 0, 0x808080);
    XSelectInput(display, tray, SubstructureNotifyMask);
    XMapWindow(display, tray);
    const Atom selection = XInternAtom(display, "_NET_SYSTEM_TRAY_S0", False);
    const Atom opcode = XInternAtom(display, "_NET_SYSTEM_TRAY_OPCODE", False);
    XSetSelectionOwner(display, selection, tray, CurrentTime);
    if (XGetSelectionOwner(display, selection) != tray) {
        std::fputs("tray_host: selection taken\n", stderr);
        return 3;
    }
    XEvent announce{};
    announce.xclient.type = ClientMessage;
    announce.xclient.window = root;
    announce.xclient.message_type = XInternAtom(display, "MANAGER", False);
    announce.xclient.format = 32;
    announce.xclient.data.l[0] = CurrentTime;
    announce.xclient.data.l[1] = static_cast<long>(selection);
    announce.xclient.data.l[2] = static_cast<long>(tray);
    XSendEvent(display, root, False, StructureNotifyMask, &announce);
    XFlush(display);
    std::puts("ready");
    std::fflush(stdout);

    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!std::filesystem::exists(stop) && std::chrono::steady_clock::now() < give_up) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && event.xclient.message_type == opcode &&
                event.xclient.data.l[1] == 0) {
                const Window icon = static_cast<Window>(event.xclient.data.l[2]);
                XReparentWindow(display, icon, tray, 0, 0);
                XMapWindow(display, icon);
                XSync(display, False);
                std::puts("docked");
                std::fflush(stdout);
                Press(display, icon, Button3, x + 4, y + 4);
                Press(display, icon, Button1, x + 4, y + 4);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    XCloseDisplay(display);
    return 0;
}
