#include "render/dynamics/orbit_maps.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <optional>

namespace vortimax {

namespace {

using MapFunction = bool (*)(const DynamicSystemParams& p, Vec3& s, MapStep& step);

// The sign of x: -1, 0 or 1.
double sign(double x) {
    return static_cast<double>((x > 0.0) - (x < 0.0));
}

// ln|v|, squared.
double squaredLog(double v) {
    const double l = std::log(std::fabs(v));
    return l * l;
}

// The hopping maps share y' = a - x and differ in how far x jumps.
bool hop(const DynamicSystemParams& p, Vec3& s, double jump) {
    const double x = s.x;
    s.x = s.y - sign(x) * jump;
    s.y = p.a - x;
    return true;
}

// x' = y - sign(x) sqrt|b x - c|, y' = a - x.
bool hopalong(const DynamicSystemParams& p, Vec3& s, MapStep&) {
    return hop(p, s, std::sqrt(std::fabs(p.b * s.x - p.c)));
}

// x' = y - sin x, y' = a - x.
bool martin(const DynamicSystemParams& p, Vec3& s, MapStep&) {
    const double x = s.x;
    s.x = s.y - std::sin(x);
    s.y = p.a - x;
    return true;
}

// x' = y - sign(x) cos(ln^2|b x - c|) atan(ln^2|c x - b|), y' = a - x.
bool chip(const DynamicSystemParams& p, Vec3& s, MapStep&) {
    return hop(p, s,
               std::cos(squaredLog(p.b * s.x - p.c)) * std::atan(squaredLog(p.c * s.x - p.b)));
}

// x' = y - sign(x) |sin x cos b + c - x sin(a + b + c)|, y' = a - x.
bool threeply(const DynamicSystemParams& p, Vec3& s, MapStep&) {
    return hop(p, s,
               std::fabs(std::sin(s.x) * std::cos(p.b) + p.c - s.x * std::sin(p.a + p.b + p.c)));
}

// x' = y - sign(x) sin(ln|b x - c|) atan(ln^2|c x - b|), y' = a - x.
bool quadruptwo(const DynamicSystemParams& p, Vec3& s, MapStep&) {
    return hop(p, s,
               std::sin(std::log(std::fabs(p.b * s.x - p.c))) *
                   std::atan(squaredLog(p.c * s.x - p.b)));
}

// x' = 1 - y + |x|, y' = x.
bool gingerbreadman(const DynamicSystemParams&, Vec3& s, MapStep&) {
    const double x = s.x;
    s.x = 1.0 - s.y + std::fabs(x);
    s.y = x;
    return true;
}

// x' = 1 + y - a x^2, y' = b x.
bool henon(const DynamicSystemParams& p, Vec3& s, MapStep&) {
    const double x = s.x;
    s.x = 1.0 + s.y - p.a * x * x;
    s.y = p.b * x;
    return true;
}

// x' = sin(b y) + c sin(b x), y' = sin(a x) + d sin(a y); d is held by Z.
bool latoocarfian(const DynamicSystemParams& p, Vec3& s, MapStep&) {
    const double x = s.x, y = s.y, d = p.start.z;
    s.x = std::sin(p.b * y) + p.c * std::sin(p.b * x);
    s.y = std::sin(p.a * x) + d * std::sin(p.a * y);
    return true;
}

// The area-preserving quadratic map turning by the angle a:
// x' = x cos a + (x^2 - y) sin a, y' = x sin a - (x^2 - y) cos a.
// Orbit k (from 1) starts at (k b, k b) and has Z points; the family ends past C.
bool kamtorus(const DynamicSystemParams& p, Vec3& s, MapStep& step) {
    const double perOrbit = std::max(1.0, std::floor(p.start.z));
    const double done = static_cast<double>(step.index - 1);
    if (std::fmod(done, perOrbit) == 0.0) {
        const double r = (std::floor(done / perOrbit) + 1.0) * p.b;
        if (!(r <= p.c) || !(p.b > 0.0))
            return false;
        s = {r, r, 0.0};
    }
    const double x = s.x, q = x * x - s.y;
    s.x = x * std::cos(p.a) + q * std::sin(p.a);
    s.y = x * std::sin(p.a) - q * std::cos(p.a);
    return true;
}

// The inverse iteration of z^2 + c, c = (a, b): z' = +-sqrt(z - c), the branch chosen at
// random. The points gather on the Julia set of c.
bool inverseJulia(const DynamicSystemParams& p, Vec3& s, MapStep& step) {
    // A linear congruential generator: the same picture every time.
    step.random = step.random * 1664525u + 1013904223u;
    const std::complex<double> root = std::sqrt(std::complex<double>(s.x - p.a, s.y - p.b));
    const double branch = (step.random >> 31) != 0 ? -1.0 : 1.0;
    s.x = branch * root.real();
    s.y = branch * root.imag();
    return true;
}

// A map of space: x' = sin(a y) - z cos(b x), y' = z sin(c x) - cos(d y), z' = sin x;
// d is held by Z, and z starts at 0 like the plane maps' unused third coordinate.
bool pickover(const DynamicSystemParams& p, Vec3& s, MapStep&) {
    const Vec3 q = s;
    const double d = p.start.z;
    s.x = std::sin(p.a * q.y) - q.z * std::cos(p.b * q.x);
    s.y = q.z * std::sin(p.c * q.x) - std::cos(d * q.y);
    s.z = std::sin(q.x);
    return true;
}

// The cloud maps start an orbit in every cell of a grid over the area: C columns, as many
// rows as keep the cells square, Z points per orbit.
constexpr double kMostGridCells = 1e8;

std::optional<Vec3> gridStart(const DynamicSystemParams& p, std::uint64_t orbit) {
    const double columns = std::floor(p.c);
    const double width = p.right - p.left, height = p.top - p.bottom;
    const double rows = std::max(1.0, std::round(columns * std::fabs(height / width)));
    if (!(columns >= 1.0) || !std::isfinite(rows) || !(columns * rows <= kMostGridCells) ||
        static_cast<double>(orbit) >= columns * rows)
        return std::nullopt;
    const double column = std::fmod(static_cast<double>(orbit), columns);
    const double row = std::floor(static_cast<double>(orbit) / columns);
    return Vec3{p.left + (column + 0.5) * width / columns, p.top - (row + 0.5) * height / rows,
                0.0};
}

// Moves the family on to its next orbit once the current one has its Z points (or was
// ended); false when the grid is done.
bool nextOrbitIfDue(const DynamicSystemParams& p, MapStep& step) {
    const double perOrbit = std::max(1.0, std::floor(p.start.z));
    if (step.index > 1 && static_cast<double>(step.inOrbit) < perOrbit)
        return true;
    const std::optional<Vec3> start = gridStart(p, step.orbit++);
    if (!start)
        return false;
    step.seed = *start;
    step.inOrbit = 0;
    return true;
}

// Popcorn: x' = x - a sin(y + tan 3y), y' = y - a sin(x + tan 3x), from every cell. An
// orbit that meets a pole of the tangent ends there; the family goes on with the next.
bool popcorn(const DynamicSystemParams& p, Vec3& s, MapStep& step) {
    for (;;) {
        if (!nextOrbitIfDue(p, step))
            return false;
        if (step.inOrbit++ == 0)
            s = step.seed;
        const double x = s.x, y = s.y;
        s.x = x - p.a * std::sin(y + std::tan(3.0 * y));
        s.y = y - p.a * std::sin(x + std::tan(3.0 * x));
        if (std::isfinite(s.x) && std::isfinite(s.y))
            return true;
        step.inOrbit = std::numeric_limits<std::uint64_t>::max();
    }
}

// The orbits of z -> z^2 + c from 0, c every cell's centre; an orbit ends where it leaves
// the circle of radius 2.
bool mandelCloud(const DynamicSystemParams& p, Vec3& s, MapStep& step) {
    if (!nextOrbitIfDue(p, step))
        return false;
    if (step.inOrbit++ == 0)
        s = {0.0, 0.0, 0.0};
    const double x = s.x, y = s.y;
    s.x = x * x - y * y + step.seed.x;
    s.y = 2.0 * x * y + step.seed.y;
    if (s.x * s.x + s.y * s.y > 4.0)
        step.inOrbit = std::numeric_limits<std::uint64_t>::max();
    return true;
}

// By system number from kFirstOrbitMap on; the names are the type registry's.
constexpr MapFunction kMaps[] = {hopalong,       martin,  chip,         threeply, quadruptwo,
                                 gingerbreadman, henon,   latoocarfian, kamtorus, inverseJulia,
                                 pickover,       popcorn, mandelCloud};
static_assert(std::size(kMaps) == kDynamicSystemCount - kFirstOrbitMap);

} // namespace

bool isOrbitMap(std::uint32_t system) {
    return system >= kFirstOrbitMap && system < kDynamicSystemCount;
}

bool nextMapPoint(const DynamicSystemParams& params, Vec3& point, MapStep& step) {
    if (!isOrbitMap(params.system))
        return false;
    ++step.index;
    return kMaps[params.system - kFirstOrbitMap](params, point, step);
}

} // namespace vortimax
