// The general loop on 3 x 8 lanes of AVX-512 (2 x 8 when tracking). Compiled with
// AVX-512 enabled for this file only; called only after the processor was checked.

#include "render/escape/general_orbit_lanes.h"
#include "render/escape/general_orbit_lanes_impl.h"
#include "render/escape/simd_avx512.h"

namespace vortimax {

void generalOrbitsAvx512(GeneralOrbits& orbits) {
    GeneralOrbitLanes<Avx512, 3, 2> lanes(orbits);
    lanes.run();
}

} // namespace vortimax
