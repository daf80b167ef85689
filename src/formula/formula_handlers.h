#pragma once

// The handler table of the evaluator: one function per token code.

#include "formula/formula_eval.h"
#include "formula/formula_token_codes.h"

#include <array>

namespace vortimax {

// Operand handlers push a value (the accumulator goes onto the stack, the value into the
// accumulator); two-operand operators combine the value below the accumulator (left) with
// the accumulator (right); functions work on the accumulator in place. Codes without a
// meaning at run time (brackets, `=`, unused codes) do nothing.
using TokenHandler = void (*)(EvalContext&);

const std::array<TokenHandler, kTokenCodeCount>& tokenHandlers();

// The operators with their own rules, for direct use and tests. Comparisons and logical
// operators look at real parts only and keep b's imaginary part.
Complex formulaEqual(Complex a, Complex b);    // 1 if |a.re - b.re| < 1e-11
Complex formulaNotEqual(Complex a, Complex b); // 1 if |a.re - b.re| > 1e-11
Complex formulaLess(Complex a, Complex b);
Complex formulaGreater(Complex a, Complex b);
Complex formulaLessEqual(Complex a, Complex b);
Complex formulaGreaterEqual(Complex a, Complex b);
Complex formulaAnd(Complex a, Complex b); // a.re * b.re
Complex formulaOr(Complex a, Complex b);  // 1 if a.re or b.re is non-zero
Complex formulaNot(Complex x);            // 1 if x.re is 0, else 0; imaginary part kept

// The seed `srand` sets: x truncated toward zero to a 32-bit integer; NaN and values out of
// the 32-bit range give 0x80000000.
std::uint32_t formulaSeedFrom(double x);

} // namespace vortimax
