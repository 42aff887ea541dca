#include "platform/gfx/DeviceContext.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "platform/gfx/Icon.h"

namespace {

using platform::gfx::Bitmap;
using platform::gfx::Color;
using platform::gfx::DeviceContext;
using platform::gfx::kBlack;
using platform::gfx::kWhite;
using platform::gfx::Point;
using platform::gfx::RasterOp;
using platform::gfx::Rect;
using platform::gfx::Region;
using platform::gfx::Rgb;

int Pick(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

Bitmap Noise(std::mt19937& rng, int width, int height) {
    Bitmap bitmap(width, height);
    for (std::uint8_t& byte : bitmap.Bytes()) {
        byte = static_cast<std::uint8_t>(rng());
    }
    return bitmap;
}

Color Apply(RasterOp op, Color d, Color s) {
    switch (op) {
        case RasterOp::kCopy:
            return s;
        case RasterOp::kXor:
            return d ^ s;
        case RasterOp::kAnd:
            return d & s;
    }
    return 0;
}

std::optional<Region> RandomClip(std::mt19937& rng) {
    if (Pick(rng, 0, 3) == 0) {
        return std::nullopt;
    }
    Region clip;
    for (int i = Pick(rng, 1, 3); i > 0; --i) {
        clip = clip.Union(Region(Rect::FromSize(Pick(rng, -4, 12), Pick(rng, -4, 10),
                                                Pick(rng, 1, 9), Pick(rng, 1, 9))));
    }
    return clip;
}

// Blits of every kind against a pixel-by-pixel model: inside the clip (cut to
// the target) and the destination rectangle each byte is op(D, S), with S
// black outside the source; everything else stays.
TEST(DeviceContextTest, BlitsMatchPixelModel) {
    std::mt19937 rng(11);
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        Bitmap target = Noise(rng, 12, 10);
        const Bitmap before = target;
        Bitmap other = Noise(rng, 7, 6);
        const Point origin{Pick(rng, -3, 3), Pick(rng, -3, 3)};
        const std::optional<Region> clip = RandomClip(rng);
        DeviceContext dc(target, origin, clip);
        const int x = Pick(rng, -6, 12);
        const int y = Pick(rng, -6, 10);
        const int w = Pick(rng, -1, 12);
        const int h = Pick(rng, -1, 12);
        const int sx = Pick(rng, -4, 8);
        const int sy = Pick(rng, -4, 8);
        const RasterOp op = static_cast<RasterOp>(Pick(rng, 0, 2));
        // Source in source-bitmap coordinates, as the model reads it.
        const Bitmap* source = &other;
        Point source_at{sx, sy};
        switch (round % 3) {
            case 0:
                dc.BitBlt(x, y, w, h, other, sx, sy, op);
                break;
            case 1: {
                const Point source_origin{Pick(rng, -2, 2), Pick(rng, -2, 2)};
                const DeviceContext source_dc(other, source_origin, RandomClip(rng));
                dc.BitBlt(x, y, w, h, source_dc, sx, sy, op);
                source_at = Point{sx + source_origin.x, sy + source_origin.y};
                break;
            }
            case 2: {
                // From the target itself: what it showed before the blit.
                const DeviceContext self(target, Point{1, 0}, std::nullopt);
                dc.BitBlt(x, y, w, h, self, sx, sy, op);
                source = &before;
                source_at = Point{sx + 1, sy};
                break;
            }
        }
        for (int ty = 0; ty < target.Height(); ++ty) {
            for (int tx = 0; tx < target.Width(); ++tx) {
                const int cx = tx - origin.x;
                const int cy = ty - origin.y;
                const bool drawn = cx >= x && cx < x + w && cy >= y && cy < y + h &&
                                   (!clip || clip->Contains(tx, ty));
                const Color old = before.GetPixel(tx, ty);
                const Color expected =
                    drawn ? Apply(op, old,
                                  source->GetPixel(source_at.x + cx - x, source_at.y + cy - y))
                          : old;
                ASSERT_EQ(target.GetPixel(tx, ty), expected) << tx << "," << ty;
            }
        }
    }
}

TEST(DeviceContextTest, ClipIsCutToTheTargetAndKeptInTargetCoordinates) {
    Bitmap target(10, 10);
    DeviceContext dc(target, Point{2, 3}, Region(Rect{-5, -5, 6, 20}));
    // Target coordinates 0..6 × 0..10, seen from the origin.
    EXPECT_EQ(dc.ClipRegion(), Region(Rect{-2, -3, 4, 7}));
    dc.IntersectClip(Region(Rect{0, 0, 100, 2}));
    EXPECT_EQ(dc.ClipRegion(), Region(Rect{0, 0, 4, 2}));

    DeviceContext whole(target);
    EXPECT_EQ(whole.ClipRegion(), Region(target.Bounds()));
    whole.IntersectClip(Region());
    whole.FillRect(Rect{0, 0, 10, 10}, kWhite);
    EXPECT_EQ(target, Bitmap(10, 10));  // an empty clip draws nothing
}

TEST(DeviceContextTest, FillsAndPixelsHonourOriginAndClip) {
    Bitmap target(8, 6);
    const Region clip = Region(Rect{0, 0, 8, 6}).Subtract(Region(Rect{3, 2, 5, 4}));
    DeviceContext dc(target, Point{1, 1}, clip);
    dc.FillRect(Rect{-3, -3, 20, 20}, Rgb(1, 2, 3));
    Region ring = Region(Rect{1, 1, 4, 4}).Subtract(Region(Rect{2, 2, 3, 3}));
    dc.FillRegion(ring, Rgb(9, 9, 9));
    dc.SetPixel(2, 1, kWhite);    // inside the hole of the clip: stays
    dc.SetPixel(-1, -1, kWhite);  // target (0, 0)
    dc.SetPixel(100, -100, kWhite);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            Color expected = Rgb(1, 2, 3);
            if (x >= 3 && x < 5 && y >= 2 && y < 4) {
                expected = kBlack;  // the hole
            } else if (ring.Contains(x - 1, y - 1)) {
                expected = Rgb(9, 9, 9);
            }
            if (x == 0 && y == 0) {
                expected = kWhite;
            }
            EXPECT_EQ(target.GetPixel(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(dc.GetPixel(2, 1), kBlack);  // reading ignores the clip
    EXPECT_EQ(dc.GetPixel(-1, -1), kWhite);
    EXPECT_EQ(dc.GetPixel(7, 0), kBlack);   // outside the target
    dc.FillRect(Rect{5, 5, 2, 2}, kWhite);  // inverted: nothing
    EXPECT_EQ(dc.GetPixel(5, 4), Rgb(1, 2, 3));
}

TEST(DeviceContextTest, StretchIsNearestNeighbour) {
    Bitmap source(2, 2);
    source.SetPixel(0, 0, Rgb(1, 0, 0));
    source.SetPixel(1, 0, Rgb(2, 0, 0));
    source.SetPixel(0, 1, Rgb(3, 0, 0));
    source.SetPixel(1, 1, Rgb(4, 0, 0));

    Bitmap up(4, 4, kWhite);
    DeviceContext(up).StretchBlt(Rect{0, 0, 4, 4}, source, Rect{0, 0, 2, 2});
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(up.GetPixel(x, y), source.GetPixel(x / 2, y / 2)) << x << "," << y;
        }
    }

    Bitmap down(1, 1, kWhite);
    DeviceContext(down).StretchBlt(Rect{0, 0, 1, 1}, up, Rect{0, 0, 4, 4});
    EXPECT_EQ(down.GetPixel(0, 0), Rgb(1, 0, 0));

    // A source rectangle partly outside the source reads black there; the
    // destination is clipped like any blit.
    Bitmap wide(6, 2, kWhite);
    DeviceContext clipped(wide, Point{0, 0}, Region(Rect{0, 0, 5, 2}));
    clipped.StretchBlt(Rect{0, 0, 6, 1}, source, Rect{1, 0, 4, 1});
    EXPECT_EQ(wide.GetPixel(0, 0), Rgb(2, 0, 0));
    EXPECT_EQ(wide.GetPixel(1, 0), Rgb(2, 0, 0));
    EXPECT_EQ(wide.GetPixel(2, 0), kBlack);
    EXPECT_EQ(wide.GetPixel(4, 0), kBlack);
    EXPECT_EQ(wide.GetPixel(5, 0), kWhite);
    EXPECT_EQ(wide.GetPixel(0, 1), kWhite);

    // Equal sizes are a plain blit.
    Bitmap a(3, 3, kWhite);
    Bitmap b(3, 3, kWhite);
    DeviceContext(a).StretchBlt(Rect{1, 0, 3, 2}, source, Rect{0, 1, 2, 3}, RasterOp::kXor);
    DeviceContext(b).BitBlt(1, 0, 2, 2, source, 0, 1, RasterOp::kXor);
    EXPECT_EQ(a, b);

    // Empty rectangles draw nothing.
    Bitmap untouched(2, 2, kWhite);
    DeviceContext(untouched).StretchBlt(Rect{0, 0, 2, 2}, source, Rect{1, 1, 1, 2});
    DeviceContext(untouched).StretchBlt(Rect{2, 0, 0, 2}, source, Rect{0, 0, 2, 2});
    EXPECT_EQ(untouched, Bitmap(2, 2, kWhite));
}

// The masked drawing of skinned buttons: state bitmap XOR, mask AND, state
// XOR, each stretched, leaves the state where the mask is black and the
// background where it is white.
TEST(DeviceContextTest, XorAndXorThroughAMaskShowsTheShape) {
    std::mt19937 rng(8);
    const Bitmap state = Noise(rng, 5, 4);
    Bitmap mask(5, 4, kWhite);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            if ((x + y) % 3 != 0) {
                mask.SetPixel(x, y, kBlack);
            }
        }
    }
    const Bitmap background = Noise(rng, 10, 8);
    Bitmap off = background;
    DeviceContext dc(off);
    const Rect all{0, 0, 10, 8};
    dc.StretchBlt(all, state, state.Bounds(), RasterOp::kXor);
    dc.StretchBlt(all, mask, mask.Bounds(), RasterOp::kAnd);
    dc.StretchBlt(all, state, state.Bounds(), RasterOp::kXor);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool shape = mask.GetPixel(x / 2, y / 2) == kBlack;
            EXPECT_EQ(off.GetPixel(x, y),
                      shape ? state.GetPixel(x / 2, y / 2) : background.GetPixel(x, y))
                << x << "," << y;
        }
    }
}

