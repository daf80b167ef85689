#pragma once

// Vector operations on 8 lanes of doubles in AVX-512 registers (F, DQ, VL), for the loops
// built with AVX-512 enabled. Include it only from such a file: the struct has internal
// linkage, so no copy of it can reach code that runs without AVX-512. No operation fuses
// a multiply and an add: every lane rounds exactly as the scalar code does.

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
    static Reg div(Reg a, Reg b) { return _mm512_div_pd(a, b); }
    // sqrt and max in the masked form with every lane set: the plain ones trip GCC 12's
    // uninitialised warning inside its header.
    static Reg sqrt(Reg a) { return _mm512_mask_sqrt_pd(a, 0xff, a); }
    static Reg max(Reg a, Reg b) { return _mm512_mask_max_pd(b, 0xff, a, b); }
    // Clears the sign bit, as std::fabs does.
    static Reg abs(Reg a) { return _mm512_abs_pd(a); }

    // Ordered comparisons: false when either side is NaN.
    static Mask lt(Reg a, Reg b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
    static Mask le(Reg a, Reg b) { return _mm512_cmp_pd_mask(a, b, _CMP_LE_OQ); }
    static Mask gt(Reg a, Reg b) { return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ); }
    static Mask eq(Reg a, Reg b) { return _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ); }
    // True when either side is NaN.
    static Mask unordered(Reg a, Reg b) { return _mm512_cmp_pd_mask(a, b, _CMP_UNORD_Q); }
    static Mask none() { return 0; }
    static Mask both(Mask a, Mask b) { return a & b; }
    static Mask either(Mask a, Mask b) { return a | b; }
    static bool any(Mask m) { return m != 0; }
    static unsigned bits(Mask m) { return m; }
    // `fresh` where the mask is set, `old` elsewhere.
    static Reg select(Mask m, Reg fresh, Reg old) { return _mm512_mask_blend_pd(m, old, fresh); }

    // The fast loop's block end to run again step by step: beyond the threshold during
    // the block, or the counter runs out before its last step.
    static Mask ended(Reg largest, Reg threshold, Reg counter, Reg steps) {
        return _mm512_cmp_pd_mask(largest, threshold, _CMP_GE_OQ) |
               _mm512_cmp_pd_mask(counter, steps, _CMP_LT_OQ);
    }
    // Not below the threshold (NaN included) after the block, or the counter runs out
    // before its last step.
    static Mask endedGrown(Reg last, Reg threshold, Reg counter, Reg steps) {
        return _mm512_cmp_pd_mask(last, threshold, _CMP_NLT_UQ) |
               _mm512_cmp_pd_mask(counter, steps, _CMP_LT_OQ);
    }
    static Reg keepWhere(Mask m, Reg old, Reg fresh) { return _mm512_mask_blend_pd(m, fresh, old); }
    // The lanes whose bits are set in `lanes`.
    static Mask maskOf(unsigned lanes) { return static_cast<Mask>(lanes); }
    static Mask butNot(Mask a, Mask b) { return static_cast<Mask>(a & ~b); }
    // a >= b, false when either is NaN; a == b.
    static Mask atLeast(Reg a, Reg b) { return _mm512_cmp_pd_mask(a, b, _CMP_GE_OQ); }
    static Mask equal(Reg a, Reg b) { return _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ); }
    // Each lane rounded to single precision (to nearest, as static_cast<float> does) and
    // widened back, exactly. Zero-masked forms with every lane set, for the same reason
    // as sqrt.
    static Reg roundToFloat(Reg a) {
        return _mm512_maskz_cvtps_pd(0xff, _mm512_maskz_cvtpd_ps(0xff, a));
    }
};

} // namespace
} // namespace vortimax
