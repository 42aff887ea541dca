#include <algorithm>
#include <cmath>

#include "platform/gfx/DeviceContext.h"
#include "tools/artwork/Artwork.h"
#include "tools/artwork/Text.h"

namespace artwork {

namespace gfx = platform::gfx;
using namespace palette;

void PaintText(Canvas& canvas, std::u16string_view text, std::u16string_view face, int height,
               int weight, int left, int top, int right, int bottom, std::uint32_t flags,
               Rgb top_color, Rgb bottom_color, float shadow) {
    TextStyle style{face, height, weight};
    gfx::Rect rect{left, top, right, bottom};
    std::vector<float> coverage =
        TextCoverage(canvas.Width(), canvas.Height(), text, style, rect, flags);
    if (shadow > 0) {
        gfx::Rect low = rect.Offset(0, std::max(1, -height / 16));
        std::vector<float> under =
            Blur(TextCoverage(canvas.Width(), canvas.Height(), text, style, low, flags),
                 canvas.Width(), canvas.Height(), std::max(1, -height / 14));
        canvas.Composite(
            under, [](float, float) { return Hex(0x03040C); }, shadow);
    }
    float span = static_cast<float>(std::max(1, -height));
    float text_top = static_cast<float>(top);
    if (flags & gfx::text_flags::kVCenter) {
        text_top = static_cast<float>(top + bottom) / 2 - span / 2;
    }
    canvas.Composite(coverage, [&](float, float y) {
        return Mix(top_color, bottom_color, std::clamp((y - text_top) / span, 0.0f, 1.0f));
    });
}

Shape WideButtonShape(int width, int height, float radius) {
    return RoundRect(0.5f, 0.5f, static_cast<float>(width) - 0.5f,
                     static_cast<float>(height) - 0.5f, radius);
}

Canvas WideButton(const Canvas& background, std::u16string_view label, ButtonTone tone,
                  bool pressed, float radius, int label_height) {
    Canvas canvas = background;
    const int w = canvas.Width();
    const int h = canvas.Height();
    const float fh = static_cast<float>(h);
    Shape outer = WideButtonShape(w, h, radius);
    Shape inner = Inflate(outer, -2.0f);
    const bool ember = tone == ButtonTone::kEmber;
    Rgb top = ember ? Hex(0xFF8A3D) : Hex(0x24386E);
    Rgb bottom = ember ? Hex(0xD2461A) : Hex(0x101A3E);
    if (pressed) {
        top = ember ? Hex(0xC9451B) : Hex(0x0D1533);
        bottom = ember ? Hex(0xE8622A) : Hex(0x1C2C5A);
    }
    // Gold rim, then the face, then a gloss on the upper half when raised.
    canvas.FillShape(outer,
                     [&](float, float y) { return Mix(Hex(0xFFE3A0), Hex(0xB8862E), y / fh); });
    canvas.FillShape(inner, [&](float, float y) { return Mix(top, bottom, y / fh); });
    if (!pressed) {
        canvas.FillShape(Intersect(inner, [&](float, float y) { return y - fh * 0.46f; }),
                         Hex(0xFFFFFF), 0.10f);
    } else {
        // Inner shadow along the top edge.
        canvas.FillShape(Subtract(inner, Translate(inner, 0, 3)), Hex(0x000000), 0.35f);
    }
    Rgb text_top = ember ? Hex(0xFFF8EA) : Hex(0xFFE7A8);
    Rgb text_bottom = ember ? Hex(0xFFE1B8) : Hex(0xE8B54A);
    int shift = pressed ? 1 : 0;
    PaintText(canvas, label, kLabelFace, label_height, 700, 0, shift, w, h + shift,
              gfx::text_flags::kCenter | gfx::text_flags::kVCenter | gfx::text_flags::kSingleLine,
              text_top, text_bottom, ember ? 0.45f : 0.6f);
    return canvas;
}

Shape RoundButtonShape(int width, int height) {
    float r = static_cast<float>(std::min(width, height)) / 2 - 0.5f;
    return Circle(static_cast<float>(width) / 2, static_cast<float>(height) / 2, r);
}

Canvas RoundButton(const Canvas& background, GlyphPainter glyph, bool pressed) {
    Canvas canvas = background;
    const int w = canvas.Width();
    const int h = canvas.Height();
    const float fh = static_cast<float>(h);
    Shape outer = RoundButtonShape(w, h);
    Shape inner = Inflate(outer, -1.6f);
    canvas.FillShape(outer,
                     [&](float, float y) { return Mix(Hex(0xFFE3A0), Hex(0xA8772A), y / fh); });
    if (pressed) {
        canvas.FillShape(inner,
                         [&](float, float y) { return Mix(Hex(0xC9451B), Hex(0xFF7A33), y / fh); });
    } else {
        canvas.FillShape(inner,
                         [&](float, float y) { return Mix(Hex(0x2A3F7C), Hex(0x0C1430), y / fh); });
        canvas.FillShape(Intersect(inner, [&](float, float y) { return y - fh * 0.45f; }),
                         Hex(0xFFFFFF), 0.08f);
    }
    float cx = static_cast<float>(w) / 2;
    float cy = static_cast<float>(h) / 2 + (pressed ? 1.0f : 0.0f);
    glyph(canvas, pressed ? Hex(0xFFF4E2) : Hex(0xFFD98A), cx, cy);
    return canvas;
}

Shape BarShape(int width, int height) {
    float fh = static_cast<float>(height);
    return RoundRect(0, 0, static_cast<float>(width), fh, fh / 2);
}

Canvas BarBack(const Canvas& background) {
    Canvas canvas = background;
    const int w = canvas.Width();
    const float fh = static_cast<float>(canvas.Height());
    Shape bar = BarShape(w, canvas.Height());
    canvas.FillShape(
        bar, [&](float, float y) { return Mix(Hex(0x05081A), Hex(0x17224A), y / fh); }, 0.92f);
    canvas.FillShape(Outline(bar, 0.6f), Hex(0xC89A3E), 0.85f);
    return canvas;
}

Canvas BarFill(const Canvas& background) {
    Canvas canvas = background;
    const int w = canvas.Width();
    const float fw = static_cast<float>(w);
    const float fh = static_cast<float>(canvas.Height());
    Shape bar = BarShape(w, canvas.Height());
    canvas.FillShape(bar, [&](float x, float y) {
        Rgb across = Mix(Hex(0xE0481A), Hex(0xFFC54F), x / fw);
        float shade = 1.0f - 0.35f * std::abs(y / fh - 0.35f);
        // Slanted stripes give the bar some motion at any fill.
        float stripe = std::fmod(x + y * 1.4f, 24.0f) < 12.0f ? 1.0f : 0.9f;
        return Scale(across, shade * stripe);
    });
    canvas.FillShape(Intersect(Inflate(bar, -1.5f), [&](float, float y) { return y - fh * 0.42f; }),
                     Hex(0xFFF2C8), 0.35f);
    canvas.FillShape(Outline(bar, 0.6f), Hex(0xFFE3A0), 0.9f);
    return canvas;
}

gfx::Bitmap DrawIcon() {
    const int size = 32;
    Shape disk = Circle(16, 16, 15.5f);
    Canvas canvas(size, size, Hex(0x0F1838));
    canvas.FillShape(disk,
                     [](float, float y) { return Mix(Hex(0xFFE3A0), Hex(0xB8862E), y / 32); });
    canvas.FillShape(Inflate(disk, -2.0f),
                     [](float, float y) { return Mix(Hex(0x24386E), Hex(0x0A1130), y / 32); });
    // A flame: a teardrop of ember with a gold core.
    Shape flame = Union(Circle(16, 19.5f, 6.8f), Polygon({{16, 4.5f}, {22.4f, 17}, {9.6f, 17}}));
    canvas.FillShape(
        flame, [](float, float y) { return Mix(Hex(0xFFB347), Hex(0xE2481A), (y - 4) / 22); });
    Shape core = Union(Circle(16, 21, 3.4f), Polygon({{16, 12}, {19.2f, 19.5f}, {12.8f, 19.5f}}));
    canvas.FillShape(core, Hex(0xFFE9A8));
    gfx::Bitmap image = canvas.ToBitmap();
    gfx::Bitmap mask = MaskOf(disk, size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (mask.GetPixel(x, y) == gfx::kWhite) {
                image.SetPixel(x, y, gfx::kWhite);
            }
        }
    }
    return image;
}

}  // namespace artwork
