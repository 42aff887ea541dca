#include "tools/artwork/Canvas.h"

#include <algorithm>
#include <cmath>

namespace artwork {

namespace gfx = platform::gfx;

Rgb Mix(Rgb a, Rgb b, float t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(Rgb a, float k) {
    return Rgb{a.r * k, a.g * k, a.b * k};
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Canvas::Blend(int x, int y, Rgb c, float alpha) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0.0f) {
        return;
    }
    alpha = std::min(alpha, 1.0f);
    Rgb& p = pixels_[Index(x, y)];
    p = Mix(p, c, alpha);
}

void Canvas::Add(int x, int y, Rgb c, float amount) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || amount <= 0.0f) {
        return;
    }
    Rgb& p = pixels_[Index(x, y)];
    p.r += c.r * amount;
    p.g += c.g * amount;
    p.b += c.b * amount;
}

void Canvas::Fill(const Paint& paint) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            pixels_[Index(x, y)] =
                paint(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
        }
    }
}

Bounds Canvas::Clamp(Bounds b) const {
    return Bounds{std::max(b.left, 0), std::max(b.top, 0), std::min(b.right, width_),
                  std::min(b.bottom, height_)};
}

void Canvas::FillShape(const Shape& shape, const Paint& paint, float opacity, Bounds bounds) {
    bounds = Clamp(bounds);
    for (int y = bounds.top; y < bounds.bottom; ++y) {
        for (int x = bounds.left; x < bounds.right; ++x) {
            float px = static_cast<float>(x) + 0.5f;
            float py = static_cast<float>(y) + 0.5f;
            float coverage = std::clamp(0.5f - shape(px, py), 0.0f, 1.0f);
            if (coverage > 0.0f) {
                Blend(x, y, paint(px, py), coverage * opacity);
            }
        }
    }
}

void Canvas::FillShape(const Shape& shape, Rgb color, float opacity, Bounds bounds) {
    FillShape(
        shape, [color](float, float) { return color; }, opacity, bounds);
}

void Canvas::Glow(const Shape& shape, Rgb color, float radius, float strength, Bounds bounds) {
    bounds = Clamp(bounds);
    for (int y = bounds.top; y < bounds.bottom; ++y) {
        for (int x = bounds.left; x < bounds.right; ++x) {
            float d = shape(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
            float amount = d <= 0.0f ? 1.0f : std::exp(-d / radius);
            if (amount > 0.002f) {
                Add(x, y, color, amount * strength);
            }
        }
    }
}

void Canvas::Composite(const std::vector<float>& coverage, const Paint& paint, float opacity) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            float a = coverage[Index(x, y)];
            if (a > 0.0f) {
                Blend(x, y, paint(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f),
                      a * opacity);
            }
        }
    }
}

Canvas Canvas::Crop(const Canvas& source, int x, int y, int width, int height) {
    Canvas out(width, height);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            int sx = std::clamp(x + col, 0, source.width_ - 1);
            int sy = std::clamp(y + row, 0, source.height_ - 1);
            out.pixels_[out.Index(col, row)] = source.At(sx, sy);
        }
    }
    return out;
}

void Canvas::Draw(const Canvas& source, int x, int y) {
    for (int row = 0; row < source.height_; ++row) {
        for (int col = 0; col < source.width_; ++col) {
            int dx = x + col;
            int dy = y + row;
            if (dx >= 0 && dy >= 0 && dx < width_ && dy < height_) {
                pixels_[Index(dx, dy)] = source.At(col, row);
            }
        }
    }
}

gfx::Bitmap Canvas::ToBitmap() const {
    gfx::Bitmap out(width_, height_);
    auto channel = [](float v) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    };
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* row = out.Row(y);
        for (int x = 0; x < width_; ++x) {
            Rgb c = At(x, y);
            std::uint8_t r = channel(c.r);
            std::uint8_t g = channel(c.g);
            std::uint8_t b = channel(c.b);
            if (r == 255 && g == 255 && b == 255) {
                b = 254;
            }
            row[x * 3] = r;
            row[x * 3 + 1] = g;
            row[x * 3 + 2] = b;
        }
    }
    return out;
}

gfx::Bitmap MaskOf(const Shape& shape, int width, int height) {
    gfx::Bitmap out(width, height, gfx::kWhite);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (shape(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f) <= 0.0f) {
                out.SetPixel(x, y, gfx::kBlack);
            }
        }
    }
    return out;
}

std::vector<float> CoverageOf(const Shape& shape, int width, int height) {
    std::vector<float> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float d = shape(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)] = std::clamp(0.5f - d, 0.0f, 1.0f);
        }
    }
    return out;
}

std::vector<float> Blur(const std::vector<float>& coverage, int width, int height, int radius) {
    std::vector<float> a = coverage;
    std::vector<float> b(a.size());
    if (radius <= 0) {
        return a;
    }
    auto at = [width](int x, int y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    };
    float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y) {
            float sum = 0;
            for (int k = -radius; k <= radius; ++k) {
                sum += a[at(std::clamp(k, 0, width - 1), y)];
            }
            for (int x = 0; x < width; ++x) {
                b[at(x, y)] = sum * norm;
                sum += a[at(std::min(x + radius + 1, width - 1), y)] -
                       a[at(std::max(x - radius, 0), y)];
            }
        }
        for (int x = 0; x < width; ++x) {
            float sum = 0;
            for (int k = -radius; k <= radius; ++k) {
                sum += b[at(x, std::clamp(k, 0, height - 1))];
            }
            for (int y = 0; y < height; ++y) {
                a[at(x, y)] = sum * norm;
                sum += b[at(x, std::min(y + radius + 1, height - 1))] -
                       b[at(x, std::max(y - radius, 0))];
            }
        }
    }
    return a;
}

}  // namespace artwork
