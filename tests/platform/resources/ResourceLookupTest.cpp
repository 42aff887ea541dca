// Lookups in the installed module, against a small module made here.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/resources/Resources.h"

namespace {

namespace gfx = platform::gfx;

class ResourceLookupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        picture_ = gfx::Bitmap(5, 3, gfx::Rgb(10, 20, 30));
        picture_.SetPixel(4, 2, gfx::Rgb(200, 100, 0));
        picture_bytes_ = picture_.ToBmp();

        // An icon whose exact white pixels are outside its shape; a near-white
        // pixel stays inside.
        icon_ = gfx::Bitmap(4, 4, gfx::Rgb(0, 0, 128));
        icon_.SetPixel(0, 0, gfx::kWhite);
        icon_.SetPixel(3, 0, gfx::kWhite);
        icon_.SetPixel(1, 2, gfx::kWhite);
        icon_.SetPixel(2, 2, gfx::Rgb(255, 254, 255));
        icon_bytes_ = icon_.ToBmp();

        damaged_ = picture_bytes_;
        damaged_.resize(30);

        bitmaps_ = {{7, picture_bytes_}, {8, damaged_}};
        icons_ = {{128, icon_bytes_}};
        menu_.items.push_back(
            platform::MenuItemTemplate{0, u"Tray", false, {{1, u"Open", false, {}}}});
        dialog_.width = 100;
        menus_ = {{215, &menu_}};
        dialogs_ = {{102, &dialog_}};
        module_ = platform::ResourceModule{u"Test", bitmaps_, icons_, strings_, menus_, dialogs_};
        platform::InstallResourceModule(&module_);
    }
    void TearDown() override { platform::InstallResourceModule(nullptr); }

    gfx::Bitmap picture_, icon_;
    std::vector<std::uint8_t> picture_bytes_, icon_bytes_, damaged_;
    std::vector<platform::ResourceModule::Blob> bitmaps_, icons_;
    const std::pair<int, std::u16string_view> strings_[2] = {{101, u"About"}, {0, u"zero"}};
    platform::MenuTemplate menu_;
    platform::DialogTemplate dialog_;
    std::vector<std::pair<int, const platform::MenuTemplate*>> menus_;
    std::vector<std::pair<int, const platform::DialogTemplate*>> dialogs_;
    platform::ResourceModule module_;
};

TEST_F(ResourceLookupTest, FindsEachKindByIdentifier) {
    EXPECT_EQ(platform::InstalledResourceModule(), &module_);
    std::optional<gfx::Bitmap> bitmap = platform::LoadBitmapResource(7);
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(*bitmap, picture_);
    EXPECT_EQ(platform::LoadStringResource(101), u"About");
    EXPECT_EQ(platform::LoadStringResource(0), u"zero");
    EXPECT_EQ(platform::FindMenuResource(215), &menu_);
    EXPECT_EQ(platform::FindDialogResource(102), &dialog_);
}

TEST_F(ResourceLookupTest, MissingOrDamagedGivesNothing) {
    EXPECT_FALSE(platform::LoadBitmapResource(9).has_value());
    EXPECT_FALSE(platform::LoadBitmapResource(8).has_value()) << "damaged BMP";
    EXPECT_FALSE(platform::LoadIconResource(7).has_value()) << "bitmaps are not icons";
    EXPECT_FALSE(platform::LoadBitmapResource(128).has_value()) << "icons are not bitmaps";
    EXPECT_EQ(platform::LoadStringResource(102), u"");
    EXPECT_EQ(platform::FindMenuResource(102), nullptr);
    EXPECT_EQ(platform::FindDialogResource(215), nullptr);

    platform::InstallResourceModule(nullptr);
    EXPECT_FALSE(platform::LoadBitmapResource(7).has_value());
    EXPECT_FALSE(platform::LoadIconResource(128).has_value());
    EXPECT_EQ(platform::LoadStringResource(101), u"");
    EXPECT_EQ(platform::FindMenuResource(215), nullptr);
    EXPECT_EQ(platform::FindDialogResource(102), nullptr);
}

TEST_F(ResourceLookupTest, IconShapeLeavesOutExactWhiteOnly) {
    std::optional<gfx::Icon> icon = platform::LoadIconResource(128);
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(icon->image, icon_);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(icon->shape.Contains(x, y), icon_.GetPixel(x, y) != gfx::kWhite)
                << x << "," << y;
        }
    }
    EXPECT_EQ(icon->shape.Area(), 13);
}

TEST_F(ResourceLookupTest, AnAllWhiteIconHasAnEmptyShape) {
    std::vector<std::uint8_t> white = gfx::Bitmap(3, 3, gfx::kWhite).ToBmp();
    icons_ = {{128, white}};
    module_.icons = icons_;
    std::optional<gfx::Icon> icon = platform::LoadIconResource(128);
    ASSERT_TRUE(icon.has_value());
    EXPECT_TRUE(icon->shape.IsEmpty());
    EXPECT_FALSE(icon->image.IsEmpty());
}

}  // namespace
