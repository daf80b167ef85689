// The fast loop on 4 lanes of AVX2. Compiled with AVX2 enabled for this file only;
// called only after the processor was checked.

#include "render/escape/fast_orbit_lanes.h"
#include "render/escape/fast_orbit_lanes_impl.h"
#include "render/escape/simd_avx2.h"

namespace vortimax {

void fastOrbitsAvx2(FastOrbits& orbits) {
    FastOrbitLanes<Avx2, 3, 8> lanes(orbits);
    lanes.run();
}

} // namespace vortimax
