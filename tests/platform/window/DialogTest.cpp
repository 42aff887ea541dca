#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/window/ButtonControl.h"
#include "platform/window/DialogWindow.h"
#include "platform/window/Menu.h"
#include "platform/window/NotifyIcon.h"
#include "platform/window/StaticControl.h"
#include "tests/platform/Watchdog.h"
#include "tests/platform/window/FrameworkFixture.h"

namespace platform {
namespace {

constexpr int kVisibleDialog = 1;
constexpr int kHiddenDialog = 2;
constexpr int kNinePointDialog = 3;
constexpr int kPushButtonId = 7;
constexpr int kCheckBoxId = 8;
constexpr int kTextId = 50;
constexpr std::uint32_t kMsgRun = kMsgUser + 10;

DialogControlTemplate Control(std::u16string class_name, int id, std::uint32_t style, int x, int y,
                              int width, int height) {
    DialogControlTemplate control;
    control.class_name = std::move(class_name);
    control.id = id;
    control.style = kStyleChild | kStyleVisible | style;
    control.x = x;
    control.y = y;
    control.width = width;
    control.height = height;
    return control;
}

DialogTemplate MakeTemplate(std::uint32_t style, int points) {
    DialogTemplate dialog;
    dialog.style = kStylePopup | kStyleSysMenu | style;
    dialog.x = 0;
    dialog.y = 0;
    dialog.width = 160;
    dialog.height = 80;
    dialog.font_points = points;
    dialog.controls = {
        Control(u"Static", kTextId, 0, 4, 4, 60, 10),
        Control(u"Button", kCheckBoxId, kButtonAutoCheckBox | kStyleTabStop, 10, 20, 40, 12),
        Control(u"Button", kPushButtonId, kButtonPush | kStyleTabStop, 60, 20, 40, 14),
    };
    return dialog;
}

const DialogTemplate kVisible = MakeTemplate(kStyleVisible, 8);
const DialogTemplate kHidden = MakeTemplate(0, 8);
const DialogTemplate kNinePoint = MakeTemplate(kStyleVisible, 9);
const std::pair<int, const DialogTemplate*> kDialogs[] = {
    {kVisibleDialog, &kVisible}, {kHiddenDialog, &kHidden}, {kNinePointDialog, &kNinePoint}};

constexpr int kTrayMenuId = 215;
constexpr std::uint32_t kExitCommand = 32773;
MenuTemplate MakeTrayMenu() {
    MenuItemTemplate exit;
    exit.command = kExitCommand;
    exit.text = u"Exit";
    MenuItemTemplate popup;
    popup.text = u"托盘";
    popup.popup = {exit};
    MenuTemplate menu;
    menu.items = {popup};
    return menu;
}
const MenuTemplate kTrayMenu = MakeTrayMenu();
const std::pair<int, const MenuTemplate*> kMenus[] = {{kTrayMenuId, &kTrayMenu}};

ResourceModule MakeModule() {
    ResourceModule module;
    module.program = u"DialogTest";
    module.dialogs = kDialogs;
    module.menus = kMenus;
    return module;
}
const ResourceModule kModule = MakeModule();

// A dialog that runs a step of the test once its loop runs, and ends on
// command kPushButtonId with that id.
class ScriptedDialog : public DialogWindow {
  public:
    using DialogWindow::DialogWindow;
    std::function<void(ScriptedDialog&)> on_run;
    std::function<bool(Message&)> pre_translate;
    bool visible_at_run = false;
    bool owner_enabled_at_run = true;

    bool OnInitDialog() override {
        DialogWindow::OnInitDialog();
        Post(kMsgRun);
        return true;
    }
    bool PreTranslateMessage(Message& message) override {
        if (pre_translate && pre_translate(message)) {
            return true;
        }
        return DialogWindow::PreTranslateMessage(message);
    }

