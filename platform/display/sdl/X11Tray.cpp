#include "platform/display/sdl/X11Tray.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/text/TextConversion.h"

namespace platform::display::sdl {

namespace {

constexpr long kRequestDock = 0;   // SYSTEM_TRAY_REQUEST_DOCK
constexpr long kXembedMapped = 1;  // XEMBED_MAPPED
constexpr int kDefaultIconSize = 22;

std::atomic<Display*> g_tray_display{nullptr};
XErrorHandler g_previous_handler = nullptr;

// A tray manager or one of our icon windows may vanish between our request
// and the server's answer; that is no reason to end the process.
int OnXError(Display* display, XErrorEvent* error) {
    if (display == g_tray_display.load()) {
        return 0;
    }
    return g_previous_handler != nullptr ? g_previous_handler(display, error) : 0;
}

struct Channel {
    unsigned long mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(unsigned long m)
        : mask(m), shift(std::countr_zero(m)), bits(std::popcount(m)) {}
    unsigned long Pack(std::uint8_t value) const {
        if (bits <= 0) {
            return 0;
        }
        const unsigned long scaled =
            bits >= 8 ? static_cast<unsigned long>(value) << (bits - 8) : value >> (8 - bits);
        return (scaled << shift) & mask;
    }
};

}  // namespace

struct X11Tray::State {
    struct Icon {
        TrayIcon model;
        Window window = 0;
        int width = 0;
        int height = 0;
        bool docked = false;
    };

    Display* display = nullptr;
    int wake[2] = {-1, -1};
    std::thread thread;

    mutable std::mutex mutex;  // guards model, commands, stopping
    std::vector<TrayIcon> model;
    std::deque<std::function<void()>> commands;
    bool stopping = false;
    std::atomic<int> docked{0};

    // Tray thread only.
    std::vector<Icon> icons;
    Window root = 0;
    Window manager = 0;
    Atom selection = 0;
    Atom opcode = 0;
    Atom manager_message = 0;
    Atom xembed_info = 0;
    Atom net_wm_name = 0;
    Atom utf8_string = 0;
    Atom tray_visual = 0;

    void Post(std::function<void()> command);  // with mutex held
    void Run();
    void Handle(const XEvent& event);
    void FindManager();
    void Dock(Icon& icon);
    void Undock(Icon& icon);
    void Draw(Icon& icon);
    void SetTip(const Icon& icon);
    void CountDocked();
    Icon* Find(Window window);
    Icon* Find(WindowHandle owner, std::uint32_t id);
    Visual* ManagerVisual(int& depth);
};

void X11Tray::InstallErrorHandler() {
    static std::once_flag once;
    std::call_once(once, [] { g_previous_handler = XSetErrorHandler(OnXError); });
}

X11Tray::X11Tray() : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.display = XOpenDisplay(nullptr);
    if (s.display == nullptr) {
        return;
    }
    if (pipe2(s.wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        XCloseDisplay(s.display);
        s.display = nullptr;
        return;
    }
    g_tray_display.store(s.display);
    const int screen = DefaultScreen(s.display);
    s.root = RootWindow(s.display, screen);
    const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
    s.selection = XInternAtom(s.display, selection.c_str(), False);
    s.opcode = XInternAtom(s.display, "_NET_SYSTEM_TRAY_OPCODE", False);
    s.manager_message = XInternAtom(s.display, "MANAGER", False);
    s.xembed_info = XInternAtom(s.display, "_XEMBED_INFO", False);
    s.net_wm_name = XInternAtom(s.display, "_NET_WM_NAME", False);
    s.utf8_string = XInternAtom(s.display, "UTF8_STRING", False);
    s.tray_visual = XInternAtom(s.display, "_NET_SYSTEM_TRAY_VISUAL", False);
    // A manager that starts later announces itself to the root window.
    XSelectInput(s.display, s.root, StructureNotifyMask);
    s.FindManager();
    s.thread = std::thread([&s] { s.Run(); });
}

X11Tray::~X11Tray() {
    Close();
}

void X11Tray::Close() {
    State& s = *state_;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.display == nullptr || s.stopping) {
            return;
        }
        s.stopping = true;
        s.Post([] {});
    }
    s.thread.join();
    for (State::Icon& icon : s.icons) {
        if (icon.window != 0) {
            XDestroyWindow(s.display, icon.window);
        }
    }
    s.icons.clear();
    s.docked.store(0);
    XSync(s.display, False);
    g_tray_display.store(nullptr);
    XCloseDisplay(s.display);
    {
        // From here on calls keep the model only and write to no pipe.
        std::lock_guard<std::mutex> lock(s.mutex);
        s.display = nullptr;
    }
    close(s.wake[0]);
    close(s.wake[1]);
}

