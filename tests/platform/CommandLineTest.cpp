#include "platform/process/CommandLine.h"

#include <gtest/gtest.h>

#include "platform/text/TextConversion.h"

namespace {

using platform::BuildCommandLine;
using platform::SplitCommandLine;
using Args = std::vector<std::u16string>;

std::string Show(const Args& args) {
    std::string text;
    for (const auto& arg : args) {
        text += "[" + platform::Utf16ToUtf8(arg) + "]";
    }
    return text;
}

TEST(CommandLine, BuildsWhatSplitsBackIntoTheSameArguments) {
    struct Case {
        Args args;
        std::u16string line;
    };
    const Case cases[] = {
        {{u"Launch.bin", u"-runbin", u"-miniTask=1"}, u"Launch.bin -runbin -miniTask=1"},
        {{u"C:\\Program Files\\Vela\\Launcher.exe", u"-repaire"},
         u"\"C:\\Program Files\\Vela\\Launcher.exe\" -repaire"},
        {{u"a", u"", u"b"}, u"a \"\" b"},
        {{u""}, u"\"\""},
        {{u"say \"hi\""}, u"\"say \\\"hi\\\"\""},
        {{u"a\\\"b"}, u"\"a\\\\\\\"b\""},            // backslash before a quote
        {{u"dir\\", u"x"}, u"dir\\ x"},              // unquoted: backslash stays single
        {{u"with space\\"}, u"\"with space\\\\\""},  // quoted: doubled before the close
        {{u"\\\\server\\share\\f.exe"}, u"\\\\server\\share\\f.exe"},
        {{u"tab\there"}, u"\"tab\there\""},
        {{u"\u8def\u5f84 \u7a0b\u5e8f"}, u"\"\u8def\u5f84 \u7a0b\u5e8f\""},
        {{}, u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildCommandLine(c.args), c.line) << Show(c.args);
        EXPECT_EQ(SplitCommandLine(c.line), c.args) << Show(c.args);
    }
}

TEST(CommandLine, SplitsByTheQuotingRules) {
    struct Case {
        std::u16string line;
        Args args;
    };
    const Case cases[] = {
        {u"  a \t b\t\tc  ", {u"a", u"b", u"c"}},
        {u"\"a b\"c d", {u"a bc", u"d"}},
        {u"a\\\\b", {u"a\\\\b"}},          // no quote follows: literal
        {u"\"a\\\\\" b", {u"a\\", u"b"}},  // 2n: n backslashes, quote closes
        {u"a\\\\\\\"b", {u"a\\\"b"}},      // 2n+1: n backslashes and a quote
        {u"\"a\"\"b\"", {u"ab"}},          // a doubled quote only toggles twice
        {u"\"open to the end", {u"open to the end"}},
        {u"\"\" \"\"", {u"", u""}},
        {u"C:\\Program Files\\x.exe -runbin", {u"C:\\Program", u"Files\\x.exe", u"-runbin"}},
        {u"", {}},
        {u" \t ", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.line), c.args) << platform::Utf16ToUtf8(c.line);
    }
}

// Every argument of up to five characters drawn from the ones that matter
// survives a round trip, alone and between neighbours.
TEST(CommandLine, EveryShortArgumentSurvivesARoundTrip) {
    const std::u16string alphabet = u"a \t\"\\";
    std::vector<std::u16string> words = {u""};
    for (std::size_t start = 0, length = 0; length < 5; ++length) {
        std::size_t end = words.size();
        for (std::size_t i = start; i < end; ++i) {
            for (char16_t c : alphabet) {
                words.push_back(words[i] + c);
            }
        }
        start = end;
    }
    for (const std::u16string& word : words) {
        for (const Args& args : {Args{word}, Args{word, u"\\"}, Args{u"p\\", word, word}}) {
            ASSERT_EQ(SplitCommandLine(BuildCommandLine(args)), args) << Show(args);
        }
    }
}

}  // namespace
