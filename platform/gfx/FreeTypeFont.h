// The one kind of Font the layer makes: faces chosen by fontconfig, glyphs
// rendered by FreeType and kept per font. Internal to platform/gfx; text
// drawing reads glyphs through it.
//
// Glyphs are rendered on first use under one lock shared by all fonts (the
// FreeType faces are shared between fonts and are not thread-safe); a glyph
// once rendered never moves, so its pointer stays valid for the font's life.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gfx/Font.h"

namespace platform::gfx {

struct Glyph {
    int advance = 0;  // pen movement, pixels
    int left = 0;     // from the pen to the bitmap's first column
    int top = 0;      // from the baseline up to the bitmap's first row
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // width × height, 0 (none) to 255 (full)
};

class FreeTypeFont final : public Font {
  public:
    struct Source;  // the matched faces and their synthesis, kept in Font.cpp

    FreeTypeFont(FontDescription description, std::unique_ptr<Source> source);
    ~FreeTypeFont() override;

    std::string MatchedFile() const override;
    int Ascent() const override { return ascent_; }
    int Descent() const override { return descent_; }
    int AverageCharWidth() const override { return average_char_width_; }

    // The glyphs of code_points, in order, replacing what out held.
    void GetGlyphs(std::span<const char32_t> code_points, std::vector<const Glyph*>& out) const;

    // Underline: its first row below the baseline, and its thickness.
    int UnderlineOffset() const { return underline_offset_; }
    int UnderlineThickness() const { return underline_thickness_; }

  private:
    const Glyph& GlyphLocked(char32_t code_point) const;

    std::unique_ptr<Source> source_;
    int ascent_ = 0;
    int descent_ = 0;
    int average_char_width_ = 0;
    int underline_offset_ = 1;
    int underline_thickness_ = 1;
    mutable std::unordered_map<char32_t, Glyph> glyphs_;  // under the shared lock
};

}  // namespace platform::gfx
