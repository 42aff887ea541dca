#include "platform/profile/ProfileReader.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/support/Sandbox.h"

namespace {

using platform::GetProfileInt;
using platform::GetProfileString;

class ProfileReaderTest : public testsupport::SandboxTest {
  protected:
    void SetUp() override {
        SandboxTest::SetUp();
        WriteFile(work() / "p.ini",
                  "; a comment line\r\n"
                  "top=before any section\r\n"
                  "[Launcher]\r\n"
                  "launcherUrl = http://a.example/x \r\n"
                  "LAUNCHERURL=second entry of the same key\r\n"
                  "\tpadded\t=\t tabs and blanks \t\r\n"
                  "empty=\r\n"
                  "equals=a=b=c\r\n"
                  "; key=commented out\r\n"
                  "garbage line without equals sign\r\n"
                  "  [  Debug  ]  \n"
                  "debug=1\n"
                  "neg= -42\n"
                  "plus=+17xyz\n"
                  "junk=abc\n"
                  "spaced=   7 8\n"
                  "big=4294967297\n"
                  "[launcher]\n"
                  "onlyInSecond=never seen\n"
                  "launcherUrl=from the second section\n"
                  "[empty section]\n"
                  "[Last]\n"
                  "noNewline=end");
    }
};

TEST_F(ProfileReaderTest, Strings) {
    const struct {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"launcher", "launcherUrl", "http://a.example/x"},  // trimmed, first match wins
        {"LAUNCHER", "LauncherURL", "http://a.example/x"},  // ASCII case ignored
        {"launcher", "padded", "tabs and blanks"},
        {"launcher", "empty", ""},
        {"launcher", "equals", "a=b=c"},          // split at the first '='
        {"launcher", "key", "default"},           // a comment is no entry
        {"launcher", "onlyInSecond", "default"},  // only the first section counts
        {"launcher", "debug", "default"},         // keys of other sections stay there
        {"debug", "debug", "1"},                  // section names are trimmed
        {"Debug", "neg", "-42"},
        {"last", "noNewline", "end"},
        {"missing", "launcherUrl", "default"},
        {"empty section", "x", "default"},
        {"", "top", "default"},  // lines before a section belong to none
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetProfileString(c.section, c.key, "default", "p.ini"), c.expected)
            << c.section << "/" << c.key;
    }
}

TEST_F(ProfileReaderTest, Integers) {
    const struct {
        const char* section;
        const char* key;
        int expected;
    } cases[] = {
        {"debug", "debug", 1},       {"debug", "neg", -42},
        {"debug", "plus", 17},       {"debug", "junk", 0},          // no digits: 0, not the default
        {"debug", "spaced", 7},      {"debug", "big", 2147483647},  // saturates, as atoi does
        {"launcher", "empty", 99},                                  // empty value: the default
        {"launcher", "missing", 99}, {"missing", "debug", 99},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetProfileInt(c.section, c.key, 99, "p.ini"), c.expected)
            << c.section << "/" << c.key;
    }
}

TEST_F(ProfileReaderTest, MissingFileGivesTheDefault) {
    EXPECT_EQ(GetProfileString("launcher", "launcherUrl", "dflt", "missing.ini"), "dflt");
    EXPECT_EQ(GetProfileInt("debug", "debug", -5, ".\\missing.ini"), -5);
    EXPECT_EQ(GetProfileString("launcher", "launcherUrl", "dflt", ""), "dflt");
}

TEST_F(ProfileReaderTest, FileIsReadOnEveryCall) {
    WriteFile(work() / "live.ini", "[a]\nk=1\n");
    EXPECT_EQ(GetProfileInt("a", "k", 0, ".\\live.ini"), 1);
    WriteFile(work() / "live.ini", "[a]\nk=2\n");
    EXPECT_EQ(GetProfileInt("a", "k", 0, u".\\live.ini"), 2);
}

TEST_F(ProfileReaderTest, Cp936FileNameAndValue) {
    // Value bytes are returned as they are in the file (code page 936 here).
    WriteFile(work() / "\xE8\xAA\xA0.ini", "[Version]\nVersion=\xD5\x5C 1.0.2\n");
    EXPECT_EQ(GetProfileString("Version", "Version", "", "\xD5\x5C.ini"), "\xD5\x5C 1.0.2");
}

}  // namespace
