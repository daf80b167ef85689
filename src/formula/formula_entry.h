#pragma once

// A named formula of the library and the compiler of whole formulas.
//
// A formula's lines (see preprocessFormula) form sections separated by colon lines:
// init lines, `:`, iteration lines followed by the abort condition, and optionally `:` and
// exactly two colour lines (inside colour, outside colour).

#include "formula/formula_statement.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

class Frontend;

// The compiled statements of one formula. Read-only while a calculation runs.
struct FormulaCode {
    std::vector<CompiledStatement> init;
    std::vector<CompiledStatement> iteration;
    std::optional<CompiledStatement> abort;
    // usesBuiltInColouring() when the formula has no colour section.
    CompiledStatement insideColour = builtInColouringStatement();
    CompiledStatement outsideColour = builtInColouringStatement();
    // The evaluator allocates this many variable slots plus five.
    std::uint32_t variableCount = 0;

    // Whether the formula was compiled successfully (it can be calculated).
    bool isComplete() const { return abort.has_value(); }
};

struct FormulaEntry {
    std::string name;
    std::string source; // exactly as the user or the file supplied it
    FormulaCode code;
};

struct FormulaCompileOptions {
    bool checkOnly = false; // compile for the errors only; the entry is left alone
    bool silent = false;    // show no message box
};

// Compiles `source` in the order init lines, colour lines, abort condition, iteration lines
// (this order decides which error is reported first and how variables are numbered). On
// success, unless checkOnly, the entry takes `name`, `source` and the new code. On failure
// the entry is left exactly as it was, and unless silent (or `frontend` is null) the first
// error is shown: "Unexpected end of formula. Incomplete formula..." for a broken section
// structure, otherwise showCompileError with the section's title ("Error in Initmember",
// "Error in Color1-member", "Error in Color2-member", "Error in Abortcondition",
// "Error in Itermember") and the offending line in its preprocessed form.
//
// Fractals calculating with the entry must be stopped by the caller before a storing
// compile and restarted afterwards. Returns 0 on success, 1 on failure.
int compileFormula(FormulaEntry& entry, std::string_view name, std::string_view source,
                   FormulaCompileOptions options, Frontend* frontend);

} // namespace vortimax
