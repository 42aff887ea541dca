// Text measuring and drawing of DeviceContext, in the manner of the original
// platform's DrawText. Tabs draw as one space (kExpandTabs is not honoured)
// and kEndEllipsis is ignored: the programs use neither.
#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/FreeTypeFont.h"

namespace platform::gfx {
namespace {

using namespace text_flags;

struct Text {
    std::vector<char32_t> code_points;
    std::vector<bool> underlined;  // mnemonic characters marked by '&'
    std::vector<const Glyph*> glyphs;
};

struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    int width = 0;
};

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Reads one code point at i and moves i past it; lone surrogates become U+FFFD.
char32_t NextCodePoint(std::u16string_view text, std::size_t& i) {
    char16_t c = text[i++];
    if (IsHighSurrogate(c) && i < text.size() && IsLowSurrogate(text[i])) {
        char16_t low = text[i++];
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (low - 0xDC00);
    }
    if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
        return 0xFFFD;
    }
    return c;
}

Text Decode(std::u16string_view text, bool prefixes) {
    Text out;
    out.code_points.reserve(text.size());
    bool mark_next = false;
    for (std::size_t i = 0; i < text.size();) {
        if (prefixes && text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                i += 2;
                out.code_points.push_back(U'&');
                out.underlined.push_back(mark_next);
                mark_next = false;
            } else {
                ++i;
                mark_next = true;  // a trailing '&' marks nothing
            }
            continue;
        }
        char32_t c = NextCodePoint(text, i);
        out.code_points.push_back(c == U'\t' ? U' ' : c);
        out.underlined.push_back(mark_next);
        mark_next = false;
    }
    return out;
}

bool IsBreakingSpace(char32_t c) {
    return c == U' ';
}

