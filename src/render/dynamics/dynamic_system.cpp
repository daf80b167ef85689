#include "render/dynamics/dynamic_system.h"

#include "model/fractal_record.h"
#include "render/dynamics/orbit_maps.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

namespace {

using Derivative = Vec3 (*)(const DynamicSystemParams& p, const Vec3& s);

Vec3 lorenz(const DynamicSystemParams& p, const Vec3& s) {
    return {p.a * (s.y - s.x), s.x * (p.b - s.z) - s.y, s.x * s.y - p.c * s.z};
}

Vec3 system1(const DynamicSystemParams& p, const Vec3& s) {
    const double r = std::sqrt(s.x * s.x + s.y * s.y);
    const double a = p.a, b = p.b;
    return {(-a - 1.0) * s.x + (1.0 - a) * r + (a - b + s.z) * s.y,
            (b + a) * r + (b - a) * s.x - (a + 1.0) * s.y - s.z * s.x - s.z * r,
            s.y / 2.0 - p.c * s.z};
}

Vec3 system2(const DynamicSystemParams& p, const Vec3& s) {
    const double x = s.x, y = s.y, z = s.z, a = p.a, b = p.b;
    const double r3 = 3.0 * std::sqrt(x * x + y * y);
    const double squares = x * x - y * y;
    return {((1.0 - a) * squares + 2.0 * x * y * (a + b - z)) / r3 +
                ((a - b + z) * y - (a + 1.0) * x) / 3.0,
            ((a + b - z) * squares + 2.0 * (a - 1.0) * x * y) / r3 +
                ((b - a - z) * x - (a + 1.0) * y) / 3.0,
            (3.0 * x * x * y - y * y * y) / 2.0 - p.c * z};
}

Vec3 system3(const DynamicSystemParams& p, const Vec3& s) {
    const double x = s.x, y = s.y, z = s.z, a = p.a, b = p.b;
    const double twice = 2.0 * (x * x + y * y);
    return {
        (((z - b) * y * y + (b + 2.0 * a - z) * x * x + (a - 2.0) * x * y) * y - a * x * x * x) /
            twice,
        (((b - z) * x * x + (z - b - 2.0 * a) * y * y + (a - 2.0) * x * y) * x - a * y * y * y) /
            twice,
        2.0 * y * x * x * x - 2.0 * x * y * y * y - p.c * z};
}

Vec3 roessler(const DynamicSystemParams& p, const Vec3& s) {
    return {-s.y - s.z, s.x + p.a * s.y, p.b + s.z * s.x - p.c * s.z};
}

constexpr Derivative kSystems[kFlowCount] = {lorenz, system1, system2, system3, roessler};

// Doubling or halving a positive finite step this often takes it across the whole range
// of doubles, so the adapting loops below end by their own tests long before; the bound
// only makes their end plain.
constexpr int kMostRescalings = 2200;

// An orbit farther from the start than this many times Delta has run away.
constexpr double kEscapeSteps = 1e6;
// A map's orbit has run away once a coordinate is this much larger than the start's. A
// map's step has no size of its own to measure the distance by.
constexpr double kMapEscape = 1e10;

double largest(const Vec3& v) {
    return std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
}

} // namespace

DynamicSystemParams readDynamicSystemParams(const FractalRecord& record) {
    const ConstBlockRef block = record.params();
    DynamicSystemParams p;
    p.system = record.subtype;
    p.a = block.real("A");
    p.b = block.real("B");
    p.c = block.real("C");
    p.start = {block.real("X"), block.real("Y"), block.real("Z")};
    p.time = block.real("Time");
    p.delta = block.real("Delta");
    p.alpha = block.real("Alpha");
    p.beta = block.real("Beta");
    p.points = block.integer("Drawmode") == 1;
    p.left = block.bigFixed("TopLeftR").toDouble();
    p.right = block.bigFixed("BottomRightR").toDouble();
    p.top = block.bigFixed("TopLeftI").toDouble();
    p.bottom = block.bigFixed("BottomRightI").toDouble();
    return p;
}

Vec3 systemDerivative(const DynamicSystemParams& params, const Vec3& s) {
    if (params.system >= kFlowCount)
        return {};
    return kSystems[params.system](params, s);
}

DynamicOrbit::DynamicOrbit(const DynamicSystemParams& params)
    : params_(params), point_(params.start), h_(params.delta),
      escapeRadius_((isOrbitMap(params.system) ? kMapEscape : kEscapeSteps * params.delta) +
                    largest(params.start)) {
    if (isOrbitMap(params.system))
        point_.z = 0.0;
}

OrbitStep DynamicOrbit::mapStep() {
    if (!nextMapPoint(params_, point_, map_) || !std::isfinite(largest(point_)))
        return OrbitStep::Ended;
    t_ += 1.0;
    return OrbitStep::Moved;
}

OrbitStep DynamicOrbit::step() {
    if (!(t_ < params_.time) || ranAway())
        return OrbitStep::Ended;
    if (isOrbitMap(params_.system))
        return mapStep();
    const Vec3 d = systemDerivative(params_, point_);
    const double speed = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (!std::isfinite(speed) || speed == 0.0)
        return OrbitStep::Ended;
    const double delta = params_.delta;
    for (int n = 0; n < kMostRescalings && speed * h_ < delta / 2.0; ++n)
        h_ *= 2.0;
    for (int n = 0; n < kMostRescalings && speed * h_ > 2.0 * delta; ++n)
        h_ /= 2.0;
    // A speed so small that the step outgrew every double: the orbit as good as rests.
    if (!std::isfinite(h_))
        return OrbitStep::Ended;
    // A step that no longer moves the time now, or could not move it near Time, would
    // leave the orbit short of Time for good.
    if (t_ + h_ == t_ || params_.time + h_ == params_.time)
        return OrbitStep::Stuck;
    point_.x += h_ * d.x;
    point_.y += h_ * d.y;
    point_.z += h_ * d.z;
    t_ += h_;
    return OrbitStep::Moved;
}

double DynamicOrbit::progress() const {
    if (!(params_.time > 0.0))
        return 1.0;
    return std::clamp(t_ / params_.time, 0.0, 1.0);
}

bool DynamicOrbit::ranAway() const {
    return !(largest(point_) <= escapeRadius_);
}

} // namespace vortimax
