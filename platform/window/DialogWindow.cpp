#include "platform/window/DialogWindow.h"

#include <cstdlib>

#include "platform/window/ButtonControl.h"
#include "platform/window/FrameworkInternal.h"

namespace platform {

namespace {

// a × b ÷ c rounded half away from zero, as the platform's MulDiv.
int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(static_cast<long long>(c)) / 2;
    const long long rounded = (product >= 0) == (c > 0)
                                  ? (std::llabs(product) + half) / std::llabs(c)
                                  : -((std::llabs(product) + half) / std::llabs(c));
    return static_cast<int>(rounded);
}

bool IsWithin(WindowHandle ancestor, WindowHandle window) {
    for (WindowHandle h = window; h != 0;
         h = (GetWindowStyle(h) & kStyleChild) != 0 ? GetParentWindow(h) : 0) {
        if (h == ancestor) {
            return true;
        }
    }
    return false;
}

WindowHandle FirstTabStop(WindowHandle dialog) {
    for (WindowHandle child : ChildrenInDialogOrder(dialog)) {
        const std::uint32_t style = GetWindowStyle(child);
        if ((style & kStyleTabStop) != 0 && (style & kStyleVisible) != 0 &&
            (style & kStyleDisabled) == 0) {
            return child;
        }
    }
    return 0;
}

}  // namespace

DialogBaseUnits BaseUnitsOfFont(const gfx::Font& font) {
    return DialogBaseUnits{font.AverageCharWidth(), font.LineHeight()};
}

std::shared_ptr<const gfx::Font> DialogFontFor(std::u16string_view face, int points) {
    gfx::FontDescription description;
    description.height = -MulDiv(points, 96, 72);
    description.face = std::u16string(face);
    return gfx::Font::Create(description);
}

gfx::Rect DialogUnitsToPixels(const gfx::Rect& units, DialogBaseUnits base) {
    return gfx::Rect{MulDiv(units.left, base.cx, 4), MulDiv(units.top, base.cy, 8),
                     MulDiv(units.right, base.cx, 4), MulDiv(units.bottom, base.cy, 8)};
}

DialogWindow::DialogWindow(int template_id, WindowHandle parent)
    : template_id_(template_id),
      owner_(parent),
      face_brush_(gfx::Brush::Solid(gfx::kButtonFaceColor)) {}

DialogWindow::~DialogWindow() = default;

gfx::Rect DialogWindow::MapDialogRect(const gfx::Rect& units) const {
    return DialogUnitsToPixels(units, base_units_);
}

bool DialogWindow::CreateFromTemplate(WindowHandle owner) {
    const DialogTemplate* dialog = FindDialogResource(template_id_);
    if (dialog == nullptr || HasWindow()) {
        return false;
    }
    RegisterFrameworkClasses();
    owner_ = owner;
    ended_ = false;
    result_ = -1;
    font_ = DialogFontFor(dialog->font_face, dialog->font_points);
    base_units_ = BaseUnitsOfFont(*font_);

    gfx::Rect rect =
        MapDialogRect(gfx::Rect::FromSize(dialog->x, dialog->y, dialog->width, dialog->height));
    // A popup's template position is relative to its owner's client area.
    if ((dialog->style & kStyleChild) == 0 && owner != 0) {
        const Point origin = ClientToScreen(owner, Point{0, 0});
        rect = rect.Offset(origin.x, origin.y);
    }
    WindowCreation creation;
    creation.class_name = framework_internal::kDialogClassName;
    creation.title = dialog->caption;
    creation.style = dialog->style & ~kStyleVisible;
    creation.ex_style = dialog->ex_style;
    creation.rect = rect;
    creation.parent = owner;
    if (!Create(creation)) {
        return false;
    }
    SetFont(font_);
    for (const DialogControlTemplate& control : dialog->controls) {
        WindowCreation child;
        child.class_name = control.class_name;
        child.title = control.text;
        child.style = control.style | kStyleChild;
        child.ex_style = control.ex_style;
        child.rect =
            MapDialogRect(gfx::Rect::FromSize(control.x, control.y, control.width, control.height));
        child.parent = Handle();
        child.id = control.id;
        const WindowHandle made = CreateWindowWith(child);
        if (made == 0) {
            // A control of an unknown class fails the dialog, as there.
            DestroyWindow();
            return false;
        }
        SetWindowFont(made, font_);
    }
    const WindowHandle focus = FirstTabStop(Handle());
    if (Send(kMsgInitDialog, focus, 0) != 0 && HasWindow()) {
        const WindowHandle first = FirstTabStop(Handle());
        if (first != 0) {
            SetKeyboardFocus(first);
        }
    }
    if (HasWindow() && (dialog->style & kStyleVisible) != 0 && !ended_) {
        Show(kShowNormal);
    }
    return HasWindow();
}