    VELA_DECLARE_MESSAGE_MAP();
    MessageResult OnRun(MessageParam, MessageLong) {
        visible_at_run = IsVisible();
        owner_enabled_at_run = Owner() == 0 || IsWindowEnabledState(Owner());
        if (on_run) {
            on_run(*this);
        }
        return 0;
    }
    MessageResult OnTimer(MessageParam wParam, MessageLong) {
        KillTimer(wParam);
        EndDialog(static_cast<int>(wParam));
        return 0;
    }
    void OnPush(int id) { EndDialog(id); }
};

VELA_MESSAGE_MAP(ScriptedDialog, DialogWindow, MapMessage(kMsgRun, &ScriptedDialog::OnRun),
                 MapMessage(kMsgTimer, &ScriptedDialog::OnTimer),
                 MapCommand(kPushButtonId, &ScriptedDialog::OnPush))

class DialogTest : public testsupport::FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        InstallResourceModule(&kModule);
    }
    testsupport::Watchdog watchdog_;
};

TEST_F(DialogTest, EndDialogFromATimerEndsTheLoopAndReenablesTheOwner) {
    WindowBase owner;
    ASSERT_TRUE(owner.Create(
        testsupport::Creation(kStylePopup | kStyleVisible, 0, Rect::FromSize(0, 0, 300, 200))));
    ScriptedDialog dialog(kVisibleDialog, owner.Handle());
    dialog.on_run = [](ScriptedDialog& d) { d.SetTimer(33, 10); };
    EXPECT_EQ(dialog.DoModal(), 33);
    EXPECT_FALSE(dialog.owner_enabled_at_run);
    EXPECT_TRUE(owner.IsEnabled());
    EXPECT_EQ(dialog.Handle(), 0u);
}

TEST_F(DialogTest, DialogKeysEndTheDialog) {
    struct Case {
        std::uint32_t key;
        int focus_id;
        int expected;
    };
    const Case cases[] = {
        {kKeyEscape, kCheckBoxId, kIdCancel},
        {kKeyReturn, kCheckBoxId, kIdOk},            // no push button focused: OK
        {kKeyReturn, kPushButtonId, kPushButtonId},  // the focused push button's command
    };
    for (const Case& c : cases) {
        ScriptedDialog dialog(kVisibleDialog);
        dialog.on_run = [&](ScriptedDialog& d) {
            SetKeyboardFocus(d.GetDlgItem(c.focus_id));
            display().PressKey(c.key);
        };
        EXPECT_EQ(dialog.DoModal(), c.expected) << "key " << c.key << " focus " << c.focus_id;
    }
}

TEST_F(DialogTest, AKeySwallowedBeforeTheBaseNeverReachesTheDialogKeys) {
    ScriptedDialog dialog(kVisibleDialog);
    dialog.pre_translate = [](Message& m) {
        return m.message == kMsgKeyDown && m.wParam == kKeyEscape;
    };
    dialog.on_run = [&](ScriptedDialog& d) {
        display().PressKey(kKeyEscape);
        d.SetTimer(44, 30);
    };
    EXPECT_EQ(dialog.DoModal(), 44);
}

TEST_F(DialogTest, CloseAndTheSystemCloseCancel) {
    ScriptedDialog posted(kVisibleDialog);
    posted.on_run = [](ScriptedDialog& d) { d.Post(kMsgClose); };
    EXPECT_EQ(posted.DoModal(), kIdCancel);

    ScriptedDialog requested(kVisibleDialog);
    requested.on_run = [&](ScriptedDialog& d) { display().RequestClose(d.Handle()); };
    EXPECT_EQ(requested.DoModal(), kIdCancel);
}

TEST_F(DialogTest, EndDialogInsideAMessageSentFromAnotherThreadWakesTheLoop) {
    ScriptedDialog dialog(kVisibleDialog);
    std::thread sender;
    dialog.on_run = [&](ScriptedDialog& d) {
        const WindowHandle target = d.Handle();
        sender = std::thread([target] {
            SendMessageTo(target, kMsgCommand, MakeCommandParam(kPushButtonId, kButtonClicked), 0);
        });
    };
    EXPECT_EQ(dialog.DoModal(), kPushButtonId);
    sender.join();
}

TEST_F(DialogTest, ATemplateWithoutVisibleStyleIsShownOnceTheLoopIsIdle) {
    ScriptedDialog visible(kVisibleDialog);
    visible.on_run = [](ScriptedDialog& d) { d.EndDialog(1); };
    EXPECT_EQ(visible.DoModal(), 1);
    EXPECT_TRUE(visible.visible_at_run);

    bool shown_when_idle = false;
    ScriptedDialog hidden(kHiddenDialog);
    hidden.on_run = [](ScriptedDialog& d) { d.SetTimer(9, 20); };
    hidden.pre_translate = [&](Message& m) {
        if (m.message == kMsgTimer) {
            shown_when_idle = IsWindowShown(m.window);
        }
        return false;
    };
    EXPECT_EQ(hidden.DoModal(), 9);
    EXPECT_FALSE(hidden.visible_at_run);  // a posted message is not idle yet
    EXPECT_TRUE(shown_when_idle);
}

