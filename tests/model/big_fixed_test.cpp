#include "model/big_fixed.h"

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

namespace vortimax {
namespace {

using Words = BigFixed::Words;

constexpr int kFile = BigFixed::kFileDigitLimit;
constexpr double kInf = std::numeric_limits<double>::infinity();

BigFixed parse(const std::string& text, int limit = kFile) {
    const std::optional<BigFixed> value = BigFixed::fromText(text, limit);
    EXPECT_TRUE(value.has_value()) << "no number in \"" << text << "\"";
    return value.value_or(BigFixed{});
}

constexpr std::uint32_t kAll = 0xFFFFFFFFu;
const BigFixed kUlp = BigFixed::fromWords({1, 0, 0, 0, 0, 0, 0, 0, 0, 0});
const BigFixed kTop = BigFixed::fromWords({kAll, kAll, kAll, kAll, kAll, kAll, kAll, kAll, kAll,
                                           0x7FFFFFFFu}); // largest magnitude, 2^23 - 2^-296
const BigFixed kMostNegative = BigFixed::fromWords({0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80000000u});
// A positive value with bits in every word: about 1234.56...
const BigFixed kPattern =
    BigFixed::fromWords({0x89ABCDEFu, 0x01234567u, 0xDEADBEEFu, 0x0BADF00Du, 0x13579BDFu,
                         0x2468ACE0u, 0xFEDCBA98u, 0x76543210u, 0xCAFEBABEu, 0x0004D2A5u});

// Exact decimal half of a non-negative decimal text "I.F" (one more fraction digit).
std::string halved(const std::string& text) {
    std::string result;
    int remainder = 0;
    for (const char c : text + "0") {
        const int current = remainder * 10 + (c - '0');
        result.push_back(c == '.' ? '.' : static_cast<char>('0' + current / 2));
        remainder = c == '.' ? remainder : current % 2;
    }
    return result;
}

TEST(BigFixedWords, LayoutCarriesAndWraps) {
    EXPECT_TRUE(BigFixed{}.isZero());
    // The top word carries 8 fraction bits; 2^-40 is the lowest bit of w9.
    const std::pair<const char*, Words> layout[] = {
        {"1", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x100}},
        {"-1", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFFFF00u}},
        {"9.094947017729282379150390625e-13", {0, 0, 0, 0, 0, 0, 0, 0, 1, 0}}};
    for (const auto& [text, words] : layout) {
        EXPECT_EQ(parse(text).words(), words) << text;
    }
    const BigFixed one = BigFixed::fromInteger(1);
    BigFixed accumulated = one - kUlp;
    accumulated += kUlp; // carries through all ten words
    EXPECT_EQ(accumulated, one);
    accumulated -= one;
    EXPECT_TRUE(accumulated.isZero());

    EXPECT_EQ(kPattern - kPattern, BigFixed{});
    EXPECT_EQ((kPattern + one) - one, kPattern);
    EXPECT_TRUE((-kPattern).isNegative());
    EXPECT_EQ(-(-kPattern), kPattern);
    EXPECT_EQ(-BigFixed{}, BigFixed{});
    EXPECT_EQ((-kUlp).words(), (Words{kAll, kAll, kAll, kAll, kAll, kAll, kAll, kAll, kAll, kAll}));
    // Overflow out of the top word wraps (only the conversions saturate).
    EXPECT_EQ(kTop + kUlp, kMostNegative);
    EXPECT_EQ(kMostNegative - kUlp, kTop);
}

TEST(BigFixedToDouble, WordWeightsSignsAndSummingOrder) {
    const std::pair<Words, double> cases[] = {
        {{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0, 0, 0, 0, 0, 0}, 0.0}, // w1..w3 ignored
        {(-kUlp).words(), 0.0},
        {{0, 0, 0, 1, 0, 0, 0, 0, 0, 0}, std::ldexp(1.0, -200)},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7FFFFFFFu}, 8388608.0 - std::ldexp(1.0, -8)},
        {kTop.words(), 8388608.0}, // rounds up to 2^23
        {kMostNegative.words(), -8388608.0},
        // 1 + 2^-53 + 2^-90 summed top-down: 1 + 2^-53 ties to 1.0, then 2^-90 is lost;
        // bottom-up (or correctly rounded) summing would give 1 + 2^-52.
        {{0, 0, 0, 0, 0, 0, 1u << 14, 1u << 19, 0, 0x100}, 1.0}};

    for (const auto& [words, expected] : cases) {
        EXPECT_EQ(BigFixed::fromWords(words).toDouble(), expected) << expected;
    }
    for (const char* text : {"0", "0.5", "-2.1", "1.35", "0.3", "1234.5678", "-1.2345e-30"}) {
        const double value = std::strtod(text, nullptr);
        EXPECT_EQ(parse(text).toDouble(), value) << text;
        // fromDouble keeps 15 decimals, so the tiny value becomes zero.
        EXPECT_EQ(BigFixed::fromDouble(value).toDouble(), std::fabs(value) < 1e-15 ? 0 : value);
    }
}

