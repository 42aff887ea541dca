// PNG through libpng's classic interface. libpng reports errors by longjmp,
// so each function that sets a jump point keeps only trivial locals; the
// C++ objects live in the caller's frame and are reached through a pointer.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <string>

#include "platform/files/FileSystem.h"
#include "platform/gfx/Bitmap.h"

namespace platform::gfx {

namespace {

// Larger pictures are refused rather than allocated.
constexpr png_uint_32 kMaxSide = 1 << 14;
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 26;

void IgnoreWarning(png_structp, png_const_charp) {}

void FailOnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

struct MemoryInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* in = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (length > in->size - in->position) {
        png_error(png, "truncated");
    }
    std::memcpy(out, in->data + in->position, length);
    in->position += length;
}

struct Reader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    MemoryInput input{};
    png_uint_32 width = 0;
    png_uint_32 height = 0;
};

// Reads the header and asks for 8-bit RGB whatever the file holds.
bool ReadHeader(Reader* r) {
    if (setjmp(png_jmpbuf(r->png))) {
        return false;
    }
    png_set_user_limits(r->png, kMaxSide, kMaxSide);
    png_set_read_fn(r->png, &r->input, ReadFromMemory);
    png_read_info(r->png, r->info);
    int bit_depth = 0;
    int color_type = 0;
    png_get_IHDR(r->png, r->info, &r->width, &r->height, &bit_depth, &color_type, nullptr, nullptr,
                 nullptr);
    if (std::uint64_t{r->width} * r->height > kMaxPixels) {
        return false;
    }
    png_set_strip_16(r->png);
    png_set_packing(r->png);
    if (color_type == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(r->png);
    }
    if (color_type == PNG_COLOR_TYPE_GRAY || color_type == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_expand_gray_1_2_4_to_8(r->png);
        png_set_gray_to_rgb(r->png);
    }
    png_set_strip_alpha(r->png);
    png_set_interlace_handling(r->png);
    png_read_update_info(r->png, r->info);
    return png_get_rowbytes(r->png, r->info) == std::size_t{r->width} * 3 &&
           png_get_channels(r->png, r->info) == 3;
}

bool ReadRows(Reader* r, png_bytep* rows) {
    if (setjmp(png_jmpbuf(r->png))) {
        return false;
    }
    png_read_image(r->png, rows);
    png_read_end(r->png, nullptr);
    return true;
}

void WriteToMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

bool WriteRows(png_structp png, png_infop info, png_uint_32 width, png_uint_32 height,
               png_bytep* rows, std::vector<std::uint8_t>* out) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_write_fn(png, out, WriteToMemory, FlushNothing);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

std::optional<Bitmap> Bitmap::FromPng(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        return std::nullopt;
    }
    Reader r;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailOnError, IgnoreWarning);
    if (r.png == nullptr) {
        return std::nullopt;
    }
    r.info = png_create_info_struct(r.png);
    r.input = MemoryInput{bytes.data(), bytes.size(), 0};
    std::optional<Bitmap> result;
    if (r.info != nullptr && ReadHeader(&r) && r.width > 0 && r.height > 0) {
        Bitmap bitmap(static_cast<int>(r.width), static_cast<int>(r.height));
        std::vector<png_bytep> rows(r.height);
        for (png_uint_32 y = 0; y < r.height; ++y) {
            rows[y] = bitmap.Row(static_cast<int>(y));
        }
        if (ReadRows(&r, rows.data())) {
            result = std::move(bitmap);
        }
    }
    png_destroy_read_struct(&r.png, r.info != nullptr ? &r.info : nullptr, nullptr);
    return result;
}

std::vector<std::uint8_t> Bitmap::ToPng() const {
    std::vector<std::uint8_t> out;
    if (IsEmpty()) {
        return out;
    }
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, FailOnError, IgnoreWarning);
    if (png == nullptr) {
        return out;
    }
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y) {
        // libpng only reads the rows it is given to write.
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(Row(y));
    }
    if (info == nullptr || !WriteRows(png, info, static_cast<png_uint_32>(width_),
                                      static_cast<png_uint_32>(height_), rows.data(), &out)) {
        out.clear();
    }
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    return out;
}

std::optional<Bitmap> Bitmap::ReadPng(PathArg path) {
    std::string data;
    if (!ReadWholeFile(path, data, std::uint64_t{1} << 30)) {
        return std::nullopt;
    }
    return FromPng(std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()));
}

bool Bitmap::WritePng(PathArg path) const {
    const std::vector<std::uint8_t> png = ToPng();
    if (png.empty()) {
        return false;
    }
    FileWriter writer;
    if (!writer.Open(path, FileWriter::Mode::kTruncate)) {
        return false;
    }
    const bool written = writer.Write(png.data(), png.size());
    return writer.Close() && written;
}

}  // namespace platform::gfx
