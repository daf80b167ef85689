#pragma once

// The complex function library. One definition of every function serves the
// formula language, the fn1..fn4 parameters of formula fractals, Fn1/Fn2 of the
// Julia/Mandel/Tierazon subtypes, the bifurcation Function and the names in parameter files
// (through FunctionTable, function_table.h).
//
// Every function is pure. The definitions are exactly those of the function table, including
// its branch rules (sqrt of a negative real is 0; arg of the negative real axis is -pi) and
// its decimal pi. Where a definition multiplies by i, -i, i/2 or 1/2, or adds a real or
// imaginary constant, this is done component-wise ((a+ib)*i = -b+ia, ...): the same value as
// the general complex product wherever that is finite, without turning an infinite part into
// 0*inf = NaN. Quotients of two complex expressions are the complex division of complex.h.

#include "formula/complex.h"

#include <cmath>

namespace vortimax {

// pi and pi/2 as used throughout the library and by the formula word `pi`: these
// decimal values, not full-precision constants.
inline constexpr double kLibraryPi = 3.1415926535;
inline constexpr double kLibraryHalfPi = 1.57079632675;

// theta of `arg`: atan(y/x) for x > 0; atan(y/x) + pi for x < 0 and y > 0;
// atan(y/x) - pi for x < 0 and y <= 0 (so the negative real axis gives -pi); for x = 0:
// -pi/2 if y < 0, 0 if y = 0, pi/2 if y > 0. A NaN part gives NaN.
inline double complexArgAngle(double x, double y) {
    if (x > 0.0) {
        return std::atan(y / x);
    }
    if (x < 0.0) {
        return y > 0.0 ? std::atan(y / x) + kLibraryPi : std::atan(y / x) - kLibraryPi;
    }
    if (x == 0.0) {
        if (y < 0.0) {
            return -kLibraryHalfPi;
        }
        if (y > 0.0) {
            return kLibraryHalfPi;
        }
        return y == 0.0 ? 0.0 : y; // y NaN: NaN
    }
    return x; // x NaN
}

// --- trigonometric and hyperbolic functions (complex_functions.cpp) ---
Complex complexSin(Complex z);    // sin x cosh y + i cos x sinh y
Complex complexCos(Complex z);    // cos x cosh y - i sin x sinh y
Complex complexTan(Complex z);    // (sin 2x + i sinh 2y) / (cos 2x + cosh 2y)
Complex complexCotan(Complex z);  // (sin 2x - i sinh 2y) / (cosh 2y - cos 2x)
Complex complexSinh(Complex z);   // sinh x cos y + i cosh x sin y
Complex complexCosh(Complex z);   // cosh x cos y + i sinh x sin y
Complex complexTanh(Complex z);   // sinh(z) / cosh(z), complex division
Complex complexCotanh(Complex z); // (sinh 2x - i sin 2y) / (cosh 2x - cos 2y)
Complex complexExp(Complex z);    // e^x cos y + i e^x sin y
// cos x cosh y + i sin x sinh y: the cosine with the sign of its imaginary part turned,
// cos(conj z) conjugated. Older formula files use it under the word `cosxx`.
Complex complexCosxx(Complex z);

// --- logarithm, square root and the inverse functions (complex_functions.cpp) ---
// Natural logarithm, the formula words `ln` and `log` and table entries "log" and "log10":
// (1/2 ln(x^2 + y^2), theta) with theta as for arg. ln(0) has real part -inf.
Complex complexLog(Complex z);
// y = 0: (sqrt x, 0) for x >= 0 and (0, 0) for x < 0. Otherwise, r = sqrt(x^2 + y^2):
// (sqrt((r + x)/2), +-sqrt((r - x)/2)) with the sign of y, each radicand clamped at 0.
Complex complexSqrt(Complex z);
Complex complexAsin(Complex z);  // -i ln(i z + sqrt(1 - z^2))
Complex complexAcos(Complex z);  // -i ln(z + sqrt(z^2 - 1))
Complex complexAtan(Complex z);  // (i/2) ln((i + z) / (i - z))
Complex complexAcot(Complex z);  // (i/2) ln((z - i) / (z + i))
Complex complexAsinh(Complex z); // ln(z + sqrt(z^2 + 1))
Complex complexAcosh(Complex z); // ln(z + sqrt(z^2 - 1))
Complex complexAtanh(Complex z); // 1/2 ln((1 + z) / (1 - z))
Complex complexAcoth(Complex z); // 1/2 ln((z + 1) / (z - 1))

// --- simple functions, inline ---

// (theta, 0), theta as in complexArgAngle.
inline Complex complexArg(Complex z) {
    return {complexArgAngle(z.re, z.im), 0.0};
}

// |x| + i|y|: each part made positive (not the modulus).
inline Complex complexAbs(Complex z) {
    return {std::fabs(z.re), std::fabs(z.im)};
}

// (x^2 - y^2, 2xy)
constexpr Complex complexSqr(Complex z) {
    return {z.re * z.re - z.im * z.im, 2.0 * z.re * z.im};
}

// Squared modulus (x^2 + y^2, 0): table entry "cabs".
constexpr Complex complexCabs(Complex z) {
    return {z.re * z.re + z.im * z.im, 0.0};
}

// The modulus (sqrt(x^2 + y^2), 0): the formula word `cabs`. (Table entry "cabs" is the
// squared modulus, kept for the function parameters of parameter files.)
inline Complex complexModulus(Complex z) {
    return {std::sqrt(z.re * z.re + z.im * z.im), 0.0};
}

// Each part rounded to the nearest integer (halves away from zero), toward zero, down, up.
inline Complex complexRound(Complex z) {
    return {std::round(z.re), std::round(z.im)};
}
inline Complex complexTrunc(Complex z) {
    return {std::trunc(z.re), std::trunc(z.im)};
}
inline Complex complexFloor(Complex z) {
    return {std::floor(z.re), std::floor(z.im)};
}
inline Complex complexCeil(Complex z) {
    return {std::ceil(z.re), std::ceil(z.im)};
}

// 1/z = (x - iy) / (x^2 + y^2)
constexpr Complex complexRecip(Complex z) {
    const double denominator = z.re * z.re + z.im * z.im;
    return {z.re / denominator, -z.im / denominator};
}

constexpr Complex complexConj(Complex z) {
    return {z.re, -z.im};
}
constexpr Complex complexReal(Complex z) {
    return {z.re, 0.0};
}
constexpr Complex complexImag(Complex z) {
    return {z.im, 0.0};
}
constexpr Complex complexFlip(Complex z) {
    return {z.im, z.re};
}
constexpr Complex complexIdent(Complex z) {
    return z;
}
constexpr Complex complexZero(Complex) {
    return {0.0, 0.0};
}
constexpr Complex complexOne(Complex) {
    return {1.0, 0.0};
}

} // namespace vortimax
