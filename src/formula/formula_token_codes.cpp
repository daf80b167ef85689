#include "formula/formula_token_codes.h"

#include <algorithm>
#include <array>

namespace vortimax {

namespace {

// In the order the tokenizer tries them. Identifiers are matched whole first, so `sinh` is
// never read as `sin` and `h`; `&&`, `||` and the two-character comparisons stand before `!`,
// `<`, `>` and `=`, so the longer operator wins.
constexpr std::array<ReservedWord, 90> kReservedWords{{
    {"corner1", kTokCorner1, false},
    {"corner2", kTokCorner2, false},
    {"corner3", kTokCorner3, false},
    {"corner4", kTokCorner4, false},
    {"maxiter", kTokMaxIter, false},
    {"bailout", kTokBailout, false},
    {"lastsqr", kTokLastSqr, false},
    {"bailin", kTokBailin, false},
    {"cotanh", kTokCotanh, true},
    {"height", kTokHeight, false},
    {"bottom", kTokBottom, false},
    {"pixel", kTokPixel, false},
    {"cotan", kTokCotan, true},
    {"right", kTokRight, false},
    {"asinh", kTokAsinh, true},
    {"acosh", kTokAcosh, true},
    {"atanh", kTokAtanh, true},
    {"acoth", kTokAcoth, true},
    {"srand", kTokSrand, true},
    {"false", kTokFalse, false},
    {"width", kTokWidth, false},
    {"iter", kTokIter, false},
    {"left", kTokLeft, false},
    {"asin", kTokAsin, true},
    {"acos", kTokAcos, true},
    {"atan", kTokAtan, true},
    {"sinh", kTokSinh, true},
    {"tanh", kTokTanh, true},
    {"cosh", kTokCosh, true},
    {"acot", kTokAcot, true},
    {"sqrt", kTokSqrt, true},
    {"conj", kTokConj, true},
    {"real", kTokReal, true},
    {"imag", kTokImag, true},
    {"rand", kTokRand, false},
    {"flip", kTokFlip, true},
    {"true", kTokTrue, false},
    {"posx", kTokPosX, false},
    {"posy", kTokPosY, false},
    {"sin", kTokSin, true},
    {"top", kTokTop, false},
    {"cos", kTokCos, true},
    {"tan", kTokTan, true},
    {"abs", kTokAbs, true},
    {"exp", kTokExp, true},
    {"log", kTokLog, true},
    {"arg", kTokArg, true},
    {"fn1", kTokFn1, true},
    {"fn2", kTokFn2, true},
    {"fn3", kTokFn3, true},
    {"fn4", kTokFn4, true},
    {"sqr", kTokSqr, true},
    {"l10", kTokL10, false},
    {"l0", kTokL0 + 0, false},
    {"l1", kTokL0 + 1, false},
    {"l2", kTokL0 + 2, false},
    {"l3", kTokL0 + 3, false},
    {"l4", kTokL0 + 4, false},
    {"l5", kTokL0 + 5, false},
    {"l6", kTokL0 + 6, false},
    {"l7", kTokL0 + 7, false},
    {"l8", kTokL0 + 8, false},
    {"l9", kTokL0 + 9, false},
    {"ln", kTokLn, true},
    {"&&", kTokAnd, true},
    {"||", kTokOr, true},
    {"==", kTokEqual, true},
    {">=", kTokGreaterEqual, true},
    {"<=", kTokLessEqual, true},
    {"!=", kTokNotEqual, true},
    {"pi", kTokPi, false},
    {"p1", kTokP1, false},
    {"p2", kTokP2, false},
    {"p3", kTokP3, false},
    {"p4", kTokP4, false},
    {"!", kTokNot, true},
    {"<", kTokLess, true},
    {">", kTokGreater, true},
    {"+", kTokPlus, true},
    {"*", kTokTimes, true},
    {"/", kTokDivide, true},
    {"^", kTokPower, true},
    {"e", kTokE, false},
    {"i", kTokI, false},
    {"z", kTokZ, false},
    {"(", kTokOpen, true},
    {")", kTokClose, false},
    {"[", kTokOpenModulus, true},
    {"]", kTokCloseModulus, false},
    {"=", kTokAssign, true},
}};

constexpr std::array<ReservedWord, 10> kBracketFunctions{{
    {"cosxx", kTokCosxx, true},
    {"cabs", kTokCabs, true},
    {"round", kTokRound, true},
    {"trunc", kTokTrunc, true},
    {"floor", kTokFloor, true},
    {"ceil", kTokCeil, true},
    {"ident", kTokIdent, true},
    {"zero", kTokZero, true},
    {"one", kTokOne, true},
    {"recip", kTokRecip, true},
}};

struct ClassRow {
    std::uint32_t code;
    TokenClass tokenClass;
    std::uint8_t level;
};

constexpr std::uint8_t kPrefixLevel = 6;

// Every code that is not a plain operand (codes of 256 and above are operands unless listed).
constexpr ClassRow kClassRows[] = {
    {kTokAssign, TokenClass::Assign, 1},
    {kTokAnd, TokenClass::Binary, 2},
    {kTokOr, TokenClass::Binary, 2},
    {kTokEqual, TokenClass::Binary, 2},
    {kTokNotEqual, TokenClass::Binary, 2},
    {kTokLess, TokenClass::Binary, 2},
    {kTokGreater, TokenClass::Binary, 2},
    {kTokLessEqual, TokenClass::Binary, 2},
    {kTokGreaterEqual, TokenClass::Binary, 2},
    {kTokPlus, TokenClass::Binary, 3},
    {kTokMinus, TokenClass::Binary, 3},
    {kTokTimes, TokenClass::Binary, 4},
    {kTokDivide, TokenClass::Binary, 4},
    {kTokPower, TokenClass::Binary, 5},
    {kTokNegate, TokenClass::Prefix, kPrefixLevel},
    {kTokNot, TokenClass::Prefix, kPrefixLevel},
    {kTokSrand, TokenClass::Prefix, kPrefixLevel},
    {kTokFn1, TokenClass::Prefix, kPrefixLevel},
    {kTokFn2, TokenClass::Prefix, kPrefixLevel},
    {kTokFn3, TokenClass::Prefix, kPrefixLevel},
    {kTokFn4, TokenClass::Prefix, kPrefixLevel},
    {kTokSqr, TokenClass::Prefix, kPrefixLevel},
    {kTokFlip, TokenClass::Prefix, kPrefixLevel},
    {kTokModulus, TokenClass::Prefix, kPrefixLevel},
    {kTokCosxx, TokenClass::Prefix, kPrefixLevel},
    {kTokCabs, TokenClass::Prefix, kPrefixLevel},
    {kTokRound, TokenClass::Prefix, kPrefixLevel},
    {kTokTrunc, TokenClass::Prefix, kPrefixLevel},
    {kTokFloor, TokenClass::Prefix, kPrefixLevel},
    {kTokCeil, TokenClass::Prefix, kPrefixLevel},
    {kTokIdent, TokenClass::Prefix, kPrefixLevel},
    {kTokZero, TokenClass::Prefix, kPrefixLevel},
    {kTokOne, TokenClass::Prefix, kPrefixLevel},
    {kTokRecip, TokenClass::Prefix, kPrefixLevel},
    {kTokRand, TokenClass::Operand, 0},
    {kTokLastSqr, TokenClass::Operand, 0},
    {kTokOpen, TokenClass::Open, 0},
    {kTokClose, TokenClass::Close, 0},
    {kTokOpenModulus, TokenClass::OpenModulus, 0},
    {kTokCloseModulus, TokenClass::CloseModulus, 0},
    {256, TokenClass::Invalid, 0},
    {271, TokenClass::Invalid, 0},
    {272, TokenClass::Invalid, 0},
    {273, TokenClass::Invalid, 0},
    {274, TokenClass::Invalid, 0},
    {275, TokenClass::Invalid, 0},
    {276, TokenClass::Invalid, 0},
    {277, TokenClass::Invalid, 0},
};

// The named functions: sin ... abs (1 ... 7) and ln ... arg (14 ... 31).
constexpr bool isLibraryFunction(std::uint32_t code) {
    return (code >= kTokSin && code <= kTokAbs) || (code >= kTokLn && code <= kTokArg);
}

constexpr auto kClassTable = [] {
    std::array<TokenInfo, kTokenCodeCount> table{};
    for (std::uint32_t code = 0; code < kTokenCodeCount; ++code) {
        if (code >= 256) {
            table[code] = {TokenClass::Operand, 0};
        } else if (isLibraryFunction(code)) {
            table[code] = {TokenClass::Prefix, kPrefixLevel};
        }
    }
    for (const ClassRow& row : kClassRows) {
        table[row.code] = {row.tokenClass, row.level};
    }
    return table;
}();

} // namespace

std::span<const ReservedWord> reservedWords() {
    return kReservedWords;
}

bool isReservedWord(std::string_view identifier) {
    return std::any_of(kReservedWords.begin(), kReservedWords.end(),
                       [&](const ReservedWord& word) { return word.text == identifier; });
}

std::uint32_t bracketFunctionCode(std::string_view identifier) {
    for (const ReservedWord& word : kBracketFunctions) {
        if (word.text == identifier) {
            return word.code;
        }
    }
    return 0;
}

TokenInfo tokenInfo(std::uint32_t code) {
    return code < kTokenCodeCount ? kClassTable[code] : TokenInfo{};
}

std::uint32_t dataWordCount(std::uint32_t code) {
    if (code == kTokNumber) {
        return 2;
    }
    return code == kTokVariable || code == kTokJumpIfFalse || code == kTokJump || code == kTokStore
               ? 1
               : 0;
}

} // namespace vortimax
