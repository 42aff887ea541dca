#include <gtest/gtest.h>

#include "platform/process/ChildProcess.h"
#include "platform/sync/NamedMutex.h"
#include "tests/platform/integration/ProbeTest.h"

namespace {

using platform::ChildProcess;
using platform::NamedMutex;
using Result = platform::NamedMutex::Result;

constexpr char16_t kName[] = u"{6CAD966C-747B-4D99-9DC9-29E45005CCD2}";

class NamedMutexProcessTest : public testsupport::ProbeTest {};

TEST_F(NamedMutexProcessTest, AnotherProcessHoldsItUntilItEnds) {
    ChildProcess child;
    StartProbe(child, {u"mutex", kName, ReleaseFile()});
    ASSERT_EQ(ReadUntil(child, "\n"), "created\n");
    EXPECT_EQ(NamedMutex().Create(kName), Result::kAlreadyExists);

    Release();  // the child ends without releasing the mutex itself
    ASSERT_TRUE(child.WaitForExit(20000));
    EXPECT_EQ(NamedMutex().Create(kName), Result::kCreated);
}

TEST_F(NamedMutexProcessTest, AnotherProcessSeesOursAndChildrenDoNotInheritIt) {
    NamedMutex ours;
    ASSERT_EQ(ours.Create(kName), Result::kCreated);
    EXPECT_EQ(RunProbe({u"mutex", kName, ReleaseFile()}), "exists\n");

    ChildProcess child;
    StartProbe(child, {u"wait", ReleaseFile()});
    ours.Release();
    // Had the running child inherited the lock, it would still hold it.
    EXPECT_EQ(NamedMutex().Create(kName), Result::kCreated);
    EXPECT_FALSE(child.WaitForExit(0));
    Release();
    EXPECT_TRUE(child.WaitForExit(20000));
}

}  // namespace
