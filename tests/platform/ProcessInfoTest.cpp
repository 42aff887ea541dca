#include "platform/process/ProcessInfo.h"

#include <gtest/gtest.h>

#include "platform/process/CommandLine.h"

namespace {

TEST(ProcessInfo, ModulePathIsThisExecutableInEveryForm) {
    const std::string native = platform::GetModulePathNative();
    ASSERT_FALSE(native.empty());
    EXPECT_EQ(native.front(), '/');
    EXPECT_TRUE(native.ends_with("/platform_tests")) << native;

    const std::u16string wide = platform::GetModulePathWide();
    EXPECT_TRUE(wide.ends_with(u"\\platform_tests"));
    EXPECT_EQ(wide.find(u'/'), std::u16string::npos);
    EXPECT_EQ(platform::GetModulePathCp936().size(), native.size());
}

TEST(ProcessInfo, CommandLineStartsWithTheProgramAsStarted) {
    auto args = platform::SplitCommandLine(platform::GetProcessCommandLine());
    ASSERT_FALSE(args.empty());
    EXPECT_TRUE(args.front().ends_with(u"platform_tests"));
}

}  // namespace
