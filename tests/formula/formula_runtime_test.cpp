// Tests of the evaluator: operands, operators, functions, assignments, the power rule and
// the pseudo-random generator behind rand and srand.

#include "formula/complex_functions.h"
#include "formula/formula_eval.h"
#include "formula/formula_handlers.h"
#include "formula/formula_power.h"
#include "formula/formula_statement.h"
#include "formula/random_generator.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace vortimax {
namespace {

// Compiles `text` with its own variable list and runs it in `context`.
Complex run(const std::string& text, EvalContext& context) {
    VariableList variables;
    CompiledStatement statement;
    EXPECT_EQ(compileStatement(text, variables, statement), CompileError::None) << text;
    if (context.variables.size() <= variables.size()) {
        context.resetVariables(static_cast<std::uint32_t>(variables.size()));
    }
    EXPECT_TRUE(evaluate(context, statement)) << text;
    return context.accumulator;
}

Complex run(const std::string& text) {
    EvalContext context;
    return run(text, context);
}

struct ExactCase {
    std::string text;
    Complex value;
};

// Operators, functions and the operands read from the context (z, pixel, p2, posx, width, posy,
// iter and maxiter are read in the iteration tests).
TEST(FormulaRuntime, ExactResults) {
    EvalContext c;
    c.fn = {30, 5, 7, 99};
    c.p[3] = {7, 8};
    c.corners = {Complex{-1, -2}, Complex{-3, -4}, Complex{-5, -6}, Complex{-7, -8}};
    std::tie(c.bailout, c.bailin, c.left, c.right, c.top, c.bottom) =
        std::tuple(16.0, 0.5, -2.5, 1.5, 1.25, -1.25);
    c.height = 480;
    c.layers[9] = 9.5;
    const ExactCase cases[] = {
        {"1+2*3", {7.0, 0.0}},
        {"(1+i)/(1-i)", {0.0, 1.0}},
        {"(1+i)^2", {0.0, 2.0}},
        {"(1+i)^4", {-4.0, 0.0}},
        {"(1+i)^-1", {0.5, -0.5}},
        {"(3+4*i)^0", {1.0, 0.0}},
        {"0^0", {1.0, 0.0}},
        {"0^0.5", {0.0, 0.0}},
        {"0^-1", {0.0, 0.0}},
        {"0^(2*i)", {0.0, 0.0}},
        {"(1+2*i)<(3+4*i)", {1.0, 4.0}},
        {"3==3.000000000001", {1.0, 0.0}},
        {"3==3.0000000001", {0.0, 0.0}},
        {"3!=3.000000000001", {0.0, 0.0}},
        {"!5", {0.0, 0.0}},
        {"!(i)", {1.0, 1.0}},
        {"0||0", {0.0, 0.0}},
        {"2&&(3+i)", {6.0, 1.0}},
        {"pi", {3.1415926535, 0.0}},
        {"e", {2.718281828, 0.0}},
        {"|3+4*i|", {25.0, 0.0}},
        {"sqr(1+2*i)", {-3.0, 4.0}},
        {"ln(1)+arg(i)", {1.57079632675, 0.0}},
        {"l10", {0.0, 0.0}},
        {"srand(5)", {5.0, 0.0}},
        {"(1/0<1)+7", {7.0, 0.0}},
        {"fn1(0-1)", {0.0, -3.1415926535}},
        {"fn2(1+i)", {0.0, 2.0}},
        {"fn3(1+i)", {1.0, 1.0}},
        {"fn4(1+i)", {1.0, 1.0}}, // out of range: unchanged
        {"p4", {7, 8}},
        {"corner1", c.corners[0]},
        {"corner4", c.corners[3]},
        {"bailout", {16, 0}},
        {"bailin", {0.5, 0}},
        {"height", {480, 0}},
        {"left", {-2.5, 0}},
        {"right", {1.5, 0}},
        {"top", {1.25, 0}},
        {"bottom", {-1.25, 0}},
        {"l9", {9.5, 0}},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(run(text, c), value) << text;
    }
}

TEST(FormulaRuntime, PowerWithGeneralExponents) {
    const struct {
        std::string text;
        Complex value;
        double tolerance;
    } cases[] = {
        {"4^0.5", {2.0, 0.0}, 1e-15},
        {"(0-4)^0.5", {0.0, -2.0}, 1e-9}, // log's branch: arg(-4) = -pi
        {"i^i", {0.20787957635076193, 0.0}, 1e-9},
        {"2^100", {1.2676506002282294e30, 0.0}, 1e18},
        {"(1+i)^2.5", {-0.9101797211244546, 2.1973682269356196}, 1e-9},
    };
    for (const auto& [text, value, tolerance] : cases) {
        const Complex result = run(text);
        EXPECT_NEAR(result.re, value.re, tolerance) << text;
        EXPECT_NEAR(result.im, value.im, tolerance) << text;
    }
}

TEST(FormulaRuntime, SquareAndCubeAreExactProducts) {
    for (const Complex a : {Complex{0.1, 0.7}, Complex{-1.3e10, 2.9e-3}, Complex{3.3, -4.4}}) {
        EXPECT_EQ(formulaPower(a, {2.0, 0.0}), a * a);
        EXPECT_EQ(formulaPower(a, {3.0, 0.0}), (a * a) * a);
        EXPECT_EQ(formulaPower(a, {5.0, 0.0}), (((a * a) * a) * a) * a);
        EXPECT_NE(formulaPower(a, {0.5, 0.0}), a);
        EXPECT_NE(formulaPower(a, {2.0, 1e-300}), a);
    }
    // a^1 is a itself, also with an infinite part (1 * a would give inf * 0 = NaN).
    EXPECT_EQ(formulaPower({INFINITY, 0.0}, {1.0, 0.0}), (Complex{INFINITY, 0.0}));
}

TEST(FormulaRuntime, DivisionByZeroGoesOn) {
    const Complex value = run("1/0+1");
    EXPECT_FALSE(std::isfinite(value.re) && std::isfinite(value.im));
}

TEST(FormulaRuntime, AssignmentsSetEveryTarget) {
    EvalContext c;
    c.pixel = {1.0, -1.0};
    run("z=c=pixel*2", c);
    EXPECT_EQ(c.z, (Complex{2.0, -2.0}));
    EXPECT_EQ(run("c", c), (Complex{2.0, -2.0})); // c is variable 1 in both statements
}

TEST(FormulaRuntime, StatementsThatDoNotFitAreNotRun) {
    VariableList variables;
    CompiledStatement statement;
    ASSERT_EQ(compileStatement("a=b=c=d=e1=f=g", variables, statement), CompileError::None);
    EvalContext c;
    c.resetVariables(2); // 7 slots, variable 7 needs 8
    c.accumulator = {3.0, 3.0};
    EXPECT_FALSE(evaluate(c, statement));
    EXPECT_EQ(c.accumulator, (Complex{3.0, 3.0}));
    EXPECT_FALSE(evaluate(c, builtInColouringStatement()));
    EXPECT_FALSE(evaluate(c, CompiledStatement{}));
}

TEST(FormulaRuntime, SeedTruncatesTowardZero) {
    EXPECT_EQ(formulaSeedFrom(7.9), 7u);
    EXPECT_EQ(formulaSeedFrom(-2.7), 0xFFFFFFFEu);
    EXPECT_EQ(formulaSeedFrom(2147483647.5), 0x7FFFFFFFu);
    EXPECT_EQ(formulaSeedFrom(-2147483648.5), 0x80000000u);
    for (const double outside :
         {2147483648.0, -2147483649.0, 1e300, double(NAN), double(INFINITY)}) {
        EXPECT_EQ(formulaSeedFrom(outside), 0x80000000u) << outside;
    }
}

// Every handler keeps the stack discipline its syntax class promises the compiler: an
// operand pushes one value, a two-operand operator takes one, everything else none.
TEST(FormulaRuntime, HandlersMatchTheSyntaxClasses) {
    const std::uint32_t data[] = {0, 0x3FF00000u}; // a number's double, or variable 0
    for (std::uint32_t code = 0; code < kTokenCodeCount; ++code) {
        EvalContext c;
        c.resetVariables(0);
        c.stackPointer = c.stack.data() + 1;
        c.code = data;
        tokenHandlers()[code](c);
        const TokenClass tokenClass = tokenInfo(code).tokenClass;
        const std::ptrdiff_t expected = tokenClass == TokenClass::Operand  ? 2
                                        : tokenClass == TokenClass::Binary ? 0
                                                                           : 1;
        EXPECT_EQ(c.stackPointer - c.stack.data(), expected) << code;
        EXPECT_EQ(c.code - data, static_cast<std::ptrdiff_t>(dataWordCount(code))) << code;
    }
}

// Sequences worked out by hand (unsigned 32-bit, every shift count modulo 32). The second
// step from seed 1 (seed 5742, % 32 = 14) wraps in every step; seed 15 catches step 1's two
// shifts merged into one shift by 6 (that would give 0x63C00E51); seed 0x80000000 is masked
// down to 3680 and then follows the sequence of seed 0. Every result has 31 bits and becomes
// the seed less one.
TEST(RandomGenerator, KnownSequences) {
    const struct {
        std::uint32_t start;
        std::vector<std::uint32_t> values;
    } cases[] = {{0, {3680, 30373825, 798723744}},
                 {1, {5743, 922744818}},
                 {15, {62918225}},
                 {0x80000000u, {3680, 30373825}},
                 {0xFFFFFFFFu, {}}};
    for (const auto& [start, values] : cases) {
        std::uint32_t seed = start;
        for (std::size_t i = 0; i < 1000; ++i) {
            const std::uint32_t t = nextRandom(seed);
            if (i < values.size()) {
                EXPECT_EQ(t, values[i]) << "start " << start;
            }
            ASSERT_LE(t, 0x7FFFFFFFu) << "start " << start << " step " << i;
            ASSERT_EQ(seed, t - 1u) << "start " << start << " step " << i;
        }
    }
}

TEST(RandomGenerator, UnitRangeOfRand) {
    EXPECT_EQ(randomToUnitRange(0), -1.0);
    EXPECT_EQ(randomToUnitRange(0x7FFFFFFFu), 1.0);
    // 2 t / 2147483647 - 1 exactly: (2 t - 2147483647) / 2147483647 differs in the last bit.
    EXPECT_EQ(randomToUnitRange(798723744u), -0.2561305459850144);
    EXPECT_EQ(randomToUnitRange(1073741823u), -4.656612873077393e-10);
}

} // namespace
} // namespace vortimax
