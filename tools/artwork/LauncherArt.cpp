#include <algorithm>
#include <cmath>
#include <string>

#include "VelaConfig.h"
#include "platform/gfx/DeviceContext.h"
#include "tools/artwork/Artwork.h"
#include "tools/artwork/Qr.h"
#include "tools/artwork/Text.h"

namespace artwork {

namespace gfx = platform::gfx;
using namespace palette;

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

// Generic glyphs of our own for the link buttons, centred on (cx, cy).
void BubbleGlyph(Canvas& c, Rgb color, float cx, float cy) {
    Shape bubble = Union(RoundRect(cx - 10, cy - 8, cx + 10, cy + 5, 5),
                         Polygon({{cx - 6, cy + 3}, {cx - 1, cy + 3}, {cx - 8, cy + 10}}));
    c.FillShape(bubble, color);
    for (float dx : {-5.0f, 0.0f, 5.0f}) {
        c.FillShape(Circle(cx + dx, cy - 1.5f, 1.5f), Hex(0x16224A));
    }
}

void BirdGlyph(Canvas& c, Rgb color, float cx, float cy) {
    // A small songbird in profile: body, head, beak, a raised wing and a tail.
    Shape bird = Union(Ellipse(cx - 1, cy + 2.5f, 7.5f, 4.6f), Circle(cx + 5.2f, cy - 2.2f, 3.7f));
    bird = Union(bird,
                 Polygon({{cx + 8.2f, cy - 3.6f}, {cx + 12, cy - 1.8f}, {cx + 8.4f, cy - 0.6f}}));
    bird = Union(bird, Polygon({{cx - 7, cy + 1.5f}, {cx - 12.5f, cy - 2}, {cx - 10.5f, cy + 5}}));
    c.FillShape(bird, color);
    Rgb ink = Hex(0x16224A);
    c.FillShape(Polygon({{cx - 4.5f, cy + 1.5f}, {cx + 2.5f, cy + 0.5f}, {cx - 8.5f, cy - 7.5f}}),
                ink, 0.55f);
    c.FillShape(Circle(cx + 6, cy - 2.8f, 0.95f), ink);
}

void PlayGlyph(Canvas& c, Rgb color, float cx, float cy) {
    c.FillShape(RoundRect(cx - 11, cy - 8, cx + 11, cy + 8, 4), color);
    c.FillShape(Polygon({{cx - 3.5f, cy - 4.5f}, {cx + 5, cy}, {cx - 3.5f, cy + 4.5f}}),
                Hex(0x16224A));
}

void NoteGlyph(Canvas& c, Rgb color, float cx, float cy) {
    Shape note = Union(Ellipse(cx - 3, cy + 6, 4.2f, 3.2f),
                       Segment({cx + 0.6f, cy + 6}, {cx + 0.6f, cy - 9}, 1.2f));
    note = Union(
        note,
        Polygon({{cx - 0.6f, cy - 10}, {cx + 8, cy - 6}, {cx + 8, cy - 2}, {cx - 0.6f, cy - 6}}));
    c.FillShape(note, color);
}

void UpvoteGlyph(Canvas& c, Rgb color, float cx, float cy) {
    Shape arrow = Union(Polygon({{cx, cy - 10}, {cx + 9, cy}, {cx - 9, cy}}),
                        RoundRect(cx - 4, cy - 1, cx + 4, cy + 9, 1.5f));
    c.FillShape(arrow, color);
}

void GamepadGlyph(Canvas& c, Rgb color, float cx, float cy) {
    Shape pad = Union(RoundRect(cx - 11, cy - 6, cx + 11, cy + 5, 5),
                      Union(Circle(cx - 7, cy + 4, 4), Circle(cx + 7, cy + 4, 4)));
    c.FillShape(pad, color);
    Rgb ink = Hex(0x16224A);
    c.FillShape(RoundRect(cx - 9.5f, cy - 1.2f, cx - 3.5f, cy + 1.2f, 0.6f), ink);
    c.FillShape(RoundRect(cx - 7.7f, cy - 3, cx - 5.3f, cy + 3, 0.6f), ink);
    c.FillShape(Circle(cx + 5, cy - 1, 1.3f), ink);
    c.FillShape(Circle(cx + 8, cy + 1.5f, 1.3f), ink);
}

void MinimiseGlyph(Canvas& c, Rgb color, float cx, float cy) {
    c.FillShape(RoundRect(cx - 7, cy + 1, cx + 7, cy + 4, 1.5f), color);
}

void TrayGlyph(Canvas& c, Rgb color, float cx, float cy) {
    // An arrow into a tray.
    c.FillShape(Segment({cx, cy - 8}, {cx, cy + 1}, 1.4f), color);
    c.FillShape(Polygon({{cx - 4.5f, cy - 1}, {cx + 4.5f, cy - 1}, {cx, cy + 4}}), color);
    c.FillShape(Union(Segment({cx - 8, cy + 3}, {cx - 8, cy + 7}, 1.3f),
                      Union(Segment({cx - 8, cy + 7}, {cx + 8, cy + 7}, 1.3f),
                            Segment({cx + 8, cy + 7}, {cx + 8, cy + 3}, 1.3f))),
                color);
}

struct Placed {
    const char* name;
    int x, y, width, height;
};

void Add(ArtSet& out, const std::string& name, const Canvas& canvas) {
    out.emplace_back(name, canvas.ToBitmap());
}

void AddMask(ArtSet& out, const std::string& name, const Shape& shape, int w, int h) {
    out.emplace_back(name + "_mask", MaskOf(shape, w, h));
}

Canvas KeyArt() {
    Canvas canvas(kWidth, kHeight);
    SceneLayout layout;
    DrawScene(canvas, layout);

    // Calm the lower band, where the buttons and the progress bar sit.
    for (int y = 540; y < kHeight; ++y) {
        float t = static_cast<float>(y - 540) / (kHeight - 540);
        for (int x = 0; x < kWidth; ++x) {
            canvas.Blend(x, y, kNight, 0.75f * t * t * (3 - 2 * t));
        }
    }
    // A quiet column behind the link buttons.
    canvas.FillShape(RoundRect(1198, 106, 1262, 422, 14), kNight, 0.45f, {1190, 100, 1270, 430});
    canvas.FillShape(Outline(RoundRect(1198, 106, 1262, 422, 14), 0.6f), kGold, 0.35f,
                     {1190, 100, 1270, 430});
    // And a soft darkening behind the title so it reads over the sky.
    for (int y = 90; y < 420; ++y) {
        for (int x = 0; x < 760; ++x) {
            float dx = (static_cast<float>(x) - 320) / 420;
            float dy = (static_cast<float>(y) - 250) / 150;
            float a = std::exp(-(dx * dx + dy * dy) * 1.6f) * 0.45f;
            canvas.Blend(x, y, kNight, a);
        }
    }

    // Title: gold, with a dark drop shadow and an ember glow behind it.
    const int title_left = 70, title_top = 168;
    {
        TextStyle style{kTitleFace, -92, 700};
        gfx::Rect rect{title_left, title_top, kWidth, title_top + 120};
        std::vector<float> cover = TextCoverage(kWidth, kHeight, u"Ember Voyage", style, rect,
                                                gfx::text_flags::kSingleLine);
        std::vector<float> glow = Blur(cover, kWidth, kHeight, 10);
        canvas.Composite(
            glow, [](float, float) { return Hex(0xFF5A1E); }, 0.75f);
        std::vector<float> shadow =
            Blur(TextCoverage(kWidth, kHeight, u"Ember Voyage", style, rect.Offset(3, 5),
                              gfx::text_flags::kSingleLine),
                 kWidth, kHeight, 3);
        canvas.Composite(
            shadow, [](float, float) { return Hex(0x020308); }, 0.8f);
        canvas.Composite(cover, [&](float, float y) {
            float t = std::clamp((y - static_cast<float>(title_top) - 14) / 84, 0.0f, 1.0f);
            Rgb c =
                t < 0.5f ? Mix(Hex(0xFFF4D2), kGold, t * 2) : Mix(kGold, Hex(0xE07A24), t * 2 - 1);
            return c;
        });
    }
    // Kicker above the title and a gold rule with a diamond below it.
    PaintText(canvas, u"A NEW SAGA SETS SAIL", kLabelFace, -18, 700, title_left + 4, 138, 800, 164,
              gfx::text_flags::kSingleLine, Hex(0xFFD98A), Hex(0xF0A84A), 0.6f);
    {
        float y = 300;
        canvas.FillShape(Segment({title_left + 4.0f, y}, {title_left + 250.0f, y}, 0.9f), kGold,
                         0.9f, {60, 290, 700, 310});
        canvas.FillShape(Segment({title_left + 290.0f, y}, {title_left + 536.0f, y}, 0.9f), kGold,
                         0.9f, {60, 290, 700, 310});
        canvas.FillShape(Polygon({{title_left + 270.0f, y - 8},
                                  {title_left + 278.0f, y},
                                  {title_left + 270.0f, y + 8},
                                  {title_left + 262.0f, y}}),
                         Hex(0xFF8A3D), 1.0f, {60, 285, 700, 315});
    }
    PaintText(canvas, u"Pre-register now and set sail on launch day", kLabelFace, -30, 700,
              title_left + 2, 318, 1100, 360, gfx::text_flags::kSingleLine, kCream, Hex(0xFFD9A8),
              0.75f);
    PaintText(canvas, u"Exclusive captain's rewards await every early voyager.", kLabelFace, -19,
              400, title_left + 3, 364, 1100, 392, gfx::text_flags::kSingleLine, Hex(0xE9DCCB),
              Hex(0xD8C4B0), 0.7f);
    return canvas;
}

Canvas QrCard(const Canvas& background, bool pressed) {
    const int w = 204, h = 119, card_h = 110;
    Canvas canvas = background;
    Shape card = Union(RoundRect(0.5f, 0.5f, w - 0.5f, card_h, 10),
                       Polygon({{86, card_h - 1.0f}, {106, card_h - 1.0f}, {96, h - 0.5f}}));
    canvas.FillShape(card, pressed ? Hex(0xFF8A3D) : kGold);
    Shape face = Inflate(card, -2.0f);
    Rgb face_top = pressed ? Hex(0xEFD9B4) : kParchment;
    Rgb face_bottom = pressed ? Hex(0xE2C89C) : Hex(0xEBDCC2);
    canvas.FillShape(face, [&](float, float y) { return Mix(face_top, face_bottom, y / h); });

    QrModules modules = EncodeQr(VELA_LINK_OFFICIAL);
    const int n = static_cast<int>(modules.size());
    if (n > 0) {
        const int quiet = 2;
        int module = std::max(1, (card_h - 8) / (n + 2 * quiet));
        int size = module * (n + 2 * quiet);
        int left = 6;
        int top = (card_h - size) / 2 + 1;
        // The quiet zone in plain light colour; zbar and phones both want it.
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                canvas.Set(left + x, top + y, pressed ? Hex(0xF6EAD2) : Hex(0xFBF5E9));
            }
        }
        for (int my = 0; my < n; ++my) {
            for (int mx = 0; mx < n; ++mx) {
                if (!modules[static_cast<std::size_t>(my)][static_cast<std::size_t>(mx)]) {
                    continue;
                }
                for (int y = 0; y < module; ++y) {
                    for (int x = 0; x < module; ++x) {
                        canvas.Set(left + (mx + quiet) * module + x,
                                   top + (my + quiet) * module + y, Hex(0x0F1838));
                    }
                }
            }
        }
        int text_left = left + size + 6;
        PaintText(canvas, u"SCAN ME", kLabelFace, -15, 700, text_left, 20, w - 4, 40,
                  gfx::text_flags::kSingleLine, Hex(0xC23E12), Hex(0xE0581E));
        PaintText(canvas, u"Visit the\nofficial site\non your\nphone", kLabelFace, -11, 400,
                  text_left, 42, w - 4, card_h - 6, 0, Hex(0x1B2A5A), Hex(0x1B2A5A));
    }
    return canvas;
}

