#include "platform/runtime/Random.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using platform::RuntimeRand;
using platform::RuntimeSrand;

std::vector<int> Draw(int n) {
    std::vector<int> values;
    for (int i = 0; i < n; ++i) {
        values.push_back(RuntimeRand());
    }
    return values;
}

TEST(Random, SequenceOfTheOriginalRuntime) {
    RuntimeSrand(1);
    EXPECT_EQ(Draw(5), (std::vector<int>{41, 18467, 6334, 26500, 19169}));
}

TEST(Random, StateIsPerThreadAndStartsAtOne) {
    RuntimeSrand(12345);
    RuntimeRand();
    std::vector<int> fresh;
    std::thread([&] { fresh = Draw(5); }).join();  // a new thread starts at state 1
    EXPECT_EQ(fresh, (std::vector<int>{41, 18467, 6334, 26500, 19169}));

    // Two threads drawing at once do not disturb each other.
    RuntimeSrand(7);
    std::vector<int> expected = Draw(1000);
    std::vector<int> a, b;
    std::thread ta([&] {
        RuntimeSrand(7);
        a = Draw(1000);
    });
    std::thread tb([&] {
        RuntimeSrand(7);
        b = Draw(1000);
    });
    ta.join();
    tb.join();
    EXPECT_EQ(a, expected);
    EXPECT_EQ(b, expected);
}

TEST(Random, StateArithmeticWrapsModulo2To32) {
    struct Case {
        uint32_t seed;
        int first;
    } cases[] = {
        // state' = state * 214013 + 2531011 mod 2^32; value = state' >> 16 & 0x7FFF
        {0, static_cast<int>((2531011u >> 16) & 0x7FFF)},
        {0xFFFFFFFFu, static_cast<int>(((0xFFFFFFFFu * 214013u + 2531011u) >> 16) & 0x7FFF)},
        {0x7A3F19C5u, static_cast<int>(((0x7A3F19C5u * 214013u + 2531011u) >> 16) & 0x7FFF)},
    };
    for (const Case& c : cases) {
        RuntimeSrand(c.seed);
        int value = RuntimeRand();
        EXPECT_EQ(value, c.first) << c.seed;
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 0x7FFF);
    }
    RuntimeSrand(0);
    EXPECT_EQ(RuntimeRand(), 38);
}

}  // namespace
