#include "platform/window/WindowBase.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "platform/window/FrameworkInternal.h"
#include "platform/window/Menu.h"
#include "platform/window/WindowTable.h"

namespace platform {

using framework_internal::kDialogClassName;
using framework_internal::kPlainWindowClassName;

struct WindowBaseAccess {
    static void SetHandle(WindowBase& object, WindowHandle handle) { object.handle_ = handle; }
};

namespace {

// What the framework knows of a window: its object, the procedure beneath
// the object and its font.
struct Binding {
    WindowBase* object = nullptr;
    WindowProcedure beneath = nullptr;
    bool routed = false;   // the window's procedure is FrameworkProcedure
    bool swapped = false;  // routed by subclassing: beneath is its old procedure
    bool gone = false;     // past kMsgDestroy
    std::shared_ptr<const gfx::Font> font;
};

class BindingTable {
  public:
    static BindingTable& Instance() {
        static BindingTable* table = new BindingTable;
        return *table;
    }

    std::mutex mutex;
    std::unordered_map<WindowHandle, Binding> bindings;           // guarded by mutex
    std::unordered_map<std::u16string, WindowProcedure> builtin;  // guarded by mutex

    // Drops bindings of windows that are gone once the table has grown.
    void PruneLocked() {
        if (bindings.size() < prune_at_) {
            return;
        }
        std::erase_if(bindings, [](const auto& entry) {
            return entry.second.object == nullptr && !IsWindowHandle(entry.first);
        });
        prune_at_ = bindings.size() * 2 + 64;
    }

  private:
    std::size_t prune_at_ = 64;
};

thread_local WindowBase* t_creating = nullptr;

MessageResult FrameworkProcedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                                 MessageLong lParam);

MessageResult CallBeneath(WindowProcedure beneath, WindowHandle window, std::uint32_t message,
                          MessageParam wParam, MessageLong lParam) {
    return beneath == nullptr ? DefaultWindowProcedure(window, message, wParam, lParam)
                              : beneath(window, message, wParam, lParam);
}

// Children of this thread go before their parent is unbound, so every
// object sees its own kMsgDestroy while its parent's object is still there.
void DestroyOwnChildren(WindowHandle window) {
    for (WindowHandle child : window_internal::WindowTable::Instance().ChildrenOf(window)) {
        std::shared_ptr<window_internal::WindowObject> object =
            window_internal::WindowTable::Instance().Find(child);
        if (object != nullptr && object->owner->IsOwnedByCurrentThread()) {
            DestroyWindowHandle(child);
        }
    }
}

void Unbind(WindowHandle window, bool restore_procedure) {
    WindowBase* object = nullptr;
    {
        BindingTable& table = BindingTable::Instance();
        std::lock_guard<std::mutex> lock(table.mutex);
        auto found = table.bindings.find(window);
        if (found == table.bindings.end()) {
            return;
        }
        object = found->second.object;
        found->second.object = nullptr;
        if (restore_procedure && found->second.swapped) {
            if (auto target = window_internal::WindowTable::Instance().Find(window)) {
                target->procedure = found->second.beneath;
            }
            found->second.routed = false;
            found->second.swapped = false;
            found->second.beneath = nullptr;
        }
    }
    if (object != nullptr) {
        WindowBaseAccess::SetHandle(*object, 0);
    }
}

MessageResult FrameworkProcedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                                 MessageLong lParam) {
    BindingTable& table = BindingTable::Instance();
    WindowBase* object = nullptr;
    WindowProcedure beneath = nullptr;
    bool first = false;
    bool known = false;
    {
        std::lock_guard<std::mutex> lock(table.mutex);
        auto found = table.bindings.find(window);
        if (found != table.bindings.end() && found->second.routed) {
            known = true;
            object = found->second.gone ? nullptr : found->second.object;
            beneath = found->second.beneath;
        }
    }
    if (!known) {
        // The first message of a window of a framework class.
        const std::u16string class_name = GetWindowClassName(window);
        std::lock_guard<std::mutex> lock(table.mutex);
        table.PruneLocked();
        Binding& binding = table.bindings[window];
        binding.routed = true;
        auto builtin = table.builtin.find(class_name);
        binding.beneath = builtin == table.builtin.end() ? nullptr : builtin->second;
        if (t_creating != nullptr) {
            binding.object = t_creating;
            t_creating = nullptr;
            first = true;
        }
        object = binding.object;
        beneath = binding.beneath;
    }
    if (first) {
        WindowBaseAccess::SetHandle(*object, window);
        object->PreSubclassWindow();
    }
    if (object == nullptr) {
        const MessageResult result = CallBeneath(beneath, window, message, wParam, lParam);
        if (message == kMsgDestroy) {
            std::lock_guard<std::mutex> lock(table.mutex);
            auto found = table.bindings.find(window);
            if (found != table.bindings.end()) {
                found->second.gone = true;
            }
        }
        return result;
    }
    const MessageResult result = object->WindowProc(message, wParam, lParam);
    if (message == kMsgDestroy) {
        DestroyOwnChildren(window);
        {
            std::lock_guard<std::mutex> lock(table.mutex);
            auto found = table.bindings.find(window);
            if (found != table.bindings.end()) {
                found->second.gone = true;
            }
        }
        // The object may have been unbound (or even bound anew) meanwhile.
        if (object->Handle() == window) {
            Unbind(window, false);
            object->OnWindowGone();
        }
    }
    return result;
}

}  // namespace

void RegisterFrameworkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct ClassEntry {
            std::u16string_view name;
            WindowProcedure builtin;
            std::uint32_t class_style;
        };
        const ClassEntry classes[] = {
            {kPlainWindowClassName, &DefaultWindowProcedure, 0},
            {kDialogClassName, &DefaultWindowProcedure, 0},
            {u"Button", &framework_internal::ButtonClassProcedure, kClassDoubleClicks},
            {u"Static", &framework_internal::StaticClassProcedure, 0},
            {u"msctls_progress32", &framework_internal::ProgressClassProcedure, 0},
            {framework_internal::kMenuClassName, &framework_internal::MenuClassProcedure, 0},
        };
        BindingTable& table = BindingTable::Instance();
        for (const ClassEntry& entry : classes) {
            {
                std::lock_guard<std::mutex> lock(table.mutex);
                table.builtin[std::u16string(entry.name)] = entry.builtin;
            }
            RegisterWindowClassEx(entry.name, &FrameworkProcedure, entry.class_style);
        }
    });
}

void SetWindowFont(WindowHandle window, std::shared_ptr<const gfx::Font> font) {
    if (!IsWindowHandle(window)) {
        return;
    }
    BindingTable& table = BindingTable::Instance();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.PruneLocked();
    table.bindings[window].font = std::move(font);
}

std::shared_ptr<const gfx::Font> GetWindowFont(WindowHandle window) {
    BindingTable& table = BindingTable::Instance();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto found = table.bindings.find(window);
    return found == table.bindings.end() ? nullptr : found->second.font;
}

WindowHandle TopLevelOf(WindowHandle window) {
    WindowHandle h = window;
    while (h != 0 && (GetWindowStyle(h) & kStyleChild) != 0) {
        const WindowHandle parent = GetParentWindow(h);
        if (parent == 0) {
            break;
        }
        h = parent;
    }
    return h;
}

bool PreTranslateThroughAncestors(Message& message) {
    for (WindowHandle h = message.window; h != 0;
         h = (GetWindowStyle(h) & kStyleChild) != 0 ? GetParentWindow(h) : 0) {
        WindowBase* object = WindowBase::FromHandle(h);
        if (object != nullptr && object->PreTranslateMessage(message)) {
            return true;
        }
    }
    return false;
}

int RunWindowMessageLoop() {
    Message message;
    while (GetNextMessage(message)) {
        if (!PreTranslateThroughAncestors(message)) {
            DispatchMessageToWindow(message);
        }
    }
    return static_cast<int>(message.wParam);
}

// --- WindowBase ---

WindowBase::WindowBase() = default;

WindowBase::~WindowBase() {
    const WindowHandle window = handle_;
    if (window == 0) {
        return;
    }
    // Unbound first: the window's last messages must not reach a half-gone
    // object.
    Unbind(window, true);
    std::shared_ptr<window_internal::WindowObject> target =
        window_internal::WindowTable::Instance().Find(window);
    if (target != nullptr && target->owner->IsOwnedByCurrentThread()) {
        DestroyWindowHandle(window);
    }
}

WindowBase* WindowBase::FromHandle(WindowHandle window) {
    BindingTable& table = BindingTable::Instance();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto found = table.bindings.find(window);
    return found == table.bindings.end() || found->second.gone ? nullptr : found->second.object;
}

bool WindowBase::CreateChild(std::u16string_view class_name, std::u16string_view text,
                             std::uint32_t style, const gfx::Rect& rect, WindowHandle parent,
                             int id) {
    WindowCreation creation;
    creation.class_name = class_name;
    creation.title = text;
    creation.style = style | kStyleChild;
    creation.rect = rect;
    creation.parent = parent;
    creation.id = id;
    return Create(creation);
}

