#include "render/raster/line_drawing.h"

#include <cmath>

namespace vortimax {

bool clipSegment(double& ax, double& ay, double& bx, double& by, const ClipBox& box) {
    const double dx = bx - ax;
    const double dy = by - ay;
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return false;
    // Along the segment a + t (b - a), t from 0 to 1: each side of the box bounds t.
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - box.xMin, box.xMax - ax, ay - box.yMin, box.yMax - ay};
    double enter = 0.0;
    double leave = 1.0;
    for (int side = 0; side < 4; ++side) {
        if (p[side] == 0.0) {
            if (q[side] < 0.0) // parallel to this side and outside it
                return false;
            continue;
        }
        const double t = q[side] / p[side];
        if (p[side] < 0.0)
            enter = std::fmax(enter, t);
        else
            leave = std::fmin(leave, t);
    }
    if (enter > leave)
        return false;
    const double x0 = ax, y0 = ay;
    ax = x0 + enter * dx;
    ay = y0 + enter * dy;
    bx = x0 + leave * dx;
    by = y0 + leave * dy;
    return true;
}

} // namespace vortimax
