#include "platform/gfx/Region.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using platform::gfx::Point;
using platform::gfx::Rect;
using platform::gfx::Region;

// A pixel set on a small grid, the reference the region is checked against.
constexpr int kMin = -4;
constexpr int kMax = 20;
constexpr int kSide = kMax - kMin;

struct PixelSet {
    std::vector<bool> in = std::vector<bool>(kSide * kSide, false);
    bool Has(int x, int y) const {
        return x >= kMin && x < kMax && y >= kMin && y < kMax &&
               in[static_cast<std::size_t>((y - kMin) * kSide + (x - kMin))];
    }
    void Set(int x, int y, bool value) {
        in[static_cast<std::size_t>((y - kMin) * kSide + (x - kMin))] = value;
    }
};

// A random shape: a few rectangles united or cut away, built alongside its
// pixel set.
Region RandomShape(std::mt19937& rng, PixelSet& pixels) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Region region;
    const int pieces = pick(0, 5);
    for (int i = 0; i < pieces; ++i) {
        const int left = pick(kMin, kMax - 1);
        const int top = pick(kMin, kMax - 1);
        const Rect rect{left, top, std::min(kMax, left + pick(0, 9)),
                        std::min(kMax, top + pick(0, 9))};
        const bool add = i == 0 || pick(0, 3) != 0;
        region = add ? region.Union(Region(rect)) : region.Subtract(Region(rect));
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                pixels.Set(x, y, add);
            }
        }
    }
    return region;
}

// The same pixels through the builder, row by row, in a shuffled order of
// one-pixel and overlapping spans.
Region BuildFromPixels(std::mt19937& rng, const PixelSet& pixels) {
    Region::Builder builder;
    for (int y = kMin; y < kMax; ++y) {
        std::vector<std::pair<int, int>> spans;
        for (int x = kMin; x < kMax; ++x) {
            if (pixels.Has(x, y)) {
                spans.emplace_back(x, x + 1);
                if (pixels.Has(x + 1, y) && rng() % 2 == 0) {
                    spans.emplace_back(x, x + 2);
                }
            }
        }
        std::shuffle(spans.begin(), spans.end(), rng);
        for (auto [left, right] : spans) {
            builder.AddSpan(y, left, right);
        }
    }
    return builder.Finish();
}

// Contains, area, bounds and rectangles all describe exactly the pixel set.
void ExpectDescribes(const Region& region, const PixelSet& pixels) {
    std::int64_t count = 0;
    Rect bounds{kMax, kMax, kMin, kMin};
    for (int y = kMin - 1; y <= kMax; ++y) {
        for (int x = kMin - 1; x <= kMax; ++x) {
            ASSERT_EQ(region.Contains(x, y), pixels.Has(x, y)) << x << "," << y;
            if (pixels.Has(x, y)) {
                ++count;
                bounds = Rect{std::min(bounds.left, x), std::min(bounds.top, y),
                              std::max(bounds.right, x + 1), std::max(bounds.bottom, y + 1)};
            }
        }
    }
    EXPECT_EQ(region.Area(), count);
    EXPECT_EQ(region.IsEmpty(), count == 0);
    EXPECT_EQ(region.Bounds(), count == 0 ? Rect{} : bounds);

    const std::vector<Rect> rects = region.Rects();
    std::int64_t covered = 0;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const Rect& r = rects[i];
        ASSERT_FALSE(r.IsEmpty());
        covered += std::int64_t{r.Width()} * r.Height();
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                ASSERT_TRUE(pixels.Has(x, y));
            }
        }
        for (std::size_t j = i + 1; j < rects.size(); ++j) {
            ASSERT_TRUE(r.Intersect(rects[j]).IsEmpty());
        }
        if (i > 0) {
            const Rect& p = rects[i - 1];
            ASSERT_TRUE(p.top < r.top || (p.top == r.top && p.right <= r.left));
        }
    }
    // Inside and disjoint, so equal areas mean every pixel is covered.
    EXPECT_EQ(covered, count);
}

TEST(RegionTest, OperationsMatchPixelSets) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        PixelSet pa;
        PixelSet pb;
        const Region a = RandomShape(rng, pa);
        const Region b = RandomShape(rng, pb);
        PixelSet pu;
        PixelSet pd;
        PixelSet pi;
        for (int y = kMin; y < kMax; ++y) {
            for (int x = kMin; x < kMax; ++x) {
                pu.Set(x, y, pa.Has(x, y) || pb.Has(x, y));
                pd.Set(x, y, pa.Has(x, y) && !pb.Has(x, y));
                pi.Set(x, y, pa.Has(x, y) && pb.Has(x, y));
            }
        }
        const Region u = a.Union(b);
        const Region d = a.Subtract(b);
        const Region i = a.Intersect(b);
        ExpectDescribes(a, pa);
        ExpectDescribes(u, pu);
        ExpectDescribes(d, pd);
        ExpectDescribes(i, pi);
        // Equal pixel sets are equal regions, however they were made.
        EXPECT_EQ(u, BuildFromPixels(rng, pu));
        EXPECT_EQ(d, BuildFromPixels(rng, pd));
        EXPECT_EQ(i, BuildFromPixels(rng, pi));
        EXPECT_EQ(u, b.Union(a));
        EXPECT_EQ(i, b.Intersect(a));
        EXPECT_EQ(d.Union(i), a);
        EXPECT_EQ(u.Subtract(b), d);
        if (HasFailure()) {
            return;
        }
    }
}

