#include "render/escape/julia24_driver.h"

#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "render/escape/julia24_row_kernel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace vortimax {

namespace {

using Orbit = Julia24Orbit;

double squaredMagnitude(Complex z) {
    return z.re * z.re + z.im * z.im;
}

// One step of the derivative, then of z itself.
void step(bool cubic, Complex& z, Complex& dz, Complex c, Complex e) {
    const Complex square = z * z;
    if (cubic) {
        dz = Complex{3.0 * square.re, 3.0 * square.im} * dz + e;
        z = square * z + c;
    } else {
        dz = Complex{2.0 * z.re, 2.0 * z.im} * dz + e;
        z = square + c;
    }
}

void trackExtremes(Orbit& o, double magnitude, std::int32_t index) {
    if (magnitude > o.largest) {
        o.largest = magnitude;
        o.largestIndex = index;
    }
    if (magnitude < o.smallest) {
        o.smallest = magnitude;
        o.smallestIndex = index;
    }
}

// The general loop: the test looks at |z|^2 before the step, so an escaped orbit ends one
// step past the first value beyond the bailout. Extremes are those of the new values.
template <bool Track> Orbit generalOrbit(const Julia24Params& p, Complex point) {
    Orbit o;
    Complex c;
    julia24Start(p, point, o.z, c, o.dz);
    const Complex e{p.mandel ? 1.0 : 0.0, 0.0};
    for (std::int32_t i = 0; i < p.maxIter; ++i) {
        const double magnitude = squaredMagnitude(o.z);
        step(p.cubic, o.z, o.dz, c, e);
        if constexpr (Track)
            trackExtremes(o, squaredMagnitude(o.z), i);
        if (magnitude > p.bailout) {
            o.n = i;
            o.escapeMagnitude = magnitude;
            return o;
        }
    }
    o.n = p.maxIter;
    o.inside = true;
    return o;
}

// The tight z^2 + c loop of "CPM" with the black or magnitude inside rule: no derivative,
// the lagging test compares single-precision values, and the counter runs from
// MaxIter - 1 (at least 2) down; reaching 0 counts as inside.
Orbit fastOrbit(const Julia24Params& p, Complex point) {
    Orbit o;
    Complex c;
    julia24Start(p, point, o.z, c, o.dz);
    const float bailout = static_cast<float>(p.bailout);
    std::int32_t counter = std::max(p.maxIter - 1, 2);
    float magnitude = 0.0f;
    while (counter > 0) {
        magnitude = static_cast<float>(squaredMagnitude(o.z));
        o.z = o.z * o.z + c;
        --counter;
        if (bailout < magnitude)
            break;
    }
    o.n = static_cast<double>(p.maxIter) - counter;
    o.escapeMagnitude = magnitude;
    o.inside = counter == 0;
    return o;
}

// Continuous iteration count: n + 1 - log_k(log_k |z|), written with the degree k's
// root factor and logarithm.
struct CpmConstants {
    double rootFactor;
    double logDegree;
};
constexpr CpmConstants kCpmSquare{0.5, 0.69314718};
constexpr CpmConstants kCpmCube{0.333333333333333, 1.098612289};

double cpmValue(const Julia24Params& p, const Orbit& o) {
    const CpmConstants& k = p.cubic ? kCpmCube : kCpmSquare;
    const double logMagnitude = std::log(o.escapeMagnitude + 1e-07);
    return o.n + 1.0 - std::log(logMagnitude * k.rootFactor / k.logDegree) / k.logDegree;
}

// Distance estimate 2 |z| ln|z| / |dz|, shown as an angle so that it stays bounded.
double demValue(const Julia24Params&, const Orbit& o) {
    constexpr double kHuge = 1e308;
    const bool overflow = std::fabs(o.z.re) > kHuge || std::fabs(o.z.im) > kHuge ||
                          std::fabs(o.dz.re) > kHuge || std::fabs(o.dz.im) > kHuge;
    double estimate = 1e-22;
    if (!overflow) {
        const double modulus = std::sqrt(squaredMagnitude(o.z));
        estimate = 2.0 * modulus * std::log(modulus) / std::sqrt(squaredMagnitude(o.dz));
    }
    return std::atan(1.0 / estimate) * 100.0;
}

// The angle of the derivative in (-pi, pi], scaled down by 2^(n + 1).
double phaseValue(const Julia24Params&, const Orbit& o) {
    double angle = std::atan2(o.dz.im, o.dz.re);
    if (angle > kColourPi)
        angle -= kColourTwoPi;
    if (angle <= -kColourPi)
        angle += kColourTwoPi;
    return std::fabs(std::log(std::fabs(angle) / std::exp2(o.n + 1.0)));
}

using OutsideRule = double (*)(const Julia24Params&, const Orbit&);
constexpr std::array<OutsideRule, kOutside24Count> kOutsideRules = {cpmValue, demValue, phaseValue};

double blackInside(const Julia24Params&, const Orbit&) {
    return -1.0;
}
double magnitudeInside(const Julia24Params& p, const Orbit& o) {
    return -std::sqrt(squaredMagnitude(o.z)) * p.insideMult;
}
double supremumInside(const Julia24Params& p, const Orbit& o) {
    return -std::sqrt(o.largest) * 75.0 * p.insideMult;
}
double infimumInside(const Julia24Params& p, const Orbit& o) {
    return -std::sqrt(o.smallest) * 75.0 * p.insideMult;
}
double supIndexInside(const Julia24Params& p, const Orbit& o) {
    return -(o.largestIndex + 1.0) * p.insideMult;
}
double infIndexInside(const Julia24Params& p, const Orbit& o) {
    return -(o.smallestIndex + 1.0) * p.insideMult;
}

using InsideRule = double (*)(const Julia24Params&, const Orbit&);
constexpr std::array<InsideRule, kInside24Count> kInsideRules = {
    blackInside, magnitudeInside, supremumInside, infimumInside, supIndexInside, infIndexInside,
};

template <typename Table> auto ruleFor(const Table& table, int index) {
    const bool known = index >= 0 && static_cast<std::size_t>(index) < table.size();
    return known ? table[static_cast<std::size_t>(index)] : nullptr;
}

float insideValue(const Julia24Params& p, const Orbit& o) {
    const InsideRule rule = ruleFor(kInsideRules, p.inside);
    const float value = static_cast<float>(rule ? rule(p, o) : -1.0);
    return value == 0.0f || std::isnan(value) ? kInside24Fallback : value;
}

float outsideValue24(const Julia24Params& p, const Orbit& o) {
    const OutsideRule rule = ruleFor(kOutsideRules, p.outside);
    if (!rule)
        return -1.0f;
    const OutsideParams& dp = p.decomposition;
    const double d = dp.decomposition ? decompositionOffset(dp, o.z.re, o.z.im) : 0.0;
    const double raw = dp.decomposition && dp.coding > 0 ? d : rule(p, o) + d;
    const float value = static_cast<float>(raw);
    return value > 0.0f ? value : kOutside24Fallback;
}

Orbit runOrbit(const Julia24Params& p, Complex point) {
    if (julia24UsesFastLoop(p))
        return fastOrbit(p, point);
    return julia24TracksExtremes(p) ? generalOrbit<true>(p, point) : generalOrbit<false>(p, point);
}

} // namespace

