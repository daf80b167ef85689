#pragma once

// The fast z^2 + c loop for many orbits side by side in vector registers. This header is
// included by the code compiled for each instruction set, so it holds declarations and
// plain data only: an inline function defined here could be emitted with instructions
// the running processor lacks and then be picked by the linker for everyone.

#include <cstdint>

namespace vortimax {

// Up to this many orbits go through one call (one pixel batch).
constexpr int kMaxFastOrbits = 64;

// Orbits of one batch. In: the start z and c of each orbit, the shared start counter and
// escape threshold (see fastStartCounter and fastEscapeThreshold). Out: the final z and
// the remaining-iteration counter of each orbit, exactly as fastOrbit gives them.
struct FastOrbits {
    int count = 0;
    std::int32_t counter = 2;
    double threshold = 4.0;
    // Whether an orbit of this batch that passed the threshold once stays beyond it (or
    // overflows to infinity or NaN): then the vector code may test only every few steps
    // and find the exact step again (see keepsGrowing
    // in escape_batch.cpp).
    bool growthTest = false;
    alignas(64) double zr[kMaxFastOrbits];
    alignas(64) double zi[kMaxFastOrbits];
    alignas(64) double cr[kMaxFastOrbits];
    alignas(64) double ci[kMaxFastOrbits];
    std::int32_t remaining[kMaxFastOrbits];
};

// 4 lanes of 64 bits (AVX2); call only when the processor has AVX2.
void fastOrbitsAvx2(FastOrbits& orbits);

// 8 lanes of 64 bits (AVX-512 F, DQ, VL); call only when the processor has them.
void fastOrbitsAvx512(FastOrbits& orbits);

} // namespace vortimax