int DialogWindow::DoModal() {
    if (HasWindow() || FindDialogResource(template_id_) == nullptr) {
        return -1;
    }
    const WindowHandle owner = owner_;
    // The owner is disabled before the dialog exists, as there, so nothing
    // reaches it meanwhile.
    const bool owner_enabled = owner != 0 && IsWindowEnabledState(owner);
    if (owner_enabled) {
        EnableWindowInput(owner, false);
    }
    modal_ = true;
    const bool created = CreateFromTemplate(owner);
    bool show_on_idle = created && !ended_ && !IsVisible();
    Message message;
    while (created && !ended_ && HasWindow()) {
        if (show_on_idle && !PeekNextMessage(message, false)) {
            show_on_idle = false;
            if (!IsVisible()) {
                Show(kShowNormal);
            }
            continue;
        }
        if (!GetNextMessage(message)) {
            PostQuitToThread(static_cast<int>(message.wParam));
            break;
        }
        if (!PreTranslateThroughAncestors(message)) {
            DispatchMessageToWindow(message);
        }
    }
    // The owner comes back before the dialog goes, so it can take the
    // activation back.
    if (owner_enabled) {
        EnableWindowInput(owner, true);
    }
    if (HasWindow()) {
        Show(kShowHide);
        DestroyWindow();
    }
    modal_ = false;
    return created ? result_ : -1;
}

bool DialogWindow::CreateModeless(WindowHandle parent) {
    modal_ = false;
    return CreateFromTemplate(parent);
}

void DialogWindow::EndDialog(int result) {
    if (!ended_) {
        result_ = result;
        ended_ = true;
    }
    if (!HasWindow()) {
        return;
    }
    if (modal_) {
        // Wakes the loop when this ran inside a sent message.
        Post(kMsgNull);
    } else {
        Show(kShowHide);
    }
}

bool DialogWindow::OnInitDialog() {
    DoDataExchange();
    return true;
}

void DialogWindow::OnOK() {
    EndDialog(kIdOk);
}

void DialogWindow::OnCancel() {
    EndDialog(kIdCancel);
}

void DialogWindow::DoDataExchange() {}

bool DialogWindow::BindControl(int id, WindowBase& object) {
    if (object.Handle() != 0) {
        return object.Handle() == GetDlgItem(id);
    }
    return object.SubclassDlgItem(id, Handle());
}

bool DialogWindow::PreTranslateMessage(Message& message) {
    return HandleDialogKey(message);
}

bool DialogWindow::HandleDialogKey(const Message& message) {
    if (message.message != kMsgKeyDown || !HasWindow() || !IsWithin(Handle(), message.window)) {
        return false;
    }
    int command = 0;
    if (message.wParam == kKeyReturn) {
        command = kIdOk;
        const WindowHandle focus = GetKeyboardFocus();
        if (focus != Handle() && IsWithin(Handle(), focus) &&
            GetWindowClassName(focus) == kButtonClassName) {
            const std::uint32_t type = GetWindowStyle(focus) & kButtonTypeMask;
            if (type == kButtonPush || type == kButtonDefPush) {
                command = GetWindowId(focus);
            }
        }
    } else if (message.wParam == kKeyEscape) {
        command = kIdCancel;
    } else {
        return false;
    }
    Send(kMsgCommand, MakeCommandParam(command, kButtonClicked),
         static_cast<MessageLong>(GetDlgItem(command)));
    return true;
}

VELA_MESSAGE_MAP(DialogWindow, WindowBase,
                 MapMessage(kMsgInitDialog, &DialogWindow::OnInitDialogMessage),
                 MapMessage(kMsgEraseBackground, &DialogWindow::OnEraseBackground),
                 MapMessage(kMsgPaint, &DialogWindow::OnPaint),
                 MapMessage(kMsgCtlColorStatic, &DialogWindow::OnCtlColor),
                 MapMessage(kMsgCtlColorButton, &DialogWindow::OnCtlColor),
                 MapMessage(kMsgCtlColorDialog, &DialogWindow::OnCtlColor),
                 MapMessage(kMsgClose, &DialogWindow::OnClose),
                 MapCommand(kIdOk, &DialogWindow::OnOkCommand),
                 MapCommand(kIdCancel, &DialogWindow::OnCancelCommand))

MessageResult DialogWindow::OnInitDialogMessage(MessageParam /*wParam*/, MessageLong /*lParam*/) {
    return OnInitDialog() ? 1 : 0;
}

MessageResult DialogWindow::OnEraseBackground(MessageParam wParam, MessageLong /*lParam*/) {
    gfx::DeviceContext* dc = ContextFromParam(wParam);
    if (dc == nullptr) {
        return 0;
    }
    const gfx::Brush* brush =
        BrushFromResult(Send(kMsgCtlColorDialog, wParam, static_cast<MessageLong>(Handle())));
    (brush != nullptr ? *brush : face_brush_).Fill(*dc, ClientRect());
    return 1;
}

MessageResult DialogWindow::OnPaint(MessageParam /*wParam*/, MessageLong /*lParam*/) {
    // The erase has drawn the face; the controls paint themselves.
    PaintScope scope(Handle());
    return 0;
}

MessageResult DialogWindow::OnCtlColor(MessageParam wParam, MessageLong /*lParam*/) {
    if (gfx::DeviceContext* dc = ContextFromParam(wParam)) {
        dc->SetTextColor(gfx::kButtonTextColor);
        dc->SetBackgroundColor(gfx::kButtonFaceColor);
    }
    return BrushResult(&face_brush_);
}

MessageResult DialogWindow::OnClose(MessageParam /*wParam*/, MessageLong /*lParam*/) {
    OnCancel();
    return 0;
}

void DialogWindow::OnOkCommand(int /*id*/) {
    OnOK();
}

void DialogWindow::OnCancelCommand(int /*id*/) {
    OnCancel();
}

}  // namespace platform
