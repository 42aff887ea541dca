// Classes, creation and destruction of windows, user data.
#include "platform/window/Message.h"
#include "platform/window/MessageDelivery.h"
#include "platform/window/WindowTable.h"
#include "platform/window/WindowUi.h"
#include "platform/window/WindowUiInternal.h"

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
    WindowCreation creation;
    creation.class_name = class_name;
    creation.title = title;
    creation.style = style;
    creation.rect = Rect::FromSize(x, y, width, height);
    creation.parent = parent;
    creation.create_param = create_param;
    return CreateWindowWith(creation);
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
    window_internal::ForgetWindow(target);
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
                                     MessageParam wParam, MessageLong lParam) {
    switch (message) {
        case kMsgClose:
            DestroyWindowHandle(window);
            return 0;
        case kMsgNcHitTest:
            return kHitClient;
        case kMsgSetText: {
            std::shared_ptr<WindowObject> target = FindOwnWindow(window);
            if (target == nullptr) {
                return 0;
            }
            const auto* text = reinterpret_cast<const char16_t*>(lParam);
            WindowTable::Instance().SetTitle(*target, text == nullptr ? u"" : text);
            return 1;
        }
        case kMsgSysCommand:
            switch (wParam & 0xFFF0) {
                case kSysCommandClose:
                    SendMessageTo(window, kMsgClose, 0, 0);
                    break;
                case kSysCommandMinimize:
                    ShowWindowAs(window, kShowMinimize);
                    break;
                case kSysCommandRestore:
                    ShowWindowAs(window, kShowRestore);
                    break;
                default:
                    break;
            }
            return 0;
        default:
            return 0;
    }
}

}  // namespace platform
