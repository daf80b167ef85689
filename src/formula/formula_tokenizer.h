#pragma once

// Statement-level lexical analysis: the character check and the tokenizer that turns one
// prepared statement into 32-bit token codes.

#include "formula/formula_errors.h"
#include "formula/formula_variables.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

// The statement folded to lower case, or nothing when it holds a character other than a
// letter, a digit or one of . + - * / ^ ( ) & | = > < ! _ [ ] (blanks included).
std::optional<std::string> checkStatementCharacters(std::string_view statement);

// Tokenizes a checked, lower-case statement into `tokens`, ending with the word 0. A user
// variable is 268 and its number (new names are added to `variables`), a number is 282 and
// the 8 bytes of its double (low word first). A minus is a negation (13) where an operand is
// expected, a subtraction (9) otherwise. Numbers are maximal runs of digits and dots read
// like "%lf" (1.5.2 is 1.5); a run that reads as no number, such as ".", is an unknown token.
// Errors: UnknownToken for text no word matches, TooLong for an identifier of more than
// kMaxIdentifierLength characters. `tokens` is left empty on failure.
CompileError tokenize(std::string_view statement, VariableList& variables,
                      std::vector<std::uint32_t>& tokens);

// Appends a number token (282 and the two words of `value`, low word first).
void appendNumberToken(std::vector<std::uint32_t>& words, double value);
// The double stored in the two words at `words`, low word first.
double readNumberWords(const std::uint32_t* words);

} // namespace vortimax
