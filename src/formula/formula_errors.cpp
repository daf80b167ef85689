#include "formula/formula_errors.h"

#include "base/frontend.h"

#include <array>

namespace vortimax {

namespace {

// Indexed by the error code.
constexpr std::array<std::string_view, 11> kErrorTexts{
    "",
    "Probably brackets are set wrong",
    "Illegal character encountered...",
    "Unknown operand/operator, perhaps you misspelled something...",
    "Unknown error, this shouldn't happen. Contact the author...",
    "Number of operands doesn't match number of operators...",
    "Statement too long or nested too deeply...",
    "Assignments can only be made at the beginning of a formula...",
    "All left assignment statements must be variables...",
    "if, elseif, else and endif do not pair up (or a condition assigns)...",
    "Unknown function: a name followed by a bracket that is not a function...",
};

} // namespace

std::string_view compileErrorText(int code) {
    if (code < 1 || code >= static_cast<int>(kErrorTexts.size())) {
        return {};
    }
    return kErrorTexts[static_cast<std::size_t>(code)];
}

std::string compileErrorMessage(std::string_view title, std::string_view line, int code) {
    std::string message;
    message.append(title).append(":\nOffending line: ").append(line);
    const std::string_view text = compileErrorText(code);
    if (!text.empty()) {
        message.append("\n          ").append(text);
    }
    return message;
}

void showCompileError(Frontend& frontend, std::string_view title, std::string_view line, int code) {
    frontend.messageBox(kParsingFormulaCaption, compileErrorMessage(title, line, code),
                        MessageButtons::Ok, MessageIcon::Error);
}

} // namespace vortimax
