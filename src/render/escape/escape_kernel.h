#pragma once

#include "formula/complex.h"
#include "render/escape/escape_params.h"
#include "render/escape/subtype_steps.h"

#include <cmath>
#include <cstdint>

namespace vortimax {

// A computed pixel value is never 0.0 (that marks "not yet computed") and never NaN. An
// escaped pixel whose value would be 0.0, NaN or infinite (after rounding to float) gets
// kSubstituteOutside; an inside pixel gets kSubstituteInside. Both colour like the 0.0
// the colouring would otherwise have seen.
constexpr float kSubstituteOutside = 0.0001f;
constexpr float kSubstituteInside = -0.0001f;

// Largest and smallest |z|^2 of an orbit and the iteration numbers where they first
// occurred (tracking kernel only).
struct OrbitExtrema {
    double largest = 0.0;
    double smallest = 0.0;
    std::int32_t largestAt = 0;
    std::int32_t smallestAt = 0;
    bool seen = false;

    void update(Complex z, std::int32_t iteration) {
        const double m = z.re * z.re + z.im * z.im;
        if (!seen || m > largest) {
            largest = m;
            largestAt = iteration;
        }
        if (!seen || m < smallest) {
            smallest = m;
            smallestAt = iteration;
        }
        seen = seen || !std::isnan(m);
    }
};

// How an orbit ended: the final z and the remaining-iteration counter, negative when the
// orbit stayed inside.
struct OrbitEnd {
    Complex z{0.0, 0.0};
    std::int32_t remaining = -1;
    OrbitExtrema extrema;
};

// The z^2 + c loop for "mod" with only the infinity test: the counter starts at
// MaxIter - 1 (at least 2); the single-precision |z|^2 tested against the bailout is that
// of z before the step just taken, so the orbit leaves one step past its first iterate
// beyond the bailout. remaining = counter - 1.
OrbitEnd fastOrbit(const EscapeParams& params, Orbit orbit);

// The counter the fast loop starts with: MaxIter - 1, at least 2.
std::int32_t fastStartCounter(const EscapeParams& params);

// The smallest |z|^2 (in double precision) whose single-precision rounding the fast loop
// counts as beyond the bailout, so that vector code can test m >= threshold instead of
// rounding every magnitude. NaN when no magnitude is ever beyond (a NaN bailout).
double fastEscapeThreshold(const EscapeParams& params);

// The general loop with the selected stop tests; `track` also records the extrema.
// `pointMagnitude` is |p|, used by the "P-Ring" test.
OrbitEnd generalOrbit(const EscapeParams& params, Orbit orbit, double pointMagnitude, bool track);

// The number of steps an orbit that ended as `end` took: the fast loop counts down from
// fastStartCounter, the general loop from MaxIter (all of them for an orbit that stayed
// inside).
std::int32_t stepsTaken(const EscapeParams& params, const OrbitEnd& end);

// Whether the calculation takes the fast loop.
bool usesFastPath(const EscapeParams& params);

// A value as the value buffer stores it: 0.0, NaN and infinities become the substitutes.
float storableValue(double value, bool inside);

// The value of an inside orbit by the inside rule (before the non-zero substitution).
double insideValue(const EscapeParams& params, const OrbitEnd& end);

// The point after circle inversion (unchanged when inversion is off).
Complex invertedPoint(const EscapeParams& params, Complex point);

// The stored value of an orbit that ended as `end` for the (inverted) point `point`.
float orbitValue(const EscapeParams& params, const OrbitEnd& end, Complex point);

// One pixel's value at the point `point` (before circle inversion).
using PixelKernel = float (*)(const EscapeParams& params, Complex point);

// The kernel for a calculation: the fast loop, the plain general loop for the inside
// rules "Black" and "Magnitude", or the tracking loop for the others.
PixelKernel selectKernel(const EscapeParams& params);

// selectKernel(params)(params, {re, im}).
float pixelValue(const EscapeParams& params, double re, double im);

} // namespace vortimax