bool X11Tray::Add(const TrayIcon& icon) {
    State& s = *state_;
    std::lock_guard<std::mutex> lock(s.mutex);
    for (const TrayIcon& known : s.model) {
        if (known.owner == icon.owner && known.id == icon.id) {
            return false;
        }
    }
    s.model.push_back(icon);
    s.Post([&s, icon] {
        s.icons.push_back(State::Icon{icon});
        if (s.manager != 0) {
            s.Dock(s.icons.back());
        }
    });
    return true;
}

bool X11Tray::Modify(const TrayIcon& icon) {
    State& s = *state_;
    std::lock_guard<std::mutex> lock(s.mutex);
    for (TrayIcon& known : s.model) {
        if (known.owner == icon.owner && known.id == icon.id) {
            known = icon;
            s.Post([&s, icon] {
                if (State::Icon* shown = s.Find(icon.owner, icon.id)) {
                    shown->model = icon;
                    if (shown->window != 0) {
                        s.SetTip(*shown);
                        s.Draw(*shown);
                    }
                }
            });
            return true;
        }
    }
    return false;
}

bool X11Tray::Remove(WindowHandle owner, std::uint32_t id) {
    State& s = *state_;
    std::lock_guard<std::mutex> lock(s.mutex);
    for (auto it = s.model.begin(); it != s.model.end(); ++it) {
        if (it->owner == owner && it->id == id) {
            s.model.erase(it);
            s.Post([&s, owner, id] {
                for (auto shown = s.icons.begin(); shown != s.icons.end(); ++shown) {
                    if (shown->model.owner == owner && shown->model.id == id) {
                        s.Undock(*shown);
                        s.icons.erase(shown);
                        s.CountDocked();
                        break;
                    }
                }
            });
            return true;
        }
    }
    return false;
}

int X11Tray::DockedCount() const {
    return state_->docked.load();
}

void X11Tray::State::Post(std::function<void()> command) {
    if (display == nullptr) {
        return;  // the model is all there is
    }
    commands.push_back(std::move(command));
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(wake[1], &byte, 1);
}

void X11Tray::State::Run() {
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            Handle(event);
        }
        std::deque<std::function<void()>> batch;
        bool stop = false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            batch.swap(commands);
            stop = stopping;
        }
        for (auto& command : batch) {
            command();
        }
        if (stop) {
            return;
        }
        XFlush(display);
        if (XPending(display) > 0) {
            continue;
        }
        pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {wake[0], POLLIN, 0}};
        poll(fds, 2, -1);
        char drain[64];
        while (read(wake[0], drain, sizeof drain) > 0) {
        }
    }
}

void X11Tray::State::FindManager() {
    XGrabServer(display);
    manager = XGetSelectionOwner(display, selection);
    if (manager != 0) {
        // Its end is ours to notice: the icons then wait for the next one.
        XSelectInput(display, manager, StructureNotifyMask);
    }
    XUngrabServer(display);
    XFlush(display);
}

