#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/window/ButtonControl.h"
#include "tests/platform/window/FrameworkFixture.h"

namespace platform {
namespace {

constexpr Point kParentOrigin{100, 100};
constexpr Rect kButtonRect{10, 10, 90, 40};  // in the parent's client area

class RecordingParent : public WindowBase {
  public:
    std::vector<int> clicks;
    std::vector<DrawItemInfo> own_draw_items;
    enum class DrawItemMode {
        kNoEntry,
        kEntryCallingBase,
        kEntryOnly
    } mode = DrawItemMode::kNoEntry;

    VELA_DECLARE_MESSAGE_MAP();
    MessageResult OnCommand(MessageParam wParam, MessageLong) {
        if (CommandCode(wParam) == kButtonClicked) {
            clicks.push_back(CommandId(wParam));
        }
        return 0;
    }
    MessageResult OnDrawItemMessage(MessageParam wParam, MessageLong lParam) {
        if (mode == DrawItemMode::kNoEntry) {
            return WindowBase::OnDrawItem(wParam, lParam);
        }
        own_draw_items.push_back(*reinterpret_cast<const DrawItemInfo*>(lParam));
        return mode == DrawItemMode::kEntryCallingBase ? WindowBase::OnDrawItem(wParam, lParam) : 1;
    }
};

VELA_MESSAGE_MAP(RecordingParent, WindowBase, MapMessage(kMsgCommand, &RecordingParent::OnCommand),
                 MapMessage(kMsgDrawItem, &RecordingParent::OnDrawItemMessage))

class DrawnButton : public ButtonControl {
  public:
    std::vector<DrawItemInfo> items;
    void DrawItem(const DrawItemInfo& info) override {
        items.push_back(info);
        info.dc->FillRect(info.item_rect, gfx::Rgb(10, 200, 30));
    }
};

class ButtonTest : public testsupport::FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        ASSERT_TRUE(parent_.Create(
            testsupport::Creation(kStylePopup | kStyleVisible, 0,
                                  Rect::FromSize(kParentOrigin.x, kParentOrigin.y, 300, 200))));
    }
    void TearDown() override {
        parent_.DestroyWindow();
        FrameworkTest::TearDown();
    }

    std::unique_ptr<ButtonControl> MakeButton(std::uint32_t type, int id, Rect rect = kButtonRect,
                                              std::uint32_t extra = 0) {
        auto button = std::make_unique<ButtonControl>();
        EXPECT_TRUE(
            button->Create(u"Go", type | kStyleVisible | extra, rect, parent_.Handle(), id));
        return button;
    }
    static Point Screen(int x, int y) { return Point{kParentOrigin.x + x, kParentOrigin.y + y}; }
    void Move(Point p) {
        display().MoveMouse(p);
        testsupport::PumpFrameworkUntilIdle();
    }
    void Press() {
        display().PressButton();
        testsupport::PumpFrameworkUntilIdle();
    }
    void Release() {
        display().ReleaseButton();
        testsupport::PumpFrameworkUntilIdle();
    }

    RecordingParent parent_;
};

TEST_F(ButtonTest, ClicksOnlyWhenReleasedOverThePushedButton) {
    const Point inside = Screen(50, 25);
    const Point outside = Screen(200, 150);
    struct Case {
        const char* name;
        std::vector<Point> after_press;  // pointer moves between press and release
        bool pushed_before_release;
        int clicks;
    };
    const Case cases[] = {
        {"release inside", {}, true, 1},
        {"dragged out", {outside}, false, 0},
        {"dragged out and back", {outside, inside}, true, 1},
    };
    for (const Case& c : cases) {
        auto button = MakeButton(kButtonAutoCheckBox, 21);
        parent_.clicks.clear();
        Move(inside);
        Press();
        EXPECT_EQ(GetMouseCapture(), button->Handle()) << c.name;
        EXPECT_EQ(GetKeyboardFocus(), button->Handle()) << c.name;
        for (Point p : c.after_press) {
            Move(p);
        }
        EXPECT_EQ((button->GetState() & kButtonStatePushed) != 0, c.pushed_before_release)
            << c.name;
        Release();
        EXPECT_EQ(GetMouseCapture(), 0u) << c.name;
        EXPECT_EQ(button->GetState() & kButtonStatePushed, 0u) << c.name;
        EXPECT_EQ(parent_.clicks.size(), static_cast<std::size_t>(c.clicks)) << c.name;
        // An auto check box toggles with its click, and only then.
        EXPECT_EQ(button->GetCheck(), c.clicks) << c.name;
        Move(outside);
    }
}

