// Shared inside the window framework: the built-in procedures of its classes,
// the plain window and dialog class names, and a small per-window state table
// for the built-in controls.
#pragma once

#include <cstddef>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include "platform/window/Message.h"

namespace platform::framework_internal {

inline constexpr std::u16string_view kPlainWindowClassName = u"VelaWindow";
inline constexpr std::u16string_view kDialogClassName = u"VelaDialog";
inline constexpr std::u16string_view kMenuClassName = u"VelaPopupMenu";

MessageResult ButtonClassProcedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                                   MessageLong lParam);
MessageResult StaticClassProcedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                                   MessageLong lParam);
MessageResult ProgressClassProcedure(WindowHandle window, std::uint32_t message,
                                     MessageParam wParam, MessageLong lParam);
MessageResult MenuClassProcedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                                 MessageLong lParam);

// State of a built-in control by handle. Entries of windows that are gone
// are dropped when the table grows, so a control whose object swallows
// kMsgDestroy leaves nothing behind for long. Any thread; values are copied
// in and out under the lock.
template <class State>
class ControlStateTable {
  public:
    State Get(WindowHandle window) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = states_.find(window);
        return found == states_.end() ? State{} : found->second;
    }
    void Put(WindowHandle window, const State& state) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (states_.size() >= prune_at_) {
            std::erase_if(states_, [](const auto& entry) { return !IsWindowHandle(entry.first); });
            prune_at_ = states_.size() * 2 + 64;
        }
        states_[window] = state;
    }
    void Erase(WindowHandle window) {
        std::lock_guard<std::mutex> lock(mutex_);
        states_.erase(window);
    }

  private:
    std::mutex mutex_;
    std::unordered_map<WindowHandle, State> states_;
    std::size_t prune_at_ = 64;
};

}  // namespace platform::framework_internal
