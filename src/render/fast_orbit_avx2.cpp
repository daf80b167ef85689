// The fast loop on 4 lanes of AVX2. Compiled with AVX2 enabled for this file only;
// called only after the processor was checked.

#include "render/fast_orbit_lanes.h"
#include "render/fast_orbit_lanes_impl.h"

#include <immintrin.h>

namespace vortimax {
namespace {

struct Avx2 {
    static constexpr int kWidth = 4;
    using Reg = __m256d;
    using Mask = __m256d;

    static Reg set(double v) { return _mm256_set1_pd(v); }
    static Reg load(const double* p) { return _mm256_load_pd(p); }
    static void store(double* p, Reg v) { _mm256_store_pd(p, v); }
    static Reg add(Reg a, Reg b) { return _mm256_add_pd(a, b); }
    static Reg sub(Reg a, Reg b) { return _mm256_sub_pd(a, b); }
    static Reg mul(Reg a, Reg b) { return _mm256_mul_pd(a, b); }
    static Reg max(Reg a, Reg b) { return _mm256_max_pd(a, b); }
    // Beyond the threshold during the block, or the counter runs out within it.
    static Mask ended(Reg largest, Reg threshold, Reg counter, Reg steps) {
        return _mm256_or_pd(_mm256_cmp_pd(largest, threshold, _CMP_GE_OQ),
                            _mm256_cmp_pd(counter, steps, _CMP_LE_OQ));
    }
    // Not below the threshold (NaN included) after the block, or the counter runs out.
    static Mask endedGrown(Reg last, Reg threshold, Reg counter, Reg steps) {
        return _mm256_or_pd(_mm256_cmp_pd(last, threshold, _CMP_NLT_UQ),
                            _mm256_cmp_pd(counter, steps, _CMP_LE_OQ));
    }
    static Reg keepWhere(Mask m, Reg old, Reg fresh) { return _mm256_blendv_pd(fresh, old, m); }
    static unsigned bits(Mask m) { return static_cast<unsigned>(_mm256_movemask_pd(m)); }
    static Mask maskOf(unsigned lanes) {
        const __m256i bit = _mm256_setr_epi64x(1, 2, 4, 8);
        const __m256i set = _mm256_and_si256(_mm256_set1_epi64x(lanes), bit);
        return _mm256_castsi256_pd(_mm256_cmpeq_epi64(set, bit));
    }
    static Mask both(Mask a, Mask b) { return _mm256_and_pd(a, b); }
    static Mask either(Mask a, Mask b) { return _mm256_or_pd(a, b); }
    static Mask butNot(Mask a, Mask b) { return _mm256_andnot_pd(b, a); }
    // a >= b, false when either is NaN; a == b.
    static Mask atLeast(Reg a, Reg b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
    static Mask equal(Reg a, Reg b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
};

} // namespace

void fastOrbitsAvx2(FastOrbits& orbits) {
    FastOrbitLanes<Avx2, 3, 8> lanes(orbits);
    lanes.run();
}

} // namespace vortimax
