// Drawing walks the clip's rectangles and works on whole rows inside each,
// so a blit costs a memcpy (or a byte loop) per row and clip rectangle.
// Positions are widened to 64 bits before they are cut to the target, so no
// coordinate a caller passes can overflow into a write outside it.
#include "platform/gfx/DeviceContext.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

namespace platform::gfx {

namespace {

// The part of [left, left + width) × [top, top + height) inside bounds.
Rect CutTo(const Rect& bounds, std::int64_t left, std::int64_t top, std::int64_t width,
           std::int64_t height) {
    if (width <= 0 || height <= 0) {
        return Rect{};
    }
    const std::int64_t l = std::max<std::int64_t>(left, bounds.left);
    const std::int64_t t = std::max<std::int64_t>(top, bounds.top);
    const std::int64_t r = std::min<std::int64_t>(left + width, bounds.right);
    const std::int64_t b = std::min<std::int64_t>(top + height, bounds.bottom);
    if (r <= l || b <= t) {
        return Rect{};
    }
    return Rect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)};
}

// XOR and AND go eight bytes at a time; the rows never overlap.
template <typename Combine>
void CombineBytes(std::uint8_t* dst, const std::uint8_t* src, std::size_t n, Combine combine) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t d;
        std::uint64_t s;
        std::memcpy(&d, dst + i, 8);
        std::memcpy(&s, src + i, 8);
        d = combine(d, s);
        std::memcpy(dst + i, &d, 8);
    }
    for (; i < n; ++i) {
        dst[i] = static_cast<std::uint8_t>(combine(dst[i], src[i]));
    }
}

void ApplyBytes(std::uint8_t* dst, const std::uint8_t* src, std::size_t n, RasterOp op) {
    switch (op) {
        case RasterOp::kCopy:
            std::memcpy(dst, src, n);
            break;
        case RasterOp::kXor:
            CombineBytes(dst, src, n, [](std::uint64_t d, std::uint64_t s) { return d ^ s; });
            break;
        case RasterOp::kAnd:
            CombineBytes(dst, src, n, [](std::uint64_t d, std::uint64_t s) { return d & s; });
            break;
    }
}

// The effect of black source bytes.
void ApplyBlack(std::uint8_t* dst, std::size_t n, RasterOp op) {
    if (op != RasterOp::kXor) {
        std::memset(dst, 0, n);
    }
}

// One target row of a stretch: column[i] is the source pixel of target pixel
// i, or -1 where the source has none (black).
template <RasterOp op>
void StretchRow(std::uint8_t* dst, const std::uint8_t* row, const int* column, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i, dst += 3) {
        static const std::uint8_t kBlackPixel[3] = {0, 0, 0};
        const std::uint8_t* s =
            column[i] < 0 ? kBlackPixel : row + static_cast<std::size_t>(column[i]) * 3;
        for (int k = 0; k < 3; ++k) {
            if constexpr (op == RasterOp::kCopy) {
                dst[k] = s[k];
            } else if constexpr (op == RasterOp::kXor) {
                dst[k] ^= s[k];
            } else {
                dst[k] &= s[k];
            }
        }
    }
}

}  // namespace

DeviceContext::DeviceContext(Bitmap& target) : target_(&target) {}

DeviceContext::DeviceContext(Bitmap& target, Point origin, std::optional<Region> clip)
    : target_(&target), origin_(origin) {
    if (clip) {
        clip_ = clip->Intersect(Region(target.Bounds()));
    }
}

Region DeviceContext::ClipRegion() const {
    const Region clip = clip_ ? *clip_ : Region(target_->Bounds());
    return clip.Offset(-origin_.x, -origin_.y);
}

void DeviceContext::IntersectClip(const Region& region) {
    const Region clip = clip_ ? *clip_ : Region(target_->Bounds());
    clip_ = clip.Intersect(region.Offset(origin_.x, origin_.y));
}

// Calls f for each rectangle of the clip inside area (target coordinates).
template <typename F>
static void ForEachPiece(const Bitmap& target, const std::optional<Region>& clip, const Rect& area,
                         F&& f) {
    const Rect inside = area.Intersect(target.Bounds());
    if (inside.IsEmpty()) {
        return;
    }
    if (clip) {
        clip->ForEachRectIn(inside, f);
    } else {
        f(inside);
    }
}

