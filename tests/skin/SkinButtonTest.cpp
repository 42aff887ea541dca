#include "skin/SkinButton.h"

#include <gtest/gtest.h>

#include "platform/window/WindowUi.h"
#include "skin/MaskRegion.h"
#include "tests/skin/SkinFixture.h"

namespace {

using platform::Point;
using platform::gfx::Bitmap;
using platform::gfx::Rgb;
using skintest::Mismatches;

class SkinButtonTest : public skintest::SkinTest {
  protected:
    // The launcher's official-site button, with another picture of its size
    // for hovering so that every state looks different.
    CxSkinButton* SiteButton(bool check_box = false) {
        UseLauncher();
        return Keep(CreateSkinButton(canvas(), 10012, 845, 635, u"url", u"", 263, 264, 260, 263,
                                     262, false, check_box));
    }
    Point Centre(const CxSkinButton& b) {
        const platform::Rect r = b.ClientRect();
        return OnScreen(b.Handle(), r.Width() / 2, r.Height() / 2);
    }
    Point Outside(const CxSkinButton& b) { return OnScreen(b.Handle(), -30, -30); }
    Point At(const CxSkinButton& b) {
        const platform::Rect r = b.Placement();
        return Point{r.left, r.top};
    }
};

TEST_F(SkinButtonTest, MaskedButtonDrawsOverItsParentAndLetsClicksThroughWhite) {
    UseUninstaller();
    CxSkinButton* button = Keep(CreateSkinButton(canvas(), 10003, 570, 336, u"", u"", 140, 140, 140,
                                                 140, 139, false, false));
    const Bitmap picture = Picture(140);
    const Bitmap mask = Picture(139);
    EXPECT_EQ(button->Placement(), platform::Rect::FromSize(570, 336, 160, 48));
    EXPECT_EQ(platform::GetWindowRegionOf(button->Handle()), CreateRegionFromMask(mask));
    EXPECT_EQ(Mismatches(Shown(), Point{570, 336}, picture, mask), 0);

    Point white{-1, -1};
    for (int y = 0; y < mask.Height() && white.x < 0; ++y) {
        for (int x = 0; x < mask.Width() && white.x < 0; ++x) {
            if (mask.GetPixel(x, y) == platform::gfx::kWhite) {
                white = Point{x, y};
            }
        }
    }
    ASSERT_GE(white.x, 0) << "the mask has no transparent corner";
    display().Click(OnScreen(button->Handle(), white.x, white.y));
    Pump();
    EXPECT_TRUE(canvas_object().clicks.empty());
    EXPECT_EQ(canvas_object().presses, 1);  // the parent got the press

    display().Click(Centre(*button));
    Pump();
    EXPECT_EQ(canvas_object().clicks, std::vector<int>{10003});
    EXPECT_EQ(canvas_object().presses, 1);
}

TEST_F(SkinButtonTest, HoverPressAndLeaveShowTheirPictures) {
    CxSkinButton* button = SiteButton();
    const Bitmap mask = Picture(262);
    EXPECT_EQ(Mismatches(Shown(), At(*button), Picture(263), mask), 0) << "normal";

    display().MoveMouse(Centre(*button));
    Pump();
    EXPECT_TRUE(button->m_bMouseIn);
    EXPECT_EQ(Mismatches(Shown(), At(*button), Picture(260), mask), 0) << "hover";

    display().PressButton();
    Pump();
    EXPECT_FALSE(button->m_bMouseIn);
    EXPECT_TRUE(button->m_bButtonDown);
    EXPECT_EQ(Mismatches(Shown(), At(*button), Picture(264), mask), 0) << "pressed";

    display().ReleaseButton();
    Pump();
    EXPECT_EQ(canvas_object().clicks, std::vector<int>{10012});
    EXPECT_FALSE(button->m_bButtonDown);

    display().MoveMouse(Centre(*button));
    Pump();
    EXPECT_EQ(Mismatches(Shown(), At(*button), Picture(260), mask), 0) << "hover again";
    display().MoveMouse(Outside(*button));
    Pump();
    EXPECT_FALSE(button->m_bMouseIn);
    EXPECT_EQ(Mismatches(Shown(), At(*button), Picture(263), mask), 0) << "left";
}

TEST_F(SkinButtonTest, DraggingOffBeforeTheReleaseSendsNoClick) {
    for (bool check_box : {false, true}) {
        SCOPED_TRACE(check_box ? "check box" : "push button");
        CxSkinButton* button = SiteButton(check_box);
        const Bitmap mask = Picture(262);
        display().MoveMouse(Centre(*button));
        display().PressButton();
        display().MoveMouse(Outside(*button));
        Pump();
        EXPECT_EQ(Mismatches(Shown(), At(*button), Picture(263), mask), 0) << "outside: normal";
        display().MoveMouse(Centre(*button));
        Pump();
        EXPECT_EQ(Mismatches(Shown(), At(*button), Picture(264), mask), 0) << "back: pressed";
        display().MoveMouse(Outside(*button));
        display().ReleaseButton();
        Pump();
        EXPECT_TRUE(canvas_object().clicks.empty());
        EXPECT_FALSE(button->m_bChecked);
        EXPECT_FALSE(button->m_bButtonDown);
        EXPECT_EQ(Mismatches(Shown(), At(*button), Picture(263), mask), 0) << "released";
        button->DestroyWindow();
        Pump();
    }
}

TEST_F(SkinButtonTest, LosingTheFocusWhilePressedEndsThePress) {
    CxSkinButton* button = SiteButton();
    display().MoveMouse(Centre(*button));
    display().PressButton();
    Pump();
    ASSERT_EQ(platform::GetMouseCapture(), button->Handle());
    platform::SetKeyboardFocus(canvas());
    Pump();
    EXPECT_FALSE(button->m_bButtonDown);
    EXPECT_EQ(platform::GetMouseCapture(), 0u);
    display().ReleaseButton();
    Pump();
    EXPECT_TRUE(canvas_object().clicks.empty());
    EXPECT_EQ(skintest::Mismatches(Shown(), At(*button), Picture(263), Picture(262)), 0);
}

TEST_F(SkinButtonTest, DoubleClickIsTwoClicks) {
    CxSkinButton* button = SiteButton();
    display().Click(Centre(*button));
    display().Click(Centre(*button));
    Pump();
    EXPECT_EQ(canvas_object().clicks, (std::vector<int>{10012, 10012}));
}

TEST_F(SkinButtonTest, CheckBoxTogglesByClickAndSpaceAndShowsDownWhileChecked) {
    CxSkinButton* box = SiteButton(true);
    EXPECT_EQ(box->m_nStyle, 2);
    EXPECT_EQ(box->ButtonType(), platform::kButtonOwnerDraw);
    display().Click(Centre(*box));
    display().MoveMouse(Outside(*box));
    Pump();
    EXPECT_EQ(box->Send(platform::kMsgButtonGetCheck), 1);
    EXPECT_EQ(Mismatches(Shown(), At(*box), Picture(264), Picture(262)), 0) << "checked";
    display().PressKey(platform::kKeySpace);
    Pump();
    EXPECT_EQ(box->Send(platform::kMsgButtonGetCheck), 0);
    EXPECT_EQ(Mismatches(Shown(), At(*box), Picture(263), Picture(262)), 0) << "unchecked";
    EXPECT_EQ(canvas_object().clicks, (std::vector<int>{10012, 10012}));

    CxSkinButton* push = SiteButton(false);
    push->Send(platform::kMsgButtonSetCheck, 1);
    EXPECT_EQ(push->Send(platform::kMsgButtonGetCheck), 0);
}

TEST_F(SkinButtonTest, CheckingARadioButtonUnchecksTheOthersOfItsGroupOnly) {
    auto radio = [&](int id, int x, std::uint32_t group) {
        auto* b = Keep(new CxSkinButton);
        b->Create(u"", platform::kStyleVisible | platform::kButtonAutoRadio | group,
                  platform::Rect::FromSize(x, 10, 192, 54), canvas(), id);
        b->SetSkin(263, 264, 0, 0, 262);
        return b;
    };
    CxSkinButton* a = radio(1, 10, platform::kStyleGroup);
    CxSkinButton* b = radio(2, 210, 0);
    CxSkinButton* c = radio(3, 410, 0);
    CxSkinButton* other = radio(4, 610, platform::kStyleGroup);  // the next group
    EXPECT_EQ(a->m_nStyle, 4);
    a->Send(platform::kMsgButtonSetCheck, 1);
    other->Send(platform::kMsgButtonSetCheck, 1);
    Pump();
    display().Click(Centre(*b));
    Pump();
    EXPECT_FALSE(a->m_bChecked);
    EXPECT_TRUE(b->m_bChecked);
    EXPECT_FALSE(c->m_bChecked);
    EXPECT_TRUE(other->m_bChecked);

    // A disabled radio button is skipped by the group walk; checking it must
    // still end and uncheck the rest.
    c->Enable(false);
    c->Send(platform::kMsgButtonSetCheck, 1);
    Pump();
    EXPECT_TRUE(c->m_bChecked);
    EXPECT_FALSE(a->m_bChecked);
    EXPECT_FALSE(b->m_bChecked);
}

TEST_F(SkinButtonTest, DisabledFirstCaptionIsGreyAndTheSecondKeepsItsColour) {
    constexpr auto kRed = Rgb(255, 0, 0);
    constexpr auto kBlue = Rgb(0, 0, 255);
    constexpr auto kGrey = Rgb(200, 200, 200);
    for (bool enabled : {true, false}) {
        SCOPED_TRACE(enabled ? "enabled" : "disabled");
        // No pictures: the button-face fill, so only the captions carry colour.
        auto* button = Keep(new CxSkinButton);
        button->Create(u"", platform::kStyleVisible, platform::Rect::FromSize(50, 50, 200, 80),
                       canvas(), 7);
        button->m_strText1 = u"HHHH";
        button->m_strText2 = u"HHHH";
        button->m_clrText1 = kRed;
        button->m_clrText2 = kBlue;
        button->m_nText2Top = 40;
        button->Enable(enabled);
        button->Invalidate();
        const Bitmap shown = Shown();
        auto count = [&](int top, int bottom, platform::gfx::Color colour) {
            int n = 0;
            for (int y = 50 + top; y < 50 + bottom; ++y) {
                for (int x = 50; x < 250; ++x) {
                    n += shown.GetPixel(x, y) == colour ? 1 : 0;
                }
            }
            return n;
        };
        EXPECT_EQ(count(0, 40, kRed) > 0, enabled);
        EXPECT_EQ(count(0, 40, kGrey) > 0, !enabled);
        EXPECT_GT(count(40, 80, kBlue), 0);
        EXPECT_EQ(count(40, 80, kGrey), 0);
        button->DestroyWindow();
    }
}

TEST_F(SkinButtonTest, MissingPicturesFallBack) {
    CxSkinButton* button = SiteButton();
    const Bitmap normal = Picture(263);
    const platform::Rect placement = button->Placement();
    const auto region = platform::GetWindowRegionOf(button->Handle());
    ASSERT_TRUE(region.has_value());

    // No over, disabled or mask picture: hovering and disabling show the
    // normal one, drawn straight (no mask), inside the previous outline.
    button->SetSkin(263, 264, 0, 0, 0);
    EXPECT_EQ(platform::GetWindowRegionOf(button->Handle()), region);
    display().MoveMouse(Centre(*button));
    Pump();
    ASSERT_TRUE(button->m_bMouseIn);
    Bitmap shown = Shown();
    Bitmap through_region = normal;  // outside the region the canvas stays
    for (int y = 0; y < normal.Height(); ++y) {
        for (int x = 0; x < normal.Width(); ++x) {
            if (!region->Contains(x, y)) {
                through_region.SetPixel(x, y, skintest::kCanvasColor);
            }
        }
    }
    EXPECT_EQ(Mismatches(shown, At(*button), through_region, Bitmap{}), 0) << "hover";
    button->Enable(false);
    EXPECT_EQ(Mismatches(Shown(), At(*button), through_region, Bitmap{}), 0) << "disabled";
    button->Enable(true);

    // Ids the module does not have: the button face; a mask that cannot be
    // loaded keeps the outline.
    button->SetSkin(99001, 99002, 99003, 99004, 99005);
    EXPECT_EQ(platform::GetWindowRegionOf(button->Handle()), region);
    shown = Shown();
    int face = 0;
    for (int y = 0; y < placement.Height(); ++y) {
        for (int x = 0; x < placement.Width(); ++x) {
            const bool inside = region->Contains(x, y);
            const auto pixel = shown.GetPixel(placement.left + x, placement.top + y);
            face += pixel == (inside ? platform::gfx::kButtonFaceColor : skintest::kCanvasColor);
        }
    }
    EXPECT_EQ(face, placement.Width() * placement.Height());
}

TEST_F(SkinButtonTest, CreationWithoutNormalAndDownPicturesLeavesAnEmptyButton) {
    CxSkinButton* button =
        Keep(CreateSkinButton(canvas(), 5, 10, 10, u"k", u"v", 263, 0, 263, 263, 262, true, false));
    EXPECT_TRUE(button->Placement().IsEmpty());
    EXPECT_TRUE(button->m_bmpNormal.IsEmpty());
    EXPECT_FALSE(platform::GetWindowRegionOf(button->Handle()).has_value());
    EXPECT_EQ(button->m_strKey, u"k");
    EXPECT_EQ(button->m_strValue, u"v");
    EXPECT_TRUE(button->m_bHideWithProgress);
}

}  // namespace