TEST(BigFixedText, RoundTripsTypicalAreaValues) {
    for (const char* text :
         {"-2.1", "0.7", "1.35", "0.3", "-0.3", "2.0", "0.0", "-0.5", "1234567.0",
          "-0.7436438870371587048506761640000000000001",
          "-0.000000000000000000000000000001234567890123456789012345678901234567891"}) {
        const BigFixed value = parse(text);
        EXPECT_EQ(value.toText(), text); // 0.3 would print 0.2999... if parsing truncated
        EXPECT_EQ(parse(value.toText()), value) << text;
    }
}

TEST(BigFixedText, ReadsAndPrintsRoundingHalfAwayFromZero) {
    // Text read, fraction digits printed, text printed.
    const std::tuple<const char*, int, const char*> cases[] = {
        {"-3E2", 85, "-300.0"}, {"1.e3", 85, "1000.0"},     {"2E+3", 85, "2000.0"},
        {"-.5e1", 85, "-5.0"},  {"  \t-0.25", 85, "-0.25"}, {"7e", 85, "7.0"},
        {"7e+", 85, "7.0"},     {"1.5abc", 85, "1.5"},      {"1.5.3", 85, "1.5"},
        {"-0", 85, "0.0"},      {".5", 85, "0.5"},          {"+0.25", 85, "0.25"},
        {"1.25", 1, "1.3"},     {"-1.25", 1, "-1.3"},       {"-0.125", 2, "-0.13"},
        {"1.2499", 1, "1.2"},   {"0.9996", 3, "1.0"},       {"-9.96", 1, "-10.0"},
        {"1.95", 0, "2.0"},     {"-0.0004", 3, "0.0"},      {"-0.0625", 3, "-0.063"},
        {"-0.0625", 2, "-0.06"}};
    for (const auto& [text, digits, expected] : cases) {
        EXPECT_EQ(parse(text).toText(digits), expected) << text << " " << digits;
    }
    EXPECT_EQ(parse("+1.5e-015").toText(), "0.0000000000000015");
    EXPECT_EQ(kMostNegative.toText(), "-8388608.0");
    // 2^-296 needs all 296 digits; within the default 85 it rounds to an unsigned zero.
    EXPECT_EQ(kUlp.toText(1000).size(), 2u + 296u);
    EXPECT_EQ(kUlp.toText(), "0.0");
    EXPECT_EQ((-kUlp).toText(), "0.0");
}

TEST(BigFixedText, FromDoubleAndFromInteger) {
    EXPECT_EQ(BigFixed::fromDouble(-2.1).toText(), "-2.1");
    EXPECT_EQ(BigFixed::fromDouble(-0.0), BigFixed{});
    EXPECT_EQ(BigFixed::fromDouble(4e-16), BigFixed{}); // "+0.000000000000000"
    EXPECT_EQ(BigFixed::fromDouble(6e-16), parse("0.000000000000001"));
    // The text "%+.15f" gives, kept to 20 significant digits.
    const BigFixed fromDouble = BigFixed::fromDouble(1234567.123456789012345);
    EXPECT_EQ(fromDouble, parse("+1234567.123456788947806", BigFixed::kDoubleDigitLimit));
    EXPECT_NE(fromDouble, parse("+1234567.123456788947806", kFile));
    EXPECT_EQ(BigFixed::fromInteger(8388607).toText(), "8388607.0");
    EXPECT_EQ(BigFixed::fromInteger(LLONG_MIN), -kTop);
}