Visual* X11Tray::State::ManagerVisual(int& depth) {
    depth = DefaultDepth(display, DefaultScreen(display));
    Visual* visual = DefaultVisual(display, DefaultScreen(display));
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, manager, tray_visual, 0, 1, False, XA_VISUALID, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr && count == 1 && format == 32) {
        XVisualInfo wanted{};
        wanted.visualid = static_cast<VisualID>(*reinterpret_cast<unsigned long*>(data));
        int found = 0;
        XVisualInfo* info = XGetVisualInfo(display, VisualIDMask, &wanted, &found);
        if (info != nullptr && found > 0 && info->c_class == TrueColor) {
            visual = info->visual;
            depth = info->depth;
        }
        if (info != nullptr) {
            XFree(info);
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return visual;
}

void X11Tray::State::Dock(Icon& icon) {
    if (icon.window == 0) {
        int depth = 0;
        Visual* visual = ManagerVisual(depth);
        const bool own_visual = visual != DefaultVisual(display, DefaultScreen(display));
        XSetWindowAttributes attributes{};
        unsigned long mask = CWEventMask | CWBorderPixel;
        attributes.event_mask = ExposureMask | ButtonPressMask | StructureNotifyMask;
        attributes.border_pixel = 0;
        if (own_visual) {
            // An ARGB tray: clear pixels are see-through.
            attributes.colormap = XCreateColormap(display, root, visual, AllocNone);
            attributes.background_pixel = 0;
            mask |= CWColormap | CWBackPixel;
        } else {
            attributes.background_pixmap = ParentRelative;
            mask |= CWBackPixmap;
        }
        icon.width = icon.model.icon.IsEmpty() ? kDefaultIconSize : icon.model.icon.image.Width();
        icon.height = icon.model.icon.IsEmpty() ? kDefaultIconSize : icon.model.icon.image.Height();
        icon.window = XCreateWindow(display, root, 0, 0, static_cast<unsigned>(icon.width),
                                    static_cast<unsigned>(icon.height), 0, depth, InputOutput,
                                    visual, mask, &attributes);
        const long info[2] = {0, kXembedMapped};
        XChangeProperty(display, icon.window, xembed_info, xembed_info, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(info), 2);
        SetTip(icon);
    }
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = manager;
    request.xclient.message_type = opcode;
    request.xclient.format = 32;
    request.xclient.data.l[0] = CurrentTime;
    request.xclient.data.l[1] = kRequestDock;
    request.xclient.data.l[2] = static_cast<long>(icon.window);
    XSendEvent(display, manager, False, NoEventMask, &request);
    XFlush(display);
}

void X11Tray::State::Undock(Icon& icon) {
    if (icon.window != 0) {
        XDestroyWindow(display, icon.window);
        icon.window = 0;
    }
    icon.docked = false;
}

void X11Tray::State::SetTip(const Icon& icon) {
    const std::string tip = Utf16ToUtf8(icon.model.tip);
    XChangeProperty(display, icon.window, net_wm_name, utf8_string, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(tip.data()),
                    static_cast<int>(tip.size()));
    XStoreName(display, icon.window, tip.c_str());
}

void X11Tray::State::CountDocked() {
    int count = 0;
    for (const Icon& icon : icons) {
        count += icon.docked ? 1 : 0;
    }
    docked.store(count);
}

X11Tray::State::Icon* X11Tray::State::Find(Window window) {
    for (Icon& icon : icons) {
        if (icon.window == window && window != 0) {
            return &icon;
        }
    }
    return nullptr;
}

X11Tray::State::Icon* X11Tray::State::Find(WindowHandle owner, std::uint32_t id) {
    for (Icon& icon : icons) {
        if (icon.model.owner == owner && icon.model.id == id) {
            return &icon;
        }
    }
    return nullptr;
}

void X11Tray::State::Handle(const XEvent& event) {
    switch (event.type) {
        case ClientMessage:
            if (event.xclient.window == root && event.xclient.message_type == manager_message &&
                static_cast<Atom>(event.xclient.data.l[1]) == selection) {
                FindManager();
                for (Icon& icon : icons) {
                    if (manager != 0) {
                        Dock(icon);
                    }
                }
            }
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == manager && manager != 0) {
                manager = 0;
                for (Icon& icon : icons) {
                    Undock(icon);
                }
                CountDocked();
            } else if (Icon* icon = Find(event.xdestroywindow.window)) {
                icon->window = 0;
                icon->docked = false;
                CountDocked();
            }
            break;
        case ReparentNotify:
            if (Icon* icon = Find(event.xreparent.window)) {
                icon->docked = event.xreparent.parent != root;
                CountDocked();
            }
            break;
        case ConfigureNotify:
            if (Icon* icon = Find(event.xconfigure.window)) {
                icon->width = event.xconfigure.width;
                icon->height = event.xconfigure.height;
            }
            break;
        case Expose:
            if (event.xexpose.count == 0) {
                if (Icon* icon = Find(event.xexpose.window)) {
                    Draw(*icon);
                }
            }
            break;
        case ButtonPress:
            if (Icon* icon = Find(event.xbutton.window)) {
                if (event.xbutton.button == Button1 || event.xbutton.button == Button3) {
                    RawInput input;
                    input.kind = RawInput::Kind::kTrayClick;
                    input.screen_point = {event.xbutton.x_root, event.xbutton.y_root};
                    input.right_button = event.xbutton.button == Button3;
                    input.window = icon->model.owner;
                    input.tray_id = icon->model.id;
                    input.tray_message = icon->model.callback_message;
                    DeliverRawInput(input);
                }
            }
            break;
        default:
            break;
    }
}

