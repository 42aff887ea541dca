// A painting surface for the artwork: floating-point RGB, so layers of
// glow, haze and anti-aliased edges blend without banding before the result
// is rounded once into a gfx::Bitmap. Shapes are signed distance functions
// (negative inside, in pixels), which gives exact anti-aliasing for any
// outline and lets a picture and its mask come from the same function.
#pragma once

#include <functional>
#include <vector>

#include "platform/gfx/Bitmap.h"

namespace artwork {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

constexpr Rgb Hex(unsigned value) {
    return Rgb{static_cast<float>((value >> 16) & 0xFF) / 255.0f,
               static_cast<float>((value >> 8) & 0xFF) / 255.0f,
               static_cast<float>(value & 0xFF) / 255.0f};
}
Rgb Mix(Rgb a, Rgb b, float t);
Rgb Scale(Rgb a, float k);

// Signed distance from the pixel centre (x + 0.5, y + 0.5) to an outline.
using Shape = std::function<float(float x, float y)>;
// Colour at a point, for gradients and textures.
using Paint = std::function<Rgb(float x, float y)>;

// Pixels a drawing call may touch; the default is the whole canvas. Bounds
// keep small shapes on a large canvas cheap.
struct Bounds {
    int left = 0, top = 0, right = 1 << 20, bottom = 1 << 20;
    static Bounds Around(float x, float y, float reach) {
        return Bounds{static_cast<int>(x - reach) - 1, static_cast<int>(y - reach) - 1,
                      static_cast<int>(x + reach) + 2, static_cast<int>(y + reach) + 2};
    }
};

class Canvas {
  public:
    Canvas(int width, int height, Rgb fill = {});

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb At(int x, int y) const { return pixels_[Index(x, y)]; }
    void Set(int x, int y, Rgb c) { pixels_[Index(x, y)] = c; }
    // Alpha blend of one pixel; outside the canvas nothing happens.
    void Blend(int x, int y, Rgb c, float alpha);
    // Adds light: c × amount, clamped later.
    void Add(int x, int y, Rgb c, float amount);

    void Fill(const Paint& paint);
    // Fills the shape with the paint, edges anti-aliased; opacity scales it.
    void FillShape(const Shape& shape, const Paint& paint, float opacity = 1.0f,
                   Bounds bounds = {});
    void FillShape(const Shape& shape, Rgb color, float opacity = 1.0f, Bounds bounds = {});
    // Light falling off outside the shape over radius pixels (and full inside).
    void Glow(const Shape& shape, Rgb color, float radius, float strength, Bounds bounds = {});
    // Coverage (0..1 per pixel, canvas-sized) painted with paint.
    void Composite(const std::vector<float>& coverage, const Paint& paint, float opacity = 1.0f);
    // A copy of a part of another canvas, placed at (0, 0).
    static Canvas Crop(const Canvas& source, int x, int y, int width, int height);
    void Draw(const Canvas& source, int x, int y);

    // Rounded once; no pixel comes out exactly white, since white is what a
    // shape bitmap calls outside.
    platform::gfx::Bitmap ToBitmap() const;

  private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    Bounds Clamp(Bounds b) const;
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// Black inside (centre of the pixel inside the outline), exactly white outside.
platform::gfx::Bitmap MaskOf(const Shape& shape, int width, int height);

// Coverage of a shape, 0..1 per pixel.
std::vector<float> CoverageOf(const Shape& shape, int width, int height);
// Box blur of a coverage buffer, three passes (close to a Gaussian).
std::vector<float> Blur(const std::vector<float>& coverage, int width, int height, int radius);

}  // namespace artwork