TEST(BigFixedText, RoundsToTheNearestFractionBit) {
    EXPECT_EQ(BigFixed::fromText(kPattern.toText(1000), 1000), kPattern);
    // Just above half an ulp (2^-297 = 3.92727477...e-90) gives an ulp, just below 0.
    const std::string aboveHalf =
        "3.9272747722381812424766175639890205143801724099995596520893e-90";
    EXPECT_EQ(parse(aboveHalf, 1000), kUlp);
    EXPECT_EQ(parse("-" + aboveHalf, 1000), -kUlp);
    EXPECT_EQ(parse("3.92727477223818124247661756398902051438017240999955965208e-90", 1000),
              BigFixed{});
    // Exact ties: 2.5 ulps goes to 3 (half-to-even or truncation would give 2).
    const std::string tie = halved(kUlp.multipliedBy(5.0).toText(1000));
    ASSERT_EQ(tie.size(), 2u + 297u);
    EXPECT_EQ(parse(tie, 1000), kUlp.multipliedBy(3.0));
    EXPECT_EQ(parse("-" + tie, 1000), -kUlp.multipliedBy(3.0));
}

TEST(BigFixedText, DigitLimitCountsSignificantDigits) {
    const std::string text = "0.123456789912345678991234567899123456789912345"; // 45 digits
    EXPECT_EQ(parse(text, BigFixed::kDoubleDigitLimit).toText(), "0.12345678991234567899");
    EXPECT_EQ(parse(text, kFile).toText(), "0.1234567899123456789912345678991234567899");
    EXPECT_EQ(parse(text, 1000).toText(), text);
    // Leading zeros do not count; ignored digits are zeros (no rounding at the limit).
    EXPECT_EQ(parse("0.000000000012345", 3), parse("0.0000000000123"));
    EXPECT_EQ(parse("0.9999", 2), parse("0.99"));
    EXPECT_EQ(parse("1234567.891", 3), BigFixed::fromInteger(1230000));
}

TEST(BigFixedText, SaturatesOrVanishesOutsideTheRange) {
    const std::string beyond[] = {"9999999", "8388608", "1e999999999999999999999999",
                                  "8388607." + std::string(100, '9')}; // rounds to 2^23
    for (const std::string& text : beyond) {
        EXPECT_EQ(parse(text, 1000), kTop) << text;
        EXPECT_EQ(parse("-" + text, 1000), -kTop) << text;
    }
    EXPECT_NE(parse("8388607." + std::string(80, '9'), 1000), kTop);
    EXPECT_EQ(parse("8388607.99").toText(), "8388607.99");
    EXPECT_EQ(BigFixed::fromDouble(1e300), kTop);
    EXPECT_EQ(BigFixed::fromDouble(-kInf), -kTop);
    EXPECT_EQ(BigFixed::fromDouble(std::numeric_limits<double>::quiet_NaN()), BigFixed{});
    EXPECT_EQ(parse("1e-100"), BigFixed{});
    EXPECT_EQ(parse("-1e-999999999999999999999"), BigFixed{}); // no negative zero pattern
}

TEST(BigFixedText, HostileInput) {
    for (const char* text : {"abc", "", "-", "+", "e5", ".", "+.", "-.e1", "   ", "--1", "- 1"}) {
        EXPECT_FALSE(BigFixed::fromText(text, kFile).has_value()) << '"' << text << '"';
        EXPECT_EQ(BigFixed::fromTextOrZero(text, kFile), BigFixed{}) << '"' << text << '"';
    }
    EXPECT_EQ(BigFixed::fromTextOrZero("-2.5", kFile), parse("-2.5"));
    EXPECT_EQ(parse("0." + std::string(10000, '9')), parse("0." + std::string(40, '9')));
    EXPECT_EQ(parse("1" + std::string(9999, '0')), kTop);
    EXPECT_EQ(parse("0." + std::string(9990, '0') + "1"), BigFixed{});
    EXPECT_EQ(parse("1e" + std::string(10000, '9')), kTop);
    EXPECT_EQ(parse("1e-" + std::string(10000, '9')), BigFixed{});
    EXPECT_EQ(parse(std::string(10000, ' ') + "-3"), BigFixed::fromInteger(-3));
    // Only the view's characters are read, not up to a terminator.
    EXPECT_EQ(BigFixed::fromText(std::string_view("12345", 2), kFile), BigFixed::fromInteger(12));
}

