#pragma once

// Helpers of the formula tests: compiled words written as readable text.

#include "base/text_utils.h"
#include "formula/formula_statement.h"
#include "formula/formula_token_codes.h"
#include "formula/formula_tokenizer.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>

namespace vortimax::test {

// The text of a code: its reserved word, or "-", "neg", "mod" for the codes without one.
inline std::string codeText(std::uint32_t code) {
    const std::pair<std::uint32_t, const char*> unnamed[] = {
        {kTokMinus, "-"}, {kTokNegate, "neg"}, {kTokModulus, "mod"}};
    for (const auto& [unnamedCode, text] : unnamed) {
        if (code == unnamedCode) {
            return text;
        }
    }
    for (const ReservedWord& word : reservedWords()) {
        if (word.code == code) {
            return std::string(word.text);
        }
    }
    return "?" + std::to_string(code);
}

// Words until the 0 word, separated by blanks: numbers as their shortest text, variables
// as "#n". `index` is left after the 0 word.
inline std::string wordsText(std::span<const std::uint32_t> words, std::size_t& index) {
    std::string text;
    while (index < words.size() && words[index] != kTokEnd) {
        const std::uint32_t code = words[index++];
        if (!text.empty()) {
            text += ' ';
        }
        if (code == kTokNumber) {
            text += formatShortest(readNumberWords(&words[index]));
            index += 2;
        } else if (code == kTokVariable) {
            text += "#" + std::to_string(words[index++]);
        } else {
            text += codeText(code);
        }
    }
    ++index;
    return text;
}

// A compiled statement as "postfix ; targets", e.g. "z 2 ^ p1 + ; z".
inline std::string statementText(const CompiledStatement& statement) {
    std::size_t index = 0;
    const std::string postfix = wordsText(statement.words, index);
    const std::string targets = wordsText(statement.words, index);
    return targets.empty() ? postfix : postfix + " ; " + targets;
}

} // namespace vortimax::test
