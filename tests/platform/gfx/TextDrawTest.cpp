#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Region.h"

namespace platform::gfx {
namespace {

using namespace text_flags;

// The bounding box of every pixel that is not `paper`; empty when none.
Rect InkBox(const Bitmap& bitmap, Color paper = kWhite) {
    Rect box{bitmap.Width(), bitmap.Height(), 0, 0};
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            if (bitmap.GetPixel(x, y) != paper) {
                box = Rect{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                           std::max(box.bottom, y + 1)};
            }
        }
    }
    return box.IsEmpty() ? Rect{} : box;
}

int InkCount(const Bitmap& bitmap, const Rect& area, Color paper = kWhite) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            count += bitmap.GetPixel(x, y) != paper ? 1 : 0;
        }
    }
    return count;
}

Bitmap Crop(const Bitmap& bitmap, const Rect& area) {
    Bitmap out(area.Width(), area.Height());
    for (int y = 0; y < area.Height(); ++y) {
        for (int x = 0; x < area.Width(); ++x) {
            out.SetPixel(x, y, bitmap.GetPixel(area.left + x, area.top + y));
        }
    }
    return out;
}

class TextDrawTest : public ::testing::Test {
  protected:
    void SetUp() override { Use(font_); }

    void Use(const std::shared_ptr<const Font>& font) {
        font_ = font;
        dc_.SelectFont(font_.get());
        dc_.SetBackgroundMode(BackgroundMode::kTransparent);
    }

    int Width(std::u16string_view text) const { return dc_.GetTextExtent(text).width; }

    int LineCount(std::u16string_view text, int width, std::uint32_t flags) {
        Rect rect{0, 0, width, 0};
        int height = dc_.DrawText(text, rect, flags | kCalcRect);
        EXPECT_EQ(height % font_->LineHeight(), 0);
        EXPECT_EQ(rect.Height(), height);
        return height / font_->LineHeight();
    }

    Bitmap target_{240, 90, kWhite};
    DeviceContext dc_{target_};
    std::shared_ptr<const Font> font_ = Font::Create({.height = -16, .face = u"MS Shell Dlg"});
};

TEST_F(TextDrawTest, ChineseDrawsInAnyFaceWithTheSameGlyphs) {
    Bitmap pictures[2];
    const char16_t* faces[] = {u"微软雅黑", u"MS Shell Dlg"};
    for (int i = 0; i < 2; ++i) {
        target_.Fill(kWhite);
        Use(Font::Create({.height = -20, .face = faces[i]}));
        Rect rect{10, 10, 230, 80};
        dc_.DrawText(u"中文测试", rect, kSingleLine);
        Rect ink = InkBox(target_);
        ASSERT_FALSE(ink.IsEmpty()) << i;
        EXPECT_GT(ink.Width(), 60) << i;  // four ideographs, not empty boxes
        pictures[i] = Crop(target_, ink);
    }
    // The Latin face lacks the ideographs: they come from the CJK face.
    EXPECT_EQ(pictures[0], pictures[1]);
}

TEST_F(TextDrawTest, WordBreakLineCounts) {
    const std::u16string words = u"aaa aaa aaa";
    const int all = Width(words);
    const int two = Width(u"aaa aaa");
    const int one = Width(u"aaa");
    struct Case {
        std::u16string text;
        int width;
        std::uint32_t flags;
        int lines;
    };
    const Case cases[] = {
        {words, all, kWordBreak, 1},
        {words, all - 1, kWordBreak, 2},
        {words, two, kWordBreak, 2},
        {words, two - 1, kWordBreak, 3},
        {words, one, kWordBreak, 3},
        {words, one - 1, kWordBreak, 3},                 // a long word stays whole
        {words, one - 1, kWordBreak | kEditControl, 6},  // unless edit-control breaking
        {words, 1, kWordBreak | kEditControl, 9},        // one character a line at least
        {words, 1, 0, 1},                                // no breaking without the flag
        {u"中文字体", Width(u"中文"), kWordBreak, 2},
        {u"中文字体", Width(u"中"), kWordBreak, 4},
        {u"ab中文", Width(u"ab中"), kWordBreak, 2},
        {u"a\nb\r\nc", 1000, kWordBreak, 3},
        {u"a\n\nb", 1000, 0, 3},
        {u"a\nb\r\nc", 1000, kSingleLine, 1},
        {u"", 1000, kWordBreak, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LineCount(c.text, c.width, c.flags), c.lines)
            << "width " << c.width << " flags " << c.flags << " case " << (&c - cases);
    }
}

