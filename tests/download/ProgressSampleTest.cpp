#include "download/ProgressSample.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

struct Step {
    std::int64_t total;
    std::int64_t downloaded;
    std::uint32_t tick;
    // What the sample holds afterwards.
    std::int64_t kept_downloaded;
    int speed;
};

void Replay(CProgressSample& sample, const std::vector<Step>& steps) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        sample.Take(s.total, s.downloaded, s.tick);
        EXPECT_EQ(sample.downloaded(), s.kept_downloaded) << "step " << i;
        EXPECT_EQ(sample.speed(), s.speed) << "step " << i;
    }
}

TEST(ProgressSampleTest, SpeedIsMeasuredOnlyAcrossMoreThanASecond) {
    CProgressSample sample;
    Replay(sample, {
                       {100000, 1000, 5000, 1000, 0},     // first sample: no speed yet
                       {100000, 4000, 5500, 1000, 0},     // within a second: ignored
                       {100000, 5000, 6000, 1000, 0},     // exactly 1000 ms: still ignored
                       {100000, 6000, 7000, 6000, 2500},  // 5000 bytes over 2 s
                       {100000, 9000, 8500, 9000, 2000},  // 3000 bytes over 1.5 s
                   });
    EXPECT_EQ(sample.total(), 100000);
}

TEST(ProgressSampleTest, ShrinkingCountsGiveZeroAndWrappedTicksKeepMeasuring) {
    CProgressSample reused;
    Replay(reused, {
                       {9000, 9000, 1000, 9000, 0},
                       // A new transfer measured against the old sample.
                       {500, 100, 3000, 100, 0},
                   });

    CProgressSample wrapping;
    Replay(wrapping, {
                         {10, 1, UINT32_MAX - 499, 1, 0},
                         {10, 3001, 1500, 3001, 1500},  // 2000 ms across the wrap
                     });

    CProgressSample fast;
    Replay(fast, {
                     {1, 1, 1000, 1, 0},
                     {1, 0xFFFFFFFF, 2001, 0xFFFFFFFF, INT_MAX},
                 });
}

}  // namespace