TEST_F(DialogTest, ModalDialogOnAWorkerThreadDisablesAnOwnerOfTheInterfaceThread) {
    WindowBase owner;
    ASSERT_TRUE(owner.Create(
        testsupport::Creation(kStylePopup | kStyleVisible, 0, Rect::FromSize(0, 0, 300, 200))));
    std::atomic<WindowHandle> dialog_window{0};
    std::atomic<bool> finished{false};
    int result = 0;
    std::thread worker([&] {
        ScriptedDialog dialog(kVisibleDialog, owner.Handle());
        dialog.on_run = [&](ScriptedDialog& d) { dialog_window = d.Handle(); };
        result = dialog.DoModal();
        finished = true;
    });
    while (dialog_window == 0) {
        testsupport::PumpFrameworkUntilIdle();
        std::this_thread::yield();
    }
    EXPECT_FALSE(owner.IsEnabled());
    EXPECT_TRUE(PostMessageTo(dialog_window, kMsgCommand,
                              MakeCommandParam(kPushButtonId, kButtonClicked), 0));
    while (!finished) {
        testsupport::PumpFrameworkUntilIdle();
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_EQ(result, kPushButtonId);
    EXPECT_TRUE(owner.IsEnabled());
}

TEST_F(DialogTest, DialogUnitsFollowTheTemplateFont) {
    struct Case {
        DialogBaseUnits base;
        Rect units;
        Rect pixels;
    };
    // x = du × cx ÷ 4 and y = du × cy ÷ 8, halves rounded away from zero.
    const Case cases[] = {
        {{7, 16}, {10, 10, 20, 20}, {18, 20, 35, 40}},
        {{6, 15}, {3, 5, 0, 0}, {5, 9, 0, 0}},
        {{6, 13}, {-3, -4, 2, 4}, {-5, -7, 3, 7}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DialogUnitsToPixels(c.units, c.base), c.pixels);
    }

    for (int id : {kVisibleDialog, kNinePointDialog}) {
        DialogWindow dialog(id);
        ASSERT_TRUE(dialog.CreateModeless(0));
        const int points = id == kVisibleDialog ? 8 : 9;
        const std::shared_ptr<const gfx::Font> font = DialogFontFor(u"MS Shell Dlg", points);
        const DialogBaseUnits base = BaseUnitsOfFont(*font);
        EXPECT_EQ(dialog.BaseUnits().cx, base.cx);
        EXPECT_EQ(dialog.BaseUnits().cy, base.cy);
        const Rect expected = DialogUnitsToPixels(Rect{0, 0, 160, 80}, base);
        EXPECT_EQ(dialog.ClientRect().Width(), expected.Width()) << points << " pt";
        EXPECT_EQ(dialog.ClientRect().Height(), expected.Height()) << points << " pt";
        EXPECT_EQ(GetWindowPlacement(dialog.GetDlgItem(kPushButtonId)),
                  DialogUnitsToPixels(Rect{60, 20, 100, 34}, base));
        EXPECT_EQ(GetWindowFont(dialog.GetDlgItem(kPushButtonId)), dialog.DialogFont());
    }
    // Nine points is a larger font than eight.
    const DialogBaseUnits eight = BaseUnitsOfFont(*DialogFontFor(u"MS Shell Dlg", 8));
    const DialogBaseUnits nine = BaseUnitsOfFont(*DialogFontFor(u"MS Shell Dlg", 9));
    EXPECT_GT(nine.cy, eight.cy);
    EXPECT_GE(nine.cx, eight.cx);
}

TEST_F(DialogTest, InitialisationBindsControlsFocusesTheFirstTabStopAndPaintsTheFace) {
    struct BoundText : StaticControl {
        bool presubclassed = false;
        void PreSubclassWindow() override { presubclassed = true; }
    };
    struct BindingDialog : DialogWindow {
        using DialogWindow::DialogWindow;
        BoundText text;
        ButtonControl check;
        void DoDataExchange() override {
            EXPECT_TRUE(BindControl(kTextId, text));
            EXPECT_TRUE(BindControl(kCheckBoxId, check));
            EXPECT_FALSE(BindControl(999, check));
        }
    };
    BindingDialog dialog(kVisibleDialog);
    ASSERT_TRUE(dialog.CreateModeless(0));
    EXPECT_TRUE(dialog.IsVisible());
    EXPECT_EQ(dialog.text.Handle(), dialog.GetDlgItem(kTextId));
    EXPECT_TRUE(dialog.text.presubclassed);
    EXPECT_EQ(GetKeyboardFocus(), dialog.GetDlgItem(kCheckBoxId));
    EXPECT_EQ(GetWindowClassName(dialog.GetDlgItem(kPushButtonId)), u"Button");

    testsupport::PumpFrameworkUntilIdle();
    const std::optional<gfx::Bitmap> surface = display().Surface(dialog.Handle());
    ASSERT_TRUE(surface.has_value());
    const Rect client = dialog.ClientRect();
    EXPECT_EQ(surface->GetPixel(client.right - 2, client.bottom - 2), gfx::kButtonFaceColor);

    // Ending a modeless dialog hides it.
    dialog.EndDialog(kIdOk);
    EXPECT_FALSE(dialog.IsVisible());
    EXPECT_TRUE(dialog.HasWindow());
}

constexpr std::uint32_t kTrayMessage = 1126;

struct TrayDialog : DialogWindow {
    using DialogWindow::DialogWindow;
    std::function<void()> after_open;
    std::function<void(Point)> clicker;

    bool OnInitDialog() override {
        DialogWindow::OnInitDialog();
        NotifyIconData icon;
        icon.owner = Handle();
        icon.id = 1;
        icon.callback_message = kTrayMessage;
        icon.tip = u"Launcher";
        EXPECT_TRUE(AddNotifyIcon(icon));
        Post(kMsgRun);
        return true;
    }
    bool DestroyWindow() override {
        DeleteNotifyIcon(Handle(), 1);
        return DialogWindow::DestroyWindow();
    }
    VELA_DECLARE_MESSAGE_MAP();
    MessageResult OnRun(MessageParam, MessageLong) {
        after_open();
        return 0;
    }
    MessageResult OnTray(MessageParam, MessageLong lParam) {
        if (lParam == kMsgRightButtonDown) {
            std::optional<Menu> menu = Menu::Load(kTrayMenuId);
            EXPECT_TRUE(menu.has_value());
            if (menu) {
                std::optional<Menu> popup = menu->SubMenu(0);
                SetTimer(2, 10);  // clicks the item once the menu is up
                popup->TrackPopup(kTrackRightButton, Point{500, 500}, Handle());
            }
        }
        return 0;
    }
    MessageResult OnTimer(MessageParam wParam, MessageLong) {
        KillTimer(wParam);
        const Rect menu = GetWindowScreenRect(TrackedMenuWindow());
        clicker(Point{menu.left + 20, menu.top + menu.Height() / 2});
        return 0;
    }
    void OnExit(int) { EndDialog(55); }
};

VELA_MESSAGE_MAP(TrayDialog, DialogWindow, MapMessage(kMsgRun, &TrayDialog::OnRun),
                 MapMessage(kTrayMessage, &TrayDialog::OnTray),
                 MapMessage(kMsgTimer, &TrayDialog::OnTimer),
                 MapCommand(static_cast<int>(kExitCommand), &TrayDialog::OnExit))

// The launcher's way out: a right click on its notification-area icon opens
// the tray menu inside the modal loop, and its command ends the dialog.
TEST_F(DialogTest, ATrayMenuChosenInsideTheModalLoopReachesTheDialog) {
    TrayDialog dialog(kVisibleDialog);
    dialog.after_open = [&] { display().ClickTrayIcon(dialog.Handle(), 1, true); };
    dialog.clicker = [&](Point p) { display().Click(p); };
    EXPECT_EQ(dialog.DoModal(), 55);
    EXPECT_TRUE(display().TrayIcons().empty());  // the dialog's DestroyWindow removed it
}

TEST_F(DialogTest, AMissingTemplateFailsAtOnce) {
    DialogWindow dialog(12345);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(dialog.CreateModeless(0));
}

}  // namespace
}  // namespace platform