TEST_F(TextDrawTest, MeasuredWidthIsTheWidestLine) {
    const int one = Width(u"aaa");
    Rect rect{3, 4, 3 + one - 1, 4};
    dc_.DrawText(u"aaa bb", rect, kCalcRect | kWordBreak);
    EXPECT_EQ(rect, (Rect{3, 4, 3 + one, 4 + 2 * font_->LineHeight()}));  // wider than asked
    // Closing punctuation never starts a line: it takes the ideograph before it along.
    Rect cjk{0, 0, Width(u"中文"), 0};
    dc_.DrawText(u"中文,", cjk, kCalcRect | kWordBreak);
    EXPECT_EQ(cjk, (Rect{0, 0, Width(u"文,"), 2 * font_->LineHeight()}));
}

TEST_F(TextDrawTest, QuotesStayNarrowInTheChineseFace) {
    Use(Font::Create({.height = 22, .weight = 700, .face = u"微软雅黑"}));
    const int ideograph = Width(u"中");
    for (std::u16string mark : {u"’", u"“", u"…"}) {
        EXPECT_LT(Width(mark), ideograph * 3 / 4);
        Rect rect{0, 0, 240, 90};
        target_.Fill(kWhite);
        dc_.DrawText(mark, rect, kSingleLine);
        EXPECT_GT(InkCount(target_, target_.Bounds()), 0);
    }
}

TEST_F(TextDrawTest, SingleLineMeasureEqualsTheExtent) {
    for (std::u16string text : {u"Hello, world", u"中文 and Latin", u"a", u"&&x"}) {
        Size extent = dc_.GetTextExtent(text);
        EXPECT_EQ(extent.height, font_->LineHeight());
        Rect rect{5, 7, 6, 8};
        int height = dc_.DrawText(text, rect, kCalcRect | kSingleLine | kNoPrefix);
        EXPECT_EQ(rect, (Rect{5, 7, 5 + extent.width, 7 + extent.height}));
        EXPECT_EQ(height, extent.height);
        EXPECT_EQ(InkBox(target_), Rect{}) << "measuring draws nothing";
    }
    Rect prefixed{0, 0, 0, 0};
    dc_.DrawText(u"&Save", prefixed, kCalcRect | kSingleLine);
    EXPECT_EQ(prefixed.Width(), Width(u"Save"));
}

TEST_F(TextDrawTest, AlignmentPlacesTheCell) {
    const Color paper = Rgb(0, 0, 255);
    dc_.SetBackgroundMode(BackgroundMode::kOpaque);
    dc_.SetBackgroundColor(paper);
    const Rect rect{20, 10, 220, 70};
    const std::u16string text = u"HHHH";
    const int width = Width(text);
    const int height = font_->LineHeight();
    struct Case {
        std::uint32_t flags;
        Rect cell;
        int returned;
    };
    const int left = 20 + (200 - width) / 2;
    const int top = 10 + (60 - height) / 2;
    const Case cases[] = {
        {kSingleLine, Rect::FromSize(20, 10, width, height), height},
        {kSingleLine | kCenter | kVCenter, Rect::FromSize(left, top, width, height),
         top - 10 + height},
        {kSingleLine | kRight | kBottom, Rect{220 - width, 70 - height, 220, 70}, 60},
    };
    for (const Case& c : cases) {
        target_.Fill(kWhite);
        Rect r = rect;
        EXPECT_EQ(dc_.DrawText(text, r, c.flags), c.returned);
        EXPECT_EQ(InkBox(target_), c.cell) << c.flags;
        EXPECT_EQ(target_.GetPixel(c.cell.left, c.cell.top), paper);
    }
    // The ink itself sits in the middle, to within the letters' side bearings.
    target_.Fill(kWhite);
    dc_.SetBackgroundMode(BackgroundMode::kTransparent);
    Rect r = rect;
    dc_.DrawText(text, r, kSingleLine | kCenter | kVCenter);
    Rect ink = InkBox(target_);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 120.0, 2.0);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 40.0, 4.0);
}

