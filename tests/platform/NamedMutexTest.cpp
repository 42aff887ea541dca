#include "platform/sync/NamedMutex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "platform/folders/KnownFolders.h"
#include "tests/platform/ManualClockDriver.h"
#include "tests/support/Sandbox.h"

namespace {

using platform::NamedMutex;
using Result = platform::NamedMutex::Result;

class NamedMutexTest : public testsupport::SandboxTest {};

TEST_F(NamedMutexTest, SecondHolderInTheSameProcessSeesItUntilTheFirstLetsGo) {
    const std::u16string name = u"{6CAD966C-747B-4D99-9DC9-29E45005CCD2}";
    NamedMutex other_name;
    {
        NamedMutex first;
        ASSERT_EQ(first.Create(name), Result::kCreated);
        EXPECT_TRUE(first.held());
        NamedMutex second;
        EXPECT_EQ(second.Create(name), Result::kAlreadyExists);
        EXPECT_FALSE(second.held());
        EXPECT_EQ(other_name.Create(u"another"), Result::kCreated);
    }
    NamedMutex after;
    EXPECT_EQ(after.Create(name), Result::kCreated);
}

TEST_F(NamedMutexTest, SeparatorsInTheNameStayInsideTheRuntimeFolder) {
    NamedMutex slash, backslash;
    ASSERT_EQ(slash.Create(u"Local/../x"), Result::kCreated);
    EXPECT_EQ(backslash.Create(u"Local\\..\\x"), Result::kAlreadyExists);
    auto runtime = platform::GetKnownFolder(platform::KnownFolder::kRuntime);
    ASSERT_TRUE(runtime);
    EXPECT_TRUE(std::filesystem::is_regular_file(*runtime + "/Local_.._x.lock"));
    EXPECT_EQ(NamedMutex().Create(u""), Result::kFailed);
}

TEST_F(NamedMutexTest, WaitingAcquireGivesUpWhenTheClockPassesTheTimeOut) {
    platform::ManualClock clock;
    testsupport::ScopedClock installed(&clock);
    NamedMutex holder;
    ASSERT_EQ(holder.Create(u"busy"), Result::kCreated);
    const uint64_t start = clock.MonotonicMs();
    auto waited =
        std::async(std::launch::async, [] { return NamedMutex().CreateWaiting(u"busy", 2000); });
    ASSERT_TRUE(testsupport::AdvanceUntilReady(clock, waited, 50));
    EXPECT_EQ(waited.get(), Result::kAlreadyExists);
    EXPECT_GE(clock.MonotonicMs() - start, 2000u);
}

TEST_F(NamedMutexTest, WaitingAcquireTakesTheMutexOnceTheHolderLetsGo) {
    platform::ManualClock clock;
    testsupport::ScopedClock installed(&clock);
    NamedMutex holder;
    ASSERT_EQ(holder.Create(u"handover"), Result::kCreated);
    const uint64_t start = clock.MonotonicMs();
    NamedMutex waiter;
    auto waited =
        std::async(std::launch::async, [&] { return waiter.CreateWaiting(u"handover", 60000); });
    for (int i = 0; i < 10; ++i) {
        clock.Advance(100);
    }
    holder.Release();
    ASSERT_TRUE(testsupport::AdvanceUntilReady(clock, waited, 10));
    EXPECT_EQ(waited.get(), Result::kCreated);
    EXPECT_TRUE(waiter.held());
    EXPECT_LT(clock.MonotonicMs() - start, 60000u);
}

}  // namespace
