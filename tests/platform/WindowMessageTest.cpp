#include "platform/window/Message.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/platform/RecordingWindow.h"
#include "tests/platform/Watchdog.h"

namespace {

using namespace platform;
using testsupport::RecordingWindow;

MessageResult Ignore(WindowHandle, std::uint32_t, MessageParam, MessageLong) {
    return 0;
}

MessageResult RefuseCreation(WindowHandle, std::uint32_t message, MessageParam, MessageLong) {
    return message == kMsgCreate ? -1 : 0;
}

MessageResult DestroyOnCreation(WindowHandle window, std::uint32_t message, MessageParam,
                                MessageLong) {
    if (message == kMsgCreate) {
        DestroyWindowHandle(window);
    }
    return 0;
}

// Classes live for the whole process, so a repeated test needs a new name.
std::u16string FreshClassName(std::u16string_view stem) {
    static int runs = 0;
    std::u16string name(stem);
    for (char c : std::to_string(++runs)) {
        name += static_cast<char16_t>(c);
    }
    return name;
}

// Everything posted to the calling thread, in the order it comes out.
std::vector<Message> DrainPosted() {
    std::vector<Message> taken;
    Message message;
    while (PeekNextMessage(message, true)) {
        taken.push_back(message);
    }
    return taken;
}

TEST(WindowClass, RegisteringANameTwiceFailsAndUnknownClassesCreateNothing) {
    const std::u16string name = FreshClassName(u"WindowClassTwice");
    EXPECT_TRUE(RegisterWindowClass(name, &Ignore));
    EXPECT_FALSE(RegisterWindowClass(name, &Ignore));
    EXPECT_FALSE(RegisterWindowClass(u"", &Ignore));
    EXPECT_FALSE(RegisterWindowClass(u"WindowClassWithoutProcedure", nullptr));
    EXPECT_EQ(CreateWindowOfClass(u"NoSuchWindowClass", u"", 0, 0, 0, 0, 0, 0, 0), 0u);
}

TEST(WindowClass, AProcedureThatRefusesOrDestroysItsWindowDuringCreationLeavesNoWindow) {
    for (WindowProcedure procedure : {&RefuseCreation, &DestroyOnCreation}) {
        const std::u16string name = FreshClassName(u"RefusingClass");
        ASSERT_TRUE(RegisterWindowClass(name, procedure));
        EXPECT_EQ(CreateWindowOfClass(name, u"", 0, 0, 0, 0, 0, 0, 0), 0u);
        EXPECT_TRUE(DrainPosted().empty());
    }
}

TEST(WindowMessage, SendOnTheOwningThreadCallsTheProcedureAtOnce) {
    RecordingWindow window([](WindowHandle, std::uint32_t message, MessageParam w, MessageLong l) {
        return message == kMsgUser ? static_cast<MessageResult>(w) + l : 0;
    });
    ASSERT_EQ(window.SeenNumbers(), std::vector<std::uint32_t>{kMsgCreate});
    EXPECT_EQ(window.Seen()[0].lParam, reinterpret_cast<MessageLong>(&window));

    EXPECT_EQ(SendMessageTo(window.handle(), kMsgUser, 40, 2), 42);
    EXPECT_EQ(window.SeenNumbers(), (std::vector<std::uint32_t>{kMsgCreate, kMsgUser}));
    EXPECT_EQ(window.Threads().back(), std::this_thread::get_id());
    EXPECT_TRUE(DrainPosted().empty());  // nothing went through the queue
    EXPECT_TRUE(DestroyWindowHandle(window.handle()));
}

TEST(WindowMessage, UserDataIsPerWindowReturnsThePreviousValueAndIsReadableFromAnyThread) {
    RecordingWindow first;
    RecordingWindow second;
    const MessageLong first_data = GetWindowUserData(first.handle());
    EXPECT_EQ(SetWindowUserData(second.handle(), 0), reinterpret_cast<MessageLong>(&second));
    EXPECT_EQ(SetWindowUserData(second.handle(), 77), 0);
    MessageLong seen_elsewhere = 0;
    std::thread([&] { seen_elsewhere = GetWindowUserData(second.handle()); }).join();
    EXPECT_EQ(seen_elsewhere, 77);
    EXPECT_EQ(GetWindowUserData(first.handle()), first_data);
    SetWindowUserData(second.handle(), reinterpret_cast<MessageLong>(&second));
    DestroyWindowHandle(first.handle());
    DestroyWindowHandle(second.handle());
}

TEST(WindowMessage, PostedMessagesComeOutInOrderAndPeekingWithoutRemovingLeavesThem) {
    RecordingWindow window;
    for (MessageParam i = 0; i < 5; ++i) {
        ASSERT_TRUE(PostMessageTo(window.handle(), kMsgUser, i, 0));
    }
    Message peeked;
    ASSERT_TRUE(PeekNextMessage(peeked, false));
    EXPECT_EQ(peeked.wParam, 0u);
    std::vector<Message> taken = DrainPosted();
    ASSERT_EQ(taken.size(), 5u);
    for (MessageParam i = 0; i < 5; ++i) {
        EXPECT_EQ(taken[i].window, window.handle());
        EXPECT_EQ(taken[i].wParam, i);
    }
    EXPECT_EQ(window.SeenNumbers().size(), 1u);  // taken, not dispatched
    DispatchMessageToWindow(taken[0]);
    EXPECT_EQ(window.SeenNumbers().back(), kMsgUser);
    DestroyWindowHandle(window.handle());
}

TEST(WindowMessage, DestroyingDropsQueuedMessagesAndTakesTheChildrenAlong) {
    RecordingWindow parent;
    RecordingWindow child({}, parent.handle());
    RecordingWindow other;
    PostMessageTo(parent.handle(), kMsgUser, 1, 0);
    PostMessageTo(child.handle(), kMsgUser, 2, 0);
    PostMessageTo(other.handle(), kMsgUser, 3, 0);
    PostMessageTo(parent.handle(), kMsgUser, 4, 0);

    ASSERT_TRUE(DestroyWindowHandle(parent.handle()));
    EXPECT_FALSE(IsWindowHandle(parent.handle()));
    EXPECT_FALSE(IsWindowHandle(child.handle()));
    EXPECT_EQ(parent.SeenNumbers().back(), kMsgDestroy);
    EXPECT_EQ(child.SeenNumbers().back(), kMsgDestroy);

    std::vector<Message> taken = DrainPosted();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].window, other.handle());
    EXPECT_EQ(taken[0].wParam, 3u);
    DestroyWindowHandle(other.handle());
}

