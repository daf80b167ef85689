#include "formula/formula_postfix.h"

#include "formula/formula_token_codes.h"

namespace vortimax {

namespace {

bool isOperator(std::uint32_t code) {
    const TokenClass tokenClass = tokenInfo(code).tokenClass;
    return tokenClass == TokenClass::Prefix || tokenClass == TokenClass::Binary ||
           tokenClass == TokenClass::Assign;
}

// Pops operators to `postfix` until the top of `stack` is `open`, then drops it. False when
// the other bracket or the bottom is met first.
bool popUntil(std::vector<std::uint32_t>& stack, std::uint32_t open,
              std::vector<std::uint32_t>& postfix) {
    while (!stack.empty() && isOperator(stack.back())) {
        postfix.push_back(stack.back());
        stack.pop_back();
    }
    if (stack.empty() || stack.back() != open) {
        return false;
    }
    stack.pop_back();
    return true;
}

// All two-operand operators bind left to right: pop every operator on the stack that binds
// at least as tightly as the incoming one.
void pushBinary(std::vector<std::uint32_t>& stack, std::uint32_t code,
                std::vector<std::uint32_t>& postfix) {
    const std::uint8_t level = tokenInfo(code).level;
    while (!stack.empty() && isOperator(stack.back()) && tokenInfo(stack.back()).level >= level) {
        postfix.push_back(stack.back());
        stack.pop_back();
    }
    stack.push_back(code);
}

// `=` may only follow the bottom, an opening bracket or another `=`.
bool pushAssign(std::vector<std::uint32_t>& stack) {
    if (!stack.empty() && stack.back() != kTokOpen && stack.back() != kTokOpenModulus &&
        stack.back() != kTokAssign) {
        return false;
    }
    stack.push_back(kTokAssign);
    return true;
}

// At the end marker: every operator goes out; a bracket left open is an error.
bool popAll(std::vector<std::uint32_t>& stack, std::vector<std::uint32_t>& postfix) {
    while (!stack.empty()) {
        if (!isOperator(stack.back())) {
            return false;
        }
        postfix.push_back(stack.back());
        stack.pop_back();
    }
    return true;
}

CompileError convertToken(std::span<const std::uint32_t> tokens, std::size_t index,
                          std::vector<std::uint32_t>& stack, std::vector<std::uint32_t>& postfix) {
    const std::uint32_t code = tokens[index];
    switch (tokenInfo(code).tokenClass) {
    case TokenClass::Operand:
        postfix.insert(postfix.end(), tokens.begin() + static_cast<std::ptrdiff_t>(index),
                       tokens.begin() +
                           static_cast<std::ptrdiff_t>(index + 1 + dataWordCount(code)));
        return CompileError::None;
    case TokenClass::Prefix:
    case TokenClass::Open:
    case TokenClass::OpenModulus:
        stack.push_back(code);
        return CompileError::None;
    case TokenClass::Binary:
        pushBinary(stack, code, postfix);
        return CompileError::None;
    case TokenClass::Assign:
        return pushAssign(stack) ? CompileError::None : CompileError::AssignmentTarget;
    case TokenClass::Close:
        return popUntil(stack, kTokOpen, postfix) ? CompileError::None : CompileError::Brackets;
    case TokenClass::CloseModulus:
        if (!popUntil(stack, kTokOpenModulus, postfix)) {
            return CompileError::Brackets;
        }
        postfix.push_back(kTokModulus);
        return CompileError::None;
    case TokenClass::Invalid:
        break;
    }
    return CompileError::Internal;
}

// The change in the number of values a word makes.
int operandDelta(std::uint32_t code) {
    switch (tokenInfo(code).tokenClass) {
    case TokenClass::Operand:
        return 1;
    case TokenClass::Binary:
    case TokenClass::Assign:
        return -1;
    default:
        return 0;
    }
}

} // namespace

std::size_t tokenWidth(std::span<const std::uint32_t> words, std::size_t index) {
    return 1 + dataWordCount(words[index]);
}

CompileError convertToPostfix(std::span<const std::uint32_t> tokens,
                              std::vector<std::uint32_t>& postfix) {
    postfix.clear();
    std::vector<std::uint32_t> stack; // operators and opening brackets; empty is the bottom
    std::size_t index = 0;
    while (index < tokens.size() && tokens[index] != kTokEnd) {
        if (index + tokenWidth(tokens, index) > tokens.size()) {
            return CompileError::Internal;
        }
        const CompileError error = convertToken(tokens, index, stack, postfix);
        if (error != CompileError::None) {
            return error;
        }
        index += tokenWidth(tokens, index);
    }
    return popAll(stack, postfix) ? CompileError::None : CompileError::Brackets;
}

OperandCount countOperands(std::span<const std::uint32_t> postfix) {
    OperandCount count;
    if (postfix.empty()) {
        return count;
    }
    long depth = 0;
    for (std::size_t index = 0; index < postfix.size(); index += tokenWidth(postfix, index)) {
        depth += operandDelta(postfix[index]);
        if (depth < 1) {
            return count;
        }
        if (static_cast<std::uint32_t>(depth) > count.maxDepth) {
            count.maxDepth = static_cast<std::uint32_t>(depth);
        }
    }
    count.wellFormed = depth == 1;
    return count;
}

} // namespace vortimax
