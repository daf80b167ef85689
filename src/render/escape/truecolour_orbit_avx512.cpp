// The true-colour orbit loops on 3 x 8 lanes of AVX-512 (2 x 8 for the derivative
// loop without tracking).
// Compiled with AVX-512 enabled for this file only; called only after the processor was
// checked.

#include "render/escape/simd_avx512.h"
#include "render/escape/truecolour_lanes.h"
#include "render/escape/truecolour_lanes_impl.h"

namespace vortimax {

void trueColourOrbitsAvx512(TrueColourOrbits& orbits) {
    TrueColourLanes<Avx512, 3, 2, 3> lanes(orbits);
    lanes.run();
}

} // namespace vortimax
