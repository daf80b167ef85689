#pragma once

#include <cstdlib>

namespace vortimax {

// Calls plot(x, y) for every pixel of the straight line from (x0, y0) to (x1, y1), both
// ends included, in order from the first end: Bresenham's integer algorithm, so the same
// ends always give the same pixels. The ends must differ by less than half the int range.
template <typename Plot> void drawIntegerLine(int x0, int y0, int x1, int y1, Plot&& plot) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        plot(x0, y0);
        if (x0 == x1 && y0 == y1)
            return;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

// A rectangle of the plane, bounds included.
struct ClipBox {
    double xMin, yMin, xMax, yMax;
};

// Cuts the segment from (ax, ay) to (bx, by) down to the part inside the box (Liang and
// Barsky's parametric clipping). False, with the ends unchanged, when no part is inside
// or the segment is too long to compute with (its ends differ by more than the largest
// double, or are not finite).
bool clipSegment(double& ax, double& ay, double& bx, double& by, const ClipBox& box);

} // namespace vortimax