TEST_F(TextDrawTest, CentringAppliesToEveryWrappedLine) {
    Rect rect{0, 0, 240, 90};
    dc_.DrawText(u"wide words here\nx", rect, kWordBreak | kCenter);
    const int lh = font_->LineHeight();
    for (int line = 0; line < 2; ++line) {
        Bitmap band = Crop(target_, Rect{0, line * lh, 240, (line + 1) * lh});
        Rect ink = InkBox(band);
        ASSERT_FALSE(ink.IsEmpty()) << line;
        EXPECT_NEAR((ink.left + ink.right) / 2.0, 120.0, 2.0) << line;
    }
}

TEST_F(TextDrawTest, PrefixHidesTheAmpersandAndUnderlinesTheNextCharacter) {
    const Rect rect{10, 10, 230, 80};
    auto draw = [&](std::u16string_view text, std::uint32_t flags) {
        Bitmap picture(240, 90, kWhite);
        DeviceContext dc(picture);
        dc.SelectFont(font_.get());
        dc.SetBackgroundMode(BackgroundMode::kTransparent);
        Rect r = rect;
        dc.DrawText(text, r, flags);
        return picture;
    };
    Bitmap plain = draw(u"File", kNoPrefix);
    Bitmap marked = draw(u"&File", 0);
    const int f_width = Width(u"F");
    const int baseline = rect.top + font_->Ascent();
    int underline = 0;
    for (int y = 0; y < plain.Height(); ++y) {
        for (int x = 0; x < plain.Width(); ++x) {
            if (plain.GetPixel(x, y) != marked.GetPixel(x, y)) {
                ++underline;
                EXPECT_GE(y, baseline);
                EXPECT_GE(x, rect.left);
                EXPECT_LT(x, rect.left + f_width);
            }
        }
    }
    EXPECT_GE(underline, f_width - 1);

    EXPECT_EQ(draw(u"&&x", 0), draw(u"&x", kNoPrefix));
    EXPECT_NE(draw(u"&File", kNoPrefix), plain);
    EXPECT_EQ(draw(u"File&", 0), plain);
}

TEST_F(TextDrawTest, InkStaysInsideTheRectangleAndTheClip) {
    const std::u16string text = u"A line far too long for its little box 中文";
    Rect rect{10, 10, 60, 30};
    dc_.DrawText(text, rect, kWordBreak);
    EXPECT_GT(InkCount(target_, rect), 0);
    EXPECT_EQ(InkCount(target_, target_.Bounds()), InkCount(target_, rect));

    target_.Fill(kWhite);
    dc_.DrawText(text, rect, kWordBreak | kNoClip);
    EXPECT_GT(InkCount(target_, target_.Bounds()), InkCount(target_, rect));

    target_.Fill(kWhite);
    dc_.IntersectClip(Region(Rect{0, 0, 30, 90}));
    Rect whole{0, 0, 240, 90};
    dc_.DrawText(text, whole, kNoClip);
    EXPECT_GT(InkCount(target_, Rect{0, 0, 30, 90}), 0);
    EXPECT_EQ(InkCount(target_, Rect{30, 0, 240, 90}), 0);
}

