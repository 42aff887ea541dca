#include "platform/text/DecimalText.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(DecimalText, ReadsLikeAtoiAndSaturates) {
    const std::pair<const char*, int> cases[] = {
        {"42", 42},
        {" \t\n-12x", -12},
        {"+7", 7},
        {"", 0},
        {"abc", 0},
        {"- 3", 0},
        {"0012", 12},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-99999999999999999999", INT_MIN},
        {"1e3", 1},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(platform::ParseIntLikeAtoi(text), value) << '"' << text << '"';
    }
}

}  // namespace
