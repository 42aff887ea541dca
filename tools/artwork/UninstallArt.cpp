#include <algorithm>
#include <cmath>
#include <string>

#include "platform/gfx/DeviceContext.h"
#include "tools/artwork/Artwork.h"
#include "tools/artwork/Text.h"

namespace artwork {

namespace gfx = platform::gfx;
using namespace palette;

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 424;

void Add(ArtSet& out, const std::string& name, const Canvas& canvas) {
    out.emplace_back(name, canvas.ToBitmap());
}

Shape PanelShape(int w, int h, float radius) {
    return RoundRect(0.5f, 0.5f, static_cast<float>(w) - 0.5f, static_cast<float>(h) - 0.5f,
                     radius);
}

// The header strip both windows share: navy, a gold rule, the emblem and name.
void Header(Canvas& canvas, int height, std::u16string_view subtitle) {
    const int w = canvas.Width();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < w; ++x) {
            canvas.Blend(x, y, kNight, 0.72f);
        }
    }
    canvas.FillShape(RoundRect(-10, static_cast<float>(height), static_cast<float>(w) + 10,
                               static_cast<float>(height) + 1.5f, 0),
                     kGold, 0.9f, {0, height - 2, w, height + 4});
    float cy = static_cast<float>(height) / 2;
    canvas.FillShape(Circle(30, cy, 10), kGold, 1.0f, {10, 0, 52, height});
    canvas.FillShape(Circle(30, cy, 8.2f), kNavy, 1.0f, {10, 0, 52, height});
    canvas.FillShape(
        Union(Circle(30, cy + 2, 4), Polygon({{30, cy - 6}, {33.8f, cy + 1}, {26.2f, cy + 1}})),
        kEmber, 1.0f, {10, 0, 52, height});
    PaintText(canvas, u"EMBER VOYAGE", kTitleFace, -18, 700, 50, 0, 400, height,
              gfx::text_flags::kSingleLine | gfx::text_flags::kVCenter, Hex(0xFFE3A0), kGold);
    TextStyle title{kTitleFace, -18, 700};
    int after = 50 + MeasureText(u"EMBER VOYAGE", title).width + 12;
    PaintText(canvas, subtitle, kLabelFace, -14, 400, after, 0, 600, height,
              gfx::text_flags::kSingleLine | gfx::text_flags::kVCenter, Hex(0xCBD3EA),
              Hex(0xAEB8D8));
}

Canvas Background() {
    Canvas canvas(kWidth, kHeight);
    SceneLayout layout;
    layout.horizon = 250;
    layout.sun_x = 600;
    layout.sun_radius = 40;
    layout.ship_x = 470;
    layout.ship_scale = 0.75f;
    layout.waterline = 272;
    layout.embers = 70;
    layout.seed = 19;
    DrawScene(canvas, layout);
    // Dark from the left, where the white texts stand, and along the bottom,
    // where the buttons and the bar are.
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            float fx = static_cast<float>(x) / kWidth;
            float fy = static_cast<float>(y) / kHeight;
            float left = std::clamp(1.0f - fx * 1.35f, 0.0f, 1.0f);
            float a = 0.25f + 0.55f * left * left;
            float bottom = std::clamp((fy - 0.66f) / 0.34f, 0.0f, 1.0f);
            a = std::max(a, 0.82f * bottom);
            canvas.Blend(x, y, Hex(0x0A1030), a);
        }
    }
    Header(canvas, 56, u"Uninstall");
    canvas.FillShape(Outline(PanelShape(kWidth, kHeight, 14), 1.0f), Hex(0xC89A3E), 1.0f);
    return canvas;
}

Canvas MessageBackground() {
    const int w = 486, h = 272;
    Canvas canvas(w, h);
    canvas.Fill([&](float x, float y) {
        Rgb c = Mix(Hex(0x1B2A5A), Hex(0x0A1030), y / h);
        float warm = std::exp(-std::hypot(x - w * 0.8f, y - h) / 160);
        return Mix(c, Hex(0x7A2C45), warm * 0.45f);
    });
    // A few embers rising from the warm corner.
    for (int i = 0; i < 14; ++i) {
        float x = 300.0f + static_cast<float>((i * 37) % 170);
        float y = 265.0f - static_cast<float>((i * 53) % 190);
        float size = 0.6f + static_cast<float>(i % 3) * 0.35f;
        canvas.Glow(Circle(x, y, size), Hex(0xFF8A3D), 2.0f + size, 0.35f,
                    Bounds::Around(x, y, 16));
    }
    Header(canvas, 48, u"Notice");
    canvas.FillShape(Outline(PanelShape(w, h, 14), 1.0f), Hex(0xC89A3E), 1.0f);
    return canvas;
}

Shape CloseShape() {
    return Union(Segment({3, 3.5f}, {12, 12.5f}, 1.9f), Segment({12, 3.5f}, {3, 12.5f}, 1.9f));
}

Canvas Glyph(const Canvas& under, const Shape& shape) {
    Canvas canvas = under;
    canvas.FillShape(shape, Hex(0xF2E6CF));
    return canvas;
}

}  // namespace

ArtSet DrawUninstallArt() {
    ArtSet out;
    Canvas background = Background();
    Shape panel = PanelShape(kWidth, kHeight, 14);
    out.emplace_back("background_mask", MaskOf(panel, kWidth, kHeight));

    {
        Canvas under = Canvas::Crop(background, 725, 18, 15, 16);
        out.emplace_back("close_mask", MaskOf(CloseShape(), 15, 16));
        Add(out, "close", Glyph(under, CloseShape()));
        Shape bar = RoundRect(0, 0, 17, 4, 2);
        Canvas under_bar = Canvas::Crop(background, 677, 24, 17, 4);
        out.emplace_back("minimise_mask", MaskOf(bar, 17, 4));
        Add(out, "minimise", Glyph(under_bar, bar));
    }

    auto button = [&](const Canvas& face, const char* name, int x, int y, std::u16string_view label,
                      ButtonTone tone) {
        Canvas under = Canvas::Crop(face, x, y, 160, 48);
        out.emplace_back(std::string(name) + "_mask",
                         MaskOf(WideButtonShape(160, 48, 11), 160, 48));
        Add(out, name, WideButton(under, label, tone, false, 11, -18));
    };
    button(background, "uninstall", 570, 336, u"UNINSTALL", ButtonTone::kEmber);
    button(background, "cancel", 380, 336, u"CANCEL", ButtonTone::kNavy);
    button(background, "finish", 570, 336, u"FINISH", ButtonTone::kEmber);

    {
        Canvas under = Canvas::Crop(background, 30, 380, 700, 14);
        out.emplace_back("progress_mask", MaskOf(BarShape(700, 14), 700, 14));
        Add(out, "progress_back", BarBack(under));
        Add(out, "progress_fill", BarFill(under));
    }

    {
        Canvas message = MessageBackground();
        out.emplace_back("message_mask", MaskOf(PanelShape(486, 272, 14), 486, 272));
        button(message, "ok", 295, 193, u"OK", ButtonTone::kEmber);
        Add(out, "message_background", message);
    }

    Add(out, "background", background);
    out.emplace_back("icon", DrawIcon());
    return out;
}

}  // namespace artwork