bool WindowBase::Create(const WindowCreation& creation) {
    if (handle_ != 0) {
        return false;
    }
    RegisterFrameworkClasses();
    WindowCreation adjusted = creation;
    if (adjusted.class_name.empty()) {
        adjusted.class_name = kPlainWindowClassName;
    }
    bool framework_class = false;
    {
        BindingTable& table = BindingTable::Instance();
        std::lock_guard<std::mutex> lock(table.mutex);
        framework_class = table.builtin.count(std::u16string(adjusted.class_name)) != 0;
    }
    WindowBase* const outer = t_creating;
    t_creating = framework_class ? this : nullptr;
    const WindowHandle window = CreateWindowWith(adjusted);
    t_creating = outer;
    if (window == 0) {
        if (handle_ != 0) {
            Unbind(handle_, false);
        }
        handle_ = 0;
        return false;
    }
    if (!framework_class) {
        return SubclassWindow(window);
    }
    return handle_ == window;
}

bool WindowBase::SubclassWindow(WindowHandle window) {
    if (handle_ != 0 || FromHandle(window) != nullptr) {
        return false;
    }
    std::shared_ptr<window_internal::WindowObject> target = window_internal::FindOwnWindow(window);
    if (target == nullptr || target->destroying) {
        return false;
    }
    handle_ = window;
    PreSubclassWindow();
    BindingTable& table = BindingTable::Instance();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.PruneLocked();
    Binding& binding = table.bindings[window];
    if (!binding.routed) {
        binding.beneath = target->procedure;
        binding.routed = true;
        binding.swapped = true;
        target->procedure = &FrameworkProcedure;
    }
    binding.object = this;
    binding.gone = false;
    return true;
}

bool WindowBase::SubclassDlgItem(int id, WindowHandle parent) {
    const WindowHandle control = FindChildById(parent, id);
    return control != 0 && SubclassWindow(control);
}

WindowHandle WindowBase::UnsubclassWindow() {
    const WindowHandle window = handle_;
    if (window != 0) {
        Unbind(window, true);
    }
    return window;
}

bool WindowBase::DestroyWindow() {
    return handle_ != 0 && DestroyWindowHandle(handle_);
}

MessageResult WindowBase::WindowProc(std::uint32_t message, MessageParam wParam,
                                     MessageLong lParam) {
    const Message outer = current_;
    current_ = Message{handle_, message, wParam, lParam};
    MessageResult result = 0;
    bool handled = false;
    for (const MessageMap* map = GetMessageMap(); map != nullptr && !handled;
         map = map->base == nullptr ? nullptr : map->base()) {
        for (const MessageMapEntry& entry : map->entries) {
            if (!entry.Matches(message, wParam)) {
                continue;
            }
            if (entry.on_message != nullptr) {
                result = (this->*entry.on_message)(wParam, lParam);
            } else {
                (this->*entry.on_command)(CommandId(wParam));
            }
            handled = true;
            break;
        }
    }
    if (!handled) {
        result = DefaultProcessing();
    }
    current_ = outer;
    return result;
}

bool MessageMapEntry::Matches(std::uint32_t msg, MessageParam wParam) const {
    if (msg != message) {
        return false;
    }
    if (!is_command) {
        return true;
    }
    const int id = CommandId(wParam);
    return CommandCode(wParam) == code && id >= first_id && id <= last_id;
}

bool WindowBase::PreTranslateMessage(Message& /*message*/) {
    return false;
}

void WindowBase::PreSubclassWindow() {}

void WindowBase::DrawItem(const DrawItemInfo& /*info*/) {}

void WindowBase::OnWindowGone() {}

MessageResult WindowBase::DefaultProcessing() {
    return CallProcedureBeneath(current_.message, current_.wParam, current_.lParam);
}

MessageResult WindowBase::CallProcedureBeneath(std::uint32_t message, MessageParam wParam,
                                               MessageLong lParam) {
    const WindowHandle window = handle_;
    if (window == 0) {
        return 0;
    }
    WindowProcedure beneath = nullptr;
    {
        BindingTable& table = BindingTable::Instance();
        std::lock_guard<std::mutex> lock(table.mutex);
        auto found = table.bindings.find(window);
        if (found != table.bindings.end()) {
            beneath = found->second.beneath;
        }
    }
    return CallBeneath(beneath, window, message, wParam, lParam);
}

const MessageMap* WindowBase::StaticMessageMap() {
    static const MessageMapEntry kEntries[] = {
        MapMessage(kMsgDrawItem, &WindowBase::OnDrawItem),
        MapMessage(kMsgContextMenu, &WindowBase::OnContextMenu),
        MapMessage(kMsgSysCommand, &WindowBase::OnSysCommand),
    };
    static const MessageMap kMap{nullptr, kEntries};
    return &kMap;
}

const MessageMap* WindowBase::GetMessageMap() const {
    return StaticMessageMap();
}

MessageResult WindowBase::OnDrawItem(MessageParam /*wParam*/, MessageLong lParam) {
    const auto* info = reinterpret_cast<const DrawItemInfo*>(lParam);
    if (info != nullptr) {
        WindowBase* control = FromHandle(info->window);
        if (control != nullptr && control != this) {
            control->DrawItem(*info);
            return 1;
        }
    }
    return DefaultProcessing();
}

