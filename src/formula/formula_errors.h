#pragma once

// Error codes of the statement compiler, their texts, and the message box that reports a
// failing formula line to the person.

#include <string>
#include <string_view>

namespace vortimax {

class Frontend;

enum class CompileError : int {
    None = 0,
    Brackets = 1,           // bracket structure
    IllegalCharacter = 2,   // character check
    UnknownToken = 3,       // tokenizer
    Internal = 4,           // internal inconsistency
    OperandCount = 5,       // operands and operators do not match
    TooLong = 6,            // a fixed limit (length, identifier, nesting, value stack) exceeded
    AssignmentPosition = 7, // assignment inside an expression
    AssignmentTarget = 8,   // assignment to something that is not a variable
    BlockStructure = 9,     // if, elseif, else and endif that do not pair up
    UnknownFunction = 10,   // a name that is no function, followed by a bracket
};

inline constexpr std::string_view kParsingFormulaCaption = "Parsing formula";
inline constexpr std::string_view kIncompleteFormulaText =
    "Unexpected end of formula. Incomplete formula...";

// The text of error `code` (1 ... 10); empty for any other code.
std::string_view compileErrorText(int code);

// "%s:\nOffending line: %s\n          %s" with the title, the line and the error text, or
// "%s:\nOffending line: %s" for a code without a text.
std::string compileErrorMessage(std::string_view title, std::string_view line, int code);

// Shows compileErrorMessage in a box captioned "Parsing formula" with an error icon and an
// OK button.
void showCompileError(Frontend& frontend, std::string_view title, std::string_view line, int code);

} // namespace vortimax
