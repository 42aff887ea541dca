// A 24-bit picture in memory: top-down rows of R, G, B bytes, tightly packed
// (stride = 3 × width). Loaded from BMP files (what resources hold), written
// and read as PNG (what tests and the headless display produce).
//
// A Bitmap is a plain value: copyable, movable, no thread affinity. An empty
// bitmap (0 × 0) stands for "not loaded".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/files/PathArg.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

namespace platform::gfx {

class Bitmap {
  public:
    Bitmap() = default;
    Bitmap(int width, int height, Color fill = kBlack);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Size Dimensions() const { return Size{width_, height_}; }
    Rect Bounds() const { return Rect{0, 0, width_, height_}; }
    bool IsEmpty() const { return width_ <= 0 || height_ <= 0; }
    std::size_t Stride() const { return static_cast<std::size_t>(width_) * 3; }

    std::uint8_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * Stride(); }
    const std::uint8_t* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * Stride();
    }
    std::span<std::uint8_t> Bytes() { return pixels_; }
    std::span<const std::uint8_t> Bytes() const { return pixels_; }

    // Outside the bitmap: GetPixel gives black, SetPixel does nothing.
    Color GetPixel(int x, int y) const;
    void SetPixel(int x, int y, Color color);
    void Fill(Color color);

    // Uncompressed BMP of 24 or 32 bits (bottom-up or top-down; 32-bit
    // channel masks of whole bytes) and 8-bit palette BMP; nullopt on
    // anything else or on damage. Palette indices past the table read black.
    static std::optional<Bitmap> FromBmp(std::span<const std::uint8_t> bytes);
    // 24-bit, bottom-up, as resources hold; no bytes for an empty bitmap.
    std::vector<std::uint8_t> ToBmp() const;

    // A PNG of up to 16384 pixels a side and 64 million in all, as 8-bit RGB
    // (palette and gray expanded, alpha dropped). Writing an empty bitmap fails.
    static std::optional<Bitmap> FromPng(std::span<const std::uint8_t> bytes);
    static std::optional<Bitmap> ReadPng(PathArg path);
    std::vector<std::uint8_t> ToPng() const;
    bool WritePng(PathArg path) const;

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace platform::gfx
