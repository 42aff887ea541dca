#include "platform/text/TextConversion.h"

#include <gtest/gtest.h>

namespace {

using platform::Cp936ToUtf8Strict;
using platform::FindLastCp936Separator;
using platform::Utf16ToUtf8;
using platform::Utf8ToCp936Strict;
using platform::Utf8ToUtf16;

TEST(TextConversion, Cp936RoundTripsThroughUtf8) {
    // 表 (B1 ED), 誠 (D5 5C: its second byte is a backslash), the euro sign (80).
    const std::string cp936 = "a\xB1\xED\\\xD5\x5C\x80";
    auto utf8 = Cp936ToUtf8Strict(cp936);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(*utf8, "a\xE8\xA1\xA8\\\xE8\xAA\xA0\xE2\x82\xAC");
    EXPECT_EQ(Utf8ToCp936Strict(*utf8), cp936);
}

TEST(TextConversion, StrictConversionsRefuseWhatDoesNotConvert) {
    EXPECT_FALSE(Cp936ToUtf8Strict("\xFF"));
    EXPECT_FALSE(Cp936ToUtf8Strict("\xB1"));              // lead byte without its second byte
    EXPECT_FALSE(Utf8ToCp936Strict("\xF0\x9F\x98\x80"));  // no code page 936 form
    EXPECT_FALSE(platform::Utf16ToCp936Strict(u"\xD83D"));
    EXPECT_EQ(platform::Cp936ToUtf16("a\xFF"
                                     "b"),
              u"a?b");
}

TEST(TextConversion, Utf16AndUtf8) {
    EXPECT_EQ(Utf16ToUtf8(u"h\u00e9\u8868\U0001F600"), "h\xC3\xA9\xE8\xA1\xA8\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUtf16("h\xC3\xA9\xE8\xA1\xA8\xF0\x9F\x98\x80"), u"h\u00e9\u8868\U0001F600");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("a\xC0\xAF"
                          "b"),
              u"a\uFFFD\uFFFDb");                         // overlong slash
    EXPECT_EQ(Utf8ToUtf16("\xE8\xA1"), u"\uFFFD\uFFFD");  // cut short
}

TEST(TextConversion, LastSeparatorStepsOverDoubleByteCharacters) {
    EXPECT_EQ(FindLastCp936Separator("dir\\\xD5\x5C"), 3u);
    EXPECT_EQ(FindLastCp936Separator("\xD5\x5C"), std::string::npos);
    EXPECT_EQ(FindLastCp936Separator("a/b\\c"), 3u);
    EXPECT_EQ(FindLastCp936Separator(""), std::string::npos);
}

}  // namespace
