#include "formula/formula_store.h"

#include "formula/formula_postfix.h"
#include "formula/formula_token_codes.h"

#include <optional>

namespace vortimax {

namespace {

// The values a word takes from the stack.
int takes(std::uint32_t code) {
    if (code == kTokStore) {
        return 1;
    }
    switch (tokenInfo(code).tokenClass) {
    case TokenClass::Prefix:
        return 1;
    case TokenClass::Binary:
    case TokenClass::Assign:
        return 2;
    default:
        return 0;
    }
}

std::vector<std::size_t> tokenStarts(const std::vector<std::uint32_t>& words) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < words.size(); at += tokenWidth(words, at)) {
        starts.push_back(at);
    }
    return starts;
}

// The first `=` token followed by a word other than `=`.
std::optional<std::size_t> innerAssignment(const std::vector<std::uint32_t>& words,
                                           const std::vector<std::size_t>& starts) {
    for (std::size_t t = 0; t + 1 < starts.size(); ++t) {
        if (words[starts[t]] == kTokAssign && words[starts[t + 1]] != kTokAssign) {
            return t;
        }
    }
    return std::nullopt;
}

// The first token of the value that ends just before token `end`.
std::optional<std::size_t> valueStart(const std::vector<std::uint32_t>& words,
                                      const std::vector<std::size_t>& starts, std::size_t end) {
    long need = 1;
    for (std::size_t t = end; t-- > 0;) {
        need += takes(words[starts[t]]) - 1;
        if (need == 0) {
            return t;
        }
    }
    return std::nullopt;
}

} // namespace

CompileError storeInnerAssignments(std::vector<std::uint32_t>& postfix) {
    for (;;) {
        const std::vector<std::size_t> starts = tokenStarts(postfix);
        const std::optional<std::size_t> assign = innerAssignment(postfix, starts);
        if (!assign) {
            return CompileError::None;
        }
        const std::optional<std::size_t> value = valueStart(postfix, starts, *assign);
        if (!value || *value == 0) {
            return CompileError::AssignmentTarget;
        }
        const std::size_t targetAt = starts[*value - 1];
        const std::uint32_t target = postfix[targetAt];
        if (target != kTokZ && target != kTokVariable) {
            return CompileError::AssignmentTarget;
        }
        const std::uint32_t variable = target == kTokZ ? 0 : postfix[targetAt + 1];
        std::vector<std::uint32_t> rewritten(postfix.begin(),
                                             postfix.begin() + static_cast<long>(targetAt));
        rewritten.insert(rewritten.end(), postfix.begin() + static_cast<long>(starts[*value]),
                         postfix.begin() + static_cast<long>(starts[*assign]));
        rewritten.insert(rewritten.end(), {kTokStore, variable});
        rewritten.insert(rewritten.end(), postfix.begin() + static_cast<long>(starts[*assign] + 1),
                         postfix.end());
        postfix = std::move(rewritten);
    }
}

} // namespace vortimax
