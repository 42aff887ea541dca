#include "platform/gfx/Bitmap.h"

#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <climits>
#include <cstring>
#include <functional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "tests/support/Sandbox.h"

namespace {

using platform::gfx::Bitmap;
using platform::gfx::Color;
using platform::gfx::Rgb;

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// How a test BMP is laid out.
struct BmpLayout {
    int bits = 24;
    bool top_down = false;
    std::uint32_t header_size = 40;
    bool bit_fields = false;  // 32-bit with masks
    std::uint32_t red_mask = 0x00FF0000;
    std::uint32_t green_mask = 0x0000FF00;
    std::uint32_t blue_mask = 0x000000FF;
    std::uint32_t palette_size = 0;  // 8-bit: entries written (0 means 256, as the field says)
};

// Writes a BMP of a picture whose pixel (x, y) has colour Sample(x, y); the
// 8-bit files use palette entry (x + 2y) % entries with entry i = Sample(i, 0).
Color Sample(int x, int y) {
    return Rgb(static_cast<std::uint8_t>(10 + 40 * x), static_cast<std::uint8_t>(20 + 50 * y),
               static_cast<std::uint8_t>(200 - 30 * x - 7 * y));
}

Bytes MakeBmp(int width, int height, const BmpLayout& layout, Bitmap* expected) {
    const std::uint32_t entries = layout.palette_size == 0 ? 256 : layout.palette_size;
    std::size_t offset = 14 + layout.header_size;
    if (layout.bit_fields && layout.header_size == 40) {
        offset += 12;
    }
    const std::size_t palette_at = offset;
    if (layout.bits == 8) {
        offset += entries * 4;
    }
    const std::size_t stride = ((static_cast<std::size_t>(width) * layout.bits + 31) / 32) * 4;
    Bytes b(offset + stride * static_cast<std::size_t>(height), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, static_cast<std::uint32_t>(offset));
    Put32(b, 14, layout.header_size);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(layout.top_down ? -height : height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(layout.bits));
    Put32(b, 30, layout.bit_fields ? 3 : 0);
    Put32(b, 46, layout.palette_size);
    if (layout.bit_fields) {
        Put32(b, 54, layout.red_mask);
        Put32(b, 58, layout.green_mask);
        Put32(b, 62, layout.blue_mask);
    }
    if (layout.bits == 8) {
        for (std::uint32_t i = 0; i < entries; ++i) {
            const Color c = Sample(static_cast<int>(i), 0);
            b[palette_at + i * 4] = platform::gfx::BlueOf(c);
            b[palette_at + i * 4 + 1] = platform::gfx::GreenOf(c);
            b[palette_at + i * 4 + 2] = platform::gfx::RedOf(c);
        }
    }
    *expected = Bitmap(width, height);
    auto byte_of = [](std::uint32_t mask) {
        int i = 0;
        while (mask > 0xFF) {
            mask >>= 8;
            ++i;
        }
        return i;
    };
    for (int y = 0; y < height; ++y) {
        const int file_row = layout.top_down ? y : height - 1 - y;
        std::uint8_t* row = b.data() + offset + stride * static_cast<std::size_t>(file_row);
        for (int x = 0; x < width; ++x) {
            if (layout.bits == 8) {
                const std::uint32_t index = static_cast<std::uint32_t>(x + 2 * y) % entries;
                row[x] = static_cast<std::uint8_t>(index);
                expected->SetPixel(x, y, Sample(static_cast<int>(index), 0));
                continue;
            }
            const Color c = Sample(x, y);
            expected->SetPixel(x, y, c);
            std::uint8_t* p = row + x * (layout.bits / 8);
            if (layout.bits == 24) {
                p[0] = platform::gfx::BlueOf(c);
                p[1] = platform::gfx::GreenOf(c);
                p[2] = platform::gfx::RedOf(c);
            } else {
                p[byte_of(layout.red_mask)] = platform::gfx::RedOf(c);
                p[byte_of(layout.green_mask)] = platform::gfx::GreenOf(c);
                p[byte_of(layout.blue_mask)] = platform::gfx::BlueOf(c);
                // The fourth byte is unused: fill it so a reader that takes it shows.
                const int r = byte_of(layout.red_mask);
                const int g = byte_of(layout.green_mask);
                const int bl = byte_of(layout.blue_mask);
                const int unused = 6 - r - g - bl;
                if (unused >= 0 && unused <= 3 && unused != r && unused != g && unused != bl) {
                    p[unused] = 0x77;
                }
            }
        }
    }
    return b;
}

Bitmap RandomBitmap(std::mt19937& rng, int width, int height) {
    Bitmap bitmap(width, height);
    for (std::uint8_t& byte : bitmap.Bytes()) {
        byte = static_cast<std::uint8_t>(rng());
    }
    return bitmap;
}

TEST(BitmapTest, PixelsOutsideAreBlackAndUntouched) {
    Bitmap bitmap(3, 2, Rgb(1, 2, 3));
    EXPECT_EQ(bitmap.Stride(), 9u);
    bitmap.SetPixel(2, 1, Rgb(7, 8, 9));
    EXPECT_EQ(bitmap.Row(1)[6], 7);  // R, G, B in memory
    EXPECT_EQ(bitmap.Row(1)[8], 9);
    const Bitmap before = bitmap;
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 2}}) {
        EXPECT_EQ(bitmap.GetPixel(x, y), platform::gfx::kBlack);
        bitmap.SetPixel(x, y, Rgb(5, 5, 5));
    }
    EXPECT_EQ(bitmap, before);
    EXPECT_TRUE(Bitmap(0, 5).IsEmpty());
    EXPECT_TRUE(Bitmap(-3, 5).Bytes().empty());
}

