// The general loop on 3 x 4 lanes of AVX2 (2 x 4 when tracking). Compiled with AVX2
// enabled for this file only; called only after the processor was checked.

#include "render/escape/general_orbit_lanes.h"
#include "render/escape/general_orbit_lanes_impl.h"
#include "render/escape/simd_avx2.h"

namespace vortimax {

void generalOrbitsAvx2(GeneralOrbits& orbits) {
    GeneralOrbitLanes<Avx2, 3, 2> lanes(orbits);
    lanes.run();
}

} // namespace vortimax
