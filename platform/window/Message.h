// The message core: windows as message targets, one message queue per thread,
// posting, sending, timers and the waits that keep a thread's windows alive.
//
// Thread rules, as on the original platform:
// - A window belongs to the thread that created it; its procedure runs only on
//   that thread. Handles are small integers that map to objects, so a stale
//   handle is harmless: every call on it fails or is ignored.
// - PostMessageTo may be called from any thread; it queues and returns.
// - SendMessageTo calls the procedure at once when the window belongs to the
//   calling thread. Across threads it queues the call and blocks until the
//   owner has handled it; meanwhile the blocked sender handles messages sent
//   to its own windows, so two threads sending to each other do not deadlock.
//   A send to a window destroyed before it is handled returns 0.
// - Timers, waits and time-outs run on the layer's replaceable clock.
// - A queued message for a window destroyed meanwhile is dropped.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

class Event;

using WindowHandle = std::uint32_t;   // 0 is no window
using MessageParam = std::uintptr_t;  // wParam
using MessageLong = std::intptr_t;    // lParam
using MessageResult = std::intptr_t;

using WindowProcedure = MessageResult (*)(WindowHandle window, std::uint32_t message,
                                          MessageParam wParam, MessageLong lParam);

// Message numbers of the original platform that the core itself produces or
// that every window procedure may see.
constexpr std::uint32_t kMsgNull = 0x0000;
constexpr std::uint32_t kMsgCreate = 0x0001;  // lParam: the creation parameter
constexpr std::uint32_t kMsgDestroy = 0x0002;
constexpr std::uint32_t kMsgPaint = 0x000F;
constexpr std::uint32_t kMsgClose = 0x0010;
constexpr std::uint32_t kMsgQuit = 0x0012;
constexpr std::uint32_t kMsgTimer = 0x0113;  // wParam: the timer id
constexpr std::uint32_t kMsgUser = 0x0400;

struct Message {
    WindowHandle window = 0;  // 0 for thread messages such as kMsgQuit
    std::uint32_t message = kMsgNull;
    MessageParam wParam = 0;
    MessageLong lParam = 0;
};

// Classes are process-wide; registering a name twice fails.
bool RegisterWindowClass(std::u16string_view class_name, WindowProcedure procedure);

// Creates a window of a registered class on the calling thread (hidden; the
// drawing side of the layer adds showing, geometry and painting). The
// procedure sees kMsgCreate before this returns. 0 on failure.
WindowHandle CreateWindowOfClass(std::u16string_view class_name, std::u16string_view title,
                                 std::uint32_t style, int x, int y, int width, int height,
                                 WindowHandle parent, MessageLong create_param);
// Sends kMsgDestroy, then destroys its children, then removes the window, its
// timers and its queued messages; pending sends to it get 0. Owning thread only.
bool DestroyWindowHandle(WindowHandle window);
bool IsWindowHandle(WindowHandle window);
// A window without parent with this title; 0 if none. Any thread.
WindowHandle FindTopLevelWindow(std::u16string_view title);

// One pointer-sized value per window for its owner; returns the previous one.
MessageLong SetWindowUserData(WindowHandle window, MessageLong value);
MessageLong GetWindowUserData(WindowHandle window);

MessageResult DefaultWindowProcedure(WindowHandle window, std::uint32_t message,
                                     MessageParam wParam, MessageLong lParam);

bool PostMessageTo(WindowHandle window, std::uint32_t message, MessageParam wParam,
                   MessageLong lParam);
MessageResult SendMessageTo(WindowHandle window, std::uint32_t message, MessageParam wParam,
                            MessageLong lParam);
// Makes the calling thread's next GetNextMessage return false.
void PostQuitToThread(int exit_code);

// Blocks until a message is there (sent messages are handled while waiting);
// false for kMsgQuit, whose wParam is the exit code.
bool GetNextMessage(Message& message);
// Non-blocking; handles pending sent messages first.
bool PeekNextMessage(Message& message, bool remove);
MessageResult DispatchMessageToWindow(const Message& message);
// True when input waits for the calling thread (posted or sent messages, the
// quit, a due timer). Handles nothing, as a look at the queue's status there.
bool IsInputPending();
// GetNextMessage and dispatch until kMsgQuit; returns its exit code.
int RunMessageLoop();
// The loop of a modal window: dispatches while keep_running() holds, checked
// before each message. True when keep_running() ended it; false when kMsgQuit
// did, which is posted again so the enclosing loop ends too, as there.
bool RunModalLoop(const std::function<bool()>& keep_running);

// A timer posts kMsgTimer with its id to its window every elapse_ms (at most
// one pending per timer). Setting an existing id again re-arms it. Periods
// below 10 ms run at 10 ms, as there. Only the window's own thread may set or
// kill its timers; the message is made when the queue is read after the due
// time, after any posted messages.
bool SetWindowTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapse_ms);
bool KillWindowTimer(WindowHandle window, std::uintptr_t id);

enum class WaitResult { kObject, kInput, kTimeout };
// Waits until the event is signalled, input is there for the calling thread
// (posted or sent messages, the quit, due timers) or the time-out passes
// (0xFFFFFFFF: none). The event wins when both are there; sent messages are
// handled here and count as input; an auto-reset event's signal is taken.
WaitResult WaitForEventOrInput(Event& event, std::uint32_t timeout_ms);
// Waits for the event and handles the calling thread's messages meanwhile.
bool WaitForEventPumping(Event& event, std::uint32_t timeout_ms);

}  // namespace platform
