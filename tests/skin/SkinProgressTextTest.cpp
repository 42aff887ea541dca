#include <gtest/gtest.h>

#include <climits>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Font.h"
#include "platform/window/WindowUi.h"
#include "skin/MaskRegion.h"
#include "skin/SkinProgressControl.h"
#include "skin/SkinText.h"
#include "tests/skin/SkinFixture.h"

namespace {

using platform::Point;
using platform::gfx::Bitmap;
using platform::gfx::Rgb;

class SkinProgressTest : public skintest::SkinTest {};

TEST_F(SkinProgressTest, FilledWidthFollowsRangeAndPosition) {
    UseLauncher();
    CVelaSkinProgressControl* bar = Keep(CreateSkinProgress(canvas(), 11000, 33, 605));
    EXPECT_EQ(bar->Placement(), platform::Rect::FromSize(33, 605, 1190, 22));
    EXPECT_FALSE(bar->IsVisible());
    bar->Show(platform::kShowShow);
    const Bitmap back = Picture(250);
    const Bitmap fill = Picture(252);
    const Bitmap mask = Picture(251);

    struct Case {
        int upper;
        int pos;
        int span;
        int clamped;
        int filled;  // pixels of the 1190
    };
    const Case cases[] = {
        {100, 0, 100, 0, 0},
        {100, 37, 100, 37, 440},
        {0, 50, 1, 0, 0},           // range 0..0
        {250, 100, 250, 100, 476},  // 40 %
        {100, 150, 100, 100, 1190},
        {100, -5, 100, 0, 0},
        {-50, -10, 1, 0, 0},  // a negative upper end is taken as 0
        {INT_MAX, INT_MAX / 2, INT_MAX, INT_MAX / 2, 594},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "range 0.." << c.upper << ", pos " << c.pos);
        bar->SetRange(c.upper);
        bar->SetPos(c.pos);
        EXPECT_EQ(bar->m_nSpan, c.span);
        EXPECT_EQ(bar->m_nPos, c.clamped);
        EXPECT_EQ(bar->Send(platform::kMsgProgressGetPos), c.clamped) << "common control in step";
        EXPECT_EQ(bar->FilledWidth(1190), c.filled);
        // Left of the fill the full bar, right of it the empty one, through
        // the mask; the five rows below the pictures are outside the shape.
        Bitmap expected = back;
        for (int y = 0; y < expected.Height(); ++y) {
            for (int x = 0; x < c.filled; ++x) {
                expected.SetPixel(x, y, fill.GetPixel(x, y));
            }
        }
        const Bitmap shown = Shown();
        EXPECT_EQ(skintest::Mismatches(shown, Point{33, 605}, expected, mask), 0);
        int below = 0;
        for (int y = 605 + 17; y < 605 + 22; ++y) {
            for (int x = 33; x < 33 + 1190; ++x) {
                below += shown.GetPixel(x, y) == skintest::kCanvasColor ? 0 : 1;
            }
        }
        EXPECT_EQ(below, 0);
    }
}

TEST_F(SkinProgressTest, UninstallerBarIsItsMaskPlusFiveRows) {
    UseUninstaller();
    CVelaSkinProgressControl* bar = Keep(CreateSkinProgress(canvas(), 10056, 30, 380));
    EXPECT_EQ(bar->Placement(), platform::Rect::FromSize(30, 380, 700, 19));
    EXPECT_EQ(platform::GetWindowRegionOf(bar->Handle()), CreateRegionFromMask(Picture(143)));
    EXPECT_EQ(bar->m_nUpper, 100);
    EXPECT_EQ(bar->m_nPos, 0);
}

TEST_F(SkinProgressTest, WithoutItsPicturesTheCommonControlPaints) {
    static const platform::ResourceModule kOther = [] {
        platform::ResourceModule module;
        module.program = u"SomethingElse";
        return module;
    }();
    platform::InstallResourceModule(&kOther);
    CVelaSkinProgressControl* bar = Keep(new CVelaSkinProgressControl);
    bar->Create(platform::kStyleChild | platform::kStyleVisible | platform::kProgressSmooth,
                platform::Rect::FromSize(10, 10, 200, 20), canvas(), 1);
    bar->LoadSkin();
    EXPECT_FALSE(platform::GetWindowRegionOf(bar->Handle()).has_value());
    bar->SetRange(100);
    bar->SetPos(50);
    const Bitmap shown = Shown();
    int highlight = 0;
    for (int x = 10; x < 210; ++x) {
        highlight += shown.GetPixel(x, 20) == platform::gfx::kHighlightColor ? 1 : 0;
    }
    EXPECT_GT(highlight, 50);
    EXPECT_LT(highlight, 150);
}

