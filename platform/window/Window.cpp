// Classes, creation and destruction of windows, user data.
#include "platform/window/Message.h"
#include "platform/window/MessageDelivery.h"
#include "platform/window/WindowTable.h"

namespace platform {

using window_internal::CurrentQueue;
using window_internal::FindOwnWindow;
using window_internal::WindowObject;
using window_internal::WindowTable;

bool RegisterWindowClass(std::u16string_view class_name, WindowProcedure procedure) {
    return WindowTable::Instance().RegisterClass(class_name, procedure);
}

WindowHandle CreateWindowOfClass(std::u16string_view class_name, std::u16string_view title,
                                 std::uint32_t style, int x, int y, int width, int height,
                                 WindowHandle parent, MessageLong create_param) {
    WindowTable& table = WindowTable::Instance();
    WindowProcedure procedure = table.FindClass(class_name);
    if (procedure == nullptr || (parent != 0 && table.Find(parent) == nullptr)) {
        return 0;
    }
    auto window = std::make_shared<WindowObject>();
    window->procedure = procedure;
    window->class_name = class_name;
    window->title = title;
    window->style = style;
    window->x = x;
    window->y = y;
    window->width = width;
    window->height = height;
    window->parent = parent;
    window->owner = CurrentQueue();
    const WindowHandle handle = table.Add(std::move(window));
    // A procedure that refuses its creation with -1, or destroys the window
    // meanwhile, gets no window, as there.
    if (procedure(handle, kMsgCreate, 0, create_param) == -1) {
        DestroyWindowHandle(handle);
    }
    return IsWindowHandle(handle) ? handle : 0;
}

bool DestroyWindowHandle(WindowHandle window) {
    std::shared_ptr<WindowObject> target = FindOwnWindow(window);
    if (target == nullptr || target->destroying) {
        return false;
    }
    target->destroying = true;
    target->procedure(window, kMsgDestroy, 0, 0);
    // Children go after their parent has seen its own kMsgDestroy, as there.
    for (WindowHandle child : WindowTable::Instance().ChildrenOf(window)) {
        DestroyWindowHandle(child);
    }
    WindowTable::Instance().Remove(window);
    window_internal::AnswerWithZero(target->owner->PurgeWindow(window));
    return true;
}

bool IsWindowHandle(WindowHandle window) {
    return window != 0 && WindowTable::Instance().Find(window) != nullptr;
}

WindowHandle FindTopLevelWindow(std::u16string_view title) {
    return WindowTable::Instance().FindTopLevel(title);
}

MessageLong SetWindowUserData(WindowHandle window, MessageLong value) {
    std::shared_ptr<WindowObject> target = WindowTable::Instance().Find(window);
    return target == nullptr ? 0 : target->user_data.exchange(value);
}

MessageLong GetWindowUserData(WindowHandle window) {
    std::shared_ptr<WindowObject> target = WindowTable::Instance().Find(window);
    return target == nullptr ? 0 : target->user_data.load();
}

MessageResult DefaultWindowProcedure(WindowHandle window, std::uint32_t message,
                                     MessageParam /*wParam*/, MessageLong /*lParam*/) {
    if (message == kMsgClose) {
        DestroyWindowHandle(window);
    }
    return 0;
}

}  // namespace platform
