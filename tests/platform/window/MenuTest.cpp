#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/window/Menu.h"
#include "tests/platform/Watchdog.h"
#include "tests/platform/window/FrameworkFixture.h"

namespace platform {
namespace {

constexpr std::uint32_t kOpen = 32772;
constexpr std::uint32_t kExit = 32773;
constexpr std::uintptr_t kStepTimer = 5;

// The owner of the menus: records what menus send it and runs the test's
// steps one by one on a timer, which fires inside the menu's loop after
// the input and paint of the previous step.
class Owner : public WindowBase {
  public:
    std::vector<Message> seen;
    std::vector<std::function<void()>> steps;
    std::size_t next = 0;

    void Start() {
        next = 0;
        SetTimer(kStepTimer, 10);
    }

    VELA_DECLARE_MESSAGE_MAP();
    MessageResult OnTimer(MessageParam wParam, MessageLong lParam) {
        if (wParam != kStepTimer) {
            return DefaultProcessing();
        }
        if (next < steps.size()) {
            steps[next++]();
        } else {
            KillTimer(kStepTimer);
        }
        (void)lParam;
        return 0;
    }
    MessageResult Record(MessageParam wParam, MessageLong lParam) {
        seen.push_back(Message{Handle(), CurrentMessage().message, wParam, lParam});
        return 0;
    }
    MessageResult OnSysCommand(MessageParam wParam, MessageLong lParam) {
        Record(wParam, lParam);
        return WindowBase::OnSysCommand(wParam, lParam);
    }
    MessageResult OnHitTest(MessageParam, MessageLong) { return kHitCaption; }
};

VELA_MESSAGE_MAP(Owner, WindowBase, MapMessage(kMsgTimer, &Owner::OnTimer),
                 MapMessage(kMsgCommand, &Owner::Record), MapMessage(kMsgClose, &Owner::Record),
                 MapMessage(kMsgSysCommand, &Owner::OnSysCommand),
                 MapMessage(kMsgNcHitTest, &Owner::OnHitTest))

Menu TrayMenu() {
    MenuTemplate resource;
    MenuItemTemplate popup;
    popup.text = u"托盘";
    MenuItemTemplate open;
    open.command = kOpen;
    open.text = u"Open";
    MenuItemTemplate exit;
    exit.command = kExit;
    exit.text = u"E&xit";
    popup.popup = {open, exit};
    resource.items = {popup};
    std::optional<Menu> first = Menu::FromTemplate(resource).SubMenu(0);
    EXPECT_TRUE(first.has_value());
    return first.value_or(Menu());
}

class MenuTest : public testsupport::FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        ASSERT_TRUE(owner_.Create(testsupport::Creation(kStylePopup | kStyleVisible | kStyleSysMenu,
                                                        0, Rect::FromSize(100, 100, 300, 200))));
    }
    void TearDown() override {
        owner_.DestroyWindow();
        FrameworkTest::TearDown();
    }

    // The centre of item index of the tracked menu, in screen coordinates,
    // for a menu of rows of equal height.
    static Point ItemCentre(int index, int rows) {
        const Rect menu = GetWindowScreenRect(TrackedMenuWindow());
        const int row = (menu.Height() - 4) / rows;
        return Point{menu.left + menu.Width() / 2, menu.top + 2 + row * index + row / 2};
    }
    std::vector<Message> SeenCommands() {
        testsupport::PumpFrameworkUntilIdle();
        std::vector<Message> commands;
        for (const Message& m : owner_.seen) {
            if (m.message == kMsgCommand) {
                commands.push_back(m);
            }
        }
        return commands;
    }

    Owner owner_;
    testsupport::Watchdog watchdog_;
};

TEST_F(MenuTest, ClickingAnItemPostsItsCommandToTheOwner) {
    const Menu menu = TrayMenu();
    ASSERT_EQ(menu.ItemCount(), 2u);
    owner_.steps = {[&] { display().MoveMouse(ItemCentre(1, 2)); },
                    [&] {
                        // The item under the pointer is lit.
                        const WindowHandle window = TrackedMenuWindow();
                        const std::optional<gfx::Bitmap> surface = display().Surface(window);
                        ASSERT_TRUE(surface.has_value());
                        const Point centre = ScreenToClient(window, ItemCentre(1, 2));
                        EXPECT_EQ(surface->GetPixel(6, centre.y), gfx::kHighlightColor);
                        const Point other = ScreenToClient(window, ItemCentre(0, 2));
                        EXPECT_NE(surface->GetPixel(6, other.y), gfx::kHighlightColor);
                        // Presses beyond the program's windows must reach it.
                        EXPECT_EQ(display().PointerGrab(), window);
                    },
                    [&] { display().Click(ItemCentre(1, 2)); }};
    owner_.Start();
    EXPECT_EQ(menu.TrackPopup(0, Point{150, 150}, owner_.Handle()), kExit);
    EXPECT_EQ(TrackedMenuWindow(), 0u);
    EXPECT_EQ(display().PointerGrab(), 0u);
    const std::vector<Message> commands = SeenCommands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MakeCommandParam(kExit, 0));
}

