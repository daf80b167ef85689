// Tests of the complex function library and FunctionTable.

#include "formula/complex.h"
#include "formula/complex_functions.h"
#include "formula/function_table.h"

#include <array>
#include <cfloat>
#include <climits>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <string_view>

namespace vortimax {
namespace {

using StdComplex = std::complex<double>;

constexpr double kLibraryPiValue = 3.1415926535;      // the library's decimal pi
constexpr double kLibraryHalfPiValue = 1.57079632675; // and pi/2

StdComplex toStd(Complex z) {
    return {z.re, z.im};
}

// |got - reference| <= ulps * DBL_EPSILON * |reference| (relative to the modulus, so a part
// that is tiny next to the other does not demand impossible relative accuracy).
::testing::AssertionResult nearRelative(Complex got, StdComplex reference, double ulps) {
    const double error = std::hypot(got.re - reference.real(), got.im - reference.imag());
    const double bound = ulps * DBL_EPSILON * std::abs(reference);
    if (error <= bound) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got (" << got.re << ", " << got.im << "), reference (" << reference.real() << ", "
           << reference.imag() << "), error " << error << " > " << bound;
}

::testing::AssertionResult nearAbsolute(Complex got, Complex expected, double tolerance) {
    const double error = std::hypot(got.re - expected.re, got.im - expected.im);
    if (error <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got (" << got.re << ", " << got.im << "), expected (" << expected.re << ", "
           << expected.im << "), error " << error << " > " << tolerance;
}

// Points away from poles, branch cuts and cancellation, one or more in every quadrant.
constexpr std::array<Complex, 6> kPoints{
    {{0.7, 1.3}, {-2.1, 0.4}, {3.0, -2.5}, {0.25, -0.6}, {-1.2, -0.9}, {1.1, 0.8}}};

// ---------------------------------------------------------------- arithmetic and constants

TEST(ComplexArithmetic, BasicOperations) {
    const Complex a{1.0, 2.0};
    const Complex b{3.0, 4.0};
    EXPECT_EQ(a + b, (Complex{4.0, 6.0}));
    EXPECT_EQ(a - b, (Complex{-2.0, -2.0}));
    EXPECT_EQ(-a, (Complex{-1.0, -2.0}));
    EXPECT_EQ(a * b, (Complex{-5.0, 10.0}));
    // a * conj(b) / |b|^2 = (1 + 2i)(3 - 4i) / 25 = (11 + 2i) / 25
    EXPECT_EQ(a / b, (Complex{11.0 / 25.0, 2.0 / 25.0}));
    EXPECT_NE(a, b);
}

TEST(ComplexArithmetic, DivisionIsConjugateProductOverSquaredModulus) {
    // Operands whose squared modulus overflows: a scaled division (as glibc's complex
    // division does) returns (1, 0); the library's plain formula gives inf/inf = NaN parts.
    const Complex big{1e200, 1e200};
    const Complex q = big / big;
    EXPECT_TRUE(std::isnan(q.re));
    EXPECT_TRUE(std::isnan(q.im));
    const StdComplex scaled = StdComplex{1e200, 1e200} / StdComplex{1e200, 1e200};
    EXPECT_EQ(scaled.real(), 1.0);
}

TEST(ComplexArithmetic, DivisionByZeroGivesInfinityOrNanWithoutStopping) {
    const Complex zeroQuotient = Complex{1.0, 1.0} / Complex{0.0, 0.0};
    EXPECT_TRUE(std::isnan(zeroQuotient.re));
    EXPECT_TRUE(std::isnan(zeroQuotient.im));
    // A denominator whose square underflows to 0: 1e-200 / 0 = +inf.
    const Complex tiny = Complex{1.0, 0.0} / Complex{1e-200, 0.0};
    EXPECT_TRUE(std::isinf(tiny.re));
    EXPECT_GT(tiny.re, 0.0);
    EXPECT_TRUE(std::isinf(complexRecip({1e-200, 0.0}).re));
    const Complex recipZero = complexRecip({0.0, 0.0});
    EXPECT_TRUE(std::isnan(recipZero.re));
    // Poles of the library functions: no crash, non-finite parts.
    EXPECT_TRUE(std::isnan(complexCotan({0.0, 0.0}).re));
    EXPECT_TRUE(std::isnan(complexCotanh({0.0, 0.0}).re));
    EXPECT_TRUE(std::isnan(complexAtanh({1.0, 0.0}).re));
    EXPECT_TRUE(std::isnan(complexAcoth({1.0, 0.0}).re));
    EXPECT_FALSE(std::isfinite(complexAtan({0.0, 1.0}).re) &&
                 std::isfinite(complexAtan({0.0, 1.0}).im));
}

TEST(ComplexFunctions, PiConstantsAreTheTruncatedDecimals) {
    EXPECT_EQ(kLibraryPi, 3.1415926535);
    EXPECT_EQ(kLibraryHalfPi, 1.57079632675);
}

// ---------------------------------------------------------------- edge cases

TEST(ComplexFunctions, SqrtOfNegativeRealIsZero) {
    EXPECT_EQ(complexSqrt({-4.0, 0.0}), (Complex{0.0, 0.0}));
    EXPECT_EQ(complexSqrt({-4.0, -0.0}), (Complex{0.0, 0.0}));
    // A tiny imaginary part switches to the general rule: r = 4, (sqrt(0), +sqrt(4)).
    EXPECT_EQ(complexSqrt({-4.0, 1e-300}), (Complex{0.0, 2.0}));
    EXPECT_EQ(complexSqrt({-4.0, -1e-300}), (Complex{0.0, -2.0}));
    EXPECT_EQ(complexSqrt({4.0, 0.0}), (Complex{2.0, 0.0}));
    EXPECT_EQ(complexSqrt({0.0, 0.0}), (Complex{0.0, 0.0}));
    // General rule: sqrt(3 + 4i) = 2 + i, sqrt(3 - 4i) = 2 - i (r = 5).
    EXPECT_EQ(complexSqrt({3.0, 4.0}), (Complex{2.0, 1.0}));
    EXPECT_EQ(complexSqrt({3.0, -4.0}), (Complex{2.0, -1.0}));
}

TEST(ComplexFunctions, SqrtRadicandsAreClampedAtZero) {
    // x^2 = 1e-320 is subnormal and rounded, so r = sqrt(x^2 + y^2) comes out slightly below
    // |x| = 1e-160 and (r - |x|)/2 is negative: taken as 0, not sqrt(negative) = NaN.
    const Complex positive = complexSqrt({1e-160, 1e-300});
    EXPECT_EQ(positive.im, 0.0);
    EXPECT_NEAR(positive.re, 1e-80, 1e-85);
    const Complex negative = complexSqrt({-1e-160, -1e-300});
    EXPECT_EQ(negative.re, 0.0);
    EXPECT_NEAR(negative.im, -1e-80, 1e-85);
}

TEST(ComplexFunctions, LogOfMinusOneIsMinusPi) {
    EXPECT_EQ(complexLog({-1.0, 0.0}), (Complex{0.0, -kLibraryPiValue}));
    EXPECT_EQ(complexLog({-1.0, -0.0}), (Complex{0.0, -kLibraryPiValue}));
}

TEST(ComplexFunctions, LogOfZeroHasRealPartMinusInfinity) {
    const Complex l = complexLog({0.0, 0.0});
    EXPECT_TRUE(std::isinf(l.re));
    EXPECT_LT(l.re, 0.0);
    EXPECT_EQ(l.im, 0.0);
}

TEST(ComplexFunctions, ArgQuadrantRules) {
    EXPECT_EQ(complexArg({0.0, 0.0}), (Complex{0.0, 0.0}));
    EXPECT_EQ(complexArg({2.0, 0.0}).re, 0.0);
    EXPECT_EQ(complexArg({1.0, 1.0}).re, std::atan(1.0));                     // x > 0
    EXPECT_EQ(complexArg({2.0, -3.0}).re, std::atan(-1.5));                   // x > 0
    EXPECT_EQ(complexArg({-1.0, 1.0}).re, std::atan(-1.0) + kLibraryPiValue); // x < 0, y > 0
    EXPECT_EQ(complexArg({-1.0, -1.0}).re, std::atan(1.0) - kLibraryPiValue); // x < 0, y < 0
    EXPECT_EQ(complexArg({-1.0, 0.0}).re, -kLibraryPiValue);                  // negative axis
    EXPECT_EQ(complexArg({-5.0, -0.0}).re, -kLibraryPiValue);                 // ... either zero
    EXPECT_EQ(complexArg({0.0, -2.0}).re, -kLibraryHalfPiValue);              // x = 0, y < 0
    EXPECT_EQ(complexArg({0.0, 2.0}).re, kLibraryHalfPiValue);                // x = 0, y > 0
    EXPECT_EQ(complexArg({-1.0, 1.0}).im, 0.0);
    // The log's imaginary part is the same theta.
    EXPECT_EQ(complexLog({-1.0, -1.0}).im, std::atan(1.0) - kLibraryPiValue);
    EXPECT_EQ(complexLog({0.0, 3.0}).im, kLibraryHalfPiValue);
}

TEST(ComplexFunctions, AbsAndSquaredModulus) {
    EXPECT_EQ(complexAbs({-1.0, -2.0}), (Complex{1.0, 2.0}));
    EXPECT_EQ(complexAbs({3.0, -4.0}), (Complex{3.0, 4.0}));
    EXPECT_EQ(complexCabs({3.0, 4.0}), (Complex{25.0, 0.0}));
    EXPECT_EQ(applyFunction(findFunction("abs"), {-1.0, -2.0}), (Complex{1.0, 2.0}));
    EXPECT_EQ(applyFunction(findFunction("cabs"), {3.0, 4.0}), (Complex{25.0, 0.0}));
}

TEST(ComplexFunctions, SimpleFunctions) {
    const Complex z{3.0, -4.0};
    EXPECT_EQ(complexSqr(z), (Complex{-7.0, -24.0}));
    EXPECT_EQ(complexConj(z), (Complex{3.0, 4.0}));
    EXPECT_EQ(complexReal(z), (Complex{3.0, 0.0}));
    EXPECT_EQ(complexImag(z), (Complex{-4.0, 0.0}));
    EXPECT_EQ(complexFlip(z), (Complex{-4.0, 3.0}));
    EXPECT_EQ(complexRecip(z), (Complex{3.0 / 25.0, 4.0 / 25.0}));
    EXPECT_EQ(complexIdent(z), z);
    EXPECT_EQ(complexZero(z), (Complex{0.0, 0.0}));
    EXPECT_EQ(complexExp({0.0, 0.0}), (Complex{1.0, 0.0}));
}

// ------------------------------------------------ forward functions against std::complex
//
// The library's definitions are algebraically the textbook identities that std::complex (glibc's
// csin, ccos, ctan, ...) evaluates: sin(x+iy) = sin x cosh y + i cos x sinh y, cos(x+iy) =
// cos x cosh y - i sin x sinh y, tan(x+iy) = (sin 2x + i sinh 2y)/(cos 2x + cosh 2y),
// cot z = 1/tan z = (sin 2x - i sinh 2y)/(cosh 2y - cos 2x), sinh/cosh likewise, tanh =
// sinh/cosh, coth z = 1/tanh z = (sinh 2x - i sin 2y)/(cosh 2x - cos 2y), exp, and the
// principal log and sqrt. Only rounding differs: at these points (no cancellation) a few ulps
// of the modulus.
constexpr double kUlps = 4.0;

TEST(ComplexFunctions, TrigonometricMatchStdComplex) {
    for (const Complex p : kPoints) {
        const StdComplex z = toStd(p);
        SCOPED_TRACE(testing::Message() << "z = (" << p.re << ", " << p.im << ")");
        EXPECT_TRUE(nearRelative(complexSin(p), std::sin(z), kUlps));
        EXPECT_TRUE(nearRelative(complexCos(p), std::cos(z), kUlps));
        EXPECT_TRUE(nearRelative(complexTan(p), std::tan(z), kUlps));
        EXPECT_TRUE(nearRelative(complexCotan(p), 1.0 / std::tan(z), kUlps));
    }
}

TEST(ComplexFunctions, HyperbolicMatchStdComplex) {
    for (const Complex p : kPoints) {
        const StdComplex z = toStd(p);
        SCOPED_TRACE(testing::Message() << "z = (" << p.re << ", " << p.im << ")");
        EXPECT_TRUE(nearRelative(complexSinh(p), std::sinh(z), kUlps));
        EXPECT_TRUE(nearRelative(complexCosh(p), std::cosh(z), kUlps));
        EXPECT_TRUE(nearRelative(complexTanh(p), std::tanh(z), kUlps));
        EXPECT_TRUE(nearRelative(complexCotanh(p), 1.0 / std::tanh(z), kUlps));
        EXPECT_TRUE(nearRelative(complexExp(p), std::exp(z), kUlps));
    }
}

TEST(ComplexFunctions, LogAndSqrtMatchStdComplex) {
    for (const Complex p : kPoints) {
        const StdComplex z = toStd(p);
        SCOPED_TRACE(testing::Message() << "z = (" << p.re << ", " << p.im << ")");
        EXPECT_TRUE(nearRelative(complexSqrt(p), std::sqrt(z), kUlps));
        if (p.re > 0.0) {
            EXPECT_TRUE(nearRelative(complexLog(p), std::log(z), kUlps));
        } else {
            // For x < 0 the angle is atan(y/x) +- 3.1415926535: about 9e-11 away from the
            // full-precision principal value.
            EXPECT_TRUE(
                nearAbsolute(complexLog(p), {std::log(z).real(), std::log(z).imag()}, 1e-10));
            EXPECT_NE(complexLog(p).im, std::log(z).imag());
        }
    }
}

// ------------------------------------------------------------------ inverse functions

TEST(ComplexFunctions, InverseFunctionsExactValues) {
    // atan(1): (i+1)/(i-1) = -i exactly, ln(-i) = (0, -pi/2), (i/2)(0, -pi/2) = (pi/4, 0).
    EXPECT_EQ(complexAtan({1.0, 0.0}), (Complex{kLibraryHalfPiValue * 0.5, 0.0}));
    // asin(2): sqrt(1 - 4) is sqrt of a negative real = 0, so asin(2) = -i ln(2i)
    // = (pi/2, -ln 2): the table's sqrt and ln with their branch rules.
    EXPECT_TRUE(
        nearAbsolute(complexAsin({2.0, 0.0}), {kLibraryHalfPiValue, -std::log(2.0)}, 1e-15));
    EXPECT_TRUE(nearAbsolute(complexAsin({0.5, 0.0}), {std::asin(0.5), 0.0}, 1e-15));
    EXPECT_TRUE(nearAbsolute(complexAsinh({1.0, 0.0}), {std::asinh(1.0), 0.0}, 1e-15));
    EXPECT_TRUE(nearAbsolute(complexAcosh({2.0, 0.0}), {std::acosh(2.0), 0.0}, 1e-15));
    EXPECT_TRUE(nearAbsolute(complexAtanh({0.5, 0.0}), {std::atanh(0.5), 0.0}, 1e-15));
    EXPECT_TRUE(nearAbsolute(complexAcoth({2.0, 0.0}), {std::atanh(0.5), 0.0}, 1e-15));
}

// forward(inverse(z)) = z holds whatever square root and logarithm branch the inverse picks.
// The tolerance allows for the decimal pi (about 9e-11 in the angle of ln).
TEST(ComplexFunctions, InverseFunctionsComposeWithForward) {
    constexpr double kTolerance = 1e-9;
    for (const Complex p : kPoints) {
        SCOPED_TRACE(testing::Message() << "z = (" << p.re << ", " << p.im << ")");
        EXPECT_TRUE(nearAbsolute(complexSin(complexAsin(p)), p, kTolerance));
        EXPECT_TRUE(nearAbsolute(complexCos(complexAcos(p)), p, kTolerance));
        EXPECT_TRUE(nearAbsolute(complexTan(complexAtan(p)), p, kTolerance));
        EXPECT_TRUE(nearAbsolute(complexCotan(complexAcot(p)), p, kTolerance));
        EXPECT_TRUE(nearAbsolute(complexSinh(complexAsinh(p)), p, kTolerance));
        EXPECT_TRUE(nearAbsolute(complexCosh(complexAcosh(p)), p, kTolerance));
        EXPECT_TRUE(nearAbsolute(complexTanh(complexAtanh(p)), p, kTolerance));
        EXPECT_TRUE(nearAbsolute(complexCotanh(complexAcoth(p)), p, kTolerance));
        EXPECT_TRUE(nearAbsolute(complexExp(complexLog(p)), p, kTolerance));
        EXPECT_TRUE(nearAbsolute(complexSqr(complexSqrt(p)), p, kTolerance));
    }
}

// In the open first quadrant every square root and logarithm in the definitions takes the
// principal branch (for acos: sqrt(z^2 - 1) and i sqrt(1 - z^2) are then both the root in
// the first quadrant), so the results are the principal values std::complex returns, up to
// the decimal pi.
TEST(ComplexFunctions, InverseFunctionsMatchPrincipalValuesInFirstQuadrant) {
    constexpr double kTolerance = 1e-9;
    constexpr std::array<Complex, 3> kFirstQuadrant{{{0.7, 1.3}, {1.1, 0.8}, {0.2, 0.3}}};
    auto same = [](Complex got, StdComplex reference) {
        return nearAbsolute(got, {reference.real(), reference.imag()}, kTolerance);
    };
    for (const Complex p : kFirstQuadrant) {
        const StdComplex z = toStd(p);
        SCOPED_TRACE(testing::Message() << "z = (" << p.re << ", " << p.im << ")");
        EXPECT_TRUE(same(complexAsin(p), std::asin(z)));
        EXPECT_TRUE(same(complexAcos(p), std::acos(z)));
        EXPECT_TRUE(same(complexAtan(p), std::atan(z)));
        EXPECT_TRUE(same(complexAcot(p), std::atan(1.0 / z)));
        EXPECT_TRUE(same(complexAsinh(p), std::asinh(z)));
        EXPECT_TRUE(same(complexAcosh(p), std::acosh(z)));
        EXPECT_TRUE(same(complexAtanh(p), std::atanh(z)));
        EXPECT_TRUE(same(complexAcoth(p), std::atanh(1.0 / z)));
    }
}

// ------------------------------------------------------------------------ FunctionTable

constexpr std::array<std::string_view, kFunctionCount> kExpectedNames{
    "sin",   "sinh",   "cosh", "exp",  "log",  "sqr",  "recip", "ident", "cos",   "tan",  "tanh",
    "cotan", "cotanh", "flip", "conj", "zero", "asin", "asinh", "acos",  "acosh", "atan", "atanh",
    "cabs",  "abs",    "sqrt", "real", "imag", "acot", "acoth", "arg",   "log10"};

TEST(FunctionTable, HasTheFileNamesInOrder) {
    ASSERT_EQ(functionTable().size(), 31u);
    ASSERT_EQ(kFunctionCount, 31);
    std::set<std::string, std::less<>> unique;
    for (int k = 0; k < kFunctionCount; ++k) {
        EXPECT_EQ(functionName(k), kExpectedNames[static_cast<std::size_t>(k)]) << "entry " << k;
        EXPECT_EQ(functionTable()[static_cast<std::size_t>(k)].name, functionName(k));
        EXPECT_NE(functionTable()[static_cast<std::size_t>(k)].function, nullptr);
        unique.insert(std::string(functionName(k)));
    }
    EXPECT_EQ(unique.size(), 31u);
}

// Each entry computes the function its name says (a point where they all differ).
TEST(FunctionTable, EntriesComputeTheirFunctions) {
    const Complex z{-0.6, -0.35};
    const std::array<Complex, kFunctionCount> expected{
        complexSin(z),    complexSinh(z),  complexCosh(z),  complexExp(z),
        complexLog(z),    complexSqr(z),   complexRecip(z), z,
        complexCos(z),    complexTan(z),   complexTanh(z),  complexCotan(z),
        complexCotanh(z), complexFlip(z),  complexConj(z),  Complex{0, 0},
        complexAsin(z),   complexAsinh(z), complexAcos(z),  complexAcosh(z),
        complexAtan(z),   complexAtanh(z), complexCabs(z),  complexAbs(z),
        complexSqrt(z),   complexReal(z),  complexImag(z),  complexAcot(z),
        complexAcoth(z),  complexArg(z),   complexLog(z)};
    for (int k = 0; k < kFunctionCount; ++k) {
        EXPECT_EQ(applyFunction(k, z), expected[static_cast<std::size_t>(k)]) << "entry " << k;
        EXPECT_EQ(functionPointer(k)(z), expected[static_cast<std::size_t>(k)]) << "entry " << k;
    }
    // Outputs differ between entries except for the two logarithm names.
    for (int a = 0; a < kFunctionCount; ++a) {
        for (int b = a + 1; b < kFunctionCount; ++b) {
            if (!(a == 4 && b == 30)) {
                EXPECT_NE(applyFunction(a, z), applyFunction(b, z)) << a << " vs " << b;
            }
        }
    }
}

TEST(FunctionTable, Log10IsTheNaturalLogarithm) {
    for (const Complex p : kPoints) {
        EXPECT_EQ(applyFunction(30, p), applyFunction(4, p));
        EXPECT_EQ(applyFunction(30, p), complexLog(p));
    }
    EXPECT_EQ(applyFunction(30, {100.0, 0.0}).re, std::log(100.0)); // not 2
    EXPECT_EQ(applyFunction(findFunction("log10"), {-1.0, 0.0}), (Complex{0.0, -kLibraryPiValue}));
}

TEST(FunctionTable, FindFunctionIgnoresAsciiCase) {
    for (int k = 0; k < kFunctionCount; ++k) {
        EXPECT_EQ(findFunction(functionName(k)), k);
    }
    EXPECT_EQ(findFunction("SIN"), 0);
    EXPECT_EQ(findFunction("Sinh"), 1);
    EXPECT_EQ(findFunction("LoG"), 4);
    EXPECT_EQ(findFunction("LOG10"), 30);
    EXPECT_EQ(findFunction("CABS"), 22);
    EXPECT_EQ(findFunction(""), -1);
    EXPECT_EQ(findFunction("si"), -1);
    EXPECT_EQ(findFunction("sine"), -1);
    EXPECT_EQ(findFunction("sin "), -1);
    EXPECT_EQ(findFunction("ln"), -1);
    EXPECT_EQ(findFunction(std::string_view("sin\0", 4)), -1);
    EXPECT_EQ(findFunction("\xD3IN"), -1); // an 8-bit byte is not folded
}

TEST(FunctionTable, OutOfRangeIndexIsSafe) {
    const Complex z{1.5, -2.5};
    for (const int index : {-1, 31, 32, 1000, INT_MIN, INT_MAX}) {
        EXPECT_EQ(applyFunction(index, z), z) << index;
        EXPECT_TRUE(functionName(index).empty()) << index;
        EXPECT_EQ(functionPointer(index)(z), z) << index;
    }
}

} // namespace
} // namespace vortimax