TEST(DeviceContextTest, TextStateSettersReturnThePreviousValue) {
    Bitmap target(1, 1);
    DeviceContext dc(target);
    EXPECT_EQ(dc.SetTextColor(kWhite), kBlack);
    EXPECT_EQ(dc.TextColor(), kWhite);
    EXPECT_EQ(dc.SetBackgroundMode(platform::gfx::BackgroundMode::kTransparent),
              platform::gfx::BackgroundMode::kOpaque);
    EXPECT_EQ(dc.SetBackgroundColor(kBlack), kWhite);
    EXPECT_EQ(dc.SelectFont(nullptr), nullptr);
}

TEST(DeviceContextTest, IconDrawsInsideItsShapeAndTheClip) {
    std::mt19937 rng(2);
    platform::gfx::Icon icon;
    icon.image = Noise(rng, 4, 4);
    // A plus sign, with a piece outside the image that must not draw.
    icon.shape =
        Region(Rect{1, 0, 3, 4}).Union(Region(Rect{0, 1, 4, 3})).Union(Region(Rect{4, 0, 9, 9}));
    Bitmap target(8, 8, kWhite);
    DeviceContext dc(target, Point{1, 1}, Region(Rect{0, 0, 8, 4}));
    platform::gfx::DrawIcon(dc, 2, 1, icon);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const int ix = x - 3;
            const int iy = y - 2;
            const bool drawn =
                icon.shape.Contains(ix, iy) && icon.image.Bounds().Contains({ix, iy}) && y < 4;
            EXPECT_EQ(target.GetPixel(x, y), drawn ? icon.image.GetPixel(ix, iy) : kWhite)
                << x << "," << y;
        }
    }
    EXPECT_EQ(dc.ClipRegion(), Region(Rect{-1, -1, 7, 3}));  // the context's clip is unchanged
    platform::gfx::DrawIcon(dc, 0, 0, platform::gfx::Icon{});
}

}  // namespace
