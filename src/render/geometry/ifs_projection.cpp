#include "render/geometry/ifs_projection.h"

#include <cmath>

namespace vortimax {

namespace {
constexpr double kIfsPi = 3.1415926535;
constexpr double kRadiansPerDegree = kIfsPi / 180.0;
} // namespace

IfsProjection::IfsProjection(double alphaDegrees, double betaDegrees)
    : sinAlpha_(std::sin(alphaDegrees * kRadiansPerDegree)),
      cosAlpha_(std::cos(alphaDegrees * kRadiansPerDegree)),
      sinBeta_(std::sin(betaDegrees * kRadiansPerDegree)),
      cosBeta_(std::cos(betaDegrees * kRadiansPerDegree)) {}

} // namespace vortimax
