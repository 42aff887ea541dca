#include "platform/window/WindowTable.h"

#include <cassert>

namespace platform::window_internal {

WindowTable& WindowTable::Instance() {
    // Never destroyed: detached threads may still post while the process exits.
    static WindowTable* table = new WindowTable;
    return *table;
}

std::mutex& UiMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

bool WindowTable::RegisterClass(std::u16string_view name, WindowProcedure procedure,
                                std::uint32_t class_style) {
    if (name.empty() || procedure == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return classes_.emplace(std::u16string(name), ClassInfo{procedure, class_style}).second;
}

WindowProcedure WindowTable::FindClass(std::u16string_view name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = classes_.find(std::u16string(name));
    return found == classes_.end() ? nullptr : found->second.procedure;
}

std::uint32_t WindowTable::FindClassStyle(std::u16string_view name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = classes_.find(std::u16string(name));
    return found == classes_.end() ? 0 : found->second.style;
}

void WindowTable::SetTitle(WindowObject& window, std::u16string_view title) {
    std::lock_guard<std::mutex> lock(mutex_);
    window.title = title;
}

std::u16string WindowTable::TitleOf(const WindowObject& window) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return window.title;
}

WindowHandle WindowTable::Add(std::shared_ptr<WindowObject> window) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Counting on means a handle comes back only after four billion windows,
    // and then only if it is free.
    while (next_handle_ == 0 || windows_.count(next_handle_) != 0) {
        ++next_handle_;
    }
    const WindowHandle handle = next_handle_++;
    window->handle = handle;
    windows_.emplace(handle, std::move(window));
    return handle;
}

std::shared_ptr<WindowObject> WindowTable::Find(WindowHandle handle) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = windows_.find(handle);
    return found == windows_.end() ? nullptr : found->second;
}

void WindowTable::Remove(WindowHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    windows_.erase(handle);
}

std::vector<WindowHandle> WindowTable::ChildrenOf(WindowHandle parent) const {
    std::vector<WindowHandle> children;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [handle, window] : windows_) {
        if (window->parent == parent) {
            children.push_back(handle);
        }
    }
    return children;
}

WindowHandle WindowTable::FindTopLevel(std::u16string_view title) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [handle, window] : windows_) {
        if (window->parent == 0 && window->title == title) {
            return handle;
        }
    }
    return 0;
}

std::vector<std::shared_ptr<WindowObject>> WindowTable::OwnedBy(const ThreadQueue* owner) const {
    std::vector<std::shared_ptr<WindowObject>> owned;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [handle, window] : windows_) {
        if (window->owner.get() == owner) {
            owned.push_back(window);
        }
    }
    return owned;
}

void WindowTable::RemoveOwnedBy(const ThreadQueue* owner) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::erase_if(windows_,
                  [owner](const auto& entry) { return entry.second->owner.get() == owner; });
}

std::shared_ptr<WindowObject> FindOwnWindow(WindowHandle handle) {
    std::shared_ptr<WindowObject> window = WindowTable::Instance().Find(handle);
    if (window == nullptr) {
        return nullptr;
    }
    assert(window->owner->IsOwnedByCurrentThread() && "window used off its owning thread");
    return window->owner->IsOwnedByCurrentThread() ? window : nullptr;
}

}  // namespace platform::window_internal
