// The fast loop on 8 lanes of AVX-512. Compiled with AVX-512 enabled for this file only;
// called only after the processor was checked.

#include "render/fast_orbit_lanes.h"
#include "render/fast_orbit_lanes_impl.h"

#include <immintrin.h>

namespace vortimax {
namespace {

struct Avx512 {
    static constexpr int kWidth = 8;
    using Reg = __m512d;
    using Mask = __mmask8;

    static Reg set(double v) { return _mm512_set1_pd(v); }
    static Reg load(const double* p) { return _mm512_load_pd(p); }
    static void store(double* p, Reg v) { _mm512_store_pd(p, v); }
    static Reg add(Reg a, Reg b) { return _mm512_add_pd(a, b); }
    static Reg sub(Reg a, Reg b) { return _mm512_sub_pd(a, b); }
    static Reg mul(Reg a, Reg b) { return _mm512_mul_pd(a, b); }
    // The masked form with every lane set: the plain one trips GCC 12's uninitialised
    // warning inside its header.
    static Reg max(Reg a, Reg b) { return _mm512_mask_max_pd(b, 0xff, a, b); }
    // Beyond the threshold during the block, or the counter runs out within it.
    static Mask ended(Reg largest, Reg threshold, Reg counter, Reg steps) {
        return _mm512_cmp_pd_mask(largest, threshold, _CMP_GE_OQ) |
               _mm512_cmp_pd_mask(counter, steps, _CMP_LE_OQ);
    }
    // Not below the threshold (NaN included) after the block, or the counter runs out.
    static Mask endedGrown(Reg last, Reg threshold, Reg counter, Reg steps) {
        return _mm512_cmp_pd_mask(last, threshold, _CMP_NLT_UQ) |
               _mm512_cmp_pd_mask(counter, steps, _CMP_LE_OQ);
    }
    static Reg keepWhere(Mask m, Reg old, Reg fresh) { return _mm512_mask_blend_pd(m, fresh, old); }
    static unsigned bits(Mask m) { return m; }
    static Mask maskOf(unsigned lanes) { return static_cast<Mask>(lanes); }
    static Mask both(Mask a, Mask b) { return a & b; }
    static Mask either(Mask a, Mask b) { return a | b; }
    static Mask butNot(Mask a, Mask b) { return static_cast<Mask>(a & ~b); }
    // a >= b, false when either is NaN; a == b.
    static Mask atLeast(Reg a, Reg b) { return _mm512_cmp_pd_mask(a, b, _CMP_GE_OQ); }
    static Mask equal(Reg a, Reg b) { return _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ); }
};

} // namespace

void fastOrbitsAvx512(FastOrbits& orbits) {
    // The exact test keeps a running largest |z|^2 per vector: six vectors of state would
    // no longer fit in the registers.
    if (orbits.growthTest) {
        FastOrbitLanes<Avx512, 6, 16> lanes(orbits);
        lanes.run();
    } else {
        FastOrbitLanes<Avx512, 4, 16> lanes(orbits);
        lanes.run();
    }
}

} // namespace vortimax
