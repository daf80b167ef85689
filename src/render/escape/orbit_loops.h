#pragma once

// The scalar escape-time loops, written once as templates over an observer that sees every
// step, so that a kernel which watches the orbit (the Tierazon filters) stops exactly where
// the plain kernel stops. The plain kernel's observer does nothing and compiles away.
// Include only from code built for the baseline instruction set (see fast_orbit_lanes.h).

#include "render/escape/escape_kernel.h"
#include "render/escape/subtype_steps.h"

#include <algorithm>
#include <limits>

namespace vortimax {

// An observer's step(z, previous) is called after every step of an orbit with the new z and
// the z before the step, before the stop tests look at it.
struct NoObserver {
    void step(Complex, Complex) {}
};

// The stop tests of one bailout test: `escaped` looks at the new z, `settled` at the
// difference to the previous z (finite attractor) or to the saved z (cycle).
struct StopTests {
    bool (*escaped)(const EscapeParams&, Complex z, double pointMagnitude);
    bool (*settled)(const EscapeParams&, Complex delta);
};

// The tests of the record's bailout test ("mod" for an unknown number).
const StopTests& selectedTests(const EscapeParams& params);

// Rounds to single precision the way the hardware does, without the undefined
// behaviour of converting a double beyond the float range: from 2^128 - 2^103 on, the
// nearest float is infinity.
inline float toSingle(double v) {
    constexpr double kOverflow = 0x1.ffffffp+127;
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    if (v >= kOverflow)
        return kInfinity;
    if (v <= -kOverflow)
        return -kInfinity;
    return static_cast<float>(v);
}

// The bailout as the fast loop compares it. A bailout beyond the float range would round
// to infinity, which no |z|^2 exceeds: every orbit would count as inside. The largest
// float keeps such orbits escaping.
inline float fastBailout(const EscapeParams& params) {
    return std::min(toSingle(params.bailout), std::numeric_limits<float>::max());
}

// The fast z^2 + c loop (see fastOrbit).
template <typename Observer>
OrbitEnd fastLoop(const EscapeParams& params, Orbit orbit, Observer& observer) {
    const float bailout = fastBailout(params);
    std::int32_t counter = fastStartCounter(params);
    double zr = orbit.z.re;
    double zi = orbit.z.im;
    const double cr = orbit.c.re;
    const double ci = orbit.c.im;
    for (;;) {
        const double pr = zr;
        const double pi = zi;
        const double zr2 = zr * zr;
        const double zi2 = zi * zi;
        const float magnitude = toSingle(zr2 + zi2);
        zi = 2.0 * zr * zi + ci;
        zr = zr2 - zi2 + cr;
        observer.step(Complex{zr, zi}, Complex{pr, pi});
        --counter;
        if (bailout < magnitude || counter == 0)
            break;
    }
    OrbitEnd end;
    end.z = {zr, zi};
    end.remaining = counter - 1;
    return end;
}

// The general loop with the selected stop tests (see generalOrbit); `Track` records the
// extrema.
template <bool Track, typename Observer>
OrbitEnd generalLoop(const EscapeParams& p, Orbit o, double pointMagnitude, Observer& observer) {
    const SubtypeStep step = subtypeStep(p.subtype);
    const StopTests& tests = selectedTests(p);
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
        if constexpr (Track)
            end.extrema.update(o.z, p.maxIter - remaining);
        observer.step(o.z, previous);
        if (p.testInfinity && tests.escaped(p, o.z, pointMagnitude))
            break;
        if (p.testFinite && tests.settled(p, o.z - previous))
            break;
        if (p.testCycle && remaining <= p.halfIter && tests.settled(p, o.z - saved))
            break;
    }
    end.z = o.z;
    end.remaining = remaining;
    return end;
}

} // namespace vortimax