// A row of area's width in one colour, to copy from.
static std::vector<std::uint8_t> ColorRow(const Rect& area, Color color) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(area.Width()) * 3);
    for (std::size_t i = 0; i < row.size(); i += 3) {
        row[i] = RedOf(color);
        row[i + 1] = GreenOf(color);
        row[i + 2] = BlueOf(color);
    }
    return row;
}

static void FillPiece(Bitmap& target, const Rect& piece, const std::vector<std::uint8_t>& row) {
    const std::size_t bytes = static_cast<std::size_t>(piece.Width()) * 3;
    for (int y = piece.top; y < piece.bottom; ++y) {
        std::memcpy(target.Row(y) + static_cast<std::size_t>(piece.left) * 3, row.data(), bytes);
    }
}

void DeviceContext::FillRect(const Rect& rect, Color color) {
    const Rect area = CutTo(
        target_->Bounds(), std::int64_t{rect.left} + origin_.x, std::int64_t{rect.top} + origin_.y,
        std::int64_t{rect.right} - rect.left, std::int64_t{rect.bottom} - rect.top);
    if (area.IsEmpty()) {
        return;
    }
    const std::vector<std::uint8_t> row = ColorRow(area, color);
    ForEachPiece(*target_, clip_, area,
                 [&](const Rect& piece) { FillPiece(*target_, piece, row); });
}

void DeviceContext::FillRegion(const Region& region, Color color) {
    Region shape = region.Offset(origin_.x, origin_.y);
    if (clip_) {
        shape = shape.Intersect(*clip_);
    }
    const Rect area = shape.Bounds().Intersect(target_->Bounds());
    if (area.IsEmpty()) {
        return;
    }
    const std::vector<std::uint8_t> row = ColorRow(area, color);
    shape.ForEachRectIn(area, [&](const Rect& piece) { FillPiece(*target_, piece, row); });
}

Color DeviceContext::GetPixel(int x, int y) const {
    const std::int64_t tx = std::int64_t{x} + origin_.x;
    const std::int64_t ty = std::int64_t{y} + origin_.y;
    if (tx < 0 || ty < 0 || tx >= target_->Width() || ty >= target_->Height()) {
        return kBlack;
    }
    return target_->GetPixel(static_cast<int>(tx), static_cast<int>(ty));
}

void DeviceContext::SetPixel(int x, int y, Color color) {
    const Rect at =
        CutTo(target_->Bounds(), std::int64_t{x} + origin_.x, std::int64_t{y} + origin_.y, 1, 1);
    if (at.IsEmpty() || (clip_ && !clip_->Contains(at.left, at.top))) {
        return;
    }
    target_->SetPixel(at.left, at.top, color);
}

// The common body of both blits: source position already in source-bitmap
// coordinates, destination in context coordinates.
static void Blit(Bitmap& target, const std::optional<Region>& clip, std::int64_t dest_x,
                 std::int64_t dest_y, int width, int height, const Bitmap& source,
                 std::int64_t source_x, std::int64_t source_y, RasterOp op) {
    const Rect area = CutTo(target.Bounds(), dest_x, dest_y, width, height);
    if (area.IsEmpty()) {
        return;
    }
    // Reading the target while writing it: read from a copy.
    Bitmap copy;
    const Bitmap* src = &source;
    if (&source == &target) {
        copy = source;
        src = &copy;
    }
    const std::int64_t source_width = src->Width();
    const std::int64_t source_height = src->Height();
    ForEachPiece(target, clip, area, [&](const Rect& piece) {
        const std::int64_t n = piece.Width();
        const std::int64_t sx = source_x + (piece.left - dest_x);
        // Pixels [0, lead) lie left of the source, [lead, tail) inside it.
        const std::int64_t lead = std::clamp<std::int64_t>(-sx, 0, n);
        const std::int64_t tail = std::clamp<std::int64_t>(source_width - sx, lead, n);
        for (int y = piece.top; y < piece.bottom; ++y) {
            std::uint8_t* dst = target.Row(y) + static_cast<std::size_t>(piece.left) * 3;
            const std::int64_t sy = source_y + (y - dest_y);
            if (sy < 0 || sy >= source_height) {
                ApplyBlack(dst, static_cast<std::size_t>(n) * 3, op);
                continue;
            }
            ApplyBlack(dst, static_cast<std::size_t>(lead) * 3, op);
            if (tail > lead) {
                ApplyBytes(dst + lead * 3, src->Row(static_cast<int>(sy)) + (sx + lead) * 3,
                           static_cast<std::size_t>(tail - lead) * 3, op);
            }
            ApplyBlack(dst + tail * 3, static_cast<std::size_t>(n - tail) * 3, op);
        }
    });
}