bool julia24UsesFastLoop(const Julia24Params& p) {
    return p.outside == kOutside24Cpm && !p.cubic &&
           (p.inside == kInside24Black || p.inside == kInside24Magnitude);
}

bool julia24TracksExtremes(const Julia24Params& p) {
    return p.inside >= kInside24Supremum && p.inside < kInside24Count;
}

void julia24Start(const Julia24Params& p, Complex point, Complex& z, Complex& c, Complex& dz) {
    z = p.mandel ? p.constant : point;
    c = p.mandel ? point : p.constant;
    dz = Complex{p.mandel ? 0.0 : 1.0, 0.0};
}

float julia24OrbitValue(const Julia24Params& p, const Julia24Orbit& orbit) {
    return orbit.inside ? insideValue(p, orbit) : outsideValue24(p, orbit);
}

Julia24Params readJulia24Params(const FractalRecord& record) {
    const ConstBlockRef block = record.params();
    Julia24Params p;
    p.mandel = record.type == kTypeMandel24;
    p.cubic = record.subtype == 1;
    p.constant = Complex{block.bigFixed("Cr").toDouble(), block.bigFixed("Ci").toDouble()};
    p.maxIter = std::max(block.integer("MaxIter"), std::int32_t{1});
    p.bailout = block.real("Bailout");
    p.outside = block.integer("Outside");
    p.inside = block.integer("Inside");
    p.insideMult = block.real("Insidemult");
    p.passes = block.integer("Passes");
    p.decomposition = readOutsideParams(record);
    p.inversion = circleInversion(record);
    return p;
}

float julia24Value(const Julia24Params& params, Complex point) {
    if (params.inversion.enabled)
        params.inversion.apply(point.re, point.im);
    return julia24OrbitValue(params, runOrbit(params, point));
}

void calculateJulia24(FractalView& view, int x0, int y0, int x1, int y1) {
    const Julia24Params params = readJulia24Params(view.record());
    const ImageBuffers& buffers = view.buffers();
    const PixelMapping mapping =
        pixelMapping(view.record(), RasterSize{buffers.width, buffers.height});
    const int passes = passCount(params.passes, view.lastJob(), view.passLimit());
    runRowKernelPasses(view, PassRect{x0, y0, x1, y1}, passes,
                       [&] { return Julia24RowKernel(params, mapping); });
}

} // namespace vortimax
