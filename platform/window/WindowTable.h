// The process-wide tables behind window handles: registered classes and live
// windows. Handles are never reused soon, so a stale one finds nothing. Every
// call may come from any thread; a found window stays valid for as long as
// its holder keeps the pointer, even if it is destroyed meanwhile.
//
// WindowObject is the one record of a window. Its user-interface state is
// guarded by UiMutex(), one lock for every window: readers on other threads
// (queries, routing of input) see a consistent picture of geometry, order and
// visibility. Procedures are never called with it held.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/Region.h"
#include "platform/window/Message.h"
#include "platform/window/ThreadQueue.h"

namespace platform::window_internal {

std::mutex& UiMutex();

struct WindowObject {
    WindowHandle handle = 0;
    WindowProcedure procedure = nullptr;
    std::u16string class_name;
    std::u16string title;  // guarded by the table's mutex
    // Guarded by UiMutex() from here to the next comment.
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    std::uint32_t class_style = 0;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    WindowHandle parent = 0;  // the parent of a child, the owner of a top-level window
    bool child = false;
    bool topmost = false;  // its place in the screen's order, apart from the style bit
    std::optional<gfx::Region> region;
    std::vector<WindowHandle> children;  // bottom to top
    const gfx::Icon* icon_small = nullptr;
    const gfx::Icon* icon_big = nullptr;
    gfx::Region dirty;             // top-level windows: the part still to paint, window coordinates
    bool present_pending = false;  // drawn outside a pass: show the surface again
    // Owner thread only.
    std::unique_ptr<gfx::Bitmap> surface;  // top-level windows; stays at one address
    bool announced = false;                // the backend knows the window
    std::shared_ptr<ThreadQueue> owner;
    std::atomic<MessageLong> user_data{0};
    bool destroying = false;
};

class WindowTable {
  public:
    static WindowTable& Instance();

    bool RegisterClass(std::u16string_view name, WindowProcedure procedure,
                       std::uint32_t class_style = 0);
    WindowProcedure FindClass(std::u16string_view name) const;
    std::uint32_t FindClassStyle(std::u16string_view name) const;

    void SetTitle(WindowObject& window, std::u16string_view title);
    std::u16string TitleOf(const WindowObject& window) const;

    WindowHandle Add(std::shared_ptr<WindowObject> window);
    std::shared_ptr<WindowObject> Find(WindowHandle handle) const;
    void Remove(WindowHandle handle);
    std::vector<WindowHandle> ChildrenOf(WindowHandle parent) const;
    WindowHandle FindTopLevel(std::u16string_view title) const;
    std::vector<std::shared_ptr<WindowObject>> OwnedBy(const ThreadQueue* owner) const;
    // The windows of a queue whose thread ended; removed without messages.
    void RemoveOwnedBy(const ThreadQueue* owner);

  private:
    WindowTable() = default;

    mutable std::mutex mutex_;
    struct ClassInfo {
        WindowProcedure procedure = nullptr;
        std::uint32_t style = 0;
    };
    std::unordered_map<std::u16string, ClassInfo> classes_;
    std::unordered_map<WindowHandle, std::shared_ptr<WindowObject>> windows_;
    WindowHandle next_handle_ = 1;
};

// The window if it exists and belongs to the calling thread; asserts in
// debug builds when it exists elsewhere, as the original platform requires.
std::shared_ptr<WindowObject> FindOwnWindow(WindowHandle handle);

}  // namespace platform::window_internal
