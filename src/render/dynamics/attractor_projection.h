#pragma once

#include "render/dynamics/dynamic_system.h"

namespace vortimax {

class FractalRecord;

// A position in pixels (fractional; rows count from the bottom).
struct PixelPoint {
    double x = 0.0;
    double y = 0.0;
};

// Projects state-space points onto the image: the point is turned by the viewing angles
// alpha and beta,
//   u = sin a y - cos a x,   w = cos b z - sin b (sin a x + cos a y),
// and (u, w) is placed in the area: x = (u - left) / du, y = (w - bottom) / dv, with du and
// dv the area's width and height divided by the image's.
struct AttractorProjection {
    double sinAlpha = 0.0, cosAlpha = 1.0;
    double sinBeta = 0.0, cosBeta = 1.0;
    double left = 0.0, bottom = 0.0;
    double du = 1.0, dv = 1.0;

    PixelPoint pixelOf(const Vec3& p) const {
        const double u = sinAlpha * p.y - cosAlpha * p.x;
        const double w = cosBeta * p.z - sinBeta * (sinAlpha * p.x + cosAlpha * p.y);
        return {(u - left) / du, (w - bottom) / dv};
    }
};

// The projection of the record's area (its stored corners) onto an image of the size
// given, for the angles of `params`.
AttractorProjection attractorProjection(const FractalRecord& record,
                                        const DynamicSystemParams& params, int width, int height);

} // namespace vortimax
