#include "render/escape/escape_kernel.h"

#include "render/escape/orbit_loops.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace vortimax {

namespace {

double sq(double v) {
    return v * v;
}

// |a| + BV |b|
double manhattan(const EscapeParams& p, Complex v) {
    return std::fabs(v.re) + p.bailoutVar * std::fabs(v.im);
}

// clang-format off
constexpr StopTests kStopTests[kBailoutTestCount] = {
    {[](const EscapeParams& p, Complex z, double) { return p.bailout < sq(z.re) + p.bailoutVar * sq(z.im); },
     [](const EscapeParams& p, Complex d) { return sq(d.re) + p.bailoutVar * sq(d.im) < p.bailin; }},
    {[](const EscapeParams& p, Complex z, double) { return p.bailout < sq(z.re); },
     [](const EscapeParams& p, Complex d) { return sq(d.re) < p.bailin; }},
    {[](const EscapeParams& p, Complex z, double) { return p.bailout < sq(z.im); },
     [](const EscapeParams& p, Complex d) { return sq(d.im) < p.bailin; }},
    {[](const EscapeParams& p, Complex z, double) {
         return p.bailout < sq(z.re) || p.bailout < p.bailoutVar * sq(z.im); },
     [](const EscapeParams& p, Complex d) {
         return sq(d.re) < p.bailin || p.bailoutVar * sq(d.im) < p.bailin; }},
    {[](const EscapeParams& p, Complex z, double) {
         return p.bailout < sq(z.re) && p.bailout < p.bailoutVar * sq(z.im); },
     [](const EscapeParams& p, Complex d) {
         return sq(d.re) < p.bailin && p.bailoutVar * sq(d.im) < p.bailin; }},
    {[](const EscapeParams& p, Complex z, double) { return p.bailout < sq(manhattan(p, z)); },
     [](const EscapeParams& p, Complex d) { return sq(manhattan(p, d)) < p.bailin; }},
    {[](const EscapeParams& p, Complex z, double) { return p.bailout < sq(z.re + p.bailoutVar * z.im); },
     [](const EscapeParams& p, Complex d) { return sq(d.re + p.bailoutVar * d.im) < p.bailin; }},
    {[](const EscapeParams& p, Complex z, double) { return p.bailout < manhattan(p, z); },
     [](const EscapeParams& p, Complex d) { return manhattan(p, d) < p.bailin; }},
    // "P-Ring": the orbit lands in the ring of half-width Bailin around the circle |p|.
    {[](const EscapeParams& p, Complex z, double r) {
         const double m = std::sqrt(sq(z.re) + sq(z.im));
         return r - p.bailin < m && m < r + p.bailin; },
     [](const EscapeParams&, Complex) { return false; }},
};
// clang-format on

using InsideRuleFunction = double (*)(const EscapeParams&, const OrbitEnd&);

// clang-format off
constexpr InsideRuleFunction kInsideRules[] = {
    [](const EscapeParams&, const OrbitEnd&) { return -1.0; },
    [](const EscapeParams& p, const OrbitEnd& e) {
        return (1.0 - p.halfIter * (sq(e.z.re) + sq(e.z.im))) * p.insideMult; },
    [](const EscapeParams& p, const OrbitEnd& e) {
        return -std::sqrt(e.extrema.largest) * 75.0 * p.insideMult; },
    [](const EscapeParams& p, const OrbitEnd& e) {
        return -std::sqrt(e.extrema.smallest) * 75.0 * p.insideMult; },
    [](const EscapeParams& p, const OrbitEnd& e) {
        return -(e.extrema.largestAt + 1.0) * p.insideMult; },
    [](const EscapeParams& p, const OrbitEnd& e) {
        return -(e.extrema.smallestAt + 1.0) * p.insideMult; },
};
// clang-format on

float fastKernel(const EscapeParams& p, Complex point) {
    point = invertedPoint(p, point);
    return orbitValue(p, fastOrbit(p, initOrbit(p, point)), point);
}

template <bool Track> float generalKernel(const EscapeParams& p, Complex point) {
    point = invertedPoint(p, point);
    const double r = std::sqrt(sq(point.re) + sq(point.im));
    return orbitValue(p, generalOrbit(p, initOrbit(p, point), r, Track), point);
}

} // namespace

