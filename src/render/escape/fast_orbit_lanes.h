#pragma once

// The fast z^2 + c loop for many orbits side by side in vector registers. This header is
// included by the code compiled for each instruction set, so it holds declarations and
// plain data only: an inline function defined here could be emitted with instructions
// the running processor lacks and then be picked by the linker for everyone.

#include <climits>
#include <cstdint>

namespace vortimax {

// `remaining` of an orbit that was not finished because the calculation was stopped.
constexpr std::int32_t kOrbitUnfinished = INT32_MIN;
// The command word is looked at whenever this many more orbits have ended,
constexpr int kOrbitsBetweenStopChecks = 32;
// and by the vector loops also after this many runs of their steps, so that orbits which
// take very long to end (a huge MaxIter) cannot hold a stop up.
constexpr int kRunsBetweenStopChecks = 256;

// Orbits of one row (or batch), in arrays the caller owns. In: the start z and c of each
// orbit, the shared start counter and escape threshold (see fastStartCounter and
// fastEscapeThreshold), `remaining` all kOrbitUnfinished. Out: the final z and the
// remaining-iteration counter of each orbit, exactly as fastOrbit gives them; orbits
// left when `mustStop` said stop keep kOrbitUnfinished.
struct FastOrbits {
    int count = 0;
    std::int32_t counter = 2;
    double threshold = 4.0;
    // Whether an orbit of this batch that passed the threshold once stays beyond it (or
    // overflows to infinity or NaN): then the vector code may test only every few steps
    // and find the exact step again (see keepsGrowing
    // in escape_batch.cpp).
    bool growthTest = false;
    double* zr = nullptr;
    double* zi = nullptr;
    double* cr = nullptr;
    double* ci = nullptr;
    std::int32_t* remaining = nullptr;
    // Room for `count` orbit numbers, for the vector code's own use (the scalar code
    // needs none).
    std::int32_t* scratch = nullptr;
    // Asked every kOrbitsBetweenStopChecks ended orbits when set; true ends the call.
    bool (*mustStop)(void* context) = nullptr;
    void* stopContext = nullptr;
};

// 4 lanes of 64 bits (AVX2); call only when the processor has AVX2.
void fastOrbitsAvx2(FastOrbits& orbits);

// 8 lanes of 64 bits (AVX-512 F, DQ, VL); call only when the processor has them.
void fastOrbitsAvx512(FastOrbits& orbits);

} // namespace vortimax
