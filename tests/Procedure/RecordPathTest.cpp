#include "Procedure/RecordPath.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordPath, OnlyPathsInsideTheInstallationPass) {
    struct Case {
        const char* path;
        bool inside;
    } cases[] = {
        {"Launcher.exe", true},
        {"data\\sub\\a.bin", true},
        {"data/a.bin", true},
        {".\\a.bin", true},
        {"a..b\\c", true},
        {"\xD5\x5C..", true},  // the 0x5C ends a character: one name, not a separator
        {"", false},
        {".", false},
        {"\\Windows\\x", false},
        {"/etc/passwd", false},
        {"C:\\x", false},
        {"c:x", false},
        {"..\\x", false},
        {"a\\..\\..\\x", false},
        {"a/../b", false},
        {"a\\..", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsInstallRelativePath(c.path), c.inside) << c.path;
    }
}

}  // namespace
