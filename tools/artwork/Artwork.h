// The artwork of each program: every bitmap its resource script names, drawn
// from code. One palette for both programs: deep navy, ember orange, gold.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "tools/artwork/Canvas.h"
#include "tools/artwork/Shapes.h"

namespace artwork {

using ArtSet = std::vector<std::pair<std::string, platform::gfx::Bitmap>>;

ArtSet DrawLauncherArt();
ArtSet DrawUninstallArt();

namespace palette {
constexpr Rgb kNight = Hex(0x070B1F);
constexpr Rgb kNavy = Hex(0x0F1838);
constexpr Rgb kNavyMid = Hex(0x1B2A5A);
constexpr Rgb kNavyLight = Hex(0x2E4280);
constexpr Rgb kDusk = Hex(0x4A2A66);
constexpr Rgb kRose = Hex(0xB8486E);
constexpr Rgb kEmber = Hex(0xFF6B2C);
constexpr Rgb kEmberDeep = Hex(0xC23E12);
constexpr Rgb kGold = Hex(0xF3BE4E);
constexpr Rgb kGoldLight = Hex(0xFFE3A0);
constexpr Rgb kCream = Hex(0xFFF3DD);
constexpr Rgb kParchment = Hex(0xF6ECDA);
}  // namespace palette

// The dusk scene behind both programs' faces: sky, sun on the horizon, sea
// with its reflection, a ship, embers. Sizes and places scale with the canvas.
struct SceneLayout {
    float horizon = 470;  // y of the horizon
    float sun_x = 985;    // centre of the sun on the horizon
    float sun_radius = 70;
    float ship_x = 650;        // left end of the hull at the waterline
    float ship_scale = 0.82f;  // 1: a hull about 220 pixels long
    float waterline = 505;
    int embers = 150;
    unsigned seed = 7;
};
void DrawScene(Canvas& canvas, const SceneLayout& layout);

// Kinds of buttons, shared by both programs' pictures.
enum class ButtonTone { kEmber, kNavy };

// A wide button with a label: its outline, and its picture over background
// (the part of the face under the button, so edges blend into it).
Shape WideButtonShape(int width, int height, float radius);
Canvas WideButton(const Canvas& background, std::u16string_view label, ButtonTone tone,
                  bool pressed, float radius, int label_height);

// A round button with a glyph of our own drawn by glyph (on a canvas of the
// button's size, coordinates of the button).
Shape RoundButtonShape(int width, int height);
using GlyphPainter = void (*)(Canvas& canvas, Rgb color, float cx, float cy);
Canvas RoundButton(const Canvas& background, GlyphPainter glyph, bool pressed);

// Bar pictures of the progress control: empty, full, and its outline.
Shape BarShape(int width, int height);
Canvas BarBack(const Canvas& background);
Canvas BarFill(const Canvas& background);

// The program icon, 32 × 32, exactly white outside its round shape.
platform::gfx::Bitmap DrawIcon();

// Text painted in one colour or a vertical gradient, with an optional soft
// shadow under it.
void PaintText(Canvas& canvas, std::u16string_view text, std::u16string_view face, int height,
               int weight, int left, int top, int right, int bottom, std::uint32_t flags,
               Rgb top_color, Rgb bottom_color, float shadow = 0.0f);

}  // namespace artwork
