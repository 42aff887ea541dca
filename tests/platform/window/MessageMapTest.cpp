#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/MessageIds.h"
#include "platform/window/WindowBase.h"
#include "tests/platform/window/FrameworkFixture.h"

namespace platform {
namespace {

constexpr std::uint32_t kMsgBaseOnly = kMsgUser + 1;
constexpr std::uint32_t kMsgBoth = kMsgUser + 2;
constexpr std::uint32_t kMsgUnmapped = kMsgUser + 3;
constexpr std::uint32_t kMsgCallsDefault = kMsgUser + 4;

std::vector<std::string>* g_log = nullptr;

void Note(const std::string& entry) {
    if (g_log != nullptr) {
        g_log->push_back(entry);
    }
}

class BaseWindow : public WindowBase {
  public:
    VELA_DECLARE_MESSAGE_MAP();
    MessageResult OnBaseOnly(MessageParam, MessageLong) { return 10; }
    MessageResult OnBoth(MessageParam, MessageLong) { return 11; }
};

VELA_MESSAGE_MAP(BaseWindow, WindowBase, MapMessage(kMsgBaseOnly, &BaseWindow::OnBaseOnly),
                 MapMessage(kMsgBoth, &BaseWindow::OnBoth))

class DerivedWindow : public BaseWindow {
  public:
    std::vector<int> commands;
    std::vector<std::uint32_t> seen_first;  // messages seen before PreSubclassWindow ran
    bool presubclassed = false;
    WindowHandle handle_in_presubclass = 0;

    void PreSubclassWindow() override {
        presubclassed = true;
        handle_in_presubclass = Handle();
    }
    void OnWindowGone() override { Note("gone"); }

    VELA_DECLARE_MESSAGE_MAP();
    MessageResult OnCreate(MessageParam, MessageLong) {
        if (!presubclassed) {
            seen_first.push_back(kMsgCreate);
        }
        Note("create");
        return 0;
    }
    MessageResult OnBoth(MessageParam, MessageLong) { return 21; }
    MessageResult OnCallsDefault(MessageParam, MessageLong) { return 1000 + DefaultProcessing(); }
    MessageResult OnDestroy(MessageParam, MessageLong) {
        Note("destroy derived");
        return 0;
    }
    void OnButtons(int id) { commands.push_back(id); }
    void OnOne(int id) { commands.push_back(-id); }
};

VELA_MESSAGE_MAP(DerivedWindow, BaseWindow, MapMessage(kMsgCreate, &DerivedWindow::OnCreate),
                 MapMessage(kMsgBoth, &DerivedWindow::OnBoth),
                 MapMessage(kMsgCallsDefault, &DerivedWindow::OnCallsDefault),
                 MapMessage(kMsgDestroy, &DerivedWindow::OnDestroy),
                 MapCommandRange(100, 109, 7, &DerivedWindow::OnButtons),
                 MapCommand(200, &DerivedWindow::OnOne))

// A class registered outside the framework, whose procedure answers what it
// is given and counts what reaches it.
std::vector<std::uint32_t>* g_native_seen = nullptr;
MessageResult NativeProcedure(WindowHandle window, std::uint32_t message, MessageParam wParam,
                              MessageLong lParam) {
    if (g_native_seen != nullptr) {
        g_native_seen->push_back(message);
    }
    if (message >= kMsgUser) {
        return 500 + static_cast<MessageResult>(message - kMsgUser);
    }
    return DefaultWindowProcedure(window, message, wParam, lParam);
}

class MessageMapTest : public testsupport::FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        g_log = &log_;
        g_native_seen = &native_seen_;
        static const bool registered =
            RegisterWindowClass(u"MessageMapTestNative", &NativeProcedure);
        ASSERT_TRUE(registered);
    }
    void TearDown() override {
        g_log = nullptr;
        g_native_seen = nullptr;
        FrameworkTest::TearDown();
    }
    WindowHandle CreateNative(WindowHandle parent = 0) {
        WindowCreation creation;
        creation.class_name = u"MessageMapTestNative";
        creation.rect = Rect::FromSize(0, 0, 50, 50);
        creation.parent = parent;
        creation.style = parent != 0 ? kStyleChild : kStylePopup;
        return CreateWindowWith(creation);
    }

    std::vector<std::string> log_;
    std::vector<std::uint32_t> native_seen_;
};

TEST_F(MessageMapTest, MostDerivedEntryWinsThenBaseThenProcedureBeneath) {
    const WindowHandle native = CreateNative();
    ASSERT_NE(native, 0u);
    DerivedWindow object;
    ASSERT_TRUE(object.SubclassWindow(native));

    EXPECT_EQ(SendMessageTo(native, kMsgBoth, 0, 0), 21);
    EXPECT_EQ(SendMessageTo(native, kMsgBaseOnly, 0, 0), 10);
    native_seen_.clear();
    EXPECT_EQ(SendMessageTo(native, kMsgUnmapped, 0, 0), 503);
    EXPECT_EQ(native_seen_, std::vector<std::uint32_t>{kMsgUnmapped});
    // A handler's DefaultProcessing passes the very message beneath.
    EXPECT_EQ(SendMessageTo(native, kMsgCallsDefault, 0, 0), 1504);
}

