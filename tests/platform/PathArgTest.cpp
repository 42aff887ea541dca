#include "platform/files/PathArg.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace {

using platform::PathArg;

struct NarrowCase {
    const char* name;
    std::string cp936;
    std::optional<std::string> native;
};

void PrintTo(const NarrowCase& c, std::ostream* out) {
    *out << c.name;
}

class PathArgNarrow : public ::testing::TestWithParam<NarrowCase> {};

TEST_P(PathArgNarrow, ConvertsToUtf8ThenSeparators) {
    const NarrowCase& c = GetParam();
    EXPECT_EQ(PathArg(c.cp936).native(), c.native);
}

// 誠 is D5 5C in code page 936: its second byte is a backslash.
INSTANTIATE_TEST_SUITE_P(
    Cases, PathArgNarrow,
    ::testing::Values(
        NarrowCase{"Ascii", "a\\b/c.txt", std::string("a/b/c.txt")},
        NarrowCase{"AsciiAbsolute", "/x/y", std::string("/x/y")},
        NarrowCase{"TrailByteBackslash", "dir\\\xD5\x5C.txt", std::string("dir/\xE8\xAA\xA0.txt")},
        NarrowCase{"TrailByteBackslashAtEnd", "\xD5\x5C", std::string("\xE8\xAA\xA0")},
        NarrowCase{"TrailByteBackslashThenSeparator", "\xD5\x5C\\x", std::string("\xE8\xAA\xA0/x")},
        NarrowCase{"TwoCharacters", "\xB1\xED\\\xD5\x5C", std::string("\xE8\xA1\xA8/\xE8\xAA\xA0")},
        NarrowCase{"Empty", "", std::nullopt}, NarrowCase{"InvalidByte", "a\xFF", std::nullopt},
        NarrowCase{"LoneLeadByte", "a\\\xB1", std::nullopt},
        NarrowCase{"EmbeddedZero", std::string("a\0b", 3), std::nullopt}),
    [](const ::testing::TestParamInfo<NarrowCase>& info) { return std::string(info.param.name); });

struct WideCase {
    const char* name;
    std::u16string wide;
    std::optional<std::string> native;
};

void PrintTo(const WideCase& c, std::ostream* out) {
    *out << c.name;
}

class PathArgWide : public ::testing::TestWithParam<WideCase> {};

TEST_P(PathArgWide, ConvertsToUtf8ThenSeparators) {
    const WideCase& c = GetParam();
    EXPECT_EQ(PathArg(c.wide).native(), c.native);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathArgWide,
    ::testing::Values(
        WideCase{"Ascii", u"C:\\x\\y.txt", std::string("C:/x/y.txt")},
        WideCase{"Cjk", u"\u8868\\\u8AA0", std::string("\xE8\xA1\xA8/\xE8\xAA\xA0")},
        WideCase{"SurrogatePair", u"a\\\U0001F600", std::string("a/\xF0\x9F\x98\x80")},
        WideCase{"Empty", u"", std::nullopt},
        WideCase{"LoneHighSurrogate", std::u16string(u"a") + char16_t(0xD83D), std::nullopt},
        WideCase{"LoneLowSurrogate", std::u16string(1, char16_t(0xDE00)) + u"b", std::nullopt},
        WideCase{"ReversedPair", std::u16string{char16_t(0xDE00), char16_t(0xD83D)}, std::nullopt}),
    [](const ::testing::TestParamInfo<WideCase>& info) { return std::string(info.param.name); });

TEST(PathArg, ImplicitConstructionFromEveryKind) {
    const char* c_str = "a\\b";
    std::string str = "a\\b";
    const char16_t* w_str = u"a\\b";
    std::u16string wstr = u"a\\b";
    for (const PathArg& arg : {PathArg(c_str), PathArg(str), PathArg(w_str), PathArg(wstr)}) {
        EXPECT_EQ(arg.native(), std::string("a/b"));
    }
}

TEST(PathArg, NativeIsTakenAsIs) {
    EXPECT_EQ(PathArg::Native("a\\b/\xE8\xAA\xA0").native(), std::string("a\\b/\xE8\xAA\xA0"));
    EXPECT_FALSE(PathArg::Native("").native());
}

TEST(PathArg, NativeToCp936AndWide) {
    EXPECT_EQ(platform::Cp936PathFromNative("dir/\xE8\xAA\xA0"), std::string("dir/\xD5\x5C"));
    EXPECT_EQ(platform::Cp936PathFromNative("\xF0\x9F\x98\x80"), std::nullopt);
    EXPECT_EQ(platform::WidePathFromNative("dir/\xE8\xAA\xA0"), u"dir/\u8AA0");
}

}  // namespace
