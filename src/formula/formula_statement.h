#pragma once

// One compiled statement of the formula language and the statement compiler that produces
// it from text.

#include "formula/formula_errors.h"
#include "formula/formula_variables.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vortimax {

// Longest statement text accepted.
inline constexpr std::size_t kMaxStatementLength = 10000;
// Values the evaluator's stack holds below the accumulator; statements needing more are
// rejected (TooLong).
inline constexpr std::uint32_t kValueStackSize = 256;
// First word of a colour statement that stands for the fractal's built-in colouring.
inline constexpr std::uint32_t kBuiltInColouring = 0xFFFFFFFFu;

// The words of a statement: the expression in postfix order, the word 0, the assignment
// targets in text order (267 for z, or 268 and a variable number), the word 0.
struct CompiledStatement {
    std::vector<std::uint32_t> words;
    // Value-stack slots the expression needs (at most kValueStackSize).
    std::uint32_t stackDepth = 0;
    // Highest variable number the statement reads or writes (0: none).
    std::uint32_t highestVariable = 0;

    bool usesBuiltInColouring() const { return !words.empty() && words[0] == kBuiltInColouring; }
};

// A colour statement that marks the built-in colouring.
CompiledStatement builtInColouringStatement();

// Compiles one statement: bars to brackets, character check and case folding, tokenizing,
// postfix conversion, operand-count check, assignment split. Returns None and fills
// `statement`, or the first error (`statement` unchanged). Names met are added to
// `variables` even when a later step fails.
//
// Beyond the operand count, an assignment must assign to plain variables: the first n
// postfix words of a statement with n assignments must each be `z` or a user variable, and
// the expression after them must be well formed by itself; otherwise AssignmentTarget
// (|z| = 1 or (z + 1) = 2 would otherwise assign a value computed from garbage).
CompileError compileStatement(std::string_view text, VariableList& variables,
                              CompiledStatement& statement);

} // namespace vortimax