void X11Tray::State::Draw(Icon& icon) {
    XClearWindow(display, icon.window);
    const gfx::Icon& picture = icon.model.icon;
    if (picture.IsEmpty() || icon.width <= 0 || icon.height <= 0) {
        return;
    }
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, icon.window, &attributes) ||
        attributes.visual->c_class != TrueColor) {
        return;
    }
    const int width = icon.width;
    const int height = icon.height;
    XImage* image = XCreateImage(
        display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap, 0, nullptr,
        static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (image == nullptr) {
        return;
    }
    image->data = static_cast<char*>(
        std::calloc(static_cast<std::size_t>(image->bytes_per_line) * height, 1));
    if (image->data == nullptr) {
        XDestroyImage(image);
        return;
    }
    const Channel red(attributes.visual->red_mask);
    const Channel green(attributes.visual->green_mask);
    const Channel blue(attributes.visual->blue_mask);
    // What the colour channels leave of a 32-bit pixel is alpha.
    const unsigned long alpha =
        attributes.depth == 32 ? ~(red.mask | green.mask | blue.mask) & 0xFFFFFFFFUL : 0;
    GC gc = XCreateGC(display, icon.window, 0, nullptr);
    const int source_width = picture.image.Width();
    const int source_height = picture.image.Height();
    // Scaled to the size the tray gave us; only the icon's shape is drawn.
    for (int y = 0; y < height; ++y) {
        const int sy = y * source_height / height;
        int run_start = -1;
        for (int x = 0; x <= width; ++x) {
            const int sx = x * source_width / width;
            const bool inside = x < width && picture.shape.Contains(sx, sy);
            if (inside) {
                const gfx::Color c = picture.image.GetPixel(sx, sy);
                XPutPixel(image, x, y,
                          red.Pack(gfx::RedOf(c)) | green.Pack(gfx::GreenOf(c)) |
                              blue.Pack(gfx::BlueOf(c)) | alpha);
                if (run_start < 0) {
                    run_start = x;
                }
            } else if (run_start >= 0) {
                XPutImage(display, icon.window, gc, image, run_start, y, run_start, y,
                          static_cast<unsigned>(x - run_start), 1);
                run_start = -1;
            }
        }
    }
    XFreeGC(display, gc);
    XDestroyImage(image);
    XFlush(display);
}

}  // namespace platform::display::sdl