TEST_F(MessageMapTest, CommandEntriesMatchIdRangeAndCode) {
    DerivedWindow object;
    ASSERT_TRUE(object.Create(testsupport::Creation(kStylePopup)));
    struct Case {
        int id;
        std::uint16_t code;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {100, 7, {100}},  {109, 7, {109}}, {110, 7, {}},  // the range's ends
        {105, 0, {}},                                     // wrong code
        {200, 0, {-200}}, {200, 1, {}},                   // a plain command is code 0 only
    };
    for (const Case& c : cases) {
        object.commands.clear();
        object.Send(kMsgCommand, MakeCommandParam(c.id, c.code), 0);
        EXPECT_EQ(object.commands, c.expected) << "id " << c.id << " code " << c.code;
    }
}

TEST_F(MessageMapTest, CreatedObjectIsPresubclassedBeforeItsCreateMessage) {
    DerivedWindow object;
    ASSERT_TRUE(object.Create(testsupport::Creation(kStylePopup)));
    EXPECT_TRUE(object.presubclassed);
    EXPECT_EQ(object.handle_in_presubclass, object.Handle());
    EXPECT_TRUE(object.seen_first.empty());
    EXPECT_EQ(log_, std::vector<std::string>{"create"});
    EXPECT_EQ(WindowBase::FromHandle(object.Handle()), &object);
}

TEST_F(MessageMapTest, SubclassingKeepsUserDataAndUnsubclassingRestoresTheProcedure) {
    const WindowHandle native = CreateNative();
    SetWindowUserData(native, 1234);
    {
        DerivedWindow object;
        ASSERT_TRUE(object.SubclassWindow(native));
        EXPECT_EQ(object.handle_in_presubclass, native);
        EXPECT_EQ(GetWindowUserData(native), 1234);
        // A second object cannot take a bound window.
        DerivedWindow other;
        EXPECT_FALSE(other.SubclassWindow(native));
        EXPECT_EQ(object.UnsubclassWindow(), native);
        EXPECT_EQ(object.Handle(), 0u);
    }
    // The object is gone and did not take the window with it.
    ASSERT_TRUE(IsWindowHandle(native));
    EXPECT_EQ(WindowBase::FromHandle(native), nullptr);
    EXPECT_EQ(SendMessageTo(native, kMsgBoth, 0, 0), 502);
    EXPECT_EQ(GetWindowUserData(native), 1234);
    DestroyWindowHandle(native);
}

TEST_F(MessageMapTest, DestroyingUnbindsChildrenFirstThenTheParent) {
    struct Named : DerivedWindow {
        std::string name;
        void OnWindowGone() override { Note("gone " + name); }
    };
    Named parent;
    parent.name = "parent";
    ASSERT_TRUE(parent.Create(testsupport::Creation(kStylePopup)));
    Named child;
    child.name = "child";
    ASSERT_TRUE(child.Create(testsupport::Creation(kStyleChild, parent.Handle())));
    const WindowHandle parent_handle = parent.Handle();
    log_.clear();

    ASSERT_TRUE(parent.DestroyWindow());
    EXPECT_EQ(log_, (std::vector<std::string>{"destroy derived", "destroy derived", "gone child",
                                              "gone parent"}));
    EXPECT_EQ(parent.Handle(), 0u);
    EXPECT_EQ(child.Handle(), 0u);
    EXPECT_FALSE(IsWindowHandle(parent_handle));
}

TEST_F(MessageMapTest, DestroyingTheObjectDestroysItsWindow) {
    WindowHandle handle = 0;
    {
        DerivedWindow object;
        ASSERT_TRUE(object.Create(testsupport::Creation(kStylePopup)));
        handle = object.Handle();
    }
    EXPECT_FALSE(IsWindowHandle(handle));
}

class Translating : public WindowBase {
  public:
    std::string name;
    bool swallow = false;
    bool PreTranslateMessage(Message& message) override {
        if (message.message == kMsgUser) {
            Note(name);
            return swallow;
        }
        return false;
    }
};

TEST_F(MessageMapTest, PreTranslationRunsInnermostFirstAndStopsWhereSwallowed) {
    Translating top;
    top.name = "top";
    ASSERT_TRUE(top.Create(testsupport::Creation(kStylePopup)));
    Translating middle;
    middle.name = "middle";
    ASSERT_TRUE(middle.Create(testsupport::Creation(kStyleChild, top.Handle())));
    // A child without an object of its own is simply passed over.
    const WindowHandle bare = CreateNative(middle.Handle());
    Translating owned;  // a popup owned by top is no descendant of it
    owned.name = "owned";
    ASSERT_TRUE(owned.Create(testsupport::Creation(kStylePopup, top.Handle())));

    Message message{bare, kMsgUser, 0, 0};
    EXPECT_FALSE(PreTranslateThroughAncestors(message));
    EXPECT_EQ(log_, (std::vector<std::string>{"middle", "top"}));

    log_.clear();
    middle.swallow = true;
    EXPECT_TRUE(PreTranslateThroughAncestors(message));
    EXPECT_EQ(log_, std::vector<std::string>{"middle"});

    log_.clear();
    Message for_owned{owned.Handle(), kMsgUser, 0, 0};
    EXPECT_FALSE(PreTranslateThroughAncestors(for_owned));
    EXPECT_EQ(log_, std::vector<std::string>{"owned"});
}

}  // namespace
}  // namespace platform
