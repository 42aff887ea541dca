#include "tools/artwork/Text.h"

#include <string>

#include "platform/gfx/DeviceContext.h"

namespace artwork {

namespace gfx = platform::gfx;

namespace {

std::shared_ptr<const gfx::Font> FontOf(const TextStyle& style) {
    gfx::FontDescription description;
    description.height = style.height;
    description.weight = style.weight;
    description.face = std::u16string(style.face);
    return gfx::Font::Create(description);
}

}  // namespace

std::vector<float> TextCoverage(int width, int height, std::u16string_view text,
                                const TextStyle& style, gfx::Rect rect, std::uint32_t flags) {
    gfx::Bitmap target(width, height, gfx::kBlack);
    gfx::DeviceContext dc(target);
    auto font = FontOf(style);
    dc.SelectFont(font.get());
    dc.SetTextColor(gfx::kWhite);
    dc.SetBackgroundMode(gfx::BackgroundMode::kTransparent);
    dc.DrawText(text, rect, flags | gfx::text_flags::kNoPrefix);
    std::vector<float> coverage(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = target.Row(y);
        for (int x = 0; x < width; ++x) {
            coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)] = static_cast<float>(row[x * 3 + 1]) / 255.0f;
        }
    }
    return coverage;
}

gfx::Size MeasureText(std::u16string_view text, const TextStyle& style) {
    gfx::Bitmap scratch(1, 1);
    gfx::DeviceContext dc(scratch);
    auto font = FontOf(style);
    dc.SelectFont(font.get());
    return dc.GetTextExtent(text);
}

}  // namespace artwork