TEST_F(ButtonTest, CheckStateFollowsTheButtonType) {
    struct Case {
        std::uint32_t type;
        int after_click;      // check after one click
        int after_set_check;  // check after SetCheck(1)
    };
    const Case cases[] = {
        {kButtonPush, 0, 0},
        {kButtonCheckBox, 0, 1},  // the parent decides: no toggle of its own
        {kButtonAutoCheckBox, 1, 1},
        {kButtonOwnerDraw, 0, 0},
    };
    for (const Case& c : cases) {
        auto button = MakeButton(c.type, 30);
        button->Send(kMsgButtonClick);
        EXPECT_EQ(button->GetCheck(), c.after_click) << "type " << c.type;
        button->SetCheck(0);
        button->SetCheck(1);
        EXPECT_EQ(button->GetCheck(), c.after_set_check) << "type " << c.type;
    }
}

TEST_F(ButtonTest, SpaceClicksAndADoubleClickIsOneMorePress) {
    auto button = MakeButton(kButtonPush, 40);
    SetKeyboardFocus(button->Handle());
    display().PressKey(kKeySpace);
    testsupport::PumpFrameworkUntilIdle();
    EXPECT_EQ(parent_.clicks, std::vector<int>{40});

    parent_.clicks.clear();
    Move(Screen(30, 20));
    Press();
    Release();
    Press();  // within the double-click time: a double click
    Release();
    EXPECT_EQ(parent_.clicks, (std::vector<int>{40, 40}));
}

TEST_F(ButtonTest, AutoRadioChecksItselfAndClearsItsGroup) {
    // Group 1: radios 1-3; a push button starts group 2 with radio 5.
    auto r1 = MakeButton(kButtonAutoRadio, 1, Rect::FromSize(0, 0, 20, 20), kStyleGroup);
    auto r2 = MakeButton(kButtonAutoRadio, 2, Rect::FromSize(30, 0, 20, 20));
    auto r3 = MakeButton(kButtonAutoRadio, 3, Rect::FromSize(60, 0, 20, 20));
    auto push = MakeButton(kButtonPush, 4, Rect::FromSize(90, 0, 20, 20), kStyleGroup);
    auto r5 = MakeButton(kButtonAutoRadio, 5, Rect::FromSize(120, 0, 20, 20));
    r1->SetCheck(1);
    r3->SetCheck(1);
    r5->SetCheck(1);

    r2->Send(kMsgButtonClick);
    EXPECT_EQ(r1->GetCheck(), 0);
    EXPECT_EQ(r2->GetCheck(), 1);
    EXPECT_EQ(r3->GetCheck(), 0);
    EXPECT_EQ(r5->GetCheck(), 1);  // another group
}

