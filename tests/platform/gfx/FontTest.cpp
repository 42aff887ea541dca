#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/gfx/Font.h"

namespace platform::gfx {
namespace {

std::string FileName(const std::shared_ptr<const Font>& font) {
    std::string path = font->MatchedFile();
    return path.substr(path.find_last_of('/') + 1);
}

TEST(FontTest, FacesResolveThroughTheLayersOwnAliases) {
    struct Case {
        std::u16string face;
        int weight;
        std::string file;
    };
    const Case cases[] = {
        {u"微软雅黑", 400, "wqy-microhei.ttc"},
        {u"微软雅黑", 700, "wqy-microhei.ttc"},  // no bold face: emboldened
        {u"MS Shell Dlg", 400, "DejaVuSans.ttf"},
        {u"MS Shell Dlg", 700, "DejaVuSans-Bold.ttf"},
        {u"MS Shell Dlg 2", 400, "DejaVuSans.ttf"},
        {u"", 400, "DejaVuSans.ttf"},
        {u"No Such Face Anywhere", 400, "DejaVuSans.ttf"},
    };
    for (const Case& c : cases) {
        auto font = Font::Create({.height = -16, .weight = c.weight, .face = c.face});
        EXPECT_EQ(FileName(font), c.file) << "weight " << c.weight;
    }
    EXPECT_EQ(FileName(Font::Default()), "DejaVuSans.ttf");
}

TEST(FontTest, PositiveHeightIsTheCellAndNegativeTheCharacter) {
    for (const char16_t* face : {u"微软雅黑", u"MS Shell Dlg"}) {
        for (int height : {12, 18, 22, 25, 30}) {
            auto cell = Font::Create({.height = height, .face = face});
            EXPECT_EQ(cell->LineHeight(), height);
            // The character height leaves room for accents: the cell is taller.
            auto character = Font::Create({.height = -height, .face = face});
            EXPECT_GT(character->LineHeight(), height);
            EXPECT_GT(character->Ascent(), cell->Ascent());
        }
    }
    auto fallback = Font::Create({.height = 0});
    auto twelve = Font::Create({.height = -12});
    EXPECT_EQ(fallback->LineHeight(), twelve->LineHeight());
    EXPECT_EQ(fallback->AverageCharWidth(), twelve->AverageCharWidth());
}

TEST(FontTest, ExtremeHeightsAreBounded) {
    for (int height : {INT_MIN, -100000, 100000, INT_MAX}) {
        auto font = Font::Create({.height = height});
        EXPECT_GT(font->LineHeight(), 0) << height;
        EXPECT_LE(font->LineHeight(), 4096) << height;
        EXPECT_GT(font->AverageCharWidth(), 0) << height;
    }
}

TEST(FontTest, AverageWidthGrowsWithSizeAndWeight) {
    auto small = Font::Create({.height = -11});
    auto large = Font::Create({.height = -22});
    auto bold = Font::Create({.height = -22, .weight = 700});
    EXPECT_GE(small->AverageCharWidth(), 4);
    EXPECT_LE(small->AverageCharWidth(), 9);
    EXPECT_GT(large->AverageCharWidth(), small->AverageCharWidth());
    EXPECT_GT(bold->AverageCharWidth(), large->AverageCharWidth());
}

TEST(FontTest, SameDescriptionGivesTheSameFont) {
    FontDescription description{.height = 25, .weight = 400, .face = u"微软雅黑"};
    auto first = Font::Create(description);
    auto second = Font::Create(description);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(second->Description(), description);
    description.underline = true;
    EXPECT_NE(Font::Create(description).get(), first.get());
}

}  // namespace
}  // namespace platform::gfx
