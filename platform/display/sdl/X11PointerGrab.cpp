#include "platform/display/sdl/X11PointerGrab.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace platform::display::sdl {

X11PointerGrab::~X11PointerGrab() {
    Release();
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

bool X11PointerGrab::Take(SDL_Window* window) {
    Release();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    if (display_ == nullptr) {
        display_ = XOpenDisplay(DisplayString(info.info.x11.display));
        if (display_ == nullptr) {
            return false;
        }
    }
    // Window ids are the server's, so SDL's window serves as the grab window
    // of this connection too.
    held_ = XGrabPointer(display_, info.info.x11.window, False,
                         ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                         GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
    return held_;
}

void X11PointerGrab::Release() {
    if (!held_) {
        return;
    }
    XUngrabPointer(display_, CurrentTime);
    XFlush(display_);
    held_ = false;
}

std::vector<RawInput> X11PointerGrab::ReadInput() {
    std::vector<RawInput> inputs;
    if (display_ == nullptr) {
        return inputs;
    }
    while (XPending(display_) > 0) {
        XEvent native;
        XNextEvent(display_, &native);
        if (!held_) {
            continue;  // left over from a grab that has ended
        }
        RawInput input;
        if (native.type == MotionNotify) {
            input.kind = RawInput::Kind::kMouseMove;
            input.screen_point = {native.xmotion.x_root, native.xmotion.y_root};
        } else if ((native.type == ButtonPress || native.type == ButtonRelease) &&
                   (native.xbutton.button == Button1 || native.xbutton.button == Button3)) {
            input.kind = native.type == ButtonPress ? RawInput::Kind::kButtonDown
                                                    : RawInput::Kind::kButtonUp;
            input.right_button = native.xbutton.button == Button3;
            input.screen_point = {native.xbutton.x_root, native.xbutton.y_root};
        } else {
            continue;
        }
        inputs.push_back(input);
    }
    return inputs;
}

}  // namespace platform::display::sdl
