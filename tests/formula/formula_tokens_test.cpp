// Tests of formula preprocessing, bar conversion and the tokenizer.

#include "formula/formula_preprocess.h"
#include "formula/formula_token_codes.h"
#include "formula/formula_tokenizer.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vortimax {
namespace {

using Lines = std::vector<std::string>;
using Words = std::vector<std::uint32_t>;

TEST(FormulaPreprocess, SplitsIntoBlankFreeLines) {
    const struct {
        std::string source;
        Lines lines;
    } cases[] = {
        {"z = Pixel:\nz = z^2 + Pixel\nabs(z) <= 4", {"z=pixel", ":", "z=z^2+pixel", "abs(z)<=4"}},
        {"z = 1, c = sin((a,b), c)", {"z=1", "c=sin((a+i*b)+i*c)"}},
        {"z=1 ; a comment, with: punctuation\nc=2", {"z=1", "c=2"}},
        {std::string("z\t=\r\n \xE9 1\0\r\n", 12), {"z=", "1"}},
        {"\n\n:\n\n\n:\n", {":", ":"}},
        {"z=pixel:z=z*z+p1,abs(z)<4", {"z=pixel", ":", "z=z*z+p1", "abs(z)<4"}},
        {"x = 1 ) , y = 2", {"x=1)", "y=2"}},
    };
    for (const auto& [source, lines] : cases) {
        EXPECT_EQ(preprocessFormula(source), lines) << source;
    }
}

TEST(FormulaPreprocess, BarsBecomeBracketsPerDepth) {
    const struct {
        std::string text;
        std::string prepared;
    } cases[] = {
        {"|z|", "[z]"},         {"|z|<=4|||w|>1", "[z]<=4||[w]>1"},
        {"|z+|w||", "[z+]w||"}, {"|(z+|w|)|", "[(z+[w])]"},
        {"z)|x|", "z)[x]"},
    };
    for (const auto& [text, prepared] : cases) {
        EXPECT_EQ(prepareStatement(text), prepared) << text;
    }
    const std::string deepest(kMaxBarDepth - 1, '(');
    EXPECT_EQ(prepareStatement(deepest + "|z|"), deepest + "[z]");
    EXPECT_FALSE(prepareStatement(deepest + "(|z|").has_value());
}

Words tokens(const std::string& statement, VariableList& variables) {
    Words words;
    EXPECT_EQ(tokenize(statement, variables, words), CompileError::None) << statement;
    return words;
}

Words tokens(const std::string& statement) {
    VariableList variables;
    return tokens(statement, variables);
}

constexpr std::uint32_t kVar = kTokVariable;
constexpr std::uint32_t kOneHigh = 0x3FF00000u; // high word of 1.0

TEST(FormulaTokenizer, TokenSequences) {
    const struct {
        std::string statement;
        Words words;
    } cases[] = {
        {"a--b", {kVar, 1, kTokMinus, kTokNegate, kVar, 2, 0}},
        {"(z)-1", {kTokOpen, kTokZ, kTokClose, kTokMinus, kTokNumber, 0, kOneHigh, 0}},
        {"[z]-i", {kTokOpenModulus, kTokZ, kTokCloseModulus, kTokMinus, kTokI, 0}},
        {"zz*e5*pixels", {kVar, 1, kTokTimes, kVar, 2, kTokTimes, kVar, 3, 0}},
        {"l10+l1", {kTokL10, kTokPlus, kTokL0 + 1, 0}},
        {"", {0}},
    };
    for (const auto& [statement, words] : cases) {
        EXPECT_EQ(tokens(statement), words) << statement;
    }
    EXPECT_EQ(tokens(*checkStatementCharacters("Z=Z^2+PIXEL")), tokens("z=z^2+pixel"));
}

TEST(FormulaTokenizer, EveryReservedWordYieldsItsCode) {
    for (const ReservedWord& word : reservedWords()) {
        EXPECT_EQ(tokens(std::string(word.text)), (Words{word.code, 0})) << word.text;
    }
}

TEST(FormulaTokenizer, VariablesAreNumberedFromOneInOrderOfAppearance) {
    VariableList variables;
    EXPECT_EQ(tokens("b+a+b", variables),
              (Words{kVar, 1, kTokPlus, kVar, 2, kTokPlus, kVar, 1, 0}));
    EXPECT_EQ(tokens("c+a", variables), (Words{kVar, 3, kTokPlus, kVar, 2, 0}));
    EXPECT_EQ(variables.size(), 3u);
    EXPECT_EQ(variables.nameOf(1), "b");
    EXPECT_EQ(variables.find("d"), 0u);
}

TEST(FormulaTokenizer, NumbersReadLikeScanf) {
    const struct {
        std::string text;
        double value;
    } cases[] = {{"1.5.2", 1.5}, {".5", 0.5}, {"2.", 2.0}, {"0.1", 0.1}};
    for (const auto& [text, value] : cases) {
        const Words words = tokens(text);
        ASSERT_EQ(words.size(), 4u) << text;
        EXPECT_EQ(readNumberWords(&words[1]), value) << text;
    }
}

} // namespace
} // namespace vortimax
