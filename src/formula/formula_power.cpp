#include "formula/formula_power.h"

#include "formula/complex_functions.h"

#include <cmath>

namespace vortimax {

namespace {

bool isZero(Complex a) {
    return a.re == 0.0 && a.im == 0.0;
}

// a^n for n >= 0, multiplying from a itself (not from 1, which would turn an infinite part
// into 0 * inf = NaN).
Complex repeatedProduct(Complex a, int n) {
    if (n == 0) {
        return {1.0, 0.0};
    }
    Complex result = a;
    for (int i = 1; i < n; ++i) {
        result = result * a;
    }
    return result;
}

bool isSmallWholeNumber(Complex b) {
    return b.im == 0.0 && std::fabs(b.re) <= kMaxRepeatedExponent && b.re == std::trunc(b.re);
}

} // namespace

Complex formulaPower(Complex a, Complex b) {
    if (b.im == 0.0 && b.re == 2.0) {
        return complexSqr(a);
    }
    if (b.im == 0.0 && b.re == 3.0) {
        return complexSqr(a) * a;
    }
    if (isZero(a)) {
        return isZero(b) ? Complex{1.0, 0.0} : Complex{0.0, 0.0};
    }
    if (isSmallWholeNumber(b)) {
        const int n = static_cast<int>(b.re);
        const Complex power = repeatedProduct(a, n < 0 ? -n : n);
        return n < 0 ? complexRecip(power) : power;
    }
    return complexExp(b * complexLog(a));
}

} // namespace vortimax
