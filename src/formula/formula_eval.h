#pragma once

// The evaluator of compiled statements: its context (the values the operands read and the
// evaluator's own state) and the dispatch loop that runs one statement.

#include "formula/complex.h"
#include "formula/formula_statement.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vortimax {

// The random seed every pixel starts from.
inline constexpr std::uint32_t kPixelRandomSeed = 1321885735u;
// Layer values l0 ... l9 of compound merge formulas (l10 is always 0).
inline constexpr std::size_t kLayerValueCount = 10;
// Variable slots beyond the variable count of a formula.
inline constexpr std::size_t kSpareVariableSlots = 5;

// One evaluation context per worker thread. Complex values are (re, im) doubles; reals and
// integers are pushed with imaginary part 0.
struct EvalContext {
    // --- evaluator state ---
    // The top of the value stack; not cleared between statements.
    Complex accumulator{0.0, 0.0};
    // The rest of the stack: the next free slot, and the words being run.
    Complex* stackPointer = nullptr;
    const std::uint32_t* code = nullptr;
    std::array<Complex, kValueStackSize> stack{};

    // --- values the operands read ---
    Complex z{0.0, 0.0};
    // Slot k holds variable k; slot 0 is never used.
    std::vector<Complex> variables;
    std::array<Complex, 4> p{}; // p1 ... p4
    double bailout = 0.0;
    double bailin = 0.0;
    std::array<int, 4> fn{}; // fn1 ... fn4: FunctionTable indices
    std::int32_t iter = 0;
    std::int32_t maxIter = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t randomSeed = kPixelRandomSeed;
    std::array<double, kLayerValueCount> layers{}; // l0 ... l9
    double left = 0.0;
    double right = 0.0;
    double top = 0.0;
    double bottom = 0.0;
    Complex pixel{0.0, 0.0};
    std::array<Complex, 4> corners{}; // corner1 ... corner4
    std::int32_t posX = 0;
    std::int32_t posY = 0;
    // |z|^2 after the previous iteration (0 before the first): the word `lastsqr`.
    double lastSqr = 0.0;
    // The statement of the running section to go on with; the jumps of if blocks set it.
    std::uint32_t nextStatement = 0;

    // Gives the context variableCount + kSpareVariableSlots variable slots, all 0.
    void resetVariables(std::uint32_t variableCount);
};

// Runs `statement`: the expression word by word through the handler table, then the
// assignment targets (z, or a variable slot) receive the accumulator. The statement's value
// is left in context.accumulator. Returns false without running anything when the
// statement is the built-in colouring marker or does not fit the context (more variables
// than slots, or more stack than kValueStackSize).
bool evaluate(EvalContext& context, const CompiledStatement& statement);

// Runs the statements of one section in order, following the jumps of if blocks (a jump
// only ever goes forward; one past the last statement ends the section).
void evaluateSection(EvalContext& context, std::span<const CompiledStatement> statements);

} // namespace vortimax