// Characters between any two of which a line may break.
bool IsCjk(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

// Closing punctuation stays with the character before it.
bool NeverStartsALine(char32_t c) {
    static constexpr std::u32string_view kClosing = U"，。、；：！？）》」』】〉〕・…—ー,.;:!?)]}%";
    return kClosing.find(c) != std::u32string_view::npos;
}

class LineBreaker {
  public:
    LineBreaker(const Text& text, int max_width, bool break_words, std::vector<Line>& lines)
        : text_(text), max_width_(max_width), break_words_(break_words), lines_(lines) {}

    // Breaks the paragraph [begin, end) into lines, greedily: at spaces,
    // around CJK characters, and inside over-long words when break_words_.
    void Wrap(std::size_t begin, std::size_t end) {
        line_ = Line{begin, begin, 0};
        width_with_spaces_ = 0;
        has_word_ = false;
        wrapped_ = false;
        for (std::size_t i = begin; i < end;) {
            std::size_t unit_end = i + 1;
            char32_t c = text_.code_points[i];
            if (IsBreakingSpace(c)) {
                while (unit_end < end && IsBreakingSpace(text_.code_points[unit_end])) {
                    ++unit_end;
                }
                AddSpaces(i, unit_end);
            } else {
                if (!IsCjk(c)) {
                    while (unit_end < end && !IsBreakingSpace(text_.code_points[unit_end]) &&
                           !IsCjk(text_.code_points[unit_end])) {
                        ++unit_end;
                    }
                }
                while (unit_end < end && NeverStartsALine(text_.code_points[unit_end])) {
                    ++unit_end;
                }
                AddWord(i, unit_end);
            }
            i = unit_end;
        }
        line_.end = end;
        line_.width = width_with_spaces_;
        lines_.push_back(line_);
    }

  private:
    int Width(std::size_t begin, std::size_t end) const {
        int width = 0;
        for (std::size_t i = begin; i < end; ++i) {
            width += text_.glyphs[i]->advance;
        }
        return width;
    }

    void AddSpaces(std::size_t begin, std::size_t end) {
        if (wrapped_ && line_.begin == begin) {
            line_.begin = line_.end = end;  // spaces at a break vanish
            return;
        }
        width_with_spaces_ += Width(begin, end);
    }

    void AddWord(std::size_t begin, std::size_t end) {
        int width = Width(begin, end);
        if (has_word_ && width_with_spaces_ + width > max_width_) {
            Break(begin);
        }
        if (break_words_ && width_with_spaces_ + width > max_width_) {
            for (std::size_t i = begin; i < end; ++i) {
                int advance = text_.glyphs[i]->advance;
                if (i > line_.begin && width_with_spaces_ + advance > max_width_) {
                    line_.end = i;
                    line_.width = width_with_spaces_;
                    Break(i);
                }
                width_with_spaces_ += advance;
                has_word_ = true;
            }
        } else {
            width_with_spaces_ += width;
            has_word_ = true;
        }
        line_.end = end;
        line_.width = width_with_spaces_;
    }

    // Ends the line after its last word; the next starts at next.
    void Break(std::size_t next) {
        lines_.push_back(line_);
        line_ = Line{next, next, 0};
        width_with_spaces_ = 0;
        has_word_ = false;
        wrapped_ = true;
    }

    const Text& text_;
    int max_width_;
    bool break_words_;
    std::vector<Line>& lines_;
    Line line_;  // end and width: through its last word
    int width_with_spaces_ = 0;
    bool has_word_ = false;
    bool wrapped_ = false;
};

std::vector<Line> LayOut(const Text& text, int max_width, std::uint32_t flags) {
    std::vector<Line> lines;
    const auto& cps = text.code_points;
    if (flags & kSingleLine) {
        Line line{0, cps.size(), 0};
        for (const Glyph* glyph : text.glyphs) {
            line.width += glyph->advance;
        }
        lines.push_back(line);
        return lines;
    }
    LineBreaker breaker(text, (flags & kWordBreak) ? max_width : INT32_MAX,
                        (flags & kEditControl) != 0, lines);
    std::size_t begin = 0;
    while (begin < cps.size()) {
        std::size_t end = begin;
        while (end < cps.size() && cps[end] != U'\n' && cps[end] != U'\r') {
            ++end;
        }
        breaker.Wrap(begin, end);
        if (end < cps.size() && cps[end] == U'\r' && end + 1 < cps.size() &&
            cps[end + 1] == U'\n') {
            ++end;
        }
        begin = end + 1;
    }
    return lines;
}

// Drawing into the target's rows, within clip rectangles in target coordinates.
class Painter {
  public:
    Painter(Bitmap& target, std::vector<Rect> clip, Color color)
        : target_(target), clip_(std::move(clip)), color_(color) {}

    void Fill(const Rect& rect, Color color) {
        for (const Rect& clip : clip_) {
            Rect r = rect.Intersect(clip);
            for (int y = r.top; y < r.bottom; ++y) {
                std::uint8_t* p = target_.Row(y) + static_cast<std::size_t>(r.left) * 3;
                for (int x = r.left; x < r.right; ++x, p += 3) {
                    p[0] = RedOf(color);
                    p[1] = GreenOf(color);
                    p[2] = BlueOf(color);
                }
            }
        }
    }

    void Blend(const Glyph& glyph, int left, int top) {
        Rect box = Rect::FromSize(left, top, glyph.width, glyph.height);
        for (const Rect& clip : clip_) {
            Rect r = box.Intersect(clip);
            for (int y = r.top; y < r.bottom; ++y) {
                const std::uint8_t* coverage =
                    glyph.coverage.data() + static_cast<std::size_t>(y - top) * glyph.width;
                std::uint8_t* p = target_.Row(y) + static_cast<std::size_t>(r.left) * 3;
                for (int x = r.left; x < r.right; ++x, p += 3) {
                    unsigned a = coverage[x - left];
                    if (a == 0) {
                        continue;
                    }
                    p[0] = Mix(p[0], RedOf(color_), a);
                    p[1] = Mix(p[1], GreenOf(color_), a);
                    p[2] = Mix(p[2], BlueOf(color_), a);
                }
            }
        }
    }

  private:
    static std::uint8_t Mix(unsigned under, unsigned over, unsigned alpha) {
        return static_cast<std::uint8_t>((under * (255 - alpha) + over * alpha + 127) / 255);
    }

    Bitmap& target_;
    std::vector<Rect> clip_;
    Color color_;
};

const FreeTypeFont& FontOf(const Font* selected, std::shared_ptr<const Font>& holder) {
    if (const auto* font = dynamic_cast<const FreeTypeFont*>(selected); font != nullptr) {
        return *font;
    }
    holder = Font::Default();
    return static_cast<const FreeTypeFont&>(*holder);
}

}  // namespace

