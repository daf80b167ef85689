#pragma once

// Token codes of the formula language and the two tables that describe them: the reserved
// words in the order the tokenizer tries them, and the syntax class of every code (operand,
// prefix or two-operand operator with its binding level, bracket, assignment) used by the
// compiler. Codes below 256 are operators and functions, codes from 256 up are operands and
// brackets; `rand` and `lastsqr` are operands with codes below 256.

#include <cstdint>
#include <span>
#include <string_view>

namespace vortimax {

enum TokenCode : std::uint32_t {
    kTokEnd = 0,
    kTokSin = 1,
    kTokCos = 2,
    kTokTan = 3,
    kTokAsin = 4,
    kTokAcos = 5,
    kTokAtan = 6,
    kTokAbs = 7,
    kTokPlus = 8,
    kTokMinus = 9,
    kTokTimes = 10,
    kTokDivide = 11,
    kTokPower = 12,
    kTokNegate = 13,
    kTokLn = 14,
    kTokExp = 15,
    kTokLog = 16,
    kTokSinh = 17,
    kTokSqrt = 18,
    kTokTanh = 19,
    kTokCosh = 20,
    kTokCotan = 21,
    kTokCotanh = 22,
    kTokConj = 23,
    kTokReal = 24,
    kTokImag = 25,
    kTokAcot = 26,
    kTokAsinh = 27,
    kTokAcosh = 28,
    kTokAtanh = 29,
    kTokAcoth = 30,
    kTokArg = 31,
    kTokAnd = 32,
    kTokOr = 33,
    kTokEqual = 34,
    kTokGreaterEqual = 35,
    kTokLessEqual = 36,
    kTokNotEqual = 37,
    kTokLess = 38,
    kTokGreater = 39,
    kTokNot = 40,
    kTokSrand = 41,
    kTokRand = 42,
    kTokAssign = 43,
    kTokFn1 = 44,
    kTokFn2 = 45,
    kTokFn3 = 46,
    kTokFn4 = 47,
    kTokSqr = 48,
    kTokFlip = 49,
    kTokLastSqr = 50,
    // Control words the compiler writes for if blocks, each followed by one data word: the
    // index of the statement (within its section) to go on with. JumpIfFalse goes there
    // when the value before it has real part 0, Jump always.
    kTokJumpIfFalse = 51,
    kTokJump = 52,
    // Assignment inside an expression: followed by a data word, 0 for z or the number of
    // a variable, which receives the value before it; the value stays.
    kTokStore = 53,
    // Functions written only with a bracket after them (older formula files use these
    // names; elsewhere they stay free for variables).
    kTokCosxx = 60,
    kTokCabs = 61, // the modulus
    kTokRound = 62,
    kTokTrunc = 63,
    kTokFloor = 64,
    kTokCeil = 65,
    kTokIdent = 66,
    kTokZero = 67,
    kTokOne = 68,
    kTokRecip = 69,
    kTokModulus = 255, // a closed [ ] group: squared modulus
    kTokBailout = 257,
    kTokBailin = 258,
    kTokPixel = 259,
    kTokPi = 260,
    kTokTrue = 261,
    kTokFalse = 262,
    kTokE = 263,
    kTokI = 264,
    kTokOpen = 265,
    kTokClose = 266,
    kTokZ = 267,
    kTokVariable = 268, // followed by the variable number
    kTokOpenModulus = 269,
    kTokCloseModulus = 270,
    kTokP1 = 278,
    kTokP2 = 279,
    kTokP3 = 280,
    kTokP4 = 281,
    kTokNumber = 282, // followed by the double, low word first
    kTokIter = 283,
    kTokWidth = 284,
    kTokHeight = 285,
    kTokMaxIter = 286,
    kTokLeft = 287,
    kTokRight = 288,
    kTokTop = 289,
    kTokBottom = 290,
    kTokCorner1 = 291,
    kTokCorner2 = 292,
    kTokCorner3 = 293,
    kTokCorner4 = 294,
    kTokPosX = 295,
    kTokPosY = 296,
    kTokL0 = 297, // l0 ... l9 are 297 ... 306
    kTokL10 = 307,
};

// Codes run from 0 to kTokenCodeCount - 1.
inline constexpr std::uint32_t kTokenCodeCount = 308;

// One reserved word or operator symbol: its text, its code and the operand-expected flag
// it leaves behind (set after operators, functions and opening brackets, so that a
// following minus is a negation).
struct ReservedWord {
    std::string_view text;
    std::uint32_t code;
    bool operandExpected;
};

// The reserved words in the order in which the tokenizer tries them.
std::span<const ReservedWord> reservedWords();

// Whether `identifier` is exactly one of the reserved words.
bool isReservedWord(std::string_view identifier);

// The function words that are functions only where `(` follows them directly (cosxx,
// cabs, round, trunc, floor, ceil, ident, zero, one, recip); elsewhere these names are user
// variables, as they always were. Returns the code, or 0 when `identifier` is none of them.
std::uint32_t bracketFunctionCode(std::string_view identifier);

enum class TokenClass : std::uint8_t {
    Invalid,      // no token has this code
    Operand,      // pushes one value
    Prefix,       // function, negation, `!`, `srand`, the squared-modulus group
    Binary,       // two-operand operator
    Assign,       // `=`
    Open,         // `(`
    Close,        // `)`
    OpenModulus,  // `[`
    CloseModulus, // `]`
};

struct TokenInfo {
    TokenClass tokenClass = TokenClass::Invalid;
    std::uint8_t level = 0; // binding level, 1 (`=`) loosest to 6 (prefix operators) tightest
};

// The syntax class of `code`; Invalid for codes outside 0 ... 307 and unused codes.
TokenInfo tokenInfo(std::uint32_t code);

// Number of data words that follow `code` in a token sequence: 2 for a number, 1 for a
// variable, a jump or a store, 0 otherwise.
std::uint32_t dataWordCount(std::uint32_t code);

} // namespace vortimax
