#include "render/dynamics/attractor_projection.h"

#include "model/fractal_record.h"

#include <cmath>

namespace vortimax {

namespace {

// The viewing angles are turned into radians with this value of pi.
constexpr double kPi = 3.1415926535;

double radians(double degrees) {
    return degrees * kPi / 180.0;
}

} // namespace

AttractorProjection attractorProjection(const FractalRecord& record,
                                        const DynamicSystemParams& params, int width, int height) {
    const ConstBlockRef block = record.params();
    const double left = block.bigFixed("TopLeftR").toDouble();
    const double right = block.bigFixed("BottomRightR").toDouble();
    const double top = block.bigFixed("TopLeftI").toDouble();
    const double bottom = block.bigFixed("BottomRightI").toDouble();
    AttractorProjection projection;
    projection.sinAlpha = std::sin(radians(params.alpha));
    projection.cosAlpha = std::cos(radians(params.alpha));
    projection.sinBeta = std::sin(radians(params.beta));
    projection.cosBeta = std::cos(radians(params.beta));
    projection.left = left;
    projection.bottom = bottom;
    projection.du = (right - left) / width;
    projection.dv = (top - bottom) / height;
    return projection;
}

} // namespace vortimax
