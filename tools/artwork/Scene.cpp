#include <algorithm>
#include <cmath>

#include "tools/artwork/Artwork.h"

namespace artwork {

namespace {

using namespace palette;

float Hash(int x, int y, unsigned seed) {
    unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float Smooth(float t) {
    return t * t * (3 - 2 * t);
}

float ValueNoise(float x, float y, unsigned seed) {
    int ix = static_cast<int>(std::floor(x));
    int iy = static_cast<int>(std::floor(y));
    float fx = Smooth(x - static_cast<float>(ix));
    float fy = Smooth(y - static_cast<float>(iy));
    float a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
    float c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

float Fbm(float x, float y, unsigned seed) {
    float sum = 0, amp = 0.5f;
    for (int i = 0; i < 5; ++i) {
        sum += ValueNoise(x, y, seed + static_cast<unsigned>(i) * 31u) * amp;
        x *= 2.03f;
        y *= 2.03f;
        amp *= 0.5f;
    }
    return sum;
}

float SmoothStep(float a, float b, float v) {
    return Smooth(std::clamp((v - a) / (b - a), 0.0f, 1.0f));
}

Rgb SkyAt(float t) {
    // t: 0 at the top, 1 at the horizon.
    struct Stop {
        float at;
        Rgb color;
    };
    static const Stop stops[] = {{0.0f, Hex(0x060A22)},  {0.35f, Hex(0x15194A)},
                                 {0.62f, Hex(0x402562)}, {0.80f, Hex(0x93386B)},
                                 {0.92f, Hex(0xE0584A)}, {1.0f, Hex(0xFF9A45)}};
    for (std::size_t i = 1; i < std::size(stops); ++i) {
        if (t <= stops[i].at) {
            float k = (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            return Mix(stops[i - 1].color, stops[i].color, Smooth(std::clamp(k, 0.0f, 1.0f)));
        }
    }
    return stops[std::size(stops) - 1].color;
}

// The ship's outline, a three-masted vessel with full sails, hull length
// about 220 × scale, its left end at x0 on the waterline y0.
Shape ShipShape(float x0, float y0, float s) {
    auto P = [&](float x, float y) { return Vec{x0 + x * s, y0 + y * s}; };
    Shape hull = Polygon({P(0, -22), P(18, -20), P(40, -14), P(180, -14), P(205, -24), P(222, -30),
                          P(214, -18), P(196, 0), P(26, 0), P(8, -10)});
    Shape stern = Polygon({P(0, -22), P(2, -36), P(30, -34), P(40, -14), P(18, -20)});
    Shape ship = Union(hull, stern);
    // Masts.
    ship = Union(ship, Segment(P(70, -14), P(70, -150), 1.6f * s));
    ship = Union(ship, Segment(P(120, -14), P(120, -176), 1.8f * s));
    ship = Union(ship, Segment(P(168, -14), P(168, -132), 1.5f * s));
    // Bowsprit.
    ship = Union(ship, Segment(P(205, -24), P(262, -48), 1.3f * s));
    // Square sails, bellied: each a quad with its lower edge curved out.
    auto sail = [&](float cx, float top, float bottom, float half_top, float half_bottom) {
        std::vector<Vec> points;
        points.push_back(P(cx - half_top, top));
        points.push_back(P(cx + half_top, top));
        const int steps = 10;
        for (int i = 0; i <= steps; ++i) {
            float t = static_cast<float>(i) / steps;
            float x = cx + half_bottom - 2 * half_bottom * t;
            float belly = 4.0f * std::sin(t * 3.14159f);
            points.push_back(P(x + belly * 0.6f, bottom + belly));
        }
        return Polygon(points);
    };
    ship = Union(ship, sail(70, -140, -104, 20, 26));
    ship = Union(ship, sail(70, -98, -56, 26, 31));
    ship = Union(ship, sail(120, -166, -128, 22, 28));
    ship = Union(ship, sail(120, -122, -78, 28, 34));
    ship = Union(ship, sail(120, -72, -30, 32, 36));
    ship = Union(ship, sail(168, -124, -92, 17, 22));
    ship = Union(ship, sail(168, -86, -46, 22, 27));
    // Jib.
    ship = Union(ship, Polygon({P(168, -128), P(250, -46), P(178, -36)}));
    // Pennants.
    ship = Union(ship, Polygon({P(120, -182), P(146, -178), P(120, -172)}));
    ship = Union(ship, Polygon({P(70, -156), P(88, -153), P(70, -149)}));
    return ship;
}

}  // namespace

void DrawScene(Canvas& canvas, const SceneLayout& layout) {
    const float w = static_cast<float>(canvas.Width());
    const float h = static_cast<float>(canvas.Height());
    const float horizon = layout.horizon;
    const float unit = h / 720.0f;  // detail sizes follow the canvas

    // Sky and sea.
    canvas.Fill([&](float x, float y) {
        if (y < horizon) {
            Rgb sky = SkyAt(y / horizon);
            // Warmth around the sun.
            float d = std::hypot((x - layout.sun_x) / 1.8f, y - horizon);
            float warm = std::exp(-d / (layout.sun_radius * 3.2f));
            sky = Mix(sky, Hex(0xFFB25A), warm * 0.55f);
            return sky;
        }
        float t = (y - horizon) / (h - horizon);
        Rgb sea = Mix(Hex(0x5A2E5C), Hex(0x070A1E), std::pow(t, 0.55f));
        float d = std::abs(x - layout.sun_x);
        float haze = std::exp(-d / (layout.sun_radius * (2.0f + 6.0f * t))) * (1.0f - t);
        return Mix(sea, Hex(0xE66A3C), haze * 0.45f);
    });

    // Stars, fading toward the horizon.
    for (int i = 0; i < static_cast<int>(w * horizon / 2600.0f); ++i) {
        float x = Hash(i, 1, layout.seed) * w;
        float y = Hash(i, 2, layout.seed) * horizon * 0.7f;
        float bright = Hash(i, 3, layout.seed);
        float fade = 1.0f - y / (horizon * 0.7f);
        float size = bright > 0.93f ? 1.3f : 0.6f;
        canvas.FillShape(Circle(x, y, size * std::max(unit, 0.6f)), Hex(0xFFF1D6),
                         (0.25f + 0.75f * bright) * fade, Bounds::Around(x, y, 3));
    }

    // Sun: a disk with a bright core, and the glow it throws.
    canvas.Glow(Circle(layout.sun_x, horizon, layout.sun_radius), Hex(0xFF7A33),
                layout.sun_radius * 0.9f, 0.35f,
                Bounds::Around(layout.sun_x, horizon, layout.sun_radius * 7));
    canvas.FillShape(Intersect(Circle(layout.sun_x, horizon, layout.sun_radius),
                               [&](float, float y) { return y - horizon; }),
                     [&](float, float y) {
                         float t = (horizon - y) / layout.sun_radius;
                         return Mix(Hex(0xFFD27A), Hex(0xFFF0C4), 1.0f - t);
                     });

    // Long clouds lit from below.
    for (int y = 0; y < static_cast<int>(horizon); ++y) {
        float band = SmoothStep(horizon * 0.35f, horizon * 0.6f, static_cast<float>(y)) *
                     (1.0f - SmoothStep(horizon * 0.9f, horizon * 0.99f, static_cast<float>(y)));
        if (band <= 0) {
            continue;
        }
        for (int x = 0; x < canvas.Width(); ++x) {
            float n = Fbm(static_cast<float>(x) / (260.0f * unit),
                          static_cast<float>(y) / (26.0f * unit), layout.seed + 11);
            float a = SmoothStep(0.52f, 0.72f, n) * band;
            if (a <= 0) {
                continue;
            }
            float lit = SmoothStep(horizon * 0.5f, horizon, static_cast<float>(y));
            float near_sun = std::exp(-std::abs(static_cast<float>(x) - layout.sun_x) /
                                      (layout.sun_radius * 4.0f));
            Rgb body = Mix(Hex(0x2A1840), Hex(0x7A2C55), lit);
            Rgb edge = Mix(body, Hex(0xFF9A50), near_sun * 0.7f * lit);
            float under = SmoothStep(
                0.6f, 0.52f,
                Fbm(static_cast<float>(x) / (260.0f * unit),
                    (static_cast<float>(y) + 3.0f * unit) / (26.0f * unit), layout.seed + 11));
            canvas.Blend(x, y, Mix(body, edge, under), a * 0.85f);
        }
    }

    // Islands on the horizon, hazy.
    auto ridge = [&](float x0, float x1, float height, unsigned seed) {
        return [=](float x, float y) {
            if (x < x0 || x > x1) {
                return 1e6f;
            }
            float t = (x - x0) / (x1 - x0);
            float top = horizon - height * std::sin(t * 3.14159f) *
                                      (0.6f + 0.4f * Fbm(x / (60.0f * unit), 0.5f, seed));
            return std::max(top - y, y - horizon);
        };
    };
    canvas.FillShape(ridge(-40 * unit, 380 * unit, 46 * unit, 3), Hex(0x2B1838), 0.92f);
    canvas.FillShape(ridge(w - 300 * unit, w + 60 * unit, 30 * unit, 5), Hex(0x321B40), 0.85f);

    // Waves: thin bright streaks near the sun's column, dimmer elsewhere.
    for (int y = static_cast<int>(horizon) + 1; y < canvas.Height(); ++y) {
        float t = (static_cast<float>(y) - horizon) / (h - horizon);
        float spread = layout.sun_radius * (0.7f + 3.5f * t);
        for (int x = 0; x < canvas.Width(); ++x) {
            float fx = static_cast<float>(x);
            float wave = Fbm(fx / (40.0f * unit * (1 + 3 * t)),
                             static_cast<float>(y) / (2.2f * unit * (1 + 4 * t)), layout.seed + 23);
            float column = std::exp(-std::pow(std::abs(fx - layout.sun_x) / spread, 1.6f));
            float streak = SmoothStep(0.56f, 0.78f, wave);
            float light = streak * (0.12f + 0.88f * column) * (1.0f - 0.6f * t);
            if (light > 0.01f) {
                Rgb c = Mix(Hex(0xFF7B3A), Hex(0xFFE2A0), column * (1.0f - t));
                canvas.Blend(x, y, c, light * 0.9f);
            }
            float dark = SmoothStep(0.45f, 0.3f, wave) * 0.25f;
            if (dark > 0) {
                canvas.Blend(x, y, Hex(0x05071A), dark);
            }
        }
    }

    // The ship, its rim lit by the sun, and its broken reflection.
    Shape ship = ShipShape(layout.ship_x, layout.waterline, layout.ship_scale * unit);
    const float ship_size = layout.ship_scale * unit;
    const Bounds above{
        static_cast<int>(layout.ship_x - 4), static_cast<int>(layout.waterline - 200 * ship_size),
        static_cast<int>(layout.ship_x + 270 * ship_size), static_cast<int>(layout.waterline + 2)};
    const Bounds below{above.left - 4, static_cast<int>(layout.waterline), above.right + 4,
                       static_cast<int>(layout.waterline + 200 * ship_size)};
    Rgb hull = Hex(0x0B0A1E);
    canvas.FillShape(
        [&](float x, float y) {
            float mirrored = 2 * layout.waterline - y;
            float wobble = 2.0f * unit * std::sin(y / (3.0f * unit));
            return y < layout.waterline ? 1e6f : ship(x + wobble, mirrored) + 0.0f;
        },
        [&](float, float y) {
            float t = (y - layout.waterline) / (60.0f * unit);
            return Mix(Hex(0x120C26), Hex(0x3A2048), std::clamp(t, 0.0f, 1.0f));
        },
        0.55f, below);
    float rim_dx = layout.sun_x > layout.ship_x + 110 * unit ? 1.6f * unit : -1.6f * unit;
    canvas.FillShape(
        ship,
        [&](float x, float y) {
            if (ship(x - rim_dx, y + 0.8f * unit) > 0) {
                return Hex(0xFF9A52);
            }
            return hull;
        },
        1.0f, above);
    // Lanterns.
    const float s = layout.ship_scale * unit;
    for (Vec p : {Vec{24, -30}, Vec{200, -28}, Vec{120, -184}}) {
        float lx = layout.ship_x + p.x * s, ly = layout.waterline + p.y * s;
        canvas.Glow(Circle(lx, ly, 1.2f * s), Hex(0xFFB347), 3.5f * s, 0.6f,
                    Bounds::Around(lx, ly, 20 * s));
    }

    // Embers rising: more near the bottom, each a hot core with a soft glow
    // and a short trail below it.
    for (int i = 0; i < layout.embers; ++i) {
        float x = Hash(i, 11, layout.seed) * w;
        float y = h * (0.15f + 0.85f * std::sqrt(Hash(i, 12, layout.seed)));
        float size = (0.7f + 1.8f * Hash(i, 13, layout.seed) * Hash(i, 14, layout.seed)) * unit;
        float heat = Hash(i, 15, layout.seed);
        Rgb core = Mix(Hex(0xFF6A20), Hex(0xFFE39A), heat);
        int reach = static_cast<int>(size * 10.0f) + 2;
        for (int yy = static_cast<int>(y) - reach; yy <= static_cast<int>(y) + reach * 3; ++yy) {
            for (int xx = static_cast<int>(x) - reach; xx <= static_cast<int>(x) + reach; ++xx) {
                float dx = static_cast<float>(xx) + 0.5f - x;
                float dy = static_cast<float>(yy) + 0.5f - y;
                float trail = dy > 0 ? std::exp(-dy / (size * 6.0f)) *
                                           std::exp(-(dx * dx) / (size * size * 0.8f))
                                     : 0.0f;
                float d = std::hypot(dx, dy);
                float glow = std::exp(-d / (size * 2.2f));
                float amount = std::max(glow, trail * 0.5f);
                canvas.Add(xx, yy, core, amount * 0.55f);
            }
        }
    }

    // Vignette.
    canvas.Fill([&, copy = canvas](float x, float y) {
        float dx = (x / w - 0.5f) * 1.6f;
        float dy = (y / h - 0.5f) * 1.3f;
        float v = std::clamp(1.0f - 0.55f * (dx * dx + dy * dy), 0.0f, 1.0f);
        Rgb c = copy.At(static_cast<int>(x), static_cast<int>(y));
        return Scale(c, 0.35f + 0.65f * v);
    });
}

}  // namespace artwork
