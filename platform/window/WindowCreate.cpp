// Creation with the full set of attributes, the queries any thread may make,
// styles, titles and icons.
#include <algorithm>

#include "platform/window/WindowUi.h"
#include "platform/window/WindowUiInternal.h"

namespace platform {

using window_internal::CurrentQueue;
using window_internal::FindWindow;
using window_internal::UiMutex;
using window_internal::WindowObject;
using window_internal::WindowTable;

bool RegisterWindowClassEx(std::u16string_view class_name, WindowProcedure procedure,
                           std::uint32_t class_style) {
    return WindowTable::Instance().RegisterClass(class_name, procedure, class_style);
}

WindowHandle CreateWindowWith(const WindowCreation& creation) {
    WindowTable& table = WindowTable::Instance();
    WindowProcedure procedure = table.FindClass(creation.class_name);
    if (procedure == nullptr) {
        return 0;
    }
    const bool child = (creation.style & kStyleChild) != 0 && creation.parent != 0;
    std::shared_ptr<WindowObject> parent = FindWindow(creation.parent);
    if (creation.parent != 0 && parent == nullptr) {
        return 0;
    }
    // A child lives on its parent's thread, as there.
    if (child && !parent->owner->IsOwnedByCurrentThread()) {
        return 0;
    }
    auto window = std::make_shared<WindowObject>();
    window->procedure = procedure;
    window->class_name = creation.class_name;
    window->title = creation.title;
    // Visibility comes with the first show below, after kMsgCreate.
    window->style = creation.style & ~kStyleVisible;
    window->ex_style = creation.ex_style;
    window->class_style = table.FindClassStyle(creation.class_name);
    window->id = creation.id;
    window->x = creation.rect.left;
    window->y = creation.rect.top;
    window->width = std::max(0, creation.rect.Width());
    window->height = std::max(0, creation.rect.Height());
    window->parent = creation.parent;
    window->child = child;
    window->topmost = (creation.ex_style & kExStyleTopmost) != 0;
    window->owner = CurrentQueue();
    std::shared_ptr<WindowObject> kept = window;
    const WindowHandle handle = table.Add(std::move(window));
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        if (child) {
            parent->children.push_back(handle);  // new children go on top
        } else {
            window_internal::ScreenOrderLocked().push_back(handle);
            window_internal::PlaceOnScreenLocked(*kept, true);
        }
    }
    // A procedure that refuses its creation with -1, or destroys the window
    // meanwhile, gets no window, as there.
    if (procedure(handle, kMsgCreate, 0, creation.create_param) == -1) {
        DestroyWindowHandle(handle);
    }
    if (!IsWindowHandle(handle)) {
        return 0;
    }
    if ((creation.style & kStyleVisible) != 0) {
        ShowWindowAs(handle, kShowShow);
    }
    return IsWindowHandle(handle) ? handle : 0;
}

WindowHandle GetParentWindow(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    return target == nullptr ? 0 : target->parent;
}

int GetWindowId(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    return target == nullptr ? 0 : target->id;
}

WindowHandle FindChildById(WindowHandle parent, int id) {
    std::shared_ptr<WindowObject> target = FindWindow(parent);
    if (target == nullptr) {
        return 0;
    }
    std::vector<WindowHandle> children;
    {
        std::lock_guard<std::mutex> lock(UiMutex());
        children = target->children;
    }
    // From the top, so the first-created of equal ids wins only when on top.
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        std::shared_ptr<WindowObject> child = FindWindow(*it);
        if (child != nullptr && child->id == id) {
            return *it;
        }
    }
    return 0;
}

std::uint32_t GetWindowStyle(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    return target->style;
}

std::uint32_t GetWindowExStyle(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    return target->ex_style;
}

bool IsChildWindow(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    return target != nullptr && target->child;
}

std::u16string GetWindowTitle(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    return target == nullptr ? std::u16string() : WindowTable::Instance().TitleOf(*target);
}

std::u16string GetWindowClassName(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    return target == nullptr ? std::u16string() : target->class_name;
}

bool IsWindowShown(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    return window_internal::IsShownLocked(*target);
}

bool IsWindowMinimized(WindowHandle window) {
    return (GetWindowStyle(window) & kStyleMinimize) != 0;
}

bool IsWindowEnabledState(WindowHandle window) {
    return IsWindowHandle(window) && (GetWindowStyle(window) & kStyleDisabled) == 0;
}

void SetWindowStyle(WindowHandle window, std::uint32_t style) {
    std::shared_ptr<WindowObject> target = window_internal::FindOwnWindow(window);
    if (target == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    target->style = style;
}

void SetWindowExStyle(WindowHandle window, std::uint32_t ex_style) {
    std::shared_ptr<WindowObject> target = window_internal::FindOwnWindow(window);
    if (target == nullptr) {
        return;
    }
    // The bits only: a topmost bit set here does not move the window, as there.
    std::lock_guard<std::mutex> lock(UiMutex());
    target->ex_style = ex_style;
}

void SetWindowTitle(WindowHandle window, std::u16string_view title) {
    if (window_internal::FindOwnWindow(window) == nullptr) {
        return;
    }
    // Through the procedure, which may keep the text itself.
    const std::u16string text(title);
    SendMessageTo(window, kMsgSetText, 0, reinterpret_cast<MessageLong>(text.c_str()));
}

void SetWindowIconOf(WindowHandle window, bool big, const gfx::Icon* icon) {
    std::shared_ptr<WindowObject> target = window_internal::FindOwnWindow(window);
    if (target == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    (big ? target->icon_big : target->icon_small) = icon;
}

const gfx::Icon* GetWindowIconOf(WindowHandle window, bool big) {
    std::shared_ptr<WindowObject> target = FindWindow(window);
    if (target == nullptr) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(UiMutex());
    return big ? target->icon_big : target->icon_small;
}

}  // namespace platform