void DeviceContext::BitBlt(int x, int y, int width, int height, const Bitmap& source, int source_x,
                           int source_y, RasterOp op) {
    Blit(*target_, clip_, std::int64_t{x} + origin_.x, std::int64_t{y} + origin_.y, width, height,
         source, source_x, source_y, op);
}

void DeviceContext::BitBlt(int x, int y, int width, int height, const DeviceContext& source,
                           int source_x, int source_y, RasterOp op) {
    Blit(*target_, clip_, std::int64_t{x} + origin_.x, std::int64_t{y} + origin_.y, width, height,
         *source.target_, std::int64_t{source_x} + source.origin_.x,
         std::int64_t{source_y} + source.origin_.y, op);
}

void DeviceContext::StretchBlt(const Rect& dest_rect, const Bitmap& source, const Rect& source_rect,
                               RasterOp op) {
    const std::int64_t dest_w = std::int64_t{dest_rect.right} - dest_rect.left;
    const std::int64_t dest_h = std::int64_t{dest_rect.bottom} - dest_rect.top;
    const std::int64_t source_w = std::int64_t{source_rect.right} - source_rect.left;
    const std::int64_t source_h = std::int64_t{source_rect.bottom} - source_rect.top;
    if (dest_w <= 0 || dest_h <= 0 || source_w <= 0 || source_h <= 0 || dest_w > INT_MAX ||
        dest_h > INT_MAX) {
        return;
    }
    if (dest_w == source_w && dest_h == source_h) {
        BitBlt(dest_rect.left, dest_rect.top, static_cast<int>(dest_w), static_cast<int>(dest_h),
               source, source_rect.left, source_rect.top, op);
        return;
    }
    const std::int64_t dest_x = std::int64_t{dest_rect.left} + origin_.x;
    const std::int64_t dest_y = std::int64_t{dest_rect.top} + origin_.y;
    const Rect area = CutTo(target_->Bounds(), dest_x, dest_y, dest_w, dest_h);
    if (area.IsEmpty()) {
        return;
    }
    Bitmap copy;
    const Bitmap* src = &source;
    if (&source == target_) {
        copy = source;
        src = &copy;
    }
    // Source column of each target column of area, -1 outside the source.
    std::vector<int> columns(static_cast<std::size_t>(area.Width()));
    for (int x = area.left; x < area.right; ++x) {
        const std::int64_t sx = source_rect.left + (x - dest_x) * source_w / dest_w;
        columns[static_cast<std::size_t>(x - area.left)] =
            (sx >= 0 && sx < src->Width()) ? static_cast<int>(sx) : -1;
    }
    ForEachPiece(*target_, clip_, area, [&](const Rect& piece) {
        const int* column = columns.data() + (piece.left - area.left);
        const std::size_t n = static_cast<std::size_t>(piece.Width());
        for (int y = piece.top; y < piece.bottom; ++y) {
            std::uint8_t* dst = target_->Row(y) + static_cast<std::size_t>(piece.left) * 3;
            const std::int64_t sy = source_rect.top + (y - dest_y) * source_h / dest_h;
            if (sy < 0 || sy >= src->Height()) {
                ApplyBlack(dst, n * 3, op);
                continue;
            }
            const std::uint8_t* row = src->Row(static_cast<int>(sy));
            switch (op) {
                case RasterOp::kCopy:
                    StretchRow<RasterOp::kCopy>(dst, row, column, n);
                    break;
                case RasterOp::kXor:
                    StretchRow<RasterOp::kXor>(dst, row, column, n);
                    break;
                case RasterOp::kAnd:
                    StretchRow<RasterOp::kAnd>(dst, row, column, n);
                    break;
            }
        }
    });
}

Color DeviceContext::SetTextColor(Color color) {
    return std::exchange(text_color_, color);
}

BackgroundMode DeviceContext::SetBackgroundMode(BackgroundMode mode) {
    return std::exchange(background_mode_, mode);
}

Color DeviceContext::SetBackgroundColor(Color color) {
    return std::exchange(background_color_, color);
}

const Font* DeviceContext::SelectFont(const Font* font) {
    return std::exchange(font_, font);
}

}  // namespace platform::gfx
