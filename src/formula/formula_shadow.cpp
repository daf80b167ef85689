#include "formula/formula_shadow.h"

#include "formula/formula_preprocess.h"
#include "formula/formula_token_codes.h"
#include "formula/formula_tokenizer.h"

#include <algorithm>
#include <optional>

namespace vortimax {

namespace {

bool isShadowable(std::uint32_t code) {
    if (code == kTokZ || code == kTokRand || code == kTokNumber || code == kTokVariable) {
        return false;
    }
    return tokenInfo(code).tokenClass == TokenClass::Operand;
}

std::string_view textOf(std::uint32_t code) {
    for (const ReservedWord& word : reservedWords()) {
        if (word.code == code) {
            return word.text;
        }
    }
    return {};
}

std::uint32_t codeOf(std::string_view name) {
    for (const ReservedWord& word : reservedWords()) {
        if (word.text == name) {
            return word.code;
        }
    }
    return kTokEnd;
}

void collect(const std::string& line, std::vector<std::string>& names) {
    const std::optional<std::string> prepared = prepareStatement(line);
    const std::optional<std::string> checked =
        prepared ? checkStatementCharacters(*prepared) : std::nullopt;
    if (!checked) {
        return;
    }
    VariableList scratch;
    std::vector<std::uint32_t> tokens;
    if (tokenize(*checked, scratch, tokens) != CompileError::None) {
        return;
    }
    for (std::size_t at = 0; at + 1 < tokens.size(); at += 1 + dataWordCount(tokens[at])) {
        if (isShadowable(tokens[at]) && tokens[at + 1] == kTokAssign) {
            const std::string name(textOf(tokens[at]));
            if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(name);
            }
        }
    }
}

} // namespace

std::vector<std::string> assignedPredefinedNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        collect(line, names);
    }
    return names;
}

CompiledStatement shadowStart(std::string_view name, std::uint32_t variable) {
    CompiledStatement statement;
    statement.words = {codeOf(name), kTokEnd, kTokVariable, variable, kTokEnd};
    statement.stackDepth = 1;
    statement.highestVariable = variable;
    return statement;
}

} // namespace vortimax
