#include "tools/artwork/Shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace artwork {

Shape Circle(float cx, float cy, float radius) {
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; };
}

Shape Ellipse(float cx, float cy, float rx, float ry) {
    // Scaled distance: exact on the axes, close enough elsewhere for small
    // eccentricities.
    float k = std::min(rx, ry);
    return [=](float x, float y) {
        float dx = (x - cx) / rx;
        float dy = (y - cy) / ry;
        return (std::sqrt(dx * dx + dy * dy) - 1.0f) * k;
    };
}

Shape RoundRect(float left, float top, float right, float bottom, float radius) {
    float cx = (left + right) / 2;
    float cy = (top + bottom) / 2;
    float hx = (right - left) / 2 - radius;
    float hy = (bottom - top) / 2 - radius;
    return [=](float x, float y) {
        float qx = std::abs(x - cx) - hx;
        float qy = std::abs(y - cy) - hy;
        float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
        float inside = std::min(std::max(qx, qy), 0.0f);
        return outside + inside - radius;
    };
}

Shape Segment(Vec a, Vec b, float half_width) {
    return [=](float x, float y) {
        float px = x - a.x, py = y - a.y;
        float bx = b.x - a.x, by = b.y - a.y;
        float len2 = bx * bx + by * by;
        float t = len2 > 0 ? std::clamp((px * bx + py * by) / len2, 0.0f, 1.0f) : 0.0f;
        return std::hypot(px - bx * t, py - by * t) - half_width;
    };
}

Shape Polygon(std::vector<Vec> points) {
    return [points = std::move(points)](float x, float y) {
        float best = 1e30f;
        bool inside = false;
        std::size_t n = points.size();
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            Vec a = points[j];
            Vec b = points[i];
            float ex = b.x - a.x, ey = b.y - a.y;
            float wx = x - a.x, wy = y - a.y;
            float len2 = ex * ex + ey * ey;
            float t = len2 > 0 ? std::clamp((wx * ex + wy * ey) / len2, 0.0f, 1.0f) : 0.0f;
            float dx = wx - ex * t, dy = wy - ey * t;
            best = std::min(best, dx * dx + dy * dy);
            if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * ex / ey) {
                inside = !inside;
            }
        }
        float d = std::sqrt(best);
        return inside ? -d : d;
    };
}

Shape Union(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](float x, float y) {
        return std::min(a(x, y), b(x, y));
    };
}

Shape Intersect(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](float x, float y) {
        return std::max(a(x, y), b(x, y));
    };
}

Shape Subtract(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](float x, float y) {
        return std::max(a(x, y), -b(x, y));
    };
}

Shape Inflate(Shape a, float amount) {
    return [a = std::move(a), amount](float x, float y) { return a(x, y) - amount; };
}

Shape Outline(Shape a, float half_width) {
    return
        [a = std::move(a), half_width](float x, float y) { return std::abs(a(x, y)) - half_width; };
}

Shape Translate(Shape a, float dx, float dy) {
    return [a = std::move(a), dx, dy](float x, float y) { return a(x - dx, y - dy); };
}

}  // namespace artwork
