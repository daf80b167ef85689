#include "render/relief/relief_light.h"

#include "render/relief/relief_settings.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

namespace {

// Degrees to radians, as the angles of the 3D settings have always been converted.
constexpr double kRadiansPerDegree = 0.017453292519444445;

double dot(const double* a, const double* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

} // namespace

ReliefLight::ReliefLight(const ReliefSettings& s)
    : ambient_(s.ambient), diffuse_(s.diffuse), reflection_(s.reflection) {
    const double theta = s.observerAngle * kRadiansPerDegree;
    const double lh = s.lightHAngle * kRadiansPerDegree;
    const double lv = s.lightVAngle * kRadiansPerDegree;
    observer_[0] = 0.0;
    observer_[1] = -std::cos(theta);
    observer_[2] = std::sin(theta);
    light_[0] = std::cos(lv) * std::sin(lh);
    light_[1] = -std::cos(lv) * std::cos(lh);
    light_[2] = std::sin(lv);
}

// Small whole exponents as plain products; others through the logarithm, kept off zero.
double ReliefLight::specular(double r) const {
    if (reflection_ == 1.0)
        return r;
    if (reflection_ == 2.0)
        return r * r;
    if (reflection_ == 3.0)
        return r * r * r;
    return std::exp(reflection_ * std::log(r + 1e-07));
}

double ReliefLight::shade(double slopeX, double slopeY) const {
    const double length = std::sqrt(slopeX * slopeX + slopeY * slopeY + 1.0);
    double normal[3] = {slopeX / length, slopeY / length, 1.0 / length};
    if (dot(normal, observer_) < 0.0)
        for (double& c : normal)
            c = -c;
    const double d = dot(normal, light_);
    double reflected[3];
    for (int k = 0; k < 3; ++k)
        reflected[k] = 2.0 * d * normal[k] - light_[k];
    double r = dot(reflected, observer_);
    r = r < 0.0 ? 0.0 : specular(r);
    const double s = (1.0 - ambient_) * (r * (1.0 - diffuse_) + d * diffuse_) + ambient_;
    return std::isnan(s) ? 0.0 : std::clamp(s, 0.0, 1.0);
}

} // namespace vortimax
