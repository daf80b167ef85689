#include "formula/formula_eval.h"

#include "formula/formula_handlers.h"
#include "formula/formula_token_codes.h"

namespace vortimax {

void EvalContext::resetVariables(std::uint32_t variableCount) {
    variables.assign(static_cast<std::size_t>(variableCount) + kSpareVariableSlots,
                     Complex{0.0, 0.0});
}

namespace {

bool fits(const EvalContext& context, const CompiledStatement& statement) {
    return !statement.words.empty() && !statement.usesBuiltInColouring() &&
           statement.stackDepth <= kValueStackSize &&
           statement.highestVariable < context.variables.size();
}

void assignTargets(EvalContext& context) {
    for (std::uint32_t target = *context.code++; target != kTokEnd; target = *context.code++) {
        if (target == kTokZ) {
            context.z = context.accumulator;
        } else {
            context.variables[*context.code++] = context.accumulator;
        }
    }
}

} // namespace

bool evaluate(EvalContext& context, const CompiledStatement& statement) {
    if (!fits(context, statement)) {
        return false;
    }
    const auto& handlers = tokenHandlers();
    context.stackPointer = context.stack.data();
    context.code = statement.words.data();
    for (std::uint32_t word = *context.code++; word != kTokEnd; word = *context.code++) {
        handlers[word](context);
    }
    assignTargets(context);
    return true;
}

void evaluateSection(EvalContext& context, std::span<const CompiledStatement> statements) {
    for (std::size_t at = 0; at < statements.size();) {
        context.nextStatement = static_cast<std::uint32_t>(at + 1);
        evaluate(context, statements[at]);
        at = context.nextStatement > at ? context.nextStatement : at + 1;
    }
}

} // namespace vortimax
