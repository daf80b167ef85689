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
#include <string_view>
#include <tuple>

namespace vortimax {
namespace {

using StdComplex = std::complex<double>;
using StdFunction = StdComplex (*)(StdComplex);
using namespace std::string_view_literals;

// The library's decimal pi and pi/2, written out so that a switch to full precision shows.
constexpr double kPi = 3.1415926535;
constexpr double kHalfPi = 1.57079632675;

double distance(Complex a, Complex b) {
    return std::hypot(a.re - b.re, a.im - b.im);
}

Complex apply(std::string_view name, Complex z) {
    return applyFunction(findFunction(name), z);
}

// Points away from poles, branch cuts and cancellation, in every quadrant.
constexpr std::array<Complex, 7> kPoints{
    {{0.7, 1.3}, {-2.1, 0.4}, {3.0, -2.5}, {0.25, -0.6}, {-1.2, -0.9}, {1.1, 0.8}, {0.2, 0.3}}};

TEST(ComplexArithmetic, PlainFormulasWithNonFiniteResultsAtPoles) {
    const Complex a{1.0, 2.0};
    const Complex b{3.0, 4.0};
    EXPECT_EQ((std::array{a + b, a - b, -a, a * b, a / b}),
              (std::array<Complex, 5>{
                  {{4.0, 6.0}, {-2.0, -2.0}, {-1.0, -2.0}, {-5.0, 10.0}, {0.44, 0.08}}}));
    // No scaling: the squared modulus overflows and both parts are inf/inf = NaN, not (1, 0).
    const Complex q = Complex{1e200, 1e200} / Complex{1e200, 1e200};
    EXPECT_TRUE(std::isnan(q.re) && std::isnan(q.im));
    // Division by zero and the poles of the library give NaN or inf and never trap.
    for (const Complex v :
         {Complex{1.0, 1.0} / Complex{0.0, 0.0}, complexRecip({0.0, 0.0}), complexCotan({0.0, 0.0}),
          complexCotanh({0.0, 0.0}), complexAtanh({1.0, 0.0}), complexAcoth({1.0, 0.0}),
          complexAtan({0.0, 1.0})}) {
        EXPECT_TRUE(std::isnan(v.re));
    }
    // The denominator's square underflows to 0: 1 / 1e-200 = +inf.
    EXPECT_EQ((Complex{1.0, 0.0} / Complex{1e-200, 0.0}).re, HUGE_VAL);
    EXPECT_EQ(complexRecip({1e-200, 0.0}).re, HUGE_VAL);
}

TEST(ComplexFunctions, SqrtBranchRules) {
    // A negative real gives 0; any nonzero imaginary part, however tiny, the general rule.
    const std::pair<Complex, Complex> cases[] = {
        {{-4.0, 0.0}, {0.0, 0.0}},      {{-4.0, -0.0}, {0.0, 0.0}}, {{-4.0, 1e-300}, {0.0, 2.0}},
        {{-4.0, -1e-300}, {0.0, -2.0}}, {{4.0, 0.0}, {2.0, 0.0}},   {{0.0, 0.0}, {0.0, 0.0}}};
    for (const auto& [z, expected] : cases) {
        EXPECT_EQ(complexSqrt(z), expected) << z.re << ", " << z.im;
    }
    // x^2 is subnormal and rounded, so r < |x|: the radicand (r - |x|)/2 is taken as 0, not NaN.
    const Complex positive = complexSqrt({1e-160, 1e-300});
    EXPECT_EQ(positive.im, 0.0);
    EXPECT_NEAR(positive.re, 1e-80, 1e-85);
    const Complex negative = complexSqrt({-1e-160, -1e-300});
    EXPECT_EQ(negative.re, 0.0);
    EXPECT_NEAR(negative.im, -1e-80, 1e-85);
}

TEST(ComplexFunctions, ArgAndLogAngleFollowTheQuadrantRules) {
    // The negative real axis gives -pi, with either sign of zero.
    const Complex z[] = {{0.0, 0.0},   {2.0, 0.0},  {1.0, 1.0},   {2.0, -3.0}, {-1.0, 1.0},
                         {-1.0, -1.0}, {-1.0, 0.0}, {-5.0, -0.0}, {0.0, -2.0}, {0.0, 2.0}};
    const double q = std::atan(1.0);
    const double theta[] = {0.0,     0.0,  q,    std::atan(-1.5), -q + kPi,
                            q - kPi, -kPi, -kPi, -kHalfPi,        kHalfPi};
    for (std::size_t i = 0; i < std::size(z); ++i) {
        EXPECT_EQ(complexArg(z[i]), (Complex{theta[i], 0.0})) << i;
        EXPECT_EQ(complexLog(z[i]).im, theta[i]) << i;
    }
    EXPECT_EQ(complexLog({-1.0, 0.0}), (Complex{0.0, -kPi}));
    EXPECT_EQ(complexLog({0.0, 0.0}).re, -HUGE_VAL);
}

// Called by name, so that a name paired with the wrong function shows.
TEST(ComplexFunctions, SimpleFunctions) {
    // abs makes each part positive; cabs is the squared modulus.
    const std::pair<std::string_view, Complex> cases[] = {
        {"sqr", {-7.0, 24.0}},
        {"conj", {-3.0, 4.0}},
        {"real", {-3.0, 0.0}},
        {"imag", {-4.0, 0.0}},
        {"flip", {-4.0, -3.0}},
        {"ident", {-3.0, -4.0}},
        {"zero", {0.0, 0.0}},
        {"recip", {-0.12, 0.16}},
        {"abs", {3.0, 4.0}},
        {"cabs", {25.0, 0.0}},
        {"arg", {std::atan(4.0 / 3.0) - kPi, 0.0}}};
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(apply(name, {-3.0, -4.0}), expected) << name;
    }
}

// The forward definitions are the textbook identities std::complex evaluates, so only rounding
// differs: a few ulps of the modulus at these points (the log's angle carries the decimal pi,
// about 9e-11 off for x < 0). In the open first quadrant every root and logarithm in the
// inverse definitions is on its principal branch: std::complex's values up to the decimal pi.
TEST(ComplexFunctions, MatchStdComplex) {
    const std::tuple<std::string_view, StdFunction, bool> cases[] = {
        {"sin", [](StdComplex z) { return std::sin(z); }, false},
        {"cos", [](StdComplex z) { return std::cos(z); }, false},
        {"tan", [](StdComplex z) { return std::tan(z); }, false},
        {"cotan", [](StdComplex z) { return 1.0 / std::tan(z); }, false},
        {"sinh", [](StdComplex z) { return std::sinh(z); }, false},
        {"cosh", [](StdComplex z) { return std::cosh(z); }, false},
        {"tanh", [](StdComplex z) { return std::tanh(z); }, false},
        {"cotanh", [](StdComplex z) { return 1.0 / std::tanh(z); }, false},
        {"exp", [](StdComplex z) { return std::exp(z); }, false},
        {"sqrt", [](StdComplex z) { return std::sqrt(z); }, false},
        {"log", [](StdComplex z) { return std::log(z); }, false},
        {"asin", [](StdComplex z) { return std::asin(z); }, true},
        {"acos", [](StdComplex z) { return std::acos(z); }, true},
        {"atan", [](StdComplex z) { return std::atan(z); }, true},
        {"acot", [](StdComplex z) { return std::atan(1.0 / z); }, true},
        {"asinh", [](StdComplex z) { return std::asinh(z); }, true},
        {"acosh", [](StdComplex z) { return std::acosh(z); }, true},
        {"atanh", [](StdComplex z) { return std::atanh(z); }, true},
        {"acoth", [](StdComplex z) { return std::atanh(1.0 / z); }, true},
    };
    for (const Complex p : kPoints) {
        for (const auto& [name, reference, inverse] : cases) {
            if (inverse && (p.re <= 0.0 || p.im <= 0.0)) {
                continue;
            }
            const StdComplex r = reference({p.re, p.im});
            const bool decimalPi = inverse || (name == "log" && p.re < 0.0);
            const double tolerance = decimalPi ? 1e-9 : 4.0 * DBL_EPSILON * std::abs(r);
            EXPECT_LE(distance(apply(name, p), {r.real(), r.imag()}), tolerance)
                << name << " at " << p.re << ", " << p.im;
        }
    }
}

TEST(ComplexFunctions, InverseFunctionsUseTheLibraryBranchRules) {
    // (i+1)/(i-1) = -i exactly, so atan(1) = (i/2) ln(-i) = (pi/4, 0) exactly.
    EXPECT_EQ(complexAtan({1.0, 0.0}), (Complex{kHalfPi * 0.5, 0.0}));
    // sqrt(1 - 4) is the sqrt of a negative real, 0: asin(2) = -i ln(2i) = (pi/2, -ln 2).
    EXPECT_LE(distance(complexAsin({2.0, 0.0}), {kHalfPi, -std::log(2.0)}), 1e-15);
}

// The indices are stored in parameter files: the names keep their order, and every accessor
// calls the function the name stands for (checked by value in the tests above).
TEST(FunctionTable, NamesKeepTheirIndicesAndAccessorsAgree) {
    const std::string_view names[] = {"sin",   "sinh", "cosh", "exp",   "log",   "sqr",    "recip",
                                      "ident", "cos",  "tan",  "tanh",  "cotan", "cotanh", "flip",
                                      "conj",  "zero", "asin", "asinh", "acos",  "acosh",  "atan",
                                      "atanh", "cabs", "abs",  "sqrt",  "real",  "imag",   "acot",
                                      "acoth", "arg",  "log10"};
    ASSERT_EQ(std::size(names), static_cast<std::size_t>(kFunctionCount));
    const Complex z{-0.6, -0.35};
    for (int k = 0; k < kFunctionCount; ++k) {
        EXPECT_EQ(functionName(k), names[k]);
        EXPECT_EQ(findFunction(names[k]), k) << names[k];
        EXPECT_EQ(functionTable()[static_cast<std::size_t>(k)].function(z), applyFunction(k, z));
        EXPECT_EQ(functionPointer(k)(z), applyFunction(k, z)) << names[k];
    }
    EXPECT_EQ(apply("log10", z), complexLog(z)); // the natural log too
}

TEST(FunctionTable, FindFunctionFoldsAsciiCaseOnly) {
    for (const auto& [name, k] :
         {std::pair{"SIN"sv, 0}, {"SiNh"sv, 1}, {"LOG10"sv, 30}, {"CABS"sv, 22}}) {
        EXPECT_EQ(findFunction(name), k) << name;
    }
    // An 8-bit byte is never folded.
    for (const auto name : {""sv, "si"sv, "sine"sv, "sin "sv, "ln"sv, "sin\0"sv, "\xD3IN"sv}) {
        EXPECT_EQ(findFunction(name), -1) << name;
    }
}

TEST(FunctionTable, OutOfRangeIndexIsTheIdentity) {
    const Complex z{1.5, -2.5};
    for (const int index : {-1, 31, 32, 1000, INT_MIN, INT_MAX}) {
        EXPECT_EQ(applyFunction(index, z), z) << index;
        EXPECT_TRUE(functionName(index).empty()) << index;
        EXPECT_EQ(functionPointer(index)(z), z) << index;
    }
}

} // namespace
} // namespace vortimax
