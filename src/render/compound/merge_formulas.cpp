#include "render/compound/merge_formulas.h"

#include "formula/formula_variables.h"

namespace vortimax {

namespace {

constexpr std::string_view kChannelKeys[kMergeChannels] = {"FormulaR", "FormulaG", "FormulaB"};

} // namespace

std::optional<MergeFormulaProblem>
compileMergeFormulas(const std::array<std::string, kMergeChannels>& texts,
                     const std::array<bool, kMergeChannels>& wanted, MergeFormulas& formulas) {
    formulas = MergeFormulas{};
    for (std::size_t c = 0; c < kMergeChannels; ++c) {
        if (!wanted[c] || texts[c].empty())
            continue;
        VariableList variables;
        MergeFormula formula;
        if (const CompileError error = compileStatement(texts[c], variables, formula.code);
            error != CompileError::None)
            return MergeFormulaProblem{c, error};
        formula.variableCount = static_cast<std::uint32_t>(variables.size());
        formulas.channel[c] = std::move(formula);
    }
    return std::nullopt;
}

double mergeFormulaValue(const std::optional<MergeFormula>& formula,
                         const std::array<double, kLayerValueCount>& layers, EvalContext& context) {
    if (!formula)
        return 0.0;
    context.layers = layers;
    context.resetVariables(formula->variableCount);
    if (!evaluate(context, formula->code))
        return 0.0;
    return context.accumulator.re;
}

std::string mergeFormulaProblemText(const MergeFormulaProblem& problem, std::string_view text) {
    const std::size_t channel = problem.channel < kMergeChannels ? problem.channel : 0;
    std::string line = std::string(kChannelKeys[channel]) + " \"" + std::string(text) + "\"";
    const std::string_view reason = compileErrorText(static_cast<int>(problem.error));
    return line + " does not compile" + (reason.empty() ? "." : ": " + std::string(reason));
}

} // namespace vortimax
