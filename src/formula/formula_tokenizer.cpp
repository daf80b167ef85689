#include "formula/formula_tokenizer.h"

#include "base/text_utils.h"
#include "formula/formula_token_codes.h"

#include <bit>
#include <string_view>

namespace vortimax {

namespace {

constexpr std::string_view kAllowedSymbols = ".+-*/^()&|=><!_[]";

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isIdentifierCharacter(char c) {
    return isLetter(c) || isDigit(c) || c == '_';
}

bool isNumberCharacter(char c) {
    return isDigit(c) || c == '.';
}

// The first reserved word (in table order) that `rest` starts with.
const ReservedWord* matchReservedWord(std::string_view rest) {
    for (const ReservedWord& word : reservedWords()) {
        if (rest.starts_with(word.text)) {
            return &word;
        }
    }
    return nullptr;
}

std::size_t runLength(std::string_view text, std::size_t start, bool (*belongs)(char)) {
    std::size_t end = start;
    while (end < text.size() && belongs(text[end])) {
        ++end;
    }
    return end - start;
}

// Whether the text after a number multiplies it: 3z is 3*z and 2(z+1) is 2*(z+1), as in
// older formula files. Not before `e` and a digit (1e5 could be meant as an exponent, so it
// stays an error), and not where any other token follows.
bool multipliesImplicitly(std::string_view rest) {
    if (rest.empty() || !(isLetter(rest[0]) || rest[0] == '(')) {
        return false;
    }
    return !(rest[0] == 'e' && rest.size() > 1 && isDigit(rest[1]));
}

// Reads the token at `pos` into `tokens`, moving `pos` past it.
CompileError readToken(std::string_view statement, std::size_t& pos, bool& operandExpected,
                       VariableList& variables, std::vector<std::uint32_t>& tokens) {
    const char c = statement[pos];
    if (c == '-') {
        tokens.push_back(operandExpected ? kTokNegate : kTokMinus);
        operandExpected = true;
        ++pos;
        return CompileError::None;
    }
    if (isLetter(c)) {
        const std::size_t length = runLength(statement, pos, isIdentifierCharacter);
        const std::string_view identifier = statement.substr(pos, length);
        const bool bracketFollows =
            pos + length < statement.size() && statement[pos + length] == '(';
        if (const std::uint32_t function = bracketFunctionCode(identifier);
            function != 0 && bracketFollows && !variables.shadows(identifier)) {
            tokens.push_back(function);
            operandExpected = true;
            pos += length;
            return CompileError::None;
        }
        if (!isReservedWord(identifier) || variables.shadows(identifier)) {
            if (length > kMaxIdentifierLength) {
                return CompileError::TooLong;
            }
            if (bracketFollows) {
                return CompileError::UnknownFunction;
            }
            tokens.push_back(kTokVariable);
            tokens.push_back(variables.numberOf(identifier));
            operandExpected = false;
            pos += length;
            return CompileError::None;
        }
    }
    if (const ReservedWord* word = matchReservedWord(statement.substr(pos))) {
        tokens.push_back(word->code);
        operandExpected = word->operandExpected;
        pos += word->text.size();
        return CompileError::None;
    }
    if (isNumberCharacter(c)) {
        const std::size_t length = runLength(statement, pos, isNumberCharacter);
        const std::optional<double> value = scanDouble(statement.substr(pos, length));
        if (!value) {
            return CompileError::UnknownToken;
        }
        appendNumberToken(tokens, *value);
        operandExpected = false;
        pos += length;
        if (multipliesImplicitly(statement.substr(pos))) {
            tokens.push_back(kTokTimes);
            operandExpected = true;
        }
        return CompileError::None;
    }
    return CompileError::UnknownToken;
}

} // namespace

std::optional<std::string> checkStatementCharacters(std::string_view statement) {
    std::string folded;
    folded.reserve(statement.size());
    for (const char c : statement) {
        if (!isIdentifierCharacter(c) && kAllowedSymbols.find(c) == std::string_view::npos) {
            return std::nullopt;
        }
        folded.push_back(asciiLower(c));
    }
    return folded;
}

CompileError tokenize(std::string_view statement, VariableList& variables,
                      std::vector<std::uint32_t>& tokens) {
    tokens.clear();
    std::size_t pos = 0;
    bool operandExpected = true;
    while (pos < statement.size()) {
        const CompileError error = readToken(statement, pos, operandExpected, variables, tokens);
        if (error != CompileError::None) {
            tokens.clear();
            return error;
        }
    }
    tokens.push_back(kTokEnd);
    return CompileError::None;
}

void appendNumberToken(std::vector<std::uint32_t>& words, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    words.push_back(kTokNumber);
    words.push_back(static_cast<std::uint32_t>(bits & 0xFFFFFFFFu));
    words.push_back(static_cast<std::uint32_t>(bits >> 32));
}

double readNumberWords(const std::uint32_t* words) {
    const std::uint64_t bits =
        static_cast<std::uint64_t>(words[0]) | (static_cast<std::uint64_t>(words[1]) << 32);
    return std::bit_cast<double>(bits);
}

} // namespace vortimax
