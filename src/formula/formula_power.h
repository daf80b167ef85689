#pragma once

// The `^` operator of the formula language.

#include "formula/complex.h"

namespace vortimax {

// Largest |n| of a whole-number exponent computed by repeated multiplication; larger
// exponents take the general rule.
inline constexpr int kMaxRepeatedExponent = 64;

// a^b. The exponents (2, 0) and (3, 0) are tested first and give the exact square
// (a.re^2 - a.im^2, 2 a.re a.im) and cube (a^2 * a). For a = 0 the result is 1 when b = 0 and
// 0 otherwise. Other real whole-number exponents n with |n| <= kMaxRepeatedExponent multiply
// a by itself (a^0 = 1; a negative n gives the reciprocal of a^|n|); every other exponent
// gives exp(b * log a) with the function library's log (principal branch, arg in (-pi, pi]).
Complex formulaPower(Complex a, Complex b);

} // namespace vortimax
