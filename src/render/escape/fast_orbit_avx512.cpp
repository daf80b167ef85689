// The fast loop on 8 lanes of AVX-512. Compiled with AVX-512 enabled for this file only;
// called only after the processor was checked.

#include "render/escape/fast_orbit_lanes.h"
#include "render/escape/fast_orbit_lanes_impl.h"
#include "render/escape/simd_avx512.h"

namespace vortimax {

void fastOrbitsAvx512(FastOrbits& orbits) {
    // The exact test keeps a running largest |z|^2 per vector: six vectors of state would
    // no longer fit in the registers.
    if (orbits.growthTest) {
        FastOrbitLanes<Avx512, 6, 32> lanes(orbits);
        lanes.run();
    } else {
        FastOrbitLanes<Avx512, 4, 16> lanes(orbits);
        lanes.run();
    }
}

} // namespace vortimax
