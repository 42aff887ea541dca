#include "download/FormatByteSize.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(FormatByteSizeTest, EachUnitStartsAtItsPowerOfTwo) {
    struct Case {
        std::int64_t bytes;
        const char* text;
    };
    constexpr std::int64_t kGiga = std::int64_t{1} << 30;
    constexpr std::int64_t kTera = std::int64_t{1} << 40;
    const Case cases[] = {
        {0, "0"},
        {1023, "1023"},
        {-5, "-5"},
        {-3000000, "-3000000"},
        {1024, "1.0K"},
        {1536, "1.5K"},
        {1048575, "1024.0K"},
        {1048576, "1.0M"},
        {kGiga - 1, "1024.0M"},
        {kGiga, "1.0G"},
        {kTera, "1.0T"},
        {INT64_MAX, "8388608.0T"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatByteSize(c.bytes), c.text) << c.bytes;
    }
}

}  // namespace