Shape QrCardShape() {
    const int w = 204, h = 119, card_h = 110;
    return Union(RoundRect(0.5f, 0.5f, w - 0.5f, card_h, 10),
                 Polygon({{86, card_h - 1.0f}, {106, card_h - 1.0f}, {96, h - 0.5f}}));
}

Canvas Tip() {
    const int w = 428, h = 263;
    Canvas canvas(w, h, kParchment);
    canvas.Fill([&](float, float y) { return Mix(Hex(0xFBF4E6), Hex(0xEFE1C8), y / h); });
    // Header band in navy with a gold rule.
    canvas.FillShape(RoundRect(-20, -20, w + 20, 42, 0),
                     [&](float x, float) { return Mix(Hex(0x1B2A5A), Hex(0x0F1838), x / w); });
    canvas.FillShape(RoundRect(-20, 42, w + 20, 44.5f, 0), kGold);
    canvas.FillShape(Circle(24, 21, 8), Hex(0xFF7A33), 1.0f, {10, 8, 40, 36});
    canvas.FillShape(Circle(24, 21, 4), Hex(0xFFE3A0), 1.0f, {10, 8, 40, 36});
    PaintText(canvas, u"EMBER VOYAGE", kTitleFace, -17, 700, 40, 0, w, 42,
              gfx::text_flags::kSingleLine | gfx::text_flags::kVCenter, Hex(0xFFE3A0), kGold);
    // A frame around everything.
    canvas.FillShape(Outline(RoundRect(1.5f, 1.5f, w - 1.5f, h - 1.5f, 2), 1.0f), Hex(0xB8862E));
    // Embers drifting up through the header's right end.
    for (int i = 0; i < 7; ++i) {
        float x = 330.0f + static_cast<float>(i * 13);
        float y = 32.0f - static_cast<float>((i * 17) % 24);
        canvas.Glow(Circle(x, y, 0.8f), Hex(0xFF8A3D), 2.2f, 0.5f, Bounds::Around(x, y, 10));
    }
    return canvas;
}

}  // namespace