TEST(BitmapTest, ReadsEachKindOfBmp) {
    struct Case {
        const char* name;
        BmpLayout layout;
    };
    const Case cases[] = {
        {"24-bit bottom-up", {}},
        {"24-bit top-down", {.top_down = true}},
        {"32-bit", {.bits = 32}},
        {"32-bit top-down, V4 header", {.bits = 32, .top_down = true, .header_size = 108}},
        {"32-bit masks after a plain header",
         {.bits = 32,
          .bit_fields = true,
          .red_mask = 0x000000FF,
          .green_mask = 0x0000FF00,
          .blue_mask = 0x00FF0000}},
        {"32-bit masks in a V5 header",
         {.bits = 32,
          .header_size = 124,
          .bit_fields = true,
          .red_mask = 0xFF000000,
          .green_mask = 0x00FF0000,
          .blue_mask = 0x0000FF00}},
        {"8-bit, full palette", {.bits = 8}},
        {"8-bit, 3 colours, top-down", {.bits = 8, .top_down = true, .palette_size = 3}},
    };
    for (const Case& c : cases) {
        // Widths 1 to 5 cover every amount of row padding.
        for (int width = 1; width <= 5; ++width) {
            SCOPED_TRACE(std::string(c.name) + ", width " + std::to_string(width));
            Bitmap expected;
            const Bytes file = MakeBmp(width, 3, c.layout, &expected);
            const auto read = Bitmap::FromBmp(file);
            ASSERT_TRUE(read.has_value());
            EXPECT_EQ(*read, expected);
        }
    }
}

TEST(BitmapTest, BmpRoundTripIs24BitBottomUpWithPaddedRows) {
    std::mt19937 rng(7);
    for (int width = 1; width <= 6; ++width) {
        const Bitmap bitmap = RandomBitmap(rng, width, 4);
        const Bytes file = bitmap.ToBmp();
        const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
        ASSERT_EQ(file.size(), 54 + stride * 4);
        EXPECT_EQ(file[28], 24);
        EXPECT_EQ(file[25], 0);  // positive height: bottom-up
        // The last row of the picture comes first, blue first.
        EXPECT_EQ(file[54], platform::gfx::BlueOf(bitmap.GetPixel(0, 3)));
        const auto read = Bitmap::FromBmp(file);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(*read, bitmap);
    }
    EXPECT_TRUE(Bitmap().ToBmp().empty());
}