std::int32_t fastStartCounter(const EscapeParams& params) {
    return std::max(params.maxIter - 1, 2);
}

double fastEscapeThreshold(const EscapeParams& params) {
    const float bailout = fastBailout(params);
    const auto beyond = [bailout](double m) { return bailout < toSingle(m); };
    if (beyond(0.0))
        return 0.0;
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    if (!beyond(kInfinity))
        return std::numeric_limits<double>::quiet_NaN();
    // Rounding to float is monotonic and non-negative doubles order like their bit
    // patterns, so a bisection over the patterns finds the first magnitude beyond.
    std::uint64_t below = 0;
    std::uint64_t above = std::bit_cast<std::uint64_t>(kInfinity);
    while (above - below > 1) {
        const std::uint64_t middle = below + (above - below) / 2;
        if (beyond(std::bit_cast<double>(middle)))
            above = middle;
        else
            below = middle;
    }
    return std::bit_cast<double>(above);
}

OrbitEnd fastOrbit(const EscapeParams& params, Orbit orbit) {
    NoObserver none;
    return fastLoop(params, orbit, none);
}

OrbitEnd generalOrbit(const EscapeParams& params, Orbit orbit, double pointMagnitude, bool track) {
    NoObserver none;
    return track ? generalLoop<true>(params, orbit, pointMagnitude, none)
                 : generalLoop<false>(params, orbit, pointMagnitude, none);
}

const StopTests& selectedTests(const EscapeParams& p) {
    const bool known = p.bailoutTest >= 0 && p.bailoutTest < kBailoutTestCount;
    return kStopTests[known ? p.bailoutTest : kBailoutMod];
}

std::int32_t stepsTaken(const EscapeParams& params, const OrbitEnd& end) {
    if (usesFastPath(params))
        return fastStartCounter(params) - end.remaining - 1;
    return end.remaining < 0 ? params.maxIter : params.maxIter - end.remaining;
}

bool usesFastPath(const EscapeParams& p) {
    return p.subtype == 0 && p.bailoutTest == kBailoutMod && p.testInfinity && !p.testFinite &&
           !p.testCycle && !p.biomorph && p.inside <= kInsideMagnitude;
}

double insideValue(const EscapeParams& params, const OrbitEnd& end) {
    const int rule = params.inside >= 0 && params.inside < static_cast<int>(std::size(kInsideRules))
                         ? params.inside
                         : kInsideBlack;
    return kInsideRules[rule](params, end);
}

Complex invertedPoint(const EscapeParams& params, Complex point) {
    if (params.inversion.enabled)
        params.inversion.apply(point.re, point.im);
    return point;
}

float orbitValue(const EscapeParams& params, const OrbitEnd& end, Complex point) {
    if (end.remaining < 0)
        return storableValue(insideValue(params, end), true);
    return storableValue(
        outsideValue(params.outside, end.remaining, end.z.re, end.z.im, point.re, point.im), false);
}

PixelKernel selectKernel(const EscapeParams& params) {
    if (usesFastPath(params))
        return fastKernel;
    return params.inside <= kInsideMagnitude ? generalKernel<false> : generalKernel<true>;
}

float storableValue(double value, bool inside) {
    const float v = toSingle(value);
    if (v == 0.0f || !std::isfinite(v))
        return inside ? kSubstituteInside : kSubstituteOutside;
    return v;
}

float pixelValue(const EscapeParams& params, double re, double im) {
    return selectKernel(params)(params, Complex{re, im});
}

} // namespace vortimax
