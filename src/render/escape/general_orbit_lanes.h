#pragma once

// The general escape-time loop (every bailout test, the finite-attractor and cycle tests,
// the orbit extrema of the tracking inside rules) for many orbits side by side in vector
// registers, for the subtypes z^2 + c, z^3 + c, "Magnet 1" and "Magnet 2". This header is
// included by the code compiled for each instruction set, so it holds declarations and
// plain data only (see fast_orbit_lanes.h).

#include <cstdint>

namespace vortimax {

// The subtypes the vector loop computes (the step table's numbering).
enum class LaneSubtype : int { Square = 0, Cube = 1, Magnet1 = 3, Magnet2 = 4 };

// What every orbit of a calculation shares: the subtype, the stop tests and the counts
// of the general loop (see generalLoop in orbit_loops.h).
struct GeneralLoopShape {
    LaneSubtype subtype = LaneSubtype::Square;
    int bailoutTest = 0; // 0 ... kBailoutTestCount - 1
    bool testInfinity = true;
    bool testFinite = false;
    bool testCycle = false;
    // Whether the largest and smallest |z|^2 and their iterations are recorded.
    bool track = false;
    std::int32_t maxIter = 1; // at least 1
    std::int32_t halfIter = 0;
    double bailout = 4.0;
    double bailin = 0.0;
    double bailoutVar = 1.0;
};

// Per-orbit values a step uses besides z: (cr, ci) for z^2 + c, z^3 + c and "Magnet 1";
// the three complex numbers of magnet2Constants, real part first, for "Magnet 2". They
// are computed by the caller: code built for a vector instruction set may turn scalar
// arithmetic into fused multiply-adds on its own.
constexpr int kLaneConstants = 6;

// Orbits of one row (or batch), in arrays the caller owns. In: the start z, the step
// constants (kLaneConstants per orbit, one orbit after the other) and, for "P-Ring" only,
// |p| of the point of each orbit, `remaining` all kOrbitUnfinished. Out: the
// final z, the remaining-iteration counter and, when tracking, the extrema of each orbit,
// exactly as generalOrbit gives them; orbits left when `mustStop` said stop keep
// kOrbitUnfinished (see fast_orbit_lanes.h).
struct GeneralOrbits {
    GeneralLoopShape shape;
    int count = 0;
    double* zr = nullptr;
    double* zi = nullptr;
    const double* constants = nullptr;
    const double* pointMagnitude = nullptr;
    std::int32_t* remaining = nullptr;
    // Filled only when shape.track is set.
    double* largest = nullptr;
    double* smallest = nullptr;
    std::int32_t* largestAt = nullptr;
    std::int32_t* smallestAt = nullptr;
    // Asked every kOrbitsBetweenStopChecks ended orbits when set; true ends the call.
    bool (*mustStop)(void* context) = nullptr;
    void* stopContext = nullptr;
};

// 3 x 4 lanes of AVX2 (2 x 4 when tracking); call only when the processor has AVX2.
void generalOrbitsAvx2(GeneralOrbits& orbits);

// 3 x 8 lanes of AVX-512 (F, DQ, VL), 2 x 8 when tracking; call only when the processor
// has them.
void generalOrbitsAvx512(GeneralOrbits& orbits);

} // namespace vortimax