TEST(BitmapTest, RefusesDamagedBmp) {
    Bitmap expected;
    const Bytes good = MakeBmp(3, 2, {}, &expected);
    Bitmap palette_expected;
    const Bytes good8 = MakeBmp(3, 2, {.bits = 8, .palette_size = 4}, &palette_expected);
    ASSERT_TRUE(Bitmap::FromBmp(good).has_value());
    ASSERT_TRUE(Bitmap::FromBmp(good8).has_value());

    // Every truncation of a valid file.
    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(Bitmap::FromBmp(std::span(good.data(), length)).has_value()) << length;
    }
    for (std::size_t length = 0; length < good8.size(); ++length) {
        EXPECT_FALSE(Bitmap::FromBmp(std::span(good8.data(), length)).has_value()) << length;
    }

    struct Case {
        const char* name;
        const Bytes* base;
        std::function<void(Bytes&)> damage;
    };
    const Case cases[] = {
        {"magic", &good, [](Bytes& b) { b[1] = 'A'; }},
        {"core header", &good, [](Bytes& b) { Put32(b, 14, 12); }},
        {"unknown header size", &good, [](Bytes& b) { Put32(b, 14, 64); }},
        {"header larger than file", &good, [](Bytes& b) { Put32(b, 14, 124); }},
        {"width 0", &good, [](Bytes& b) { Put32(b, 18, 0); }},
        {"negative width", &good, [](Bytes& b) { Put32(b, 18, 0xFFFFFFFD); }},
        {"height 0", &good, [](Bytes& b) { Put32(b, 22, 0); }},
        {"height INT_MIN", &good, [](Bytes& b) { Put32(b, 22, 0x80000000); }},
        {"huge width", &good, [](Bytes& b) { Put32(b, 18, 0x7FFFFFFF); }},
        {"huge height", &good, [](Bytes& b) { Put32(b, 22, 0x7FFFFFFF); }},
        {"huge top-down height", &good, [](Bytes& b) { Put32(b, 22, 0x80000001); }},
        {"two planes", &good, [](Bytes& b) { Put16(b, 26, 2); }},
        {"16 bits", &good, [](Bytes& b) { Put16(b, 28, 16); }},
        {"4 bits", &good, [](Bytes& b) { Put16(b, 28, 4); }},
        {"run-length compressed", &good8, [](Bytes& b) { Put32(b, 30, 1); }},
        {"masks on 24 bits", &good, [](Bytes& b) { Put32(b, 30, 3); }},
        {"palette over 256", &good8, [](Bytes& b) { Put32(b, 46, 257); }},
        {"palette past the end", &good8, [](Bytes& b) { Put32(b, 46, 200); }},
        {"pixels past the end", &good, [](Bytes& b) { Put32(b, 10, 60); }},
        {"pixels far past the end", &good, [](Bytes& b) { Put32(b, 10, 0xFFFFFFF0); }},
        {"pixels inside the header", &good, [](Bytes& b) { Put32(b, 10, 30); }},
        {"pixels inside the palette", &good8, [](Bytes& b) { Put32(b, 10, 60); }},
    };
    for (const Case& c : cases) {
        Bytes bytes = *c.base;
        c.damage(bytes);
        EXPECT_FALSE(Bitmap::FromBmp(bytes).has_value()) << c.name;
    }

    // 32-bit masks that are not whole bytes, or that overlap.
    for (auto masks : {std::array<std::uint32_t, 3>{0x00FF0000, 0x0000FF00, 0x000000F0},
                       std::array<std::uint32_t, 3>{0x00FF0000, 0x00FF0000, 0x000000FF},
                       std::array<std::uint32_t, 3>{0, 0x0000FF00, 0x000000FF}}) {
        Bitmap unused;
        const Bytes bytes = MakeBmp(2, 2,
                                    {.bits = 32,
                                     .bit_fields = true,
                                     .red_mask = masks[0],
                                     .green_mask = masks[1],
                                     .blue_mask = masks[2]},
                                    &unused);
        EXPECT_FALSE(Bitmap::FromBmp(bytes).has_value()) << std::hex << masks[2];
    }
}