TEST_F(MenuTest, EscapeAPressOutsideAndAnUnflaggedRightClickChooseNothing) {
    const Menu menu = TrayMenu();
    struct Case {
        const char* name;
        std::function<void()> first;
    };
    const Case cases[] = {
        {"escape", [&] { display().PressKey(kKeyEscape); }},
        {"press outside",
         [&] {
             display().Click(Point{20, 20});
         }},
        {"right click without the flag, then escape",
         [&] {
             display().Click(ItemCentre(0, 2), true);
             display().PressKey(kKeyEscape);
         }},
    };
    for (const Case& c : cases) {
        owner_.seen.clear();
        owner_.steps = {c.first};
        owner_.Start();
        EXPECT_EQ(menu.TrackPopup(0, Point{150, 150}, owner_.Handle()), 0u) << c.name;
        EXPECT_TRUE(SeenCommands().empty()) << c.name;
    }
}

TEST_F(MenuTest, RightButtonFlagMnemonicAndReturnCommand) {
    const Menu menu = TrayMenu();
    owner_.steps = {[&] { display().Click(ItemCentre(0, 2), true); }};
    owner_.Start();
    EXPECT_EQ(menu.TrackPopup(kTrackRightButton, Point{150, 150}, owner_.Handle()), kOpen);
    EXPECT_EQ(SeenCommands().size(), 1u);

    owner_.seen.clear();
    owner_.steps = {[&] { display().PressKey('X'); }};
    owner_.Start();
    EXPECT_EQ(menu.TrackPopup(kTrackReturnCommand, Point{150, 150}, owner_.Handle()), kExit);
    EXPECT_TRUE(SeenCommands().empty());
}

TEST_F(MenuTest, AMenuNearTheCornerOpensInsideTheWorkArea) {
    const Menu menu = TrayMenu();
    const Rect work = GetWorkArea();
    Rect shown;
    owner_.steps = {[&] {
        shown = GetWindowScreenRect(TrackedMenuWindow());
        display().PressKey(kKeyEscape);
    }};
    owner_.Start();
    menu.TrackPopup(0, Point{work.right - 3, work.bottom - 3}, owner_.Handle());
    EXPECT_FALSE(shown.IsEmpty());
    EXPECT_LE(shown.right, work.right);
    EXPECT_LE(shown.bottom, work.bottom);
    EXPECT_EQ(shown.right, work.right - 3);  // flipped to the left of the point
}

TEST_F(MenuTest, SystemMenuOffersItsDefaultsAndAnAppendedItem) {
    WindowBase plain;
    ASSERT_TRUE(plain.Create(testsupport::Creation(kStylePopup)));
    EXPECT_EQ(plain.GetSystemMenu(), nullptr);  // no system-menu style, no menu

    Menu* system = owner_.GetSystemMenu();
    ASSERT_NE(system, nullptr);
    ASSERT_EQ(system->ItemCount(), 4u);
    EXPECT_EQ(system->Items()[0].command, kSysCommandRestore);
    EXPECT_EQ(system->Items()[1].command, kSysCommandMinimize);
    EXPECT_TRUE(system->Items()[2].separator);
    EXPECT_EQ(system->Items()[3].command, kSysCommandClose);
    system->AppendSeparator();
    system->AppendItem(16, u"关于 VelaLauncher(&A)...");

    struct Case {
        int item;  // index among the six items (separators of 7 pixels)
        std::uint32_t expected;
    };
    for (const Case& c : {Case{5, 16}, Case{3, static_cast<std::uint32_t>(kSysCommandClose)}}) {
        owner_.seen.clear();
        owner_.steps = {[&] {
            const Rect menu = GetWindowScreenRect(TrackedMenuWindow());
            const int row = (menu.Height() - 4 - 2 * 7) / 4;
            const int separators_before = c.item > 4 ? 2 : (c.item > 2 ? 1 : 0);
            const int y =
                menu.top + 2 + (c.item - separators_before) * row + separators_before * 7 + row / 2;
            display().Click(Point{menu.left + 30, y});
        }};
        owner_.Start();
        // The owner is all caption: a right click anywhere opens its system menu.
        const Rect owner = GetWindowScreenRect(owner_.Handle());
        display().Click(Point{owner.left + 20, owner.top + 20}, true);
        testsupport::PumpFrameworkUntilIdle();
        ASSERT_FALSE(owner_.seen.empty());
        EXPECT_EQ(owner_.seen[0].message, kMsgSysCommand);
        EXPECT_EQ(owner_.seen[0].wParam, c.expected);
        if (c.expected == kSysCommandClose) {
            ASSERT_EQ(owner_.seen.size(), 2u);
            EXPECT_EQ(owner_.seen[1].message, kMsgClose);
        } else {
            EXPECT_EQ(owner_.seen.size(), 1u);  // an item of the program's: nothing else
        }
    }

    owner_.Send(kMsgSysCommand, kSysCommandMinimize, 0);
    EXPECT_TRUE(IsWindowMinimized(owner_.Handle()));
    owner_.Send(kMsgSysCommand, kSysCommandRestore, 0);
    EXPECT_FALSE(IsWindowMinimized(owner_.Handle()));
}

}  // namespace
}  // namespace platform
