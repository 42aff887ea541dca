#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/TextUtil.h"

namespace {

// "设" in code page 936 and in UTF-8.
const std::string kSheCp936 = "\xC9\xE8";
const std::string kSheUtf8 = "\xE8\xAE\xBE";
// A character whose second byte is a backslash (U+4E57).
const std::string kBackslashTrail = "\x81\x5C";

TEST(EscapeUrlTest, KeepsTheAddressHeadAndEscapesTheRest) {
    struct Case {
        std::string url;
        std::string escaped;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"http://host.example/a b=c", "http://host.example/a%20b%3Dc"},
        {"https://h.example:8080/x\\y.dat?rand=12&a#f@",
         "https://h.example:8080/x\\y.dat?rand%3D12&a#f@"},
        {"http://h/ -_~+%", "http://h/%20%2D%5F%7E%2B%25"},
        {"http://h/" + kSheCp936, "http://h/%E8%AE%BE"},
        // The first slash counted is the one at position 8 or later.
        {"abcdefgh/ a", "abcdefgh/%20a"},
        {"abcdefg/ a", "abcdefg/%20a"},
        {"c:\\a_b/c", "c:\\a%5Fb/c"},
        {"http://h", "http://h"},
        // Bytes that are not code page 936 are converted to '?' first.
        {"http://h/\xFF", "http://h/?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EscapeUrl(c.url), c.escaped) << c.url;
    }
}

TEST(GbkToUtf8Test, ConvertsAndRefusesTextsBeyondTheBufferLimits) {
    struct Case {
        std::string cp936;
        std::string utf8;
    };
    // (n / 2) * 3 + 4 reaches 524288 at n = 349524.
    const std::string largest(349523, 'a');
    const std::string too_large(349524, 'a');
    const std::vector<Case> cases = {
        {"", ""},
        {"plain/path.txt", "plain/path.txt"},
        {"a" + kSheCp936 + "b", "a" + kSheUtf8 + "b"},
        {kBackslashTrail, "\xE4\xB9\x97"},
        {"\x80", "\xE2\x82\xAC"},
        {"x\xFF", "x?"},
        {"x\xC9", "x?"},
        {largest, largest},
        {too_large, "<ERR_MEMORY>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GbkToUtf8(c.cp936), c.utf8) << c.cp936.substr(0, 20);
    }
    EXPECT_EQ(EscapeUrl("http://h/" + too_large), "%3CERR%5FMEMORY%3E");
}

TEST(EncodeUtf8UnitsTest, EncodesUnitByUnitWithinTheBudget) {
    struct Case {
        std::u16string wide;
        std::size_t budget;
        std::string utf8;
    };
    const std::vector<Case> cases = {
        {u"", 8, ""},
        {u"A\u00E9\u8BBE", 6, "A\xC3\xA9\xE8\xAE\xBE"},
        // A surrogate pair is two 3-byte sequences, not one 4-byte one.
        {u"\U0001F600", 6, "\xED\xA0\xBD\xED\xB8\x80"},
        // Stops before the unit that does not fit.
        {u"a\u00E9b", 2, "a"},
        {u"ab\u8BBE", 4, "ab"},
        {u"ab\u8BBE", 5, "ab\xE8\xAE\xBE"},
        {std::u16string(u"a\0b", 3), 8, "a"},
    };
    for (const Case& c : cases) {
        std::string out = "prefix";
        EXPECT_EQ(EncodeUtf8Units(c.wide, c.budget, out), c.utf8.size());
        EXPECT_EQ(out, "prefix" + c.utf8);
    }
}

// The conversions keep no shared buffers: many threads at once get exactly
// what one thread gets.
TEST(EscapeUrlTest, GivesTheSameResultsOnManyThreadsAtOnce) {
    std::vector<std::string> urls;
    for (int i = 0; i < 8; ++i) {
        urls.push_back("http://h.example/dir " + std::to_string(i) + "/" + kSheCp936 +
                       std::string(100 + i * 300, static_cast<char>('a' + i)) + "=x");
    }
    std::vector<std::string> expected_escaped;
    std::vector<std::string> expected_utf8;
    for (const std::string& url : urls) {
        expected_escaped.push_back(EscapeUrl(url));
        expected_utf8.push_back(GbkToUtf8(url));
    }
    std::vector<int> mismatches(urls.size(), 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < urls.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 300; ++round) {
                const std::size_t i = (t + round) % urls.size();
                mismatches[t] += EscapeUrl(urls[i]) != expected_escaped[i];
                mismatches[t] += GbkToUtf8(urls[i]) != expected_utf8[i];
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches, std::vector<int>(urls.size(), 0));
}

TEST(ToForwardSlashesTest, TurnsSeparatorsButNotSecondBytes) {
    struct Case {
        std::string text;
        std::string slashed;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"LauncherVersion\\Launcher_1\\a.dat", "LauncherVersion/Launcher_1/a.dat"},
        {"d\\" + kBackslashTrail + "\\x", "d/" + kBackslashTrail + "/x"},
        {"d\\" + kBackslashTrail, "d/" + kBackslashTrail},
        // A lead byte at the very end has no second byte to skip.
        {"d\\\xC9", "d/\xC9"},
        // 0x80 and 0xFF open no double-byte character.
        {"\x80\\\xFF\\", "\x80/\xFF/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToForwardSlashes(c.text), c.slashed) << c.text;
    }
}

TEST(StripWhitespaceTest, RemovesBlanksTabsAndLineEnds) {
    std::string text = " 1.0.\t2\r\n 3 \n";
    StripWhitespace(text);
    EXPECT_EQ(text, "1.0.23");
}

TEST(SplitCommaTest, KeepsOnlyNonEmptyFields) {
    struct Case {
        std::string text;
        std::vector<std::string> fields;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {",a,,b,", {"a", "b"}},
        {"a", {"a"}},
        {",,,", {}},
        {"path,md5,crc,12,0", {"path", "md5", "crc", "12", "0"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> fields = {"stale"};
        EXPECT_EQ(SplitComma(fields, c.text), static_cast<int>(c.fields.size())) << c.text;
        EXPECT_EQ(fields, c.fields) << c.text;
    }
}

TEST(WideUtf8Test, ConvertsBothWaysAndReplacesBrokenUnits) {
    EXPECT_EQ(WideToUtf8(u"设置 x"), "\xE8\xAE\xBE\xE7\xBD\xAE x");
    EXPECT_EQ(Utf8ToWide("\xE8\xAE\xBE\xE7\xBD\xAE x"), u"设置 x");
    EXPECT_EQ(WideToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToWide("a\xFF"), u"a\uFFFD");
}

}  // namespace
