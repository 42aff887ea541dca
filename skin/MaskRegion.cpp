#include "skin/MaskRegion.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int kPixelBytes = 3;

inline bool IsWhite(const std::uint8_t* pixel) {
    return (pixel[0] & pixel[1] & pixel[2]) == 0xFF;
}

// Eight pixels are 24 bytes: three words that are all ones only when all
// eight pixels are white. Large white margins are skipped this way.
inline bool EightWhite(const std::uint8_t* pixels) {
    std::uint64_t words[3];
    std::memcpy(words, pixels, sizeof words);
    return (words[0] & words[1] & words[2]) == ~std::uint64_t{0};
}

// Eight pixels none of which is white. Pixel k is white only if its three
// bytes are 0xFF; a byte-wise test is cheap enough once the common cases
// (long white and long solid stretches) are taken in blocks.
inline bool EightSolid(const std::uint8_t* pixels) {
    bool any_white = false;
    for (int k = 0; k < 8; ++k) {
        any_white |= IsWhite(pixels + k * kPixelBytes);
    }
    return !any_white;
}

}  // namespace

std::optional<platform::gfx::Region> CreateRegionFromMask(const platform::gfx::Bitmap& mask) {
    if (mask.IsEmpty()) {
        return std::nullopt;
    }
    const int width = mask.Width();
    platform::gfx::Region::Builder builder;
    for (int y = 0; y < mask.Height(); ++y) {
        const std::uint8_t* row = mask.Row(y);
        int x = 0;
        while (x < width) {
            while (x + 8 <= width && EightWhite(row + x * kPixelBytes)) {
                x += 8;
            }
            while (x < width && IsWhite(row + x * kPixelBytes)) {
                ++x;
            }
            if (x == width) {
                break;
            }
            const int start = x;
            while (x + 8 <= width && EightSolid(row + x * kPixelBytes)) {
                x += 8;
            }
            while (x < width && !IsWhite(row + x * kPixelBytes)) {
                ++x;
            }
            // A run that reaches the last column ends at the right edge.
            builder.AddSpan(y, start, x);
        }
    }
    return builder.Finish();
}