TEST(BigFixedMultiply, ExactTruncatedTowardZeroOrSaturated) {
    const BigFixed x = kPattern;
    const BigFixed even = x - kUlp;
    EXPECT_EQ(even.multipliedBy(0.5) + even.multipliedBy(0.5), even);
    EXPECT_EQ(x.multipliedBy(-3.0), -(x + x + x));
    const BigFixed shifted40 =
        BigFixed::fromWords({0xEF012345u, 0x0DDEADBEu, 0xDF0BADF0u, 0xE013579Bu, 0x982468ACu,
                             0x10FEDCBAu, 0xBE765432u, 0xA5CAFEBAu, 0x000004D2u, 0});
    EXPECT_EQ(x.multipliedBy(std::ldexp(1.0, -40)), shifted40);
    EXPECT_EQ((-x).multipliedBy(std::ldexp(1.0, -40)), -shifted40); // not toward -infinity
    // Factors of 2^53 or more shift left: ulp * 2^100 is bit 100.
    EXPECT_EQ(kUlp.multipliedBy(std::ldexp(1.0, 100)),
              BigFixed::fromWords({0, 0, 0, 1u << 4, 0, 0, 0, 0, 0, 0}));
    // The double nearest 0.3 (odd 53-bit significand) is taken exactly.
    EXPECT_EQ(BigFixed::fromInteger(1).multipliedBy(0.3).toText(),
              "0.299999999999999988897769753748434595763683319091796875");
    EXPECT_EQ(BigFixed::fromInteger(4194304).multipliedBy(std::ldexp(1.0, -1074)), BigFixed{});
    EXPECT_EQ(kUlp.multipliedBy(0.999), BigFixed{});
    EXPECT_EQ((-kUlp).multipliedBy(1.999), -kUlp);
    for (const double factor : {1e300, kInf}) {
        EXPECT_EQ(x.multipliedBy(factor), kTop) << factor;
        EXPECT_EQ(x.multipliedBy(-factor), -kTop) << factor;
        EXPECT_EQ((-x).multipliedBy(factor), -kTop) << factor;
    }
    EXPECT_EQ(BigFixed::fromInteger(4194304).multipliedBy(2.0), kTop); // exactly 2^23
    EXPECT_EQ(BigFixed::fromInteger(4194303).multipliedBy(2.0), BigFixed::fromInteger(8388606));
    const BigFixed nanProduct = x.multipliedBy(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(nanProduct == kTop || nanProduct == -kTop);
}

TEST(BigFixedDivide, QuotientsSignsAndEdges) {
    const BigFixed x = kPattern;
    EXPECT_EQ(BigFixed::fromInteger(1).dividedBy(3).toText(), "0." + std::string(85, '3'));
    EXPECT_EQ(BigFixed::fromInteger(14).dividedBy(-7), BigFixed::fromInteger(-2));
    EXPECT_EQ(x.dividedBy(std::int64_t{1} << 40), x.multipliedBy(std::ldexp(1.0, -40)));
    EXPECT_EQ((-x).dividedBy(-7), x.dividedBy(7));
    EXPECT_EQ((-kUlp).dividedBy(2), BigFixed{}); // toward zero, not toward -infinity
    // floor(x / 3) * 3 falls short of x by 0, 1 or 2 ulps.
    const BigFixed shortfall = x - x.dividedBy(3).multipliedBy(3.0);
    EXPECT_TRUE(shortfall == BigFixed{} || shortfall == kUlp || shortfall == kUlp + kUlp);
    EXPECT_EQ(x.dividedBy(0), BigFixed{});
    EXPECT_EQ(BigFixed::fromInteger(-1).dividedBy(INT64_MIN),
              BigFixed::fromWords({0, 0, 0, 0, 0, 0, 0, 0x200u, 0, 0})); // 2^-63
    // 2^296 / (2^63 - 1) = 2^233 + 2^170 + 2^107 + 2^44 + (less than 1).
    EXPECT_EQ(BigFixed::fromInteger(1).dividedBy(INT64_MAX),
              BigFixed::fromWords({0, 1u << 12, 0, 1u << 11, 0, 1u << 10, 0, 1u << 9, 0, 0}));
    EXPECT_EQ(kMostNegative.dividedBy(-1), kTop);
    EXPECT_EQ(kMostNegative.dividedBy(2), BigFixed::fromInteger(-4194304));
}

} // namespace
} // namespace vortimax
