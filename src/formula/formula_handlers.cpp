#include "formula/formula_handlers.h"

#include "formula/complex_functions.h"
#include "formula/formula_power.h"
#include "formula/formula_tokenizer.h"
#include "formula/function_table.h"
#include "formula/random_generator.h"

#include <cmath>

namespace vortimax {

namespace {

constexpr double kFormulaE = 2.718281828;
constexpr double kEqualityTolerance = 1e-11;

// --- stack primitives ---

void push(EvalContext& c, Complex value) {
    *c.stackPointer++ = c.accumulator;
    c.accumulator = value;
}

Complex popLeft(EvalContext& c) {
    return *--c.stackPointer;
}

// --- operands ---

void pushNumber(EvalContext& c) {
    push(c, {readNumberWords(c.code), 0.0});
    c.code += 2;
}

void pushVariable(EvalContext& c) {
    push(c, c.variables[*c.code++]);
}

void pushRandom(EvalContext& c) {
    push(c, {randomToUnitRange(nextRandom(c.randomSeed)), 0.0});
}

template <Complex EvalContext::*Field> void pushComplex(EvalContext& c) {
    push(c, c.*Field);
}

template <double EvalContext::*Field> void pushReal(EvalContext& c) {
    push(c, {c.*Field, 0.0});
}

template <std::int32_t EvalContext::*Field> void pushInteger(EvalContext& c) {
    push(c, {static_cast<double>(c.*Field), 0.0});
}

template <std::size_t K> void pushParameter(EvalContext& c) {
    push(c, c.p[K]);
}

template <std::size_t K> void pushCorner(EvalContext& c) {
    push(c, c.corners[K]);
}

template <std::size_t K> void pushLayer(EvalContext& c) {
    push(c, {c.layers[K], 0.0});
}

// The constants are objects rather than template values of their own: a floating-point
// template parameter is not accepted by every compiler the program is built with.
constexpr Complex kZero{0.0, 0.0};
constexpr Complex kOne{1.0, 0.0};
constexpr Complex kI{0.0, 1.0};
constexpr Complex kPi{kLibraryPi, 0.0};
constexpr Complex kE{kFormulaE, 0.0};

template <const Complex& Value> void pushConstant(EvalContext& c) {
    push(c, Value);
}

// --- operators and functions ---

template <Complex (*Operation)(Complex, Complex)> void binary(EvalContext& c) {
    const Complex left = popLeft(c);
    c.accumulator = Operation(left, c.accumulator);
}

template <Complex (*Function)(Complex)> void unary(EvalContext& c) {
    c.accumulator = Function(c.accumulator);
}

template <std::size_t K> void applySelected(EvalContext& c) {
    c.accumulator = applyFunction(c.fn[K], c.accumulator);
}

void seedRandom(EvalContext& c) {
    c.randomSeed = formulaSeedFrom(c.accumulator.re);
}

// Each reads its data word even when it does not jump.
void jumpIfFalse(EvalContext& c) {
    const std::uint32_t target = *c.code++;
    if (c.accumulator.re == 0.0) {
        c.nextStatement = target;
    }
}

void jump(EvalContext& c) {
    c.nextStatement = *c.code++;
}

// Variable 0 stands for z.
void store(EvalContext& c) {
    const std::uint32_t variable = *c.code++;
    if (variable == 0) {
        c.z = c.accumulator;
    } else if (variable < c.variables.size()) {
        c.variables[variable] = c.accumulator;
    }
}

void doNothing(EvalContext&) {}

Complex add(Complex a, Complex b) {
    return a + b;
}
Complex subtract(Complex a, Complex b) {
    return a - b;
}
Complex multiply(Complex a, Complex b) {
    return a * b;
}
Complex divide(Complex a, Complex b) {
    return a / b;
}
Complex negate(Complex x) {
    return -x;
}

Complex truth(bool value, Complex b) {
    return {value ? 1.0 : 0.0, b.im};
}

struct HandlerRow {
    std::uint32_t code;
    TokenHandler handler;
};

constexpr HandlerRow kHandlerRows[] = {
    // operands
    {kTokNumber, pushNumber},
    {kTokVariable, pushVariable},
    {kTokRand, pushRandom},
    {kTokLastSqr, pushReal<&EvalContext::lastSqr>},
    {kTokZ, pushComplex<&EvalContext::z>},
    {kTokPixel, pushComplex<&EvalContext::pixel>},
    {kTokP1, pushParameter<0>},
    {kTokP2, pushParameter<1>},
    {kTokP3, pushParameter<2>},
    {kTokP4, pushParameter<3>},
    {kTokCorner1, pushCorner<0>},
    {kTokCorner2, pushCorner<1>},
    {kTokCorner3, pushCorner<2>},
    {kTokCorner4, pushCorner<3>},
    {kTokBailout, pushReal<&EvalContext::bailout>},
    {kTokBailin, pushReal<&EvalContext::bailin>},
    {kTokLeft, pushReal<&EvalContext::left>},
    {kTokRight, pushReal<&EvalContext::right>},
    {kTokTop, pushReal<&EvalContext::top>},
    {kTokBottom, pushReal<&EvalContext::bottom>},
    {kTokIter, pushInteger<&EvalContext::iter>},
    {kTokMaxIter, pushInteger<&EvalContext::maxIter>},
    {kTokWidth, pushInteger<&EvalContext::width>},
    {kTokHeight, pushInteger<&EvalContext::height>},
    {kTokPosX, pushInteger<&EvalContext::posX>},
    {kTokPosY, pushInteger<&EvalContext::posY>},
    {kTokL0 + 0, pushLayer<0>},
    {kTokL0 + 1, pushLayer<1>},
    {kTokL0 + 2, pushLayer<2>},
    {kTokL0 + 3, pushLayer<3>},
    {kTokL0 + 4, pushLayer<4>},
    {kTokL0 + 5, pushLayer<5>},
    {kTokL0 + 6, pushLayer<6>},
    {kTokL0 + 7, pushLayer<7>},
    {kTokL0 + 8, pushLayer<8>},
    {kTokL0 + 9, pushLayer<9>},
    {kTokL10, pushConstant<kZero>},
    {kTokPi, pushConstant<kPi>},
    {kTokE, pushConstant<kE>},
    {kTokI, pushConstant<kI>},
    {kTokTrue, pushConstant<kOne>},
    {kTokFalse, pushConstant<kZero>},
    // two-operand operators
    {kTokPlus, binary<add>},
    {kTokMinus, binary<subtract>},
    {kTokTimes, binary<multiply>},
    {kTokDivide, binary<divide>},
    {kTokPower, binary<formulaPower>},
    {kTokEqual, binary<formulaEqual>},
    {kTokNotEqual, binary<formulaNotEqual>},
    {kTokLess, binary<formulaLess>},
    {kTokGreater, binary<formulaGreater>},
    {kTokLessEqual, binary<formulaLessEqual>},
    {kTokGreaterEqual, binary<formulaGreaterEqual>},
    {kTokAnd, binary<formulaAnd>},
    {kTokOr, binary<formulaOr>},
    // prefix operators
    {kTokNegate, unary<negate>},
    {kTokNot, unary<formulaNot>},
    {kTokSrand, seedRandom},
    {kTokFn1, applySelected<0>},
    {kTokFn2, applySelected<1>},
    {kTokFn3, applySelected<2>},
    {kTokFn4, applySelected<3>},
    // the function library
    {kTokSin, unary<complexSin>},
    {kTokCos, unary<complexCos>},
    {kTokTan, unary<complexTan>},
    {kTokAsin, unary<complexAsin>},
    {kTokAcos, unary<complexAcos>},
    {kTokAtan, unary<complexAtan>},
    {kTokAbs, unary<complexAbs>},
    {kTokLn, unary<complexLog>},
    {kTokExp, unary<complexExp>},
    {kTokLog, unary<complexLog>},
    {kTokSinh, unary<complexSinh>},
    {kTokSqrt, unary<complexSqrt>},
    {kTokTanh, unary<complexTanh>},
    {kTokCosh, unary<complexCosh>},
    {kTokCotan, unary<complexCotan>},
    {kTokCotanh, unary<complexCotanh>},
    {kTokConj, unary<complexConj>},
    {kTokReal, unary<complexReal>},
    {kTokImag, unary<complexImag>},
    {kTokAcot, unary<complexAcot>},
    {kTokAsinh, unary<complexAsinh>},
    {kTokAcosh, unary<complexAcosh>},
    {kTokAtanh, unary<complexAtanh>},
    {kTokAcoth, unary<complexAcoth>},
    {kTokArg, unary<complexArg>},
    {kTokSqr, unary<complexSqr>},
    {kTokFlip, unary<complexFlip>},
    {kTokModulus, unary<complexCabs>},
    {kTokJumpIfFalse, jumpIfFalse},
    {kTokJump, jump},
    {kTokStore, store},
    {kTokCosxx, unary<complexCosxx>},
    {kTokCabs, unary<complexModulus>},
    {kTokRound, unary<complexRound>},
    {kTokTrunc, unary<complexTrunc>},
    {kTokFloor, unary<complexFloor>},
    {kTokCeil, unary<complexCeil>},
    {kTokIdent, unary<complexIdent>},
    {kTokZero, unary<complexZero>},
    {kTokOne, unary<complexOne>},
    {kTokRecip, unary<complexRecip>},
};

constexpr auto kHandlers = [] {
    std::array<TokenHandler, kTokenCodeCount> table{};
    table.fill(doNothing);
    for (const HandlerRow& row : kHandlerRows) {
        table[row.code] = row.handler;
    }
    return table;
}();

} // namespace

const std::array<TokenHandler, kTokenCodeCount>& tokenHandlers() {
    return kHandlers;
}

Complex formulaEqual(Complex a, Complex b) {
    return truth(std::fabs(a.re - b.re) < kEqualityTolerance, b);
}
Complex formulaNotEqual(Complex a, Complex b) {
    return truth(std::fabs(a.re - b.re) > kEqualityTolerance, b);
}
Complex formulaLess(Complex a, Complex b) {
    return truth(a.re < b.re, b);
}
Complex formulaGreater(Complex a, Complex b) {
    return truth(a.re > b.re, b);
}
Complex formulaLessEqual(Complex a, Complex b) {
    return truth(a.re <= b.re, b);
}
Complex formulaGreaterEqual(Complex a, Complex b) {
    return truth(a.re >= b.re, b);
}
Complex formulaAnd(Complex a, Complex b) {
    return {a.re * b.re, b.im};
}
Complex formulaOr(Complex a, Complex b) {
    return truth(a.re != 0.0 || b.re != 0.0, b);
}
Complex formulaNot(Complex x) {
    return {x.re == 0.0 ? 1.0 : 0.0, x.im};
}

std::uint32_t formulaSeedFrom(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) {
        return 0x80000000u;
    }
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(x));
}

} // namespace vortimax
