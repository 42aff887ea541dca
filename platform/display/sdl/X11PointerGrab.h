// A pointer grab on the X server for one window of the sdl display, so that
// presses outside all of the program's windows reach it too, and a popup
// menu closes on them. The grab is held on a connection of its own: SDL
// lets go of any grab on its connection whenever the pointer enters one of
// its windows. While it is held the server reports every press, release and
// move of the pointer to that connection only, with screen coordinates.
//
// Backend thread only.
#pragma once

#include <SDL.h>

#include <vector>

#include "platform/display/DisplayBackend.h"

struct _XDisplay;

namespace platform::display::sdl {

class X11PointerGrab {
  public:
    X11PointerGrab() = default;
    ~X11PointerGrab();
    X11PointerGrab(const X11PointerGrab&) = delete;
    X11PointerGrab& operator=(const X11PointerGrab&) = delete;

    // True once the server granted it: false while the window is not viewable
    // yet, when another client holds a grab, or off X11.
    bool Take(SDL_Window* window);
    void Release();
    bool Held() const { return held_; }

    // The pointer input that has arrived since the last call, without waiting.
    std::vector<RawInput> ReadInput();

  private:
    _XDisplay* display_ = nullptr;  // opened on the first grab
    bool held_ = false;
};

}  // namespace platform::display::sdl