MessageResult WindowBase::OnContextMenu(MessageParam wParam, MessageLong lParam) {
    if (static_cast<WindowHandle>(wParam) == handle_ && (Style() & kStyleSysMenu) != 0) {
        ShowSystemMenu(handle_, Point{PointX(lParam), PointY(lParam)});
        return 0;
    }
    // Unhandled, it goes up to the parent, as there.
    if ((Style() & kStyleChild) != 0 && Parent() != 0) {
        return SendMessageTo(Parent(), kMsgContextMenu, wParam, lParam);
    }
    return DefaultProcessing();
}

MessageResult WindowBase::OnSysCommand(MessageParam wParam, MessageLong /*lParam*/) {
    switch (wParam & 0xFFF0) {
        case kSysCommandClose:
            Send(kMsgClose);
            return 0;
        case kSysCommandMinimize:
            ShowWindowAs(handle_, kShowMinimize);
            return 0;
        case kSysCommandRestore:
            ShowWindowAs(handle_, kShowRestore);
            return 0;
        default:
            return DefaultProcessing();
    }
}

// --- Conveniences ---

bool WindowBase::Show(int show_command) {
    return ShowWindowAs(handle_, show_command);
}

bool WindowBase::MoveTo(int x, int y, int width, int height, bool repaint) {
    return MoveWindowTo(handle_, x, y, width, height, repaint);
}

bool WindowBase::MoveTo(const gfx::Rect& rect, bool repaint) {
    return MoveTo(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

void WindowBase::Invalidate(bool erase) {
    InvalidateWindow(handle_, std::nullopt, erase);
}

void WindowBase::InvalidatePart(const gfx::Rect& rect, bool erase) {
    InvalidateWindow(handle_, rect, erase);
}

void WindowBase::UpdateNow() {
    UpdateWindowNow(handle_);
}

void WindowBase::SetRegion(std::optional<gfx::Region> region, bool redraw) {
    SetWindowRegion(handle_, std::move(region), redraw);
}

void WindowBase::SetText(std::u16string_view text) {
    const std::u16string copy(text);
    Send(kMsgSetText, 0, reinterpret_cast<MessageLong>(copy.c_str()));
}

std::u16string WindowBase::Text() const {
    return GetWindowTitle(handle_);
}

WindowHandle WindowBase::GetDlgItem(int id) const {
    return FindChildById(handle_, id);
}

MessageResult WindowBase::Send(std::uint32_t message, MessageParam wParam, MessageLong lParam) {
    return SendMessageTo(handle_, message, wParam, lParam);
}

bool WindowBase::Post(std::uint32_t message, MessageParam wParam, MessageLong lParam) {
    return PostMessageTo(handle_, message, wParam, lParam);
}

bool WindowBase::SetTimer(std::uintptr_t id, std::uint32_t elapse_ms) {
    return SetWindowTimer(handle_, id, elapse_ms);
}

bool WindowBase::KillTimer(std::uintptr_t id) {
    return KillWindowTimer(handle_, id);
}

gfx::Rect WindowBase::ClientRect() const {
    return GetClientRectOf(handle_);
}

gfx::Rect WindowBase::ScreenRect() const {
    return GetWindowScreenRect(handle_);
}

gfx::Rect WindowBase::Placement() const {
    return GetWindowPlacement(handle_);
}

bool WindowBase::IsVisible() const {
    return IsWindowShown(handle_);
}

bool WindowBase::IsEnabled() const {
    return IsWindowEnabledState(handle_);
}

bool WindowBase::Enable(bool enable) {
    return EnableWindowInput(handle_, enable);
}

std::uint32_t WindowBase::Style() const {
    return GetWindowStyle(handle_);
}

std::uint32_t WindowBase::ExStyle() const {
    return GetWindowExStyle(handle_);
}

void WindowBase::ModifyStyle(std::uint32_t remove, std::uint32_t add) {
    SetWindowStyle(handle_, (Style() & ~remove) | add);
}

void WindowBase::ModifyExStyle(std::uint32_t remove, std::uint32_t add) {
    SetWindowExStyle(handle_, (ExStyle() & ~remove) | add);
}

int WindowBase::Id() const {
    return GetWindowId(handle_);
}

WindowHandle WindowBase::Parent() const {
    return GetParentWindow(handle_);
}

void WindowBase::SetIcon(const gfx::Icon* icon, bool big) {
    SetWindowIconOf(handle_, big, icon);
}

void WindowBase::SetFont(std::shared_ptr<const gfx::Font> font) {
    SetWindowFont(handle_, std::move(font));
}

std::shared_ptr<const gfx::Font> WindowBase::GetFont() const {
    return GetWindowFont(handle_);
}

Menu* WindowBase::GetSystemMenu() {
    return SystemMenuOf(handle_);
}

}  // namespace platform