TEST(RegionTest, OffsetMovesEveryPixel) {
    std::mt19937 rng(99);
    PixelSet pixels;
    const Region region = RandomShape(rng, pixels);
    for (const Point d : {Point{3, -2}, Point{-7, 11}, Point{0, 0}}) {
        const Region moved = region.Offset(d.x, d.y);
        EXPECT_EQ(moved.Area(), region.Area());
        for (int y = kMin; y < kMax; ++y) {
            for (int x = kMin; x < kMax; ++x) {
                ASSERT_EQ(moved.Contains(x + d.x, y + d.y), pixels.Has(x, y));
            }
        }
        EXPECT_EQ(moved.Offset(-d.x, -d.y), region);
    }
}

TEST(RegionTest, BuilderMergesSpansAndEqualRows) {
    Region::Builder builder;
    for (int y = 2; y < 6; ++y) {
        builder.AddSpan(y, 5, 8);
        builder.AddSpan(y, 1, 3);
        builder.AddSpan(y, 3, 4);  // touches 1..3
        builder.AddSpan(y, 2, 3);  // inside it
        builder.AddSpan(y, 9, 9);  // empty
    }
    const Region region = builder.Finish();
    // Four equal rows are one band: two rectangles.
    EXPECT_EQ(region.Rects(), (std::vector<Rect>{{1, 2, 4, 6}, {5, 2, 8, 6}}));
    EXPECT_EQ(region, Region(Rect{1, 2, 4, 6}).Union(Region(Rect{5, 2, 8, 6})));
    // The builder starts afresh after Finish.
    EXPECT_TRUE(builder.Finish().IsEmpty());
}

TEST(RegionTest, BuilderTakesRowsThatGoBackwards) {
    Region::Builder builder;
    builder.AddSpan(5, 0, 4);
    builder.AddSpan(6, 0, 4);
    builder.AddSpan(2, 1, 2);  // above what came before
    builder.AddSpan(5, 3, 9);  // a row seen already
    builder.AddSpan(7, 0, 4);
    Region expected = Region(Rect{0, 5, 4, 8});
    expected = expected.Union(Region(Rect{1, 2, 2, 3})).Union(Region(Rect{3, 5, 9, 6}));
    EXPECT_EQ(builder.Finish(), expected);
}

TEST(RegionTest, EmptyRegions) {
    const Region empty;
    EXPECT_EQ(Region(Rect{3, 3, 3, 9}), empty);
    EXPECT_EQ(Region(Rect{5, 5, 1, 1}), empty);
    EXPECT_EQ(empty.Bounds(), Rect{});
    EXPECT_EQ(empty.Area(), 0);
    EXPECT_TRUE(empty.Rects().empty());
    EXPECT_FALSE(empty.Contains(0, 0));
    const Region box(Rect{0, 0, 4, 4});
    EXPECT_EQ(box.Subtract(box), empty);
    EXPECT_EQ(box.Intersect(Region(Rect{4, 0, 8, 4})), empty);  // touching is not sharing
    EXPECT_EQ(box.Union(empty), box);
    EXPECT_EQ(empty.Subtract(box), empty);
    EXPECT_EQ(Region(Rect{0, 0, 2, 4}).Union(Region(Rect{2, 0, 4, 4})), box);
}

TEST(RegionTest, ForEachRectInCutsToTheArea) {
    std::mt19937 rng(4);
    for (int round = 0; round < 50; ++round) {
        PixelSet pixels;
        const Region region = RandomShape(rng, pixels);
        const Rect area{int(rng() % 10) - 4, int(rng() % 10) - 4, int(rng() % 14) + 4,
                        int(rng() % 14) + 4};
        const Region expected = region.Intersect(Region(area));
        Region seen;
        std::int64_t area_sum = 0;
        region.ForEachRectIn(area, [&](const Rect& r) {
            ASSERT_FALSE(r.IsEmpty());
            seen = seen.Union(Region(r));
            area_sum += std::int64_t{r.Width()} * r.Height();
        });
        EXPECT_EQ(seen, expected) << round;
        EXPECT_EQ(area_sum, expected.Area()) << round;  // no overlaps
    }
}

}  // namespace
