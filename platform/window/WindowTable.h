// The process-wide tables behind window handles: registered classes and live
// windows. Handles are never reused soon, so a stale one finds nothing. Every
// call may come from any thread; a found window stays valid for as long as
// its holder keeps the pointer, even if it is destroyed meanwhile.
//
// WindowObject is the one record of a window. The drawing side adds its own
// state (visibility, painting, children's order) here.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/window/Message.h"
#include "platform/window/ThreadQueue.h"

namespace platform::window_internal {

struct WindowObject {
    WindowHandle handle = 0;
    WindowProcedure procedure = nullptr;
    std::u16string class_name;
    std::u16string title;  // guarded by the table's mutex
    std::uint32_t style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    WindowHandle parent = 0;
    std::shared_ptr<ThreadQueue> owner;
    std::atomic<MessageLong> user_data{0};
    bool destroying = false;  // owner thread only
};

class WindowTable {
  public:
    static WindowTable& Instance();

    bool RegisterClass(std::u16string_view name, WindowProcedure procedure);
    WindowProcedure FindClass(std::u16string_view name) const;

    WindowHandle Add(std::shared_ptr<WindowObject> window);
    std::shared_ptr<WindowObject> Find(WindowHandle handle) const;
    void Remove(WindowHandle handle);
    std::vector<WindowHandle> ChildrenOf(WindowHandle parent) const;
    WindowHandle FindTopLevel(std::u16string_view title) const;
    // The windows of a queue whose thread ended; removed without messages.
    void RemoveOwnedBy(const ThreadQueue* owner);

  private:
    WindowTable() = default;

    mutable std::mutex mutex_;
    std::unordered_map<std::u16string, WindowProcedure> classes_;
    std::unordered_map<WindowHandle, std::shared_ptr<WindowObject>> windows_;
    WindowHandle next_handle_ = 1;
};

// The window if it exists and belongs to the calling thread; asserts in
// debug builds when it exists elsewhere, as the original platform requires.
std::shared_ptr<WindowObject> FindOwnWindow(WindowHandle handle);

}  // namespace platform::window_internal
