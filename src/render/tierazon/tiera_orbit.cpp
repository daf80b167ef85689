#include "render/tierazon/tiera_orbit.h"

#include "render/escape/escape_kernel.h"
#include "render/escape/orbit_loops.h"

#include <cmath>

namespace vortimax {

namespace {

// Lets the filter watch every step of the escape-time loop.
struct FilterRun {
    const TieraParams& params;
    FilterState state;

    void step(Complex z, Complex previous) {
        updateFilter(*params.filter, params.constants, state, z, previous);
    }
};

// The loop the escape-time kernel would take for this calculation (see selectKernel).
OrbitEnd watchedOrbit(const EscapeParams& p, Orbit start, Complex point, FilterRun& filter) {
    if (usesFastPath(p))
        return fastLoop(p, start, filter);
    const double r = std::sqrt(point.re * point.re + point.im * point.im);
    return p.inside <= kInsideMagnitude ? generalLoop<false>(p, start, r, filter)
                                        : generalLoop<true>(p, start, r, filter);
}

} // namespace

void tieraOrbit(const TieraParams& params, double re, double im, TieraResult& result) {
    const EscapeParams& p = params.escape;
    const Complex point = invertedPoint(p, Complex{re, im});
    const Orbit start = initOrbit(p, point);
    FilterRun filter{params, FilterState{}};
    filter.state.saved = start.z;
    const OrbitEnd end = watchedOrbit(p, start, point, filter);
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
