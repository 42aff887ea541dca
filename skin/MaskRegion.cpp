#include "skin/MaskRegion.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kPixelBytes = 3;
constexpr int kChunk = 64;  // pixels per bit mask

// 64 pixels are 192 bytes: all white exactly when every byte is 0xFF.
bool ChunkAllWhite(const std::uint8_t* pixels) {
    std::uint64_t all = ~std::uint64_t{0};
    for (int k = 0; k < kChunk * kPixelBytes / 8; ++k) {
        std::uint64_t word;
        std::memcpy(&word, pixels + k * 8, sizeof word);
        all &= word;
    }
    return all == ~std::uint64_t{0};
}

// Bit i set when pixel i is white; pixels past count read as white.
std::uint64_t WhiteBits(const std::uint8_t* pixels, int count) {
    std::uint64_t white = count < kChunk ? ~std::uint64_t{0} << count : 0;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* p = pixels + i * kPixelBytes;
        white |= static_cast<std::uint64_t>((p[0] & p[1] & p[2]) == 0xFF) << i;
    }
    return white;
}

}  // namespace

std::optional<platform::gfx::Region> CreateRegionFromMask(const platform::gfx::Bitmap& mask) {
    if (mask.IsEmpty()) {
        return std::nullopt;
    }
    const int width = mask.Width();
    platform::gfx::Region::Builder builder;
    // Runs are found 64 pixels at a time from a bit mask of white pixels, so
    // a ragged row costs a few instructions per run instead of a branch per
    // pixel; white margins are skipped a chunk at a time.
    for (int y = 0; y < mask.Height(); ++y) {
        const std::uint8_t* row = mask.Row(y);
        int run_start = -1;
        for (int base = 0; base < width; base += kChunk) {
            const int count = std::min(kChunk, width - base);
            const std::uint8_t* pixels = row + static_cast<std::size_t>(base) * kPixelBytes;
            if (run_start < 0 && count == kChunk && ChunkAllWhite(pixels)) {
                continue;
            }
            const std::uint64_t white = WhiteBits(pixels, count);
            int pos = 0;
            while (pos < kChunk) {
                if (run_start < 0) {
                    const std::uint64_t solid = ~white >> pos;
                    if (solid == 0) {
                        break;
                    }
                    pos += std::countr_zero(solid);
                    run_start = base + pos;
                } else {
                    const std::uint64_t rest = white >> pos;
                    if (rest == 0) {
                        break;  // the run goes on into the next chunk
                    }
                    pos += std::countr_zero(rest);
                    builder.AddSpan(y, run_start, base + pos);
                    run_start = -1;
                }
            }
        }
        if (run_start >= 0) {
            builder.AddSpan(y, run_start, width);  // reaches the last column
        }
    }
    return builder.Finish();
}
