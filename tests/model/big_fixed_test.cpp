#include "model/big_fixed.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>

namespace vortimax {
namespace {

using Words = BigFixed::Words;

constexpr int kFile = BigFixed::kFileDigitLimit;
constexpr int kDouble = BigFixed::kDoubleDigitLimit;

BigFixed parse(const std::string& text, int limit = kFile) {
    const std::optional<BigFixed> value = BigFixed::fromText(text, limit);
    EXPECT_TRUE(value.has_value()) << "no number in \"" << text << "\"";
    return value.value_or(BigFixed{});
}

BigFixed ulp() {
    return BigFixed::fromWords({1, 0, 0, 0, 0, 0, 0, 0, 0, 0});
}

BigFixed largestPositive() {
    Words words;
    words.fill(0xFFFFFFFFu);
    words[9] = 0x7FFFFFFFu;
    return BigFixed::fromWords(words);
}

// A positive value with bits in every word: about 1234.56...
BigFixed patterned() {
    return BigFixed::fromWords({0x89ABCDEFu, 0x01234567u, 0xDEADBEEFu, 0x0BADF00Du, 0x13579BDFu,
                                0x2468ACE0u, 0xFEDCBA98u, 0x76543210u, 0xCAFEBABEu, 0x0004D2A5u});
}

// Logical shift of the 320-bit pattern (for non-negative values: exact truncation).
Words shiftedRight(const Words& words, int bits) {
    Words result{};
    for (int bit = 0; bit + bits < 320; ++bit) {
        const int from = bit + bits;
        if ((words[static_cast<std::size_t>(from / 32)] >> (from % 32)) & 1u) {
            result[static_cast<std::size_t>(bit / 32)] |= 1u << (bit % 32);
        }
    }
    return result;
}

Words shiftedLeft(const Words& words, int bits) {
    Words result{};
    for (int bit = bits; bit < 320; ++bit) {
        const int from = bit - bits;
        if ((words[static_cast<std::size_t>(from / 32)] >> (from % 32)) & 1u) {
            result[static_cast<std::size_t>(bit / 32)] |= 1u << (bit % 32);
        }
    }
    return result;
}

// ---------------------------------------------------------------------------------
// Layout and word arithmetic

TEST(BigFixedWords, DefaultIsZeroAndWordWeightsFollowTheTable) {
    EXPECT_TRUE(BigFixed{}.isZero());
    EXPECT_FALSE(BigFixed{}.isNegative());
    // The top word carries 8 fraction bits: 1.0 is 0x100 in w10.
    EXPECT_EQ(parse("1").words(), (Words{0, 0, 0, 0, 0, 0, 0, 0, 0, 0x100}));
    EXPECT_EQ(parse("0.5").words(), (Words{0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}));
    EXPECT_EQ(parse("-1").words(), (Words{0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFFFF00u}));
    // 2^-40 is the lowest bit of w9, 2^-296 the lowest bit of w1.
    EXPECT_EQ(parse("9.094947017729282379150390625e-13").words(),
              (Words{0, 0, 0, 0, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(BigFixed::fromInteger(1).dividedBy(std::int64_t{1} << 40).words(),
              (Words{0, 0, 0, 0, 0, 0, 0, 0, 1, 0}));
}

TEST(BigFixedWords, AddAndSubtractCarryAcrossAllWords) {
    const BigFixed one = BigFixed::fromInteger(1);
    const BigFixed oneMinusUlp = one - ulp();
    EXPECT_EQ(oneMinusUlp.words(),
              (Words{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
                     0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFu}));
    EXPECT_EQ(oneMinusUlp + ulp(), one);
    BigFixed accumulated = oneMinusUlp;
    accumulated += ulp();
    EXPECT_EQ(accumulated, one);
    accumulated -= one;
    EXPECT_TRUE(accumulated.isZero());

    const BigFixed x = patterned();
    EXPECT_EQ(x - x, BigFixed{});
    EXPECT_EQ((x + one) - one, x);
    EXPECT_EQ(x - one, x + (-one));
}

TEST(BigFixedWords, NegateAndSign) {
    const BigFixed x = patterned();
    EXPECT_FALSE(x.isNegative());
    EXPECT_TRUE((-x).isNegative());
    EXPECT_EQ(-(-x), x);
    EXPECT_EQ(x + (-x), BigFixed{});
    EXPECT_EQ(-BigFixed{}, BigFixed{});
    // -ulp is all ones.
    Words ones;
    ones.fill(0xFFFFFFFFu);
    EXPECT_EQ((-ulp()).words(), ones);
    EXPECT_TRUE((-ulp()).isNegative());
    EXPECT_FALSE(ulp().isZero());
}

TEST(BigFixedWords, OverflowOutOfTheTopWordWraps) {
    const BigFixed wrapped = largestPositive() + ulp();
    EXPECT_EQ(wrapped.words(), (Words{0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80000000u}));
    EXPECT_TRUE(wrapped.isNegative());
    EXPECT_EQ(wrapped - ulp(), largestPositive());
}

// ---------------------------------------------------------------------------------
// Conversion to a double

TEST(BigFixedToDouble, OnlyTheLowestThreeWordsGiveZero) {
    EXPECT_EQ(BigFixed::fromWords({0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0, 0, 0, 0, 0, 0})
                  .toDouble(),
              0.0);
    EXPECT_EQ((-ulp()).toDouble(), 0.0);
    // w4 is the lowest word that counts: 2^-200.
    EXPECT_EQ(BigFixed::fromWords({0, 0, 0, 1, 0, 0, 0, 0, 0, 0}).toDouble(),
              std::ldexp(1.0, -200));
}

TEST(BigFixedToDouble, WeightOfTheTopWord) {
    EXPECT_EQ(BigFixed::fromWords({0, 0, 0, 0, 0, 0, 0, 0, 0, 1}).toDouble(), std::ldexp(1.0, -8));
    EXPECT_EQ(largestPositive().toDouble(), 8388608.0); // rounds up to 2^23
    EXPECT_EQ(BigFixed::fromWords({0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7FFFFFFFu}).toDouble(),
              8388608.0 - std::ldexp(1.0, -8));
    EXPECT_EQ(BigFixed::fromWords({0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80000000u}).toDouble(), -8388608.0);
}

TEST(BigFixedToDouble, ValuesOfTheArea) {
    EXPECT_EQ(parse("0.5").toDouble(), 0.5);
    EXPECT_EQ(parse("-2.1").toDouble(), std::strtod("-2.1", nullptr));
    EXPECT_EQ(parse("1.35").toDouble(), std::strtod("1.35", nullptr));
    EXPECT_EQ(parse("0.3").toDouble(), std::strtod("0.3", nullptr));
    EXPECT_EQ(parse("-1.2345e-30").toDouble(), std::strtod("-1.2345e-30", nullptr));
    for (const double value : {0.0, 0.7, -0.75, 1.35, -2.1, 1.5, 1234.5678, -0.001}) {
        EXPECT_EQ(BigFixed::fromDouble(value).toDouble(), value) << value;
    }
}

TEST(BigFixedToDouble, SumsFromTheMostSignificantWordDown) {
    // 1 + 2^-53 + 2^-90: top-down, 1 + 2^-53 is a tie that rounds to 1.0 and 2^-90 is
    // then lost; summing bottom-up (or rounding correctly) would give 1 + 2^-52.
    Words words{};
    words[9] = 0x100;    // 1
    words[7] = 1u << 19; // 2^-53 (w8 weighs 2^-72)
    words[6] = 1u << 14; // 2^-90 (w7 weighs 2^-104)
    EXPECT_EQ(BigFixed::fromWords(words).toDouble(), 1.0);
    EXPECT_EQ((-BigFixed::fromWords(words)).toDouble(), -1.0);
}

// ---------------------------------------------------------------------------------
// Decimal text

TEST(BigFixedText, RoundTripsTypicalAreaValues) {
    for (const char* text :
         {"-2.1", "0.7", "1.35", "-1.35", "0.3", "2.0", "0.0", "-0.5", "1234567.0",
          "-0.7436438870371587048506761640000000000001",
          "0.000000000000000000000000000001234567890123456789012345678901234567891",
          "-0.000000000000000000000000000009876543210987654321098765432109876543211"}) {
        const BigFixed value = parse(text);
        EXPECT_EQ(value.toText(), text);
        EXPECT_EQ(parse(value.toText()), value) << text;
    }
}

TEST(BigFixedText, PrintedForm) {
    EXPECT_EQ(BigFixed{}.toText(), "0.0");
    EXPECT_EQ(BigFixed::fromInteger(2).toText(), "2.0");
    EXPECT_EQ(BigFixed::fromInteger(-300).toText(), "-300.0");
    EXPECT_EQ(parse(".5").toText(), "0.5");
    EXPECT_EQ(parse("+0.25").toText(), "0.25"); // never a plus sign
    // The most negative pattern prints its true value.
    EXPECT_EQ(BigFixed::fromWords({0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80000000u}).toText(), "-8388608.0");
    // Exact binary fractions need many digits; 1 ulp = 2^-296 is below the 85 printed.
    EXPECT_EQ(ulp().toText(), "0.0");
    EXPECT_EQ(ulp().toText(1000).substr(0, 10), "0.00000000");
    EXPECT_EQ(ulp().toText(1000).size(), 2u + 296u); // exact: 296 fraction digits
}

TEST(BigFixedText, RoundsHalfAwayFromZeroAtTheLastPrintedDigit) {
    EXPECT_EQ(parse("1.25").toText(1), "1.3");
    EXPECT_EQ(parse("-1.25").toText(1), "-1.3");
    EXPECT_EQ(parse("0.125").toText(2), "0.13");
    EXPECT_EQ(parse("-0.125").toText(2), "-0.13");
    EXPECT_EQ(parse("1.2499").toText(1), "1.2");
    // Carry into the integer part.
    EXPECT_EQ(parse("0.9996").toText(3), "1.0");
    EXPECT_EQ(parse("-9.96").toText(1), "-10.0");
    EXPECT_EQ(parse("1.95").toText(0), "2.0");
    // Negative values that round to zero print without a minus sign.
    EXPECT_EQ((-ulp()).toText(), "0.0");
    EXPECT_EQ(parse("-0.0004").toText(3), "0.0");
    EXPECT_EQ(parse("-0.0625").toText(3), "-0.063"); // exact binary tie
    EXPECT_EQ(parse("-0.0625").toText(2), "-0.06");
}

TEST(BigFixedText, FromDoubleUsesFifteenDecimals) {
    EXPECT_EQ(BigFixed::fromDouble(-2.1).toText(), "-2.1");
    EXPECT_EQ(BigFixed::fromDouble(0.1).toText(), "0.1");
    EXPECT_EQ(BigFixed::fromDouble(0.7), parse("0.7"));
    EXPECT_EQ(BigFixed::fromDouble(-0.0), BigFixed{});
    EXPECT_EQ(BigFixed::fromDouble(4e-16), BigFixed{}); // "+0.000000000000000"
    EXPECT_EQ(BigFixed::fromDouble(6e-16), parse("0.000000000000001"));

    // The same text as the C library's "%+.15f", kept to 20 significant digits.
    const double value = 1234567.123456789012345;
    char text[64];
    std::snprintf(text, sizeof text, "%+.15f", value);
    EXPECT_EQ(BigFixed::fromDouble(value), parse(text, kDouble));
    EXPECT_NE(BigFixed::fromDouble(value), parse(text, kFile));
}

TEST(BigFixedText, FromIntegerIsExact) {
    EXPECT_EQ(BigFixed::fromInteger(0), BigFixed{});
    EXPECT_EQ(BigFixed::fromInteger(-3), -BigFixed::fromInteger(3));
    EXPECT_EQ(BigFixed::fromInteger(8388607).toText(), "8388607.0");
    EXPECT_EQ(BigFixed::fromInteger(8388608), largestPositive());
    EXPECT_EQ(BigFixed::fromInteger(LLONG_MIN), -largestPositive());
}

TEST(BigFixedText, ExponentForms) {
    EXPECT_EQ(parse("+1.5e-015"), parse("0.0000000000000015"));
    EXPECT_EQ(parse("+1.5e-015").toText(), "0.0000000000000015");
    EXPECT_EQ(parse("-3E2"), BigFixed::fromInteger(-300));
    EXPECT_EQ(parse("1.e3"), BigFixed::fromInteger(1000));
    EXPECT_EQ(parse("2E+3"), BigFixed::fromInteger(2000));
    EXPECT_EQ(parse("-.5e1"), BigFixed::fromInteger(-5));
    EXPECT_EQ(parse("  \t-0.25"), parse("-0.25"));
    // An exponent without digits does not belong to the number; reading stops there.
    EXPECT_EQ(parse("7e"), BigFixed::fromInteger(7));
    EXPECT_EQ(parse("7e+"), BigFixed::fromInteger(7));
    EXPECT_EQ(parse("1.5abc"), parse("1.5"));
    EXPECT_EQ(parse("1.5.3"), parse("1.5"));
    EXPECT_EQ(parse("-0"), BigFixed{});
}

TEST(BigFixedText, RoundsToTheNearestFractionBit) {
    // 0.3 lies between two multiples of 2^-296; truncation would print 0.29999...
    const BigFixed value = parse("0.3");
    EXPECT_EQ(value.toText(), "0.3");
    EXPECT_EQ((-value).toText(), "-0.3");
    EXPECT_EQ(parse("-0.3"), -value);
    // The exact text of a value parses back to it.
    EXPECT_EQ(ulp().toText(1000).size(), 2u + 296u);
    EXPECT_EQ(BigFixed::fromText(ulp().toText(1000), 1000), ulp());
    EXPECT_EQ(BigFixed::fromText(patterned().toText(1000), 1000), patterned());
    // Just above half an ulp (2^-297 = 3.92727477...e-90) gives an ulp, just below 0.
    EXPECT_EQ(parse("3.9272747722381812424766175639890205143801724099995596520893e-90", 1000),
              ulp());
    EXPECT_EQ(parse("-3.9272747722381812424766175639890205143801724099995596520893e-90", 1000),
              -ulp());
    EXPECT_EQ(parse("3.92727477223818124247661756398902051438017240999955965208e-90", 1000),
              BigFixed{});
}

// Exact decimal half of a non-negative decimal text "I.F" (one more fraction digit).
std::string halved(const std::string& text) {
    std::string result;
    int remainder = 0;
    for (const char c : text + "0") {
        if (c == '.') {
            result.push_back('.');
            continue;
        }
        const int current = remainder * 10 + (c - '0');
        result.push_back(static_cast<char>('0' + current / 2));
        remainder = current % 2;
    }
    return result;
}

TEST(BigFixedText, ExactTiesRoundAwayFromZero) {
    const BigFixed fiveUlps = ulp().multipliedBy(5.0);
    // 2.5 ulps, written exactly with 297 fraction digits: away from zero gives 3 ulps
    // (half-to-even would give 2, truncation 2).
    const std::string tie = halved(fiveUlps.toText(1000));
    ASSERT_EQ(tie.size(), 2u + 297u);
    EXPECT_EQ(parse(tie, 1000), ulp().multipliedBy(3.0));
    EXPECT_EQ(parse("-" + tie, 1000), -ulp().multipliedBy(3.0));
    EXPECT_EQ(parse(halved(ulp().toText(1000)), 1000), ulp()); // 2^-297 exactly
}

TEST(BigFixedText, DigitLimitCountsSignificantDigits) {
    const std::string text = "0.123456789912345678991234567899123456789912345"; // 45 digits
    const BigFixed limited20 = parse(text, kDouble);
    const BigFixed limited40 = parse(text, kFile);
    EXPECT_NE(limited20, limited40);
    EXPECT_EQ(limited20.toText(), "0.12345678991234567899");
    EXPECT_EQ(limited40.toText(), "0.1234567899123456789912345678991234567899");
    EXPECT_EQ(parse(text, 1000).toText(), text);
    // Leading zeros do not count; ignored digits are zeros (no rounding at the limit).
    EXPECT_EQ(parse("0.000000000012345", 3), parse("0.0000000000123"));
    EXPECT_EQ(parse("0.9999", 2), parse("0.99"));
    // Integer and fraction digits count together; integer digits past the limit are 0.
    EXPECT_EQ(parse("1234567.891", 3), BigFixed::fromInteger(1230000));
    EXPECT_EQ(parse("12.345", 3), parse("12.3"));
}

TEST(BigFixedText, SaturatesBeyondTheRange) {
    const BigFixed top = largestPositive();
    EXPECT_EQ(parse("9999999"), top);
    EXPECT_EQ(parse("8388608"), top);
    EXPECT_EQ(parse("-8388608"), -top);
    EXPECT_EQ(parse("-1e30"), -top);
    EXPECT_EQ(parse("1e999999999999999999999999"), top);
    EXPECT_NE(parse("8388607.99"), top);
    EXPECT_EQ(parse("8388607.99").toText(), "8388607.99");
    // Values that round to 2^23 saturate as well.
    EXPECT_EQ(parse("8388607." + std::string(100, '9'), 1000), top);
    EXPECT_NE(parse("8388607." + std::string(80, '9'), 1000), top);
    EXPECT_EQ(BigFixed::fromDouble(1e300), top);
    EXPECT_EQ(BigFixed::fromDouble(-1e300), -top);
    EXPECT_EQ(BigFixed::fromDouble(std::numeric_limits<double>::infinity()), top);
    EXPECT_EQ(BigFixed::fromDouble(-std::numeric_limits<double>::infinity()), -top);
    EXPECT_EQ(BigFixed::fromDouble(std::numeric_limits<double>::quiet_NaN()), BigFixed{});
}

TEST(BigFixedText, TinyValuesBecomeZero) {
    EXPECT_EQ(parse("1e-100"), BigFixed{});
    EXPECT_EQ(parse("-1e-999999999999999999999"), BigFixed{});
    EXPECT_FALSE(parse("-1e-999999999999999999999").isNegative());
}

TEST(BigFixedText, TextWithoutDigits) {
    for (const char* text : {"abc", "", "-", "+", "e5", ".", "+.", "-.e1", "   ", "--1", "- 1"}) {
        EXPECT_FALSE(BigFixed::fromText(text, kFile).has_value()) << '"' << text << '"';
        EXPECT_EQ(BigFixed::fromTextOrZero(text, kFile), BigFixed{}) << '"' << text << '"';
    }
    EXPECT_EQ(BigFixed::fromTextOrZero("-2.5", kFile), parse("-2.5"));
}

TEST(BigFixedText, HostileLengths) {
    const std::string nines = "0." + std::string(10000, '9');
    EXPECT_EQ(parse(nines), parse("0." + std::string(40, '9')));
    EXPECT_EQ(parse(nines, kDouble), parse("0." + std::string(20, '9')));
    EXPECT_EQ(parse("1" + std::string(9999, '0')), largestPositive());
    EXPECT_EQ(parse("0." + std::string(9990, '0') + "1"), BigFixed{});
    EXPECT_EQ(parse("1e" + std::string(10000, '9')), largestPositive());
    EXPECT_EQ(parse("1e-" + std::string(10000, '9')), BigFixed{});
    EXPECT_EQ(parse(std::string(10000, ' ') + "-3"), BigFixed::fromInteger(-3));
    // No terminator is needed: only the view's characters are read.
    const std::string buffer = "12345";
    EXPECT_EQ(BigFixed::fromText(std::string_view(buffer.data(), 2), kFile),
              BigFixed::fromInteger(12));
}

// ---------------------------------------------------------------------------------
// Multiplication by a double and division by an integer

TEST(BigFixedMultiply, ExactProducts) {
    const BigFixed x = patterned();
    ASSERT_EQ(x.words()[0] & 1u, 1u);
    const BigFixed even = x - ulp();
    EXPECT_EQ(even.multipliedBy(0.5).words(), shiftedRight(even.words(), 1));
    EXPECT_EQ(even.multipliedBy(0.5).multipliedBy(2.0), even);
    EXPECT_EQ(x.multipliedBy(1.0), x);
    EXPECT_EQ(x.multipliedBy(-1.0), -x);
    EXPECT_EQ(x.multipliedBy(-3.0), -(x + x + x));
    EXPECT_EQ(x.multipliedBy(0.0), BigFixed{});
    EXPECT_EQ(x.multipliedBy(-0.0), BigFixed{});
    EXPECT_EQ(x.multipliedBy(std::ldexp(1.0, -40)).words(), shiftedRight(x.words(), 40));
    const BigFixed small = BigFixed::fromInteger(3).dividedBy(1000);
    EXPECT_EQ(small.multipliedBy(std::ldexp(1.0, 20)).words(), shiftedLeft(small.words(), 20));
    // The product with the double nearest 0.1 is that double's exact value.
    EXPECT_EQ(BigFixed::fromInteger(1).multipliedBy(0.1).toText(),
              "0.1000000000000000055511151231257827021181583404541015625");
    EXPECT_EQ(BigFixed::fromInteger(-2).multipliedBy(0.1).toDouble(), -0.2);
    // Subnormal factors are exact too: 2^-1074 * 2^22 is far below the last bit.
    EXPECT_EQ(BigFixed::fromInteger(4194304).multipliedBy(std::ldexp(1.0, -1074)), BigFixed{});
}

TEST(BigFixedMultiply, TruncatesTowardZero) {
    const BigFixed x = patterned();
    // For a negative value the dropped bits make the result smaller in magnitude.
    EXPECT_EQ((-x).multipliedBy(std::ldexp(1.0, -40)), -(x.multipliedBy(std::ldexp(1.0, -40))));
    EXPECT_EQ(x.multipliedBy(-std::ldexp(1.0, -40)), -(x.multipliedBy(std::ldexp(1.0, -40))));
    EXPECT_EQ((-ulp()).multipliedBy(0.5), BigFixed{});
    EXPECT_EQ(ulp().multipliedBy(-0.5), BigFixed{});
    EXPECT_EQ(ulp().multipliedBy(0.999), BigFixed{});
    EXPECT_EQ((-ulp()).multipliedBy(1.999), -ulp());
}

TEST(BigFixedMultiply, Saturates) {
    const BigFixed top = largestPositive();
    const BigFixed x = patterned();
    EXPECT_EQ(x.multipliedBy(1e300), top);
    EXPECT_EQ(x.multipliedBy(-1e300), -top);
    EXPECT_EQ((-x).multipliedBy(1e300), -top);
    EXPECT_EQ(BigFixed::fromInteger(4194304).multipliedBy(2.0), top); // exactly 2^23
    EXPECT_EQ(BigFixed::fromInteger(4194303).multipliedBy(2.0), BigFixed::fromInteger(8388606));
    EXPECT_EQ(x.multipliedBy(std::numeric_limits<double>::infinity()), top);
    EXPECT_EQ(x.multipliedBy(-std::numeric_limits<double>::infinity()), -top);
    EXPECT_EQ((-x).multipliedBy(std::numeric_limits<double>::infinity()), -top);
    const BigFixed nanProduct = x.multipliedBy(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(nanProduct == top || nanProduct == -top);
}

TEST(BigFixedDivide, ExactQuotients) {
    EXPECT_EQ(BigFixed::fromInteger(1).dividedBy(3).toText(), "0." + std::string(85, '3'));
    EXPECT_EQ(BigFixed::fromInteger(-14).dividedBy(7), BigFixed::fromInteger(-2));
    EXPECT_EQ(BigFixed::fromInteger(14).dividedBy(-7), BigFixed::fromInteger(-2));
    EXPECT_EQ(BigFixed::fromInteger(-14).dividedBy(-7), BigFixed::fromInteger(2));
    EXPECT_EQ(parse("-2.1").dividedBy(1), parse("-2.1"));
    // Division by 2^k is an exact shift.
    EXPECT_EQ(patterned().dividedBy(std::int64_t{1} << 40).words(),
              shiftedRight(patterned().words(), 40));

    // q = floor(x / 3): 3q is x less 0, 1 or 2 ulps.
    const BigFixed x = patterned();
    const BigFixed difference = x - x.dividedBy(3).multipliedBy(3.0);
    EXPECT_FALSE(difference.isNegative());
    EXPECT_LE(difference.words()[0], 2u);
    for (std::size_t k = 1; k < BigFixed::kWords; ++k) {
        EXPECT_EQ(difference.words()[k], 0u);
    }
}

TEST(BigFixedDivide, SignTruncationAndEdges) {
    const BigFixed x = patterned();
    EXPECT_TRUE(x.dividedBy(-7).isNegative());
    EXPECT_EQ(x.dividedBy(-7), -(x.dividedBy(7)));
    EXPECT_EQ((-x).dividedBy(7), -(x.dividedBy(7)));
    EXPECT_EQ((-x).dividedBy(-7), x.dividedBy(7));
    EXPECT_EQ((-ulp()).dividedBy(2), BigFixed{}); // toward zero, not toward -infinity
    EXPECT_EQ(x.dividedBy(0), BigFixed{});
    EXPECT_EQ(BigFixed::fromInteger(-1).dividedBy(INT64_MIN),
              BigFixed::fromWords({0, 0, 0, 0, 0, 0, 0, 0x200u, 0, 0})); // 2^-63
    // 2^296 / (2^63 - 1) = 2^233 + 2^170 + 2^107 + 2^44 + (less than 1): a 64-bit divisor.
    EXPECT_EQ(BigFixed::fromInteger(1).dividedBy(INT64_MAX),
              BigFixed::fromWords({0, 1u << 12, 0, 1u << 11, 0, 1u << 10, 0, 1u << 9, 0, 0}));
    const BigFixed mostNegative = BigFixed::fromWords({0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80000000u});
    EXPECT_EQ(mostNegative.dividedBy(-1), largestPositive());
    EXPECT_EQ(mostNegative.dividedBy(2), BigFixed::fromInteger(-4194304));
}

} // namespace
} // namespace vortimax
