#pragma once

#include "formula/formula_errors.h"
#include "formula/formula_eval.h"
#include "formula/formula_statement.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

// The red, green and blue merge formulas of a compound fractal, each a single expression
// over the layer values l0 ... l9. An empty text stands for the value 0.
struct MergeFormula {
    CompiledStatement code;
    std::uint32_t variableCount = 0;
};

inline constexpr std::size_t kMergeChannels = 3; // FormulaR, FormulaG, FormulaB

struct MergeFormulas {
    std::array<std::optional<MergeFormula>, kMergeChannels> channel;
};

// Why a merge formula did not compile.
struct MergeFormulaProblem {
    std::size_t channel = 0;
    CompileError error = CompileError::None;
};

// Compiles the texts of the channels in `wanted` (the others stay empty). Returns the
// first failure, or nothing when every wanted text compiled.
std::optional<MergeFormulaProblem>
compileMergeFormulas(const std::array<std::string, kMergeChannels>& texts,
                     const std::array<bool, kMergeChannels>& wanted, MergeFormulas& formulas);

// Runs one merge formula with the given layer values: the real part of its result (0 for
// an empty formula or one the context cannot run).
double mergeFormulaValue(const std::optional<MergeFormula>& formula,
                         const std::array<double, kLayerValueCount>& layers, EvalContext& context);

// One line telling the person which merge formula failed and why.
std::string mergeFormulaProblemText(const MergeFormulaProblem& problem, std::string_view text);

} // namespace vortimax
