// Shared inside the window layer: the screen's order of top-level windows,
// geometry helpers over the window tree, and the hooks the message core calls
// (raw input, paint passes, destruction). Functions ending in Locked expect
// UiMutex() held; the others take it themselves.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/display/DisplayBackend.h"
#include "platform/gfx/Region.h"
#include "platform/window/WindowTable.h"
#include "platform/window/WindowUi.h"

namespace platform::window_internal {

// Top-level windows from the bottom of the screen up; topmost ones last.
std::vector<WindowHandle>& ScreenOrderLocked();
// Puts a top-level window at the top (or bottom) of its band.
void PlaceOnScreenLocked(WindowObject& window, bool top);

std::shared_ptr<WindowObject> FindWindow(WindowHandle handle);
// The window itself when it is not a child.
std::shared_ptr<WindowObject> TopLevelOf(const std::shared_ptr<WindowObject>& window);
// Where the window's client origin lies on its top-level window's surface.
Point OffsetInTopLevelLocked(const WindowObject& window);
Point ScreenOriginLocked(const WindowObject& window);
// Shown through every ancestor (style bits only).
bool IsShownLocked(const WindowObject& window);
// The pixels of the window that can show, in its top-level window's
// coordinates: its rectangle and region within every ancestor's.
gfx::Region VisiblePartLocked(const WindowObject& window);
// The window's own shape in its client coordinates.
gfx::Region ShapeLocked(const WindowObject& window);

// Runs work on the window's own thread (at once when that is the caller's)
// and returns its result; 0 when the window or its thread is gone.
MessageResult RunOnOwner(const std::shared_ptr<WindowObject>& window,
                         const std::function<MessageResult()>& work);

// Paint: marks part of a window (its client coordinates; nullopt = all) for
// the next pass of its top-level window. Owner thread.
void InvalidateLocal(const std::shared_ptr<WindowObject>& window, std::optional<Rect> rect);
// A kMsgPaint taken from the queue: true when it was a pass of the layer.
bool DispatchPaintPass(const Message& message);

// Input. Any thread: routes input to the thread that will translate it.
void QueueRawInput(const display::RawInput& input);
// The owner thread turns it into messages.
void TranslateRawInput(const display::RawInput& input);

// The window is going: called after its children went, before it is removed.
void ForgetWindow(const std::shared_ptr<WindowObject>& window);
// Focus, capture and tracking let go of a window hidden or disabled (or one
// of its descendants).
void DropInputStateWithin(WindowHandle window);

}  // namespace platform::window_internal

namespace platform::window_internal {

// Activation of top-level windows: kMsgActivate to the one losing it and to
// the one gaining it. 0 deactivates.
void ActivateTopLevel(WindowHandle window);

// The backend learns of a top-level window on its first show; after that it
// follows every change. Owner thread.
void AnnounceToBackend(const std::shared_ptr<WindowObject>& window);

}  // namespace platform::window_internal