class SkinTextTest : public skintest::SkinTest {
  protected:
    // The text as the control should show it: drawn in a box over the canvas
    // colour from the given top, word-wrapped and left-aligned.
    static Bitmap Expected(const std::u16string& text, int width, int height, int top,
                           platform::gfx::Color colour) {
        Bitmap picture(width, height, skintest::kCanvasColor);
        platform::gfx::DeviceContext dc(picture);
        auto font = platform::gfx::Font::Create({22, 700, false, false, u"微软雅黑"});
        dc.SelectFont(font.get());
        dc.SetBackgroundMode(platform::gfx::BackgroundMode::kTransparent);
        dc.SetTextColor(colour);
        platform::Rect r{0, top, width, height};
        dc.DrawText(text, r, platform::gfx::text_flags::kWordBreak);
        return picture;
    }
};

TEST_F(SkinTextTest, SizesFromCreation) {
    UseUninstaller();
    CVelaSkinText* natural =
        Keep(CreateSkinText(canvas(), 1, u"We look forward to seeing you again soon!", 35, 350, 0,
                            0, platform::gfx::kWhite, 22, 700, u"微软雅黑"));
    const platform::Rect placement = natural->Placement();
    EXPECT_EQ(Point(placement.left, placement.top), (Point{35, 350}));
    EXPECT_EQ((platform::Size{placement.Width(), placement.Height()}), natural->GetNaturalSize());
    EXPECT_GT(placement.Width(), 200);
    EXPECT_GT(placement.Height(), 10);
    EXPECT_TRUE(natural->m_bVCenter);
    EXPECT_NE(natural->ExStyle() & platform::kExStyleTransparent, 0u);

    CVelaSkinText* flat = Keep(CreateSkinText(canvas(), 2, u"Nothing to see", 35, 500, 300, 0,
                                              platform::gfx::kWhite, 22, 700, u"微软雅黑"));
    EXPECT_EQ(flat->Placement(), platform::Rect::FromSize(35, 500, 300, 0));
    const Bitmap shown = Shown();
    int lit = 0;
    for (int y = 480; y < 540; ++y) {
        for (int x = 35; x < 335; ++x) {
            lit += shown.GetPixel(x, y) == skintest::kCanvasColor ? 0 : 1;
        }
    }
    EXPECT_EQ(lit, 0);
}

TEST_F(SkinTextTest, CentredVerticallyOverTheParentAndCutWhenTooTall) {
    const std::u16string short_text = u"One line";
    const std::u16string tall_text =
        u"A long message that wraps over many lines inside a small box, far taller than the "
        u"box can hold, so that its end is cut off at the bottom.";
    struct Case {
        const std::u16string* text;
        int width;
        int height;
    };
    for (const Case& c : {Case{&short_text, 300, 100}, Case{&tall_text, 200, 60}}) {
        SCOPED_TRACE(c.height);
        CVelaSkinText* label = Keep(CreateSkinText(canvas(), 3, *c.text, 40, 40, c.width, c.height,
                                                   Rgb(250, 220, 90), 22, 700, u"微软雅黑"));
        // Where the block starts: centred, or at the top when it is taller.
        Bitmap measure(1, 1);
        platform::gfx::DeviceContext dc(measure);
        auto font = platform::gfx::Font::Create({22, 700, false, false, u"微软雅黑"});
        dc.SelectFont(font.get());
        platform::Rect r{0, 0, c.width, c.height};
        const int block = dc.DrawText(
            *c.text, r,
            platform::gfx::text_flags::kCalcRect | platform::gfx::text_flags::kWordBreak |
                platform::gfx::text_flags::kNoPrefix | platform::gfx::text_flags::kEditControl);
        const int top = std::max(0, (c.height - block) / 2);
        if (c.text == &tall_text) {
            ASSERT_GT(block, c.height);
            EXPECT_EQ(top, 0);
        } else {
            EXPECT_GT(top, 0);
        }
        EXPECT_EQ(skintest::Mismatches(Shown(), Point{40, 40},
                                       Expected(*c.text, c.width, c.height, top, Rgb(250, 220, 90)),
                                       Bitmap{}),
                  0);
        label->DestroyWindow();
    }
}

}  // namespace
