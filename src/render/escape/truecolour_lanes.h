#pragma once

// The orbit loops of the true-colour Julia and Mandel types for many orbits side by side
// in vector registers. This header is included by the code compiled for each instruction
// set, so it holds declarations and plain data only (see fast_orbit_lanes.h).

#include <cstdint>

namespace vortimax {

// What every orbit of a calculation shares.
struct TrueColourShape {
    // The tight loop: no derivative, single-precision test, a counter from
    // max(MaxIter - 1, 2) down. Otherwise the loop with the derivative.
    bool fast = false;
    bool cubic = false;         // z^3 + c (never with `fast`)
    bool track = false;         // record the extremes of |z|^2 (never with `fast`)
    double derivativeAdd = 0.0; // the real number added to dz after each product
    std::int32_t maxIter = 1;   // at least 1
    double bailout = 4.0;       // for `fast`, already rounded to single precision
};

// Orbits of one row (or batch), in arrays the caller owns, one entry per orbit. In: z,
// dz (not read by the fast loop) and c; `ended` all 0. Out: the final z and dz and what
// the loop left: for the fast loop `count` is the counter and `magnitude` the last
// single-precision |z|^2; otherwise `count` is n (MaxIter for an orbit that stayed) and
// `magnitude` the |z|^2 that exceeded the bailout. `ended` becomes 1 for every orbit
// computed; orbits left when `mustStop` said stop keep 0.
struct TrueColourOrbits {
    TrueColourShape shape;
    int count = 0;
    double* zr = nullptr;
    double* zi = nullptr;
    double* dzr = nullptr;
    double* dzi = nullptr;
    const double* cr = nullptr;
    const double* ci = nullptr;
    double* counts = nullptr;
    double* magnitude = nullptr;
    std::uint8_t* ended = nullptr;
    // Filled only when shape.track is set.
    double* largest = nullptr;
    double* smallest = nullptr;
    std::int32_t* largestAt = nullptr;
    std::int32_t* smallestAt = nullptr;
    // Asked every `checkEvery` ended orbits when set; true ends the call.
    bool (*mustStop)(void* context) = nullptr;
    void* stopContext = nullptr;
    int checkEvery = 32;
};

// 3 x 4 lanes of AVX2 (2 x 4 for the derivative loop without tracking); call only when the
// processor has AVX2.
void trueColourOrbitsAvx2(TrueColourOrbits& orbits);

// 3 x 8 lanes of AVX-512 (F, DQ, VL), 2 x 8 for the derivative loop without tracking;
// call only when the processor has them.
void trueColourOrbitsAvx512(TrueColourOrbits& orbits);

} // namespace vortimax
