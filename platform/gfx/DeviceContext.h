// A device context: where drawing goes. It draws into a Bitmap it does not
// own (an off-screen bitmap, or the surface of a window while it paints),
// through an origin (the window's place on that surface) and a clip region
// (in target coordinates; no clip means the whole target). Coordinates given
// to every call are relative to the origin.
//
// A context is used by one thread at a time; the bitmap must outlive it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Region.h"

namespace platform::gfx {

class Font;

// Raster operations of blits, by their effect on destination D and source S.
enum class RasterOp : std::uint8_t {
    kCopy,  // S
    kXor,   // D ^ S
    kAnd,   // D & S
};

enum class BackgroundMode : std::uint8_t { kTransparent, kOpaque };

// Flags of DrawText, with the original platform's values.
namespace text_flags {
constexpr std::uint32_t kLeft = 0x0000;
constexpr std::uint32_t kCenter = 0x0001;  // horizontally, per line
constexpr std::uint32_t kRight = 0x0002;
constexpr std::uint32_t kVCenter = 0x0004;  // single line only
constexpr std::uint32_t kBottom = 0x0008;   // single line only
constexpr std::uint32_t kWordBreak = 0x0010;
constexpr std::uint32_t kSingleLine = 0x0020;
constexpr std::uint32_t kExpandTabs = 0x0040;
constexpr std::uint32_t kNoClip = 0x0100;
constexpr std::uint32_t kCalcRect = 0x0400;     // measure only: adjusts the rectangle
constexpr std::uint32_t kNoPrefix = 0x0800;     // '&' is an ordinary character
constexpr std::uint32_t kEditControl = 0x2000;  // break inside words too long for a line
constexpr std::uint32_t kEndEllipsis = 0x8000;
}  // namespace text_flags

class DeviceContext {
  public:
    explicit DeviceContext(Bitmap& target);
    DeviceContext(Bitmap& target, Point origin, std::optional<Region> clip);

    Bitmap& Target() { return *target_; }
    const Bitmap& Target() const { return *target_; }
    Point Origin() const { return origin_; }
    // The clip in the context's own coordinates (relative to the origin).
    Region ClipRegion() const;
    // Narrows the clip to clip ∩ region (region relative to the origin).
    void IntersectClip(const Region& region);

    void FillRect(const Rect& rect, Color color);
    void FillRegion(const Region& region, Color color);
    Color GetPixel(int x, int y) const;  // black outside the target
    void SetPixel(int x, int y, Color color);

    // Blits from a bitmap, or from what another context's target shows
    // through that context's origin. Source pixels outside the source read
    // as black; destination pixels outside the clip stay.
    void BitBlt(int x, int y, int width, int height, const Bitmap& source, int source_x,
                int source_y, RasterOp op = RasterOp::kCopy);
    void BitBlt(int x, int y, int width, int height, const DeviceContext& source, int source_x,
                int source_y, RasterOp op = RasterOp::kCopy);
    // Nearest-neighbour scaling of source_rect onto dest_rect; equal sizes are
    // a plain blit. Rectangles without area (or turned over) draw nothing.
    void StretchBlt(const Rect& dest_rect, const Bitmap& source, const Rect& source_rect,
                    RasterOp op = RasterOp::kCopy);

    // Text state, as there: colour, background mode and colour, the selected
    // font (not owned; nullptr selects the system's default font). Select
    // returns the previous one.
    Color SetTextColor(Color color);
    Color TextColor() const { return text_color_; }
    BackgroundMode SetBackgroundMode(BackgroundMode mode);
    Color SetBackgroundColor(Color color);
    const Font* SelectFont(const Font* font);
    const Font* SelectedFont() const { return font_; }

    // Draws (or with kCalcRect measures) text in rect with text_flags.
    // Returns the height of the text drawn; with kCalcRect, rect is set to
    // the text's extent (right and bottom moved) and nothing is drawn.
    int DrawText(std::u16string_view text, Rect& rect, std::uint32_t flags);
    // Width and height of text on one line in the selected font ('&' plain).
    Size GetTextExtent(std::u16string_view text) const;

  private:
    Bitmap* target_;
    Point origin_;
    std::optional<Region> clip_;  // target coordinates
    Color text_color_ = kBlack;
    Color background_color_ = kWhite;
    BackgroundMode background_mode_ = BackgroundMode::kOpaque;
    const Font* font_ = nullptr;
};

}  // namespace platform::gfx
