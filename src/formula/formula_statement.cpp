#include "formula/formula_statement.h"

#include "formula/formula_postfix.h"
#include "formula/formula_preprocess.h"
#include "formula/formula_store.h"
#include "formula/formula_token_codes.h"
#include "formula/formula_tokenizer.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>

namespace vortimax {

namespace {

using Words = std::span<const std::uint32_t>;

bool isTarget(std::uint32_t code) {
    return code == kTokZ || code == kTokVariable;
}

std::uint32_t highestVariableIn(Words words) {
    std::uint32_t highest = 0;
    for (std::size_t index = 0; index < words.size(); index += tokenWidth(words, index)) {
        if ((words[index] == kTokVariable || words[index] == kTokStore) &&
            index + 1 < words.size()) {
            highest = std::max(highest, words[index + 1]);
        }
    }
    return highest;
}

// Where the postfix words split: the targets are words [0, expressionStart), the
// expression [expressionStart, expressionEnd); the rest are the `=` words.
struct AssignmentSplit {
    std::size_t expressionStart = 0;
    std::size_t expressionEnd = 0;
};

// Finds the first `=`; every word after it must be `=` too. Counts the `=` words.
CompileError findAssignments(Words postfix, std::size_t& firstAssign, std::size_t& count) {
    firstAssign = postfix.size();
    count = 0;
    for (std::size_t index = 0; index < postfix.size(); index += tokenWidth(postfix, index)) {
        if (postfix[index] == kTokAssign) {
            firstAssign = std::min(firstAssign, index);
            ++count;
        } else if (count > 0) {
            return CompileError::AssignmentPosition;
        }
    }
    return CompileError::None;
}

CompileError splitAssignments(Words postfix, AssignmentSplit& split) {
    std::size_t firstAssign = 0;
    std::size_t count = 0;
    if (const CompileError error = findAssignments(postfix, firstAssign, count);
        error != CompileError::None) {
        return error;
    }
    std::size_t index = 0;
    for (std::size_t target = 0; target < count; ++target) {
        if (index >= firstAssign) {
            return CompileError::Internal;
        }
        if (!isTarget(postfix[index])) {
            return CompileError::AssignmentTarget;
        }
        index += tokenWidth(postfix, index);
    }
    split = {index, firstAssign};
    if (count > 0 && !countOperands(postfix.subspan(index, firstAssign - index)).wellFormed) {
        return CompileError::AssignmentTarget;
    }
    return CompileError::None;
}

CompiledStatement assemble(Words postfix, const AssignmentSplit& split, std::uint32_t depth) {
    CompiledStatement statement;
    const Words expression =
        postfix.subspan(split.expressionStart, split.expressionEnd - split.expressionStart);
    const Words targets = postfix.first(split.expressionStart);
    statement.words.assign(expression.begin(), expression.end());
    statement.words.push_back(kTokEnd);
    statement.words.insert(statement.words.end(), targets.begin(), targets.end());
    statement.words.push_back(kTokEnd);
    statement.stackDepth = depth;
    statement.highestVariable = std::max(highestVariableIn(expression), highestVariableIn(targets));
    return statement;
}

// Steps 1 to 3: bars, character check, tokens.
CompileError tokenizeStatement(std::string_view text, VariableList& variables,
                               std::vector<std::uint32_t>& tokens) {
    if (text.size() > kMaxStatementLength) {
        return CompileError::TooLong;
    }
    const std::optional<std::string> prepared = prepareStatement(text);
    if (!prepared) {
        return CompileError::TooLong;
    }
    const std::optional<std::string> checked = checkStatementCharacters(*prepared);
    if (!checked) {
        return CompileError::IllegalCharacter;
    }
    return tokenize(*checked, variables, tokens);
}

} // namespace

CompiledStatement builtInColouringStatement() {
    CompiledStatement statement;
    statement.words = {kBuiltInColouring, kTokEnd, kTokEnd};
    return statement;
}

CompileError compileStatement(std::string_view text, VariableList& variables,
                              CompiledStatement& statement) {
    std::vector<std::uint32_t> tokens;
    if (const CompileError error = tokenizeStatement(text, variables, tokens);
        error != CompileError::None) {
        return error;
    }
    std::vector<std::uint32_t> postfix;
    if (const CompileError error = convertToPostfix(tokens, postfix); error != CompileError::None) {
        return error;
    }
    if (!countOperands(postfix).wellFormed) {
        return CompileError::OperandCount;
    }
    if (const CompileError error = storeInnerAssignments(postfix); error != CompileError::None) {
        return error;
    }
    AssignmentSplit split;
    if (const CompileError error = splitAssignments(postfix, split); error != CompileError::None) {
        return error;
    }
    const Words words(postfix);
    const OperandCount expression = countOperands(
        words.subspan(split.expressionStart, split.expressionEnd - split.expressionStart));
    if (!expression.wellFormed) {
        return CompileError::OperandCount;
    }
    if (expression.maxDepth > kValueStackSize) {
        return CompileError::TooLong;
    }
    statement = assemble(words, split, expression.maxDepth);
    return CompileError::None;
}

} // namespace vortimax