TEST_F(TextDrawTest, OriginMovesTheText) {
    Rect rect{0, 0, 100, 30};
    dc_.DrawText(u"Moved", rect, kSingleLine);
    Rect plain = InkBox(target_);

    Bitmap other(240, 90, kWhite);
    DeviceContext moved(other, Point{40, 20}, std::nullopt);
    moved.SelectFont(font_.get());
    moved.SetBackgroundMode(BackgroundMode::kTransparent);
    rect = Rect{0, 0, 100, 30};
    moved.DrawText(u"Moved", rect, kSingleLine);
    EXPECT_EQ(InkBox(other), plain.Offset(40, 20));
    EXPECT_EQ(Crop(other, InkBox(other)), Crop(target_, plain));
}

TEST_F(TextDrawTest, GlyphsBlendFromPaperToTheTextColour) {
    Use(Font::Create({.height = -40, .weight = 700}));
    const Color ink = Rgb(200, 0, 0);
    dc_.SetTextColor(ink);
    Rect rect{0, 0, 240, 90};
    dc_.DrawText(u"HIL", rect, kSingleLine);
    int full = 0;
    int partial = 0;
    for (int y = 0; y < target_.Height(); ++y) {
        for (int x = 0; x < target_.Width(); ++x) {
            Color c = target_.GetPixel(x, y);
            if (c == kWhite) {
                continue;
            }
            ASSERT_EQ(GreenOf(c), BlueOf(c)) << x << "," << y;
            ASSERT_GE(RedOf(c), 200) << x << "," << y;
            ASSERT_GE(RedOf(c), GreenOf(c)) << x << "," << y;
            (c == ink ? full : partial) += 1;
        }
    }
    EXPECT_GT(full, 100);
    EXPECT_GT(partial, 0);  // anti-aliased edges
}

TEST_F(TextDrawTest, BoldAndUnderlinedFonts) {
    for (const char16_t* face : {u"MS Shell Dlg", u"微软雅黑"}) {  // a bold face; emboldening
        int ink[2];
        for (int bold = 0; bold < 2; ++bold) {
            target_.Fill(kWhite);
            Use(Font::Create({.height = -20, .weight = bold ? 700 : 400, .face = face}));
            Rect rect{0, 0, 240, 90};
            dc_.DrawText(u"Bold 粗体", rect, kSingleLine);
            ink[bold] = InkCount(target_, target_.Bounds());
        }
        EXPECT_GT(ink[1], ink[0] * 11 / 10);
    }

    target_.Fill(kWhite);
    Use(Font::Create({.height = -20, .underline = true}));
    Rect rect{10, 10, 240, 90};
    const std::u16string text = u"i i i";
    dc_.DrawText(text, rect, kSingleLine);
    const int width = Width(text);
    bool underlined = false;
    for (int y = 10 + font_->Ascent(); y < 10 + font_->LineHeight(); ++y) {
        underlined = underlined || InkCount(target_, Rect{10, y, 10 + width, y + 1}) == width;
    }
    EXPECT_TRUE(underlined);
}

TEST(TextDrawThreadsTest, FontsShareTheirGlyphsAcrossThreads) {
    // A size no other test uses, so every thread starts on glyphs not yet rendered.
    const FontDescription description{.height = -19, .face = u"微软雅黑"};
    const std::u16string text = u"春眠不觉晓处处闻啼鸟夜来风雨声花落知多少 Spring";
    std::vector<Bitmap> pictures(4, Bitmap(420, 30, kWhite));
    std::vector<std::thread> threads;
    for (Bitmap& picture : pictures) {
        threads.emplace_back([&] {
            auto font = Font::Create(description);
            DeviceContext dc(picture);
            dc.SelectFont(font.get());
            dc.SetBackgroundMode(BackgroundMode::kTransparent);
            Rect rect = picture.Bounds();
            dc.DrawText(text, rect, kSingleLine);
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_GT(InkCount(pictures[0], pictures[0].Bounds()), 500);
    for (const Bitmap& picture : pictures) {
        EXPECT_EQ(picture, pictures[0]);
    }
}

}  // namespace
}  // namespace platform::gfx