TEST(BitmapTest, PalettedPixelPastTheTableReadsBlack) {
    Bitmap expected;
    Bytes bytes = MakeBmp(3, 1, {.bits = 8, .palette_size = 2}, &expected);
    bytes[14 + 40 + 2 * 4] = 9;  // the first pixel
    const auto read = Bitmap::FromBmp(bytes);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->GetPixel(0, 0), platform::gfx::kBlack);
    EXPECT_EQ(read->GetPixel(1, 0), expected.GetPixel(1, 0));
}

// A PNG in one of libpng's simplified formats, for the conversions on reading.
Bytes EncodePng(int width, int height, png_uint_32 format, const Bytes& pixels,
                const Bytes& colormap = {}, int colormap_entries = 0) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    image.colormap_entries = static_cast<png_uint_32>(colormap_entries);
    png_alloc_size_t size = 0;
    const void* map = colormap.empty() ? nullptr : colormap.data();
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, map));
    Bytes out(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, map));
    out.resize(size);
    return out;
}

TEST(BitmapTest, PngReadingConvertsToRgb) {
    const Bytes gray = EncodePng(2, 1, PNG_FORMAT_GRAY, {0x10, 0xF0});
    const Bytes rgba = EncodePng(2, 1, PNG_FORMAT_RGBA, {1, 2, 3, 128, 4, 5, 6, 255});
    // Colour-mapped: a real palette in the file.
    const Bytes paletted =
        EncodePng(3, 1, PNG_FORMAT_RGB_COLORMAP, {2, 0, 1}, {9, 8, 7, 100, 110, 120, 1, 2, 3}, 3);
    struct Case {
        const char* name;
        const Bytes* png;
        std::vector<Color> pixels;
    };
    const Case cases[] = {
        {"gray", &gray, {Rgb(0x10, 0x10, 0x10), Rgb(0xF0, 0xF0, 0xF0)}},
        {"alpha dropped", &rgba, {Rgb(1, 2, 3), Rgb(4, 5, 6)}},
        {"palette", &paletted, {Rgb(1, 2, 3), Rgb(9, 8, 7), Rgb(100, 110, 120)}},
    };
    for (const Case& c : cases) {
        const auto read = Bitmap::FromPng(*c.png);
        ASSERT_TRUE(read.has_value()) << c.name;
        ASSERT_EQ(read->Width(), static_cast<int>(c.pixels.size())) << c.name;
        for (std::size_t x = 0; x < c.pixels.size(); ++x) {
            EXPECT_EQ(read->GetPixel(static_cast<int>(x), 0), c.pixels[x]) << c.name << " " << x;
        }
    }
}

class BitmapFileTest : public testsupport::SandboxTest {};

TEST_F(BitmapFileTest, PngRoundTripsThroughMemoryAndFiles) {
    std::mt19937 rng(3);
    const Bitmap bitmap = RandomBitmap(rng, 37, 19);
    const Bytes png = bitmap.ToPng();
    const auto read = Bitmap::FromPng(png);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, bitmap);

    ASSERT_TRUE(bitmap.WritePng((work() / "picture.png").string()));
    const auto from_file = Bitmap::ReadPng((work() / "picture.png").string());
    ASSERT_TRUE(from_file.has_value());
    EXPECT_EQ(*from_file, bitmap);

    EXPECT_FALSE(Bitmap::ReadPng((work() / "missing.png").string()).has_value());
    EXPECT_FALSE(Bitmap().WritePng((work() / "empty.png").string()));
    EXPECT_FALSE(bitmap.WritePng((work() / "no-such-dir" / "x.png").string()));
}

TEST(BitmapTest, RefusesDamagedPng) {
    std::mt19937 rng(5);
    const Bytes png = RandomBitmap(rng, 8, 8).ToPng();
    for (std::size_t length = 0; length < png.size(); length += 7) {
        EXPECT_FALSE(Bitmap::FromPng(std::span(png.data(), length)).has_value()) << length;
    }
    Bytes corrupt = png;
    corrupt[corrupt.size() / 2] ^= 0x55;  // inside the image data: its checksum fails
    EXPECT_FALSE(Bitmap::FromPng(corrupt).has_value());
    const Bytes bmp = Bitmap(2, 2).ToBmp();
    EXPECT_FALSE(Bitmap::FromPng(bmp).has_value());
}

}  // namespace
