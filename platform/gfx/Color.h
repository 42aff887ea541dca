// Colours as the original platform packs them: 0x00BBGGRR.
#pragma once

#include <cstdint>

namespace platform::gfx {

using Color = std::uint32_t;

constexpr Color Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Color>(red) | (static_cast<Color>(green) << 8) |
           (static_cast<Color>(blue) << 16);
}
constexpr std::uint8_t RedOf(Color c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GreenOf(Color c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t BlueOf(Color c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);

// The system colours the programs ask for by name.
constexpr Color kButtonFaceColor = Rgb(240, 240, 240);
constexpr Color kButtonTextColor = Rgb(0, 0, 0);
constexpr Color kGrayTextColor = Rgb(109, 109, 109);
constexpr Color kHighlightColor = Rgb(0, 120, 215);
constexpr Color kHighlightTextColor = Rgb(255, 255, 255);

}  // namespace platform::gfx
