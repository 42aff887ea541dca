// Rendered text as coverage, through the layer's fonts and DrawText: white
// text drawn on black gives each pixel's coverage, which the artwork then
// paints with gradients, shadows and glows of its own.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"

namespace artwork {

struct TextStyle {
    std::u16string_view face;
    int height = -16;  // character height in pixels, as the layer's fonts take it
    int weight = 700;
};

// Coverage (0..1 per pixel of a width × height canvas) of text drawn in rect
// with the layer's text flags.
std::vector<float> TextCoverage(int width, int height, std::u16string_view text,
                                const TextStyle& style, platform::gfx::Rect rect,
                                std::uint32_t flags);
platform::gfx::Size MeasureText(std::u16string_view text, const TextStyle& style);

// The faces the artwork draws with; both come with the bootstrap's fonts.
constexpr std::u16string_view kTitleFace = u"DejaVu Serif";
constexpr std::u16string_view kLabelFace = u"DejaVu Sans";

}  // namespace artwork