TEST_F(ButtonTest, GroupWalkWrapsWithinTheGroupAndSkipsHiddenAndDisabled) {
    auto a = MakeButton(kButtonRadio, 1, Rect::FromSize(0, 0, 10, 10), kStyleGroup);
    auto b = MakeButton(kButtonRadio, 2, Rect::FromSize(10, 0, 10, 10));
    auto c = MakeButton(kButtonRadio, 3, Rect::FromSize(20, 0, 10, 10));
    auto d = MakeButton(kButtonRadio, 4, Rect::FromSize(30, 0, 10, 10));
    auto next_group = MakeButton(kButtonRadio, 5, Rect::FromSize(40, 0, 10, 10), kStyleGroup);
    const WindowHandle p = parent_.Handle();

    EXPECT_EQ(NextGroupItem(p, a->Handle()), b->Handle());
    EXPECT_EQ(NextGroupItem(p, d->Handle()), a->Handle());  // wraps to the group's first
    EXPECT_EQ(NextGroupItem(p, a->Handle(), true), d->Handle());
    EXPECT_EQ(NextGroupItem(p, next_group->Handle()), next_group->Handle());  // alone

    c->Show(kShowHide);
    d->Enable(false);
    EXPECT_EQ(NextGroupItem(p, b->Handle()), a->Handle());
    EXPECT_EQ(NextGroupItem(p, a->Handle(), true), b->Handle());
    EXPECT_EQ(NextGroupItem(p, parent_.Handle()), 0u);  // no child of its own
}

TEST_F(ButtonTest, OwnerDrawPaintsThroughTheParentAndReachesTheControl) {
    struct Case {
        RecordingParent::DrawItemMode mode;
        bool control_draws;
        bool parent_sees;
    };
    const Case cases[] = {
        {RecordingParent::DrawItemMode::kNoEntry, true, false},
        {RecordingParent::DrawItemMode::kEntryCallingBase, true, true},
        {RecordingParent::DrawItemMode::kEntryOnly, false, true},
    };
    for (const Case& c : cases) {
        parent_.mode = c.mode;
        parent_.own_draw_items.clear();
        DrawnButton button;
        ASSERT_TRUE(button.Create(u"", kButtonOwnerDraw | kStyleVisible, kButtonRect,
                                  parent_.Handle(), 77));
        button.SetState(true);
        button.UpdateNow();
        testsupport::PumpFrameworkUntilIdle();
        EXPECT_EQ(!button.items.empty(), c.control_draws);
        EXPECT_EQ(!parent_.own_draw_items.empty(), c.parent_sees);
        if (!button.items.empty()) {
            const DrawItemInfo& info = button.items.back();
            EXPECT_EQ(info.control_id, 77);
            EXPECT_EQ(info.window, button.Handle());
            EXPECT_EQ(info.item_rect, Rect::FromSize(0, 0, 80, 30));
            EXPECT_NE(info.state & kDrawItemSelected, 0u);
            const std::optional<gfx::Bitmap> surface = display().Surface(parent_.Handle());
            ASSERT_TRUE(surface.has_value());
            EXPECT_EQ(surface->GetPixel(kButtonRect.left + 5, kButtonRect.top + 5),
                      gfx::Rgb(10, 200, 30));
        }
    }
}

TEST_F(ButtonTest, PlainPushButtonIsABevelledBox) {
    auto button = MakeButton(kButtonPush, 9);
    testsupport::PumpFrameworkUntilIdle();
    std::optional<gfx::Bitmap> surface = display().Surface(parent_.Handle());
    ASSERT_TRUE(surface.has_value());
    const Rect r = kButtonRect;
    EXPECT_EQ(surface->GetPixel(r.left, r.top), gfx::kWhite);
    EXPECT_NE(surface->GetPixel(r.right - 1, r.bottom - 1), gfx::kWhite);
    EXPECT_EQ(surface->GetPixel(r.left + 3, r.top + 3), gfx::kButtonFaceColor);

    // Pushed, the bevel turns: dark at the top left.
    button->SetState(true);
    testsupport::PumpFrameworkUntilIdle();
    surface = display().Surface(parent_.Handle());
    EXPECT_NE(surface->GetPixel(r.left, r.top), gfx::kWhite);
    EXPECT_EQ(surface->GetPixel(r.right - 1, r.bottom - 1), gfx::kWhite);
}

}  // namespace
}  // namespace platform