TEST(WindowMessage, AStaleHandleIsHarmless) {
    RecordingWindow window;
    const WindowHandle stale = window.handle();
    ASSERT_TRUE(DestroyWindowHandle(stale));
    const std::size_t seen = window.Seen().size();

    for (WindowHandle handle : {stale, WindowHandle{0}, WindowHandle{0xFFFFFFF0u}}) {
        SCOPED_TRACE(handle);
        EXPECT_FALSE(IsWindowHandle(handle));
        EXPECT_FALSE(DestroyWindowHandle(handle));
        EXPECT_EQ(SendMessageTo(handle, kMsgUser, 1, 1), 0);
        EXPECT_EQ(DispatchMessageToWindow(Message{handle, kMsgUser, 1, 1}), 0);
        EXPECT_EQ(SetWindowUserData(handle, 5), 0);
        EXPECT_EQ(GetWindowUserData(handle), 0);
        EXPECT_FALSE(SetWindowTimer(handle, 1, 10));
        EXPECT_FALSE(KillWindowTimer(handle, 1));
    }
    EXPECT_FALSE(PostMessageTo(stale, kMsgUser, 1, 1));
    EXPECT_EQ(window.Seen().size(), seen);

    RecordingWindow next;
    EXPECT_NE(next.handle(), stale);  // not handed out again
    DestroyWindowHandle(next.handle());
}

TEST(WindowMessage, TopLevelWindowsAreFoundByTheirExactTitleFromAnyThread) {
    const std::u16string name = FreshClassName(u"TitledClass");
    ASSERT_TRUE(RegisterWindowClass(name, &Ignore));
    const WindowHandle top = CreateWindowOfClass(name, u"{Viewer}", 0, 0, 0, 0, 0, 0, 0);
    const WindowHandle child = CreateWindowOfClass(name, u"{Child}", 0, 0, 0, 0, 0, top, 0);
    ASSERT_NE(child, 0u);
    WindowHandle found = 0;
    std::thread([&] { found = FindTopLevelWindow(u"{Viewer}"); }).join();
    EXPECT_EQ(found, top);
    EXPECT_EQ(FindTopLevelWindow(u"{Child}"), 0u);
    DestroyWindowHandle(top);
    EXPECT_EQ(FindTopLevelWindow(u"{Viewer}"), 0u);
}

TEST(WindowMessage, CloseReachingTheDefaultProcedureDestroysTheWindow) {
    RecordingWindow window;
    SendMessageTo(window.handle(), kMsgClose, 0, 0);
    EXPECT_FALSE(IsWindowHandle(window.handle()));
    EXPECT_EQ(window.SeenNumbers().back(), kMsgDestroy);
}

TEST(WindowMessage, PostsFromManyThreadsKeepEachSendersOrder) {
    testsupport::Watchdog watchdog;
    RecordingWindow window;
    constexpr int kSenders = 8;
    constexpr MessageLong kEach = 500;
    std::vector<std::thread> senders;
    for (int sender = 0; sender < kSenders; ++sender) {
        senders.emplace_back([&, sender] {
            for (MessageLong i = 0; i < kEach; ++i) {
                ASSERT_TRUE(PostMessageTo(window.handle(), kMsgUser, sender, i));
            }
        });
    }
    std::vector<MessageLong> next(kSenders, 0);
    Message message;
    for (int received = 0; received < kSenders * kEach; ++received) {
        ASSERT_TRUE(GetNextMessage(message));
        ASSERT_EQ(message.window, window.handle());
        ASSERT_LT(message.wParam, static_cast<MessageParam>(kSenders));
        ASSERT_EQ(message.lParam, next[message.wParam]) << "sender " << message.wParam;
        ++next[message.wParam];
    }
    for (std::thread& sender : senders) {
        sender.join();
    }
    EXPECT_FALSE(PeekNextMessage(message, false));
    DestroyWindowHandle(window.handle());
}

TEST(WindowOwnership, OnlyTheOwningThreadMayDestroyOrTimeAWindow) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testsupport::WindowThread owner;
    EXPECT_DEBUG_DEATH(EXPECT_FALSE(DestroyWindowHandle(owner.window())), "owning thread");
    EXPECT_DEBUG_DEATH(EXPECT_FALSE(SetWindowTimer(owner.window(), 1, 10)), "owning thread");
    EXPECT_TRUE(IsWindowHandle(owner.window()));
    EXPECT_TRUE(PostMessageTo(owner.window(), kMsgUser, 0, 0));  // any thread may post
}

}  // namespace
