// Outlines as signed distance functions (pixels; negative inside), and the
// ways to combine them. Coordinates are continuous: a pixel's centre is at
// (x + 0.5, y + 0.5).
#pragma once

#include <vector>

#include "tools/artwork/Canvas.h"

namespace artwork {

struct Vec {
    float x = 0, y = 0;
};

Shape Circle(float cx, float cy, float radius);
Shape Ellipse(float cx, float cy, float rx, float ry);
// Rectangle [left, right) × [top, bottom) with corners of the given radius.
Shape RoundRect(float left, float top, float right, float bottom, float radius);
// A stroke of half-width around the segment a-b, round ends.
Shape Segment(Vec a, Vec b, float half_width);
// A closed polygon, either winding.
Shape Polygon(std::vector<Vec> points);

Shape Union(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);
Shape Subtract(Shape a, Shape b);
// Grows (positive) or shrinks (negative) the outline.
Shape Inflate(Shape a, float amount);
// The outline as a line of half-width.
Shape Outline(Shape a, float half_width);
Shape Translate(Shape a, float dx, float dy);

}  // namespace artwork
