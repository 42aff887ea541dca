// Notification-area icons through the X11 system-tray protocol: each icon is
// a small window of ours, docked into whichever tray manager owns the
// selection _NET_SYSTEM_TRAY_S<screen>. It draws the icon and turns button
// presses into kTrayClick input for its owner.
//
// Without a tray manager the icons are kept here only; they dock when a
// manager announces itself later, and again after a manager restarts.
//
// Calls may come from any thread; a thread of the tray's own owns its X
// connection and the icon windows.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/display/DisplayBackend.h"

namespace platform::display::sdl {

class X11Tray {
  public:
    // Opens a connection of its own to the X server of DISPLAY; without one
    // the tray only keeps its model.
    X11Tray();
    ~X11Tray();
    X11Tray(const X11Tray&) = delete;
    X11Tray& operator=(const X11Tray&) = delete;

    // Takes the icons off the screen and ends the tray's thread and
    // connection; later calls only keep the model. Idempotent.
    void Close();

    // Where X11 errors on the tray's connection go instead of ending the
    // process; call once, on the thread that initialised SDL, before any
    // other thread uses Xlib.
    static void InstallErrorHandler();

    // As the window layer's calls: adding an icon twice, or changing or
    // removing one that is not there, is refused.
    bool Add(const TrayIcon& icon);
    bool Modify(const TrayIcon& icon);
    bool Remove(WindowHandle owner, std::uint32_t id);

    // How many icons sit in a tray manager right now (tests).
    int DockedCount() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace platform::display::sdl
