#include "skin/MaskRegion.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using platform::gfx::Bitmap;
using platform::gfx::Rect;
using platform::gfx::Region;
using platform::gfx::Rgb;

// The region must hold exactly the pixels that are not pure white.
void ExpectRegionIsNonWhite(const Bitmap& mask, const Region& region) {
    std::int64_t inside = 0;
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            const bool solid = mask.GetPixel(x, y) != platform::gfx::kWhite;
            inside += solid ? 1 : 0;
            ASSERT_EQ(region.Contains(x, y), solid) << "pixel " << x << "," << y;
        }
    }
    EXPECT_EQ(region.Area(), inside);
    if (inside > 0) {
        const Rect bounds = region.Bounds();
        EXPECT_TRUE(bounds.left >= 0 && bounds.top >= 0 && bounds.right <= mask.Width() &&
                    bounds.bottom <= mask.Height());
    }
}

TEST(MaskRegion, NoBitmapGivesNoRegion) {
    EXPECT_FALSE(CreateRegionFromMask(Bitmap{}).has_value());
}

TEST(MaskRegion, WhiteIsOutsideAndEveryOtherColourInside) {
    // Widths around the scanner's 64-pixel chunks, so runs start and end on
    // both sides of chunk edges and in a short last chunk.
    for (int width : {1, 7, 63, 64, 65, 130, 200}) {
        Bitmap mask(width, 7, platform::gfx::kWhite);
        std::uint32_t seed = 12345u + static_cast<std::uint32_t>(width);
        for (int y = 0; y < mask.Height(); ++y) {
            for (int x = 0; x < width; ++x) {
                seed = seed * 1103515245u + 12345u;
                switch ((seed >> 16) % 5) {
                    case 0:
                        mask.SetPixel(x, y, platform::gfx::kBlack);
                        break;
                    case 1:
                        mask.SetPixel(x, y, Rgb(255, 254, 255));  // near white is inside
                        break;
                    case 2:
                        mask.SetPixel(x, y, Rgb(254, 255, 255));
                        break;
                    default:
                        break;  // white
                }
            }
        }
        // A run across every chunk; a white margin wider than a chunk, then
        // a run to the right edge.
        for (int x = 0; x < width; ++x) {
            mask.SetPixel(x, 4, Rgb(10, 20, 30));
            mask.SetPixel(x, 5, x < 130 ? platform::gfx::kWhite : platform::gfx::kBlack);
        }
        SCOPED_TRACE(width);
        auto region = CreateRegionFromMask(mask);
        ASSERT_TRUE(region.has_value());
        ExpectRegionIsNonWhite(mask, *region);
    }
}

TEST(MaskRegion, SinglePixelInTheLastColumnOfEachRow) {
    Bitmap mask(37, 5, platform::gfx::kWhite);
    for (int y : {0, 2, 4}) {
        mask.SetPixel(36, y, platform::gfx::kBlack);
    }
    auto region = CreateRegionFromMask(mask);
    ASSERT_TRUE(region.has_value());
    Region expected;
    for (int y : {0, 2, 4}) {
        expected = expected.Union(Region(Rect{36, y, 37, y + 1}));
    }
    EXPECT_EQ(*region, expected);
    EXPECT_EQ(region->Area(), 3);
}

TEST(MaskRegion, AllWhiteIsEmptyAndNoWhiteIsTheWholeBitmap) {
    auto empty = CreateRegionFromMask(Bitmap(20, 10, platform::gfx::kWhite));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->IsEmpty());

    auto full = CreateRegionFromMask(Bitmap(20, 10, Rgb(255, 255, 254)));
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(*full, Region(Rect{0, 0, 20, 10}));
}

}  // namespace
