// Sends input to whatever top-level window lies at a point of the screen, as
// the X server would on a user's move and click there (the events are marked
// as sent, which the programs under test do not look at).
//   x_send_input click X Y [right]   pointer to (X, Y), press and release
//   x_send_input close X Y           the desktop's close request
//   x_send_input press X Y [right]   a real move, press and release through
//                                    the server's test extension, wherever the
//                                    point lies: pointer grabs see it
// Exits 1 when no mapped window lies at the point (click and close).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The topmost mapped child of the root that holds the point.
Window WindowAt(Display* display, int x, int y, int& left, int& top) {
    Window root = DefaultRootWindow(display);
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count) == 0) {
        return 0;
    }
    for (unsigned i = count; i-- > 0 && found == 0;) {
        XWindowAttributes a;
        if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable &&
            x >= a.x && x < a.x + a.width && y >= a.y && y < a.y + a.height) {
            found = children[i];
            left = a.x;
            top = a.y;
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

void Pointer(Display* display, Window window, int type, unsigned button, int x, int y, int left,
             int top) {
    XEvent event{};
    event.xbutton.type = type;
    event.xbutton.display = display;
    event.xbutton.window = window;
    event.xbutton.root = DefaultRootWindow(display);
    event.xbutton.subwindow = 0;
    event.xbutton.time = CurrentTime;
    event.xbutton.x = x - left;
    event.xbutton.y = y - top;
    event.xbutton.x_root = x;
    event.xbutton.y_root = y;
    event.xbutton.button = button;
    event.xbutton.same_screen = True;
    long mask = ButtonPressMask;
    if (type == ButtonRelease) {
        mask = ButtonReleaseMask;
        event.xbutton.state = button == Button1 ? Button1Mask : Button3Mask;
    } else if (type == MotionNotify) {
        mask = PointerMotionMask;
    }
    XSendEvent(display, window, False, mask, &event);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: x_send_input click|press X Y [right] | close X Y\n", stderr);
        return 64;
    }
    const int x = std::atoi(argv[2]);
    const int y = std::atoi(argv[3]);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("x_send_input: no display\n", stderr);
        return 2;
    }
    const unsigned button = argc > 4 && std::strcmp(argv[4], "right") == 0 ? Button3 : Button1;
    if (std::strcmp(argv[1], "press") == 0) {
        int event_base = 0;
        int error_base = 0;
        int major = 0;
        int minor = 0;
        if (!XTestQueryExtension(display, &event_base, &error_base, &major, &minor)) {
            std::fputs("x_send_input: no XTEST extension\n", stderr);
            XCloseDisplay(display);
            return 2;
        }
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, CurrentTime);
        XSync(display, False);
        XCloseDisplay(display);
        return 0;
    }
    int left = 0;
    int top = 0;
    const Window window = WindowAt(display, x, y, left, top);
    if (window == 0) {
        XCloseDisplay(display);
        return 1;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
    } else {
        Pointer(display, window, MotionNotify, 0, x, y, left, top);
        Pointer(display, window, ButtonPress, button, x, y, left, top);
        Pointer(display, window, ButtonRelease, button, x, y, left, top);
    }
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
