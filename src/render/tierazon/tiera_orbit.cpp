#include "render/tierazon/tiera_orbit.h"

#include "render/escape/escape_kernel.h"
#include "render/escape/subtype_steps.h"

#include <cmath>

namespace vortimax {

namespace {

struct FilterRun {
    const TieraParams& params;
    FilterState state;

    void step(Complex z, Complex previous) {
        updateFilter(*params.filter, params.constants, state, z, previous);
    }
};

// The escape-time fast loop (z^2 + c, the magnitude tested is that of z before the step)
// with the filter watching each step.
OrbitEnd fastTieraOrbit(const EscapeParams& p, Orbit orbit, FilterRun& filter) {
    const double threshold = fastEscapeThreshold(p);
    std::int32_t counter = fastStartCounter(p);
    Complex z = orbit.z;
    for (;;) {
        const double zr2 = z.re * z.re;
        const double zi2 = z.im * z.im;
        const double magnitude = zr2 + zi2;
        const Complex previous = z;
        z = Complex{zr2 - zi2 + orbit.c.re, 2.0 * previous.re * previous.im + orbit.c.im};
        filter.step(z, previous);
        --counter;
        if (magnitude >= threshold || counter == 0)
            break;
    }
    OrbitEnd end;
    end.z = z;
    end.remaining = counter - 1;
    return end;
}

// The escape-time general loop with the selected stop tests, tracking the extrema the
// inside rules need, with the filter watching each step.
OrbitEnd generalTieraOrbit(const EscapeParams& p, Orbit o, double pointMagnitude,
                           FilterRun& filter) {
    const SubtypeStep step = subtypeStep(p.subtype);
    OrbitEnd end;
    std::int32_t remaining = p.maxIter;
    Complex saved = o.z;
    for (;;) {
        if (--remaining < 0)
            break;
        const Complex previous = o.z;
        if (remaining == p.halfIter)
            saved = o.z;
        step(p, o);
        end.extrema.update(o.z, p.maxIter - remaining);
        filter.step(o.z, previous);
        if (p.testInfinity && escapedBeyond(p, o.z, pointMagnitude))
            break;
        if (p.testFinite && settledWithin(p, o.z - previous))
            break;
        if (p.testCycle && remaining <= p.halfIter && settledWithin(p, o.z - saved))
            break;
    }
    end.z = o.z;
    end.remaining = remaining;
    return end;
}

} // namespace

void tieraOrbit(const TieraParams& params, double re, double im, TieraResult& result) {
    const EscapeParams& p = params.escape;
    const Complex point = invertedPoint(p, Complex{re, im});
    const Orbit start = initOrbit(p, point);
    FilterRun filter{params, FilterState{}};
    filter.state.saved = start.z;
    const OrbitEnd end =
        usesFastPath(p)
            ? fastTieraOrbit(p, start, filter)
            : generalTieraOrbit(p, start, std::sqrt(point.re * point.re + point.im * point.im),
                                filter);
    result.z = end.z;
    result.saved = filter.state.saved;
    result.filter = params.filter->result(filter.state);
    result.iterations = filter.state.count;
    result.maxIter = p.maxIter;
    result.inside = end.remaining < 0;
    result.plainValue = orbitValue(p, end, point);
}

void tieraColour(const TieraParams& params, TieraResult& result) {
    applyColourMethod(*params.method, params.factors, result);
}

} // namespace vortimax
