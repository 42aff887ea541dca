#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/NotifyIcon.h"
#include "platform/window/Shell.h"
#include "tests/platform/window/FrameworkFixture.h"

namespace platform {
namespace {

constexpr std::uint32_t kTrayMessage = 1126;

class TrayOwner : public WindowBase {
  public:
    std::vector<Message> seen;
    VELA_DECLARE_MESSAGE_MAP();
    MessageResult OnTray(MessageParam wParam, MessageLong lParam) {
        seen.push_back(Message{Handle(), kTrayMessage, wParam, lParam});
        return 0;
    }
};

VELA_MESSAGE_MAP(TrayOwner, WindowBase, MapMessage(kTrayMessage, &TrayOwner::OnTray))

gfx::Icon SmallIcon(gfx::Color color) {
    gfx::Icon icon;
    icon.image = gfx::Bitmap(16, 16, color);
    icon.shape = gfx::Region(Rect{0, 0, 16, 16});
    return icon;
}

class NotifyIconTest : public testsupport::FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        ASSERT_TRUE(owner_.Create(testsupport::Creation(kStylePopup)));  // hidden, as "task"
    }
    void TearDown() override {
        DeleteNotifyIcon(owner_.Handle(), 1);
        owner_.DestroyWindow();
        FrameworkTest::TearDown();
    }
    NotifyIconData Record() const {
        NotifyIconData data;
        data.owner = owner_.Handle();
        data.id = 1;
        data.callback_message = kTrayMessage;
        data.icon = SmallIcon(gfx::Rgb(1, 2, 3));
        data.tip = u"Launcher";
        return data;
    }

    TrayOwner owner_;
};

TEST_F(NotifyIconTest, AddModifyDeleteKeepModelAndBackendInStep) {
    ASSERT_TRUE(AddNotifyIcon(Record()));
    EXPECT_FALSE(AddNotifyIcon(Record()));  // the same owner and id twice
    ASSERT_EQ(display().TrayIcons().size(), 1u);
    EXPECT_EQ(display().TrayIcons()[0].tip, u"Launcher");
    EXPECT_EQ(display().TrayIcons()[0].callback_message, kTrayMessage);

    // Only the parts named change.
    NotifyIconData tip_only;
    tip_only.owner = owner_.Handle();
    tip_only.id = 1;
    tip_only.flags = kNotifyIconTip;
    tip_only.tip = u"Downloading";
    ASSERT_TRUE(ModifyNotifyIcon(tip_only));
    const std::optional<NotifyIconData> now = FindNotifyIcon(owner_.Handle(), 1);
    ASSERT_TRUE(now.has_value());
    EXPECT_EQ(now->tip, u"Downloading");
    EXPECT_EQ(now->callback_message, kTrayMessage);
    EXPECT_EQ(now->icon.image.GetPixel(0, 0), gfx::Rgb(1, 2, 3));
    EXPECT_EQ(display().TrayIcons()[0].tip, u"Downloading");

    EXPECT_TRUE(DeleteNotifyIcon(owner_.Handle(), 1));
    EXPECT_FALSE(DeleteNotifyIcon(owner_.Handle(), 1));
    EXPECT_FALSE(ModifyNotifyIcon(tip_only));
    EXPECT_TRUE(display().TrayIcons().empty());
    EXPECT_FALSE(FindNotifyIcon(owner_.Handle(), 1).has_value());

    NotifyIconData orphan = Record();
    orphan.owner = 0;
    EXPECT_FALSE(AddNotifyIcon(orphan));
}

TEST_F(NotifyIconTest, ClicksReachTheOwnersCallbackMessage) {
    ASSERT_TRUE(AddNotifyIcon(Record()));
    // From the backend's tray, through the window layer.
    display().ClickTrayIcon(owner_.Handle(), 1, false);
    display().ClickTrayIcon(owner_.Handle(), 1, true);
    testsupport::PumpFrameworkUntilIdle();
    // From the model alone, as for a backend without a tray.
    EXPECT_TRUE(RouteNotifyIconClick(owner_.Handle(), 1, true));
    EXPECT_FALSE(RouteNotifyIconClick(owner_.Handle(), 2, true));
    testsupport::PumpFrameworkUntilIdle();

    ASSERT_EQ(owner_.seen.size(), 3u);
    const MessageLong expected[] = {kMsgLeftButtonDown, kMsgRightButtonDown, kMsgRightButtonDown};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(owner_.seen[i].wParam, 1u);
        EXPECT_EQ(owner_.seen[i].lParam, expected[i]);
    }
}

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetWebAddressOpenerForTesting([this](std::u16string_view address) {
            opened_.emplace_back(address);
            return true;
        });
    }
    void TearDown() override { SetWebAddressOpenerForTesting({}); }
    std::vector<std::u16string> opened_;
};

TEST_F(ShellTest, AddressesReachTheOpenerAndUnsafeOnesAreRefused) {
    struct Case {
        std::u16string address;
        bool opened;
    };
    const Case cases[] = {
        {u"https://www.example.com/path?a=1&b=two", true},
        {u"https://example.com/with space", true},
        {u"", false},
        {u"--help", false},  // would be an option of the opener
        {u"-https://example.com", false},
        {std::u16string(u"https://example.com/") + u'\n' + u"second", false},
        {std::u16string(u"https://a.example/") + u'\0' + u"x", false},
    };
    for (const Case& c : cases) {
        opened_.clear();
        EXPECT_EQ(OpenWebAddress(c.address), c.opened);
        EXPECT_EQ(opened_.size(), c.opened ? 1u : 0u);
        if (c.opened && !opened_.empty()) {
            EXPECT_EQ(opened_[0], c.address);
        }
    }
}

}  // namespace
}  // namespace platform
