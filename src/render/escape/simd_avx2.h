#pragma once

// Vector operations on 4 lanes of doubles in AVX2 registers, for the loops built with
// AVX2 enabled. Include it only from such a file: the struct has internal linkage, so no
// copy of it can reach code that runs without AVX2. No operation fuses a multiply and an
// add: every lane rounds exactly as the scalar code does.

#include <immintrin.h>

namespace vortimax {
namespace {

struct Avx2 {
    static constexpr int kWidth = 4;
    using Reg = __m256d;
    // All bits of a lane set for true, clear for false.
    using Mask = __m256d;

    static Reg set(double v) { return _mm256_set1_pd(v); }
    static Reg load(const double* p) { return _mm256_load_pd(p); }
    static void store(double* p, Reg v) { _mm256_store_pd(p, v); }
    static Reg add(Reg a, Reg b) { return _mm256_add_pd(a, b); }
    static Reg sub(Reg a, Reg b) { return _mm256_sub_pd(a, b); }
    static Reg mul(Reg a, Reg b) { return _mm256_mul_pd(a, b); }
    static Reg div(Reg a, Reg b) { return _mm256_div_pd(a, b); }
    static Reg sqrt(Reg a) { return _mm256_sqrt_pd(a); }
    static Reg max(Reg a, Reg b) { return _mm256_max_pd(a, b); }
    // Clears the sign bit, as std::fabs does.
    static Reg abs(Reg a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }

    // Ordered comparisons: false when either side is NaN.
    static Mask lt(Reg a, Reg b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
    static Mask le(Reg a, Reg b) { return _mm256_cmp_pd(a, b, _CMP_LE_OQ); }
    static Mask gt(Reg a, Reg b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
    static Mask eq(Reg a, Reg b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
    // True when either side is NaN.
    static Mask unordered(Reg a, Reg b) { return _mm256_cmp_pd(a, b, _CMP_UNORD_Q); }
    static Mask none() { return _mm256_setzero_pd(); }
    static Mask both(Mask a, Mask b) { return _mm256_and_pd(a, b); }
    static Mask either(Mask a, Mask b) { return _mm256_or_pd(a, b); }
    static bool any(Mask m) { return _mm256_movemask_pd(m) != 0; }
    static unsigned bits(Mask m) { return static_cast<unsigned>(_mm256_movemask_pd(m)); }
    // `fresh` where the mask is set, `old` elsewhere.
    static Reg select(Mask m, Reg fresh, Reg old) { return _mm256_blendv_pd(old, fresh, m); }

    // The fast loop's block end to run again step by step: beyond the threshold during
    // the block, or the counter runs out before its last step.
    static Mask ended(Reg largest, Reg threshold, Reg counter, Reg steps) {
        return _mm256_or_pd(_mm256_cmp_pd(largest, threshold, _CMP_GE_OQ),
                            _mm256_cmp_pd(counter, steps, _CMP_LT_OQ));
    }
    // Not below the threshold (NaN included) after the block, or the counter runs out
    // before its last step.
    static Mask endedGrown(Reg last, Reg threshold, Reg counter, Reg steps) {
        return _mm256_or_pd(_mm256_cmp_pd(last, threshold, _CMP_NLT_UQ),
                            _mm256_cmp_pd(counter, steps, _CMP_LT_OQ));
    }
    static Reg keepWhere(Mask m, Reg old, Reg fresh) { return _mm256_blendv_pd(fresh, old, m); }
    // The lanes whose bits are set in `lanes`.
    static Mask maskOf(unsigned lanes) {
        const __m256i bit = _mm256_setr_epi64x(1, 2, 4, 8);
        const __m256i set = _mm256_and_si256(_mm256_set1_epi64x(lanes), bit);
        return _mm256_castsi256_pd(_mm256_cmpeq_epi64(set, bit));
    }
    static Mask butNot(Mask a, Mask b) { return _mm256_andnot_pd(b, a); }
    // a >= b, false when either is NaN; a == b.
    static Mask atLeast(Reg a, Reg b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
    static Mask equal(Reg a, Reg b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
    // Each lane rounded to single precision (to nearest, as static_cast<float> does) and
    // widened back, exactly.
    static Reg roundToFloat(Reg a) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(a)); }
};

} // namespace
} // namespace vortimax
