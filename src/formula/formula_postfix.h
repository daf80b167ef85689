#pragma once

// Infix to postfix conversion of a token sequence (operator precedence with an operator
// stack) and the operand-count check of the result.

#include "formula/formula_errors.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vortimax {

// Converts `tokens` (ending with the word 0) to postfix order in `postfix` (without a
// terminator). Brackets disappear; a closed [ ] group becomes the code 255 after its
// contents. Binding levels from loosest: `=` (right to left), the comparison and logical
// operators (one level), `+` `-`, `*` `/`, `^`, then the prefix operators (functions,
// negation, `!`), which apply to the single operand or bracketed group after them.
// Errors: Brackets for an unmatched or mismatched bracket; AssignmentTarget for `=` after an
// operator (z + 1 = 3); Internal for a code the compiler does not know.
CompileError convertToPostfix(std::span<const std::uint32_t> tokens,
                              std::vector<std::uint32_t>& postfix);

// Walks postfix words keeping the number of values they leave: an operand adds one, a
// two-operand operator or `=` takes one away, prefix operators leave it. The words are
// well formed when the count never drops below 1 and ends at exactly 1. `maxDepth` is the
// largest count reached (the value-stack room the words need).
struct OperandCount {
    bool wellFormed = false;
    std::uint32_t maxDepth = 0;
};
OperandCount countOperands(std::span<const std::uint32_t> postfix);

// The size of the token at `words[index]` including its data words.
std::size_t tokenWidth(std::span<const std::uint32_t> words, std::size_t index);

} // namespace vortimax
