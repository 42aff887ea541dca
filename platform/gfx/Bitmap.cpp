#include "platform/gfx/Bitmap.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace platform::gfx {

Bitmap::Bitmap(int width, int height, Color fill) {
    if (width <= 0 || height <= 0) {
        return;
    }
    width_ = width;
    height_ = height;
    pixels_.resize(Stride() * static_cast<std::size_t>(height));
    Fill(fill);
}

Color Bitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return kBlack;
    }
    const std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
    return Rgb(p[0], p[1], p[2]);
}

void Bitmap::SetPixel(int x, int y, Color color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
    p[0] = RedOf(color);
    p[1] = GreenOf(color);
    p[2] = BlueOf(color);
}

void Bitmap::Fill(Color color) {
    if (IsEmpty()) {
        return;
    }
    std::uint8_t* first = Row(0);
    for (int x = 0; x < width_; ++x) {
        first[x * 3] = RedOf(color);
        first[x * 3 + 1] = GreenOf(color);
        first[x * 3 + 2] = BlueOf(color);
    }
    for (int y = 1; y < height_; ++y) {
        std::memcpy(Row(y), first, Stride());
    }
}

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kV5HeaderSize = 124;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;

// Little-endian reads from a buffer whose length the caller has checked.
std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t I32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(U32(p));
}

void PutU16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// The byte of a 32-bit pixel that a channel mask selects; only masks of one
// whole byte are taken, which is what every writer of such files uses.
std::optional<int> ByteOfMask(std::uint32_t mask) {
    for (int i = 0; i < 4; ++i) {
        if (mask == (0xFFu << (8 * i))) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<Bitmap> Bitmap::FromBmp(std::span<const std::uint8_t> bytes) {
    const std::size_t size = bytes.size();
    const std::uint8_t* data = bytes.data();
    if (size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t pixel_offset = U32(data + 10);
    const std::uint8_t* info = data + kFileHeaderSize;
    const std::uint32_t header_size = U32(info);
    if (header_size != kInfoHeaderSize && header_size != kV4HeaderSize &&
        header_size != kV5HeaderSize) {
        return std::nullopt;
    }
    if (size < kFileHeaderSize + header_size) {
        return std::nullopt;
    }
    const std::int32_t width = I32(info + 4);
    const std::int32_t raw_height = I32(info + 8);
    const std::uint16_t planes = U16(info + 12);
    const std::uint16_t bits = U16(info + 14);
    const std::uint32_t compression = U32(info + 16);
    const std::uint32_t colors_used = U32(info + 32);
    if (width <= 0 || raw_height == 0 || raw_height == INT32_MIN || planes != 1) {
        return std::nullopt;
    }
    const bool top_down = raw_height < 0;
    const std::int32_t height = top_down ? -raw_height : raw_height;

    // Where the channels of a 32-bit pixel sit: B, G, R by default.
    int red_byte = 2;
    int green_byte = 1;
    int blue_byte = 0;
    std::size_t after_header = kFileHeaderSize + header_size;
    if (compression == kCompressionBitFields && bits == 32) {
        const std::uint8_t* masks = info + kInfoHeaderSize;
        if (header_size == kInfoHeaderSize) {
            // The three masks follow a plain info header.
            after_header += 12;
            if (size < after_header) {
                return std::nullopt;
            }
        }
        const auto r = ByteOfMask(U32(masks));
        const auto g = ByteOfMask(U32(masks + 4));
        const auto b = ByteOfMask(U32(masks + 8));
        if (!r || !g || !b || *r == *g || *r == *b || *g == *b) {
            return std::nullopt;
        }
        red_byte = *r;
        green_byte = *g;
        blue_byte = *b;
    } else if (compression != kCompressionNone) {
        return std::nullopt;
    }
    if (bits != 8 && bits != 24 && bits != 32) {
        return std::nullopt;
    }

    std::array<Color, 256> palette{};  // indices past the table read as black
    if (bits == 8) {
        const std::uint32_t count = colors_used == 0 ? 256 : colors_used;
        if (count > 256 || after_header + std::size_t{count} * 4 > size) {
            return std::nullopt;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t* entry = data + after_header + i * 4;
            palette[i] = Rgb(entry[2], entry[1], entry[0]);
        }
        after_header += std::size_t{count} * 4;
    }

    // Every row, padding included, must lie inside the file: this also
    // bounds the allocation below by the size of the input.
    const std::uint64_t stride =
        ((std::uint64_t{static_cast<std::uint32_t>(width)} * bits + 31) / 32) * 4;
    const std::uint64_t image_bytes = stride * static_cast<std::uint32_t>(height);
    if (pixel_offset < after_header || pixel_offset > size || image_bytes > size - pixel_offset) {
        return std::nullopt;
    }

    Bitmap bitmap(width, height);
    const int bytes_per_pixel = bits / 8;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t file_row = top_down ? y : height - 1 - y;
        const std::uint8_t* src =
            data + pixel_offset + stride * static_cast<std::uint64_t>(file_row);
        std::uint8_t* dst = bitmap.Row(y);
        for (std::int32_t x = 0; x < width; ++x, src += bytes_per_pixel, dst += 3) {
            if (bits == 8) {
                const Color c = palette[*src];
                dst[0] = RedOf(c);
                dst[1] = GreenOf(c);
                dst[2] = BlueOf(c);
            } else if (bits == 24) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            } else {
                dst[0] = src[red_byte];
                dst[1] = src[green_byte];
                dst[2] = src[blue_byte];
            }
        }
    }
    return bitmap;
}

std::vector<std::uint8_t> Bitmap::ToBmp() const {
    if (IsEmpty()) {
        return {};
    }
    const std::size_t stride = (Stride() + 3) & ~std::size_t{3};
    const std::size_t image_bytes = stride * static_cast<std::size_t>(height_);
    const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<std::uint8_t> out(offset + image_bytes, 0);
    std::uint8_t* p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    PutU32(p + 2, static_cast<std::uint32_t>(out.size()));
    PutU32(p + 10, static_cast<std::uint32_t>(offset));
    std::uint8_t* info = p + kFileHeaderSize;
    PutU32(info, kInfoHeaderSize);
    PutU32(info + 4, static_cast<std::uint32_t>(width_));
    PutU32(info + 8, static_cast<std::uint32_t>(height_));
    PutU16(info + 12, 1);
    PutU16(info + 14, 24);
    PutU32(info + 16, kCompressionNone);
    PutU32(info + 20, static_cast<std::uint32_t>(image_bytes));
    PutU32(info + 24, 2835);  // 72 dpi
    PutU32(info + 28, 2835);
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* src = Row(y);
        std::uint8_t* dst = p + offset + stride * static_cast<std::size_t>(height_ - 1 - y);
        for (int x = 0; x < width_; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return out;
}

}  // namespace platform::gfx