ArtSet DrawLauncherArt() {
    ArtSet out;
    Canvas keyart = KeyArt();

    auto round = [&](const char* name, int x, int y, int w, int h, GlyphPainter glyph) {
        Canvas under = Canvas::Crop(keyart, x, y, w, h);
        AddMask(out, name, RoundButtonShape(w, h), w, h);
        Add(out, name, RoundButton(under, glyph, false));
        Add(out, std::string(name) + "_pressed", RoundButton(under, glyph, true));
    };
    round("minimise", 1160, 34, 37, 37, MinimiseGlyph);
    round("tray", 1213, 34, 37, 37, TrayGlyph);
    round("bubble", 1210, 120, 39, 38, BubbleGlyph);
    round("bird", 1210, 170, 39, 38, BirdGlyph);
    round("play", 1210, 220, 39, 38, PlayGlyph);
    round("note", 1210, 270, 39, 38, NoteGlyph);
    round("upvote", 1210, 320, 39, 38, UpvoteGlyph);
    round("gamepad", 1210, 370, 39, 38, GamepadGlyph);

    auto wide = [&](const char* name, int x, int y, std::u16string_view label, ButtonTone tone) {
        Canvas under = Canvas::Crop(keyart, x, y, 192, 54);
        AddMask(out, name, WideButtonShape(192, 54, 14), 192, 54);
        Add(out, name, WideButton(under, label, tone, false, 14, -19));
        Add(out, std::string(name) + "_pressed", WideButton(under, label, tone, true, 14, -19));
    };
    wide("preregister", 633, 635, u"PRE-REGISTER", ButtonTone::kEmber);
    wide("official", 845, 635, u"OFFICIAL SITE", ButtonTone::kNavy);
    wide("scan", 1053, 635, u"SCAN QR", ButtonTone::kNavy);

    {
        Canvas under = Canvas::Crop(keyart, 1053, 512, 204, 119);
        AddMask(out, "qr", QrCardShape(), 204, 119);
        Add(out, "qr", QrCard(under, false));
        Add(out, "qr_pressed", QrCard(under, true));
    }

    {
        Canvas under = Canvas::Crop(keyart, 33, 605, 1190, 17);
        out.emplace_back("progress_mask", MaskOf(BarShape(1190, 17), 1190, 17));
        Add(out, "progress_back", BarBack(under));
        Add(out, "progress_fill", BarFill(under));
    }

    {
        Canvas tip = Tip();
        auto tip_button = [&](const char* name, int x, std::u16string_view label, ButtonTone tone) {
            Canvas under = Canvas::Crop(tip, x, 198, 139, 39);
            AddMask(out, name, WideButtonShape(139, 39, 9), 139, 39);
            Add(out, name, WideButton(under, label, tone, false, 9, -15));
            Add(out, std::string(name) + "_pressed", WideButton(under, label, tone, true, 9, -15));
        };
        tip_button("tip_exit", 59, u"EXIT", ButtonTone::kEmber);
        tip_button("tip_cancel", 230, u"CANCEL", ButtonTone::kNavy);
        Add(out, "tip", tip);
    }

    Add(out, "keyart", keyart);
    out.emplace_back("icon", DrawIcon());
    return out;
}

}  // namespace artwork
