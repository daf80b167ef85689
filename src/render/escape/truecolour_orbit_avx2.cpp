// The true-colour orbit loops on 3 x 4 lanes of AVX2 (2 x 4 for the derivative loop
// without tracking).
// Compiled with AVX2 enabled for this file only; called only after the processor was
// checked.

#include "render/escape/simd_avx2.h"
#include "render/escape/truecolour_lanes.h"
#include "render/escape/truecolour_lanes_impl.h"

namespace vortimax {

void trueColourOrbitsAvx2(TrueColourOrbits& orbits) {
    TrueColourLanes<Avx2, 3, 2, 3> lanes(orbits);
    lanes.run();
}

} // namespace vortimax