int DeviceContext::DrawText(std::u16string_view text, Rect& rect, std::uint32_t flags) {
    std::shared_ptr<const Font> holder;
    const FreeTypeFont& font = FontOf(SelectedFont(), holder);
    Text decoded = Decode(text, (flags & kNoPrefix) == 0);
    font.GetGlyphs(decoded.code_points, decoded.glyphs);
    const bool single_line = (flags & kSingleLine) != 0;
    const int line_height = font.LineHeight();

    std::vector<Line> lines;
    if (!decoded.code_points.empty() || single_line) {
        lines = LayOut(decoded, rect.Width(), flags);
    }
    const int block_height = static_cast<int>(lines.size()) * line_height;

    if (flags & kCalcRect) {
        int width = 0;
        for (const Line& line : lines) {
            width = std::max(width, line.width);
        }
        rect.right = rect.left + width;
        rect.bottom = rect.top + block_height;
        return block_height;
    }

    int top = rect.top;
    if (single_line && (flags & kVCenter)) {
        top += (rect.Height() - line_height) / 2;
    } else if (single_line && (flags & kBottom)) {
        top = rect.bottom - line_height;
    }

    Region clip = ClipRegion();
    if ((flags & kNoClip) == 0) {
        clip = clip.Intersect(Region(rect));
    }
    const Point origin = Origin();
    std::vector<Rect> clip_rects;
    for (const Rect& r : clip.Rects()) {
        Rect in_target = r.Offset(origin.x, origin.y).Intersect(Target().Bounds());
        if (!in_target.IsEmpty()) {
            clip_rects.push_back(in_target);
        }
    }
    Painter painter(Target(), std::move(clip_rects), TextColor());

    const bool underline_all = font.Description().underline;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const Line& line = lines[n];
        int x = rect.left;
        if (flags & kCenter) {
            x += (rect.Width() - line.width) / 2;
        } else if (flags & kRight) {
            x = rect.right - line.width;
        }
        const int y = top + static_cast<int>(n) * line_height;
        const int baseline = origin.y + y + font.Ascent();
        if (background_mode_ == BackgroundMode::kOpaque) {
            painter.Fill(Rect::FromSize(origin.x + x, origin.y + y, line.width, line_height),
                         background_color_);
        }
        int pen = origin.x + x;
        for (std::size_t i = line.begin; i < line.end; ++i) {
            const Glyph& glyph = *decoded.glyphs[i];
            painter.Blend(glyph, pen + glyph.left, baseline - glyph.top);
            if (decoded.underlined[i] && !underline_all) {
                painter.Fill(Rect::FromSize(pen, baseline + font.UnderlineOffset(), glyph.advance,
                                            font.UnderlineThickness()),
                             TextColor());
            }
            pen += glyph.advance;
        }
        if (underline_all) {
            painter.Fill(Rect::FromSize(origin.x + x, baseline + font.UnderlineOffset(), line.width,
                                        font.UnderlineThickness()),
                         TextColor());
        }
    }
    // As there: a line placed by vertical alignment reports its bottom's
    // distance from the rectangle's top.
    if (single_line && (flags & (kVCenter | kBottom))) {
        return top - rect.top + line_height;
    }
    return block_height;
}

Size DeviceContext::GetTextExtent(std::u16string_view text) const {
    std::shared_ptr<const Font> holder;
    const FreeTypeFont& font = FontOf(SelectedFont(), holder);
    Text decoded = Decode(text, false);
    font.GetGlyphs(decoded.code_points, decoded.glyphs);
    int width = 0;
    for (const Glyph* glyph : decoded.glyphs) {
        width += glyph->advance;
    }
    return Size{width, font.LineHeight()};
}

}  // namespace platform::gfx
